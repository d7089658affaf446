// The fixture of the HTTP layer's tests: one range fetched into a fresh destination file as a
// segment thread fetches it, optionally on a thread of its own while the test steers it.
#pragma once

#include <gtest/gtest.h>

#include "download/destination_file.h"
#include "download/http_transfer.h"
#include "download_test_helpers.h"

using namespace std::chrono_literals;

class RangeFetchTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetDownloadShared();
    ASSERT_TRUE(OpenInternetSession());
  }
  void TearDown() override {
    DestinationFile.Close();
    CloseInternetSession();
    ResetDownloadShared();
  }

  std::u16string Url(Kind kind, unsigned long long size, const std::string& query = {}) {
    return m_server.Url(kind, size, query);
  }

  // One range into a fresh destination file, as a segment runs it; the final state.
  int32_t Fetch(const std::u16string& url, uint64_t first, uint64_t last, uint64_t total) {
    EXPECT_TRUE(DestinationFile.CreateExclusive(PathText(m_file)));
    {
      std::lock_guard lock(StatusLock);
      ActiveSegments = 1;
      SharedStatus = {STATUS_DOWNLOADING, 0, total};
    }
    CancelRequest cancel(CancelEvent);
    DownloadRange(cancel, url, first, last, total, OnSegmentProgress);
    DestinationFile.Close();
    return ReadStatus().state;
  }

  // Fetch on its own thread while `steer` runs here; the final state.
  int32_t FetchWhile(const std::u16string& url, uint64_t size, const std::function<void()>& steer) {
    int32_t state = 0;
    std::thread segment([&] { state = Fetch(url, 0, size - 1, size); });
    steer();
    segment.join();
    return state;
  }

  static bool WaitForBytes(uint64_t atLeast) {
    for (int i = 0; i < 30000 && ReadStatus().received < atLeast; ++i) std::this_thread::sleep_for(1ms);
    return ReadStatus().received >= atLeast;
  }

  std::string FileBytes() { return ReadBytes(m_file); }

  // A name of its own for each case's requests at the test server, and what the server saw.
  static std::string NewId() {
    static int counter = 0;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    return std::string(test->name()) + "-" + std::to_string(++counter);
  }
  std::vector<std::string> Log(const std::string& id) { return ServerLog(m_server, id); }

  TestHttpServer& m_server = TestHttpServer::Get();
  TempFolder m_folder;
  std::filesystem::path m_file = m_folder / "out.bin";
};
