// The test HTTP(S) server (http_test_server.py) as the download tests see it: natively started by
// the test process itself (and ended with it); under Wine started by a ctest fixture, whose state
// file gives the ports, and its CA made trusted in the Wine prefix.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/trusted_root.h"

#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
extern char** environ;
#endif

class TestHttpServer {
 public:
  enum class Kind { Http, Https, HttpsExpired, HttpsWrongName };

  // The one server of this test process; fails the test when it cannot be had.
  static TestHttpServer& Get() {
    static TestHttpServer server;
    if (!server.m_bReady) ADD_FAILURE() << "the test HTTP server is not available";
    return server;
  }

  // "http://127.0.0.1:port/file/<size>?query" and the like; https addresses use "localhost",
  // the name in the certificates.
  std::u16string Url(Kind kind, unsigned long long size, const std::string& query = {}) const {
    return Widen(UrlText(kind, size, query));
  }
  std::string UrlText(Kind kind, unsigned long long size, const std::string& query = {}) const {
    std::string url = kind == Kind::Http ? "http://127.0.0.1:" : "https://localhost:";
    url += std::to_string(Port(kind)) + "/file/" + std::to_string(size);
    return query.empty() ? url : url + "?" + query;
  }

  static std::u16string Widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

 private:
  TestHttpServer() { m_bReady = Start() && ReadPorts() && TrustCa(); }
  ~TestHttpServer() { Stop(); }

  int Port(Kind kind) const {
    switch (kind) {
      case Kind::Http:
        return m_nHttp;
      case Kind::Https:
        return m_nHttps;
      case Kind::HttpsExpired:
        return m_nExpired;
      case Kind::HttpsWrongName:
        return m_nWrongName;
    }
    return 0;
  }

  static int IntAfter(const std::string& json, const std::string& key) {
    size_t at = json.find("\"" + key + "\": ");
    return at == std::string::npos ? 0 : std::atoi(json.c_str() + at + key.size() + 4);
  }
  static std::string TextAfter(const std::string& json, const std::string& key) {
    size_t at = json.find("\"" + key + "\": \"");
    if (at == std::string::npos) return {};
    at += key.size() + 5;
    return json.substr(at, json.find('"', at) - at);
  }

  bool ReadPorts() {
    m_nHttp = IntAfter(m_strState, "http");
    m_nHttps = IntAfter(m_strState, "https");
    m_nExpired = IntAfter(m_strState, "https_expired");
    m_nWrongName = IntAfter(m_strState, "https_wrong_name");
    m_strCa = TextAfter(m_strState, "ca");
    return m_nHttp && m_nHttps && m_nExpired && m_nWrongName && !m_strCa.empty();
  }

#ifdef _WIN32
  bool Start() {
    std::ifstream state("Z:" TORVIN_BINARY_DIR "/tests/download/http_test_server.json");
    std::getline(state, m_strState);
    return !m_strState.empty();
  }
  void Stop() {}
  bool TrustCa() { return TrustRootCertificate("Z:" + m_strCa); }
#else
  bool Start() {
    int toServer[2], fromServer[2];
    if (pipe(toServer) != 0) return false;
    if (pipe(fromServer) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toServer[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromServer[1], 1);
    posix_spawn_file_actions_addclose(&actions, toServer[1]);
    posix_spawn_file_actions_addclose(&actions, fromServer[0]);
    std::string script = TORVIN_SOURCE_DIR "/tests/support/http_test_server.py";
    std::string certs = TORVIN_BINARY_DIR "/tests/download/test-certs";
    const char* argv[] = {"python3", script.c_str(), "--certs", certs.c_str(), nullptr};
    int spawned = posix_spawnp(&m_pid, "python3", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toServer[0]);
    close(fromServer[1]);
    m_nToServer = toServer[1];
    if (spawned != 0) {
      close(fromServer[0]);
      return false;
    }
    // The server's one ready line; it ends when our end of its standard input closes.
    FILE* out = fdopen(fromServer[0], "r");
    char line[1024] = {};
    bool ready = out != nullptr && std::fgets(line, sizeof line, out) != nullptr;
    if (out != nullptr) std::fclose(out);
    m_strState = line;
    return ready;
  }
  void Stop() {
    if (m_nToServer >= 0) close(m_nToServer);
    if (m_pid > 0) waitpid(m_pid, nullptr, 0);
  }
  // libcurl is pointed at the test CA the way OpenSSL programs are.
  bool TrustCa() { return setenv("SSL_CERT_FILE", m_strCa.c_str(), 1) == 0; }

  pid_t m_pid = -1;
  int m_nToServer = -1;
#endif

  bool m_bReady = false;
  std::string m_strState;
  std::string m_strCa;
  int m_nHttp = 0, m_nHttps = 0, m_nExpired = 0, m_nWrongName = 0;
};
