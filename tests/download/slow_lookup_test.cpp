// A cancel while the name of the server is still being looked up. Natively, the lookup of names
// under ".slow-lookup.test" is made to take 20 s (this executable's getaddrinfo stands in front of
// the system's); the request must let go of it at once when aborted.
#ifndef _WIN32
#include <dlfcn.h>
#include <netdb.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "download/http_transfer.h"

extern "C" int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints,
                           struct addrinfo** result) {
  constexpr const char kSlow[] = ".slow-lookup.test";
  const size_t length = node != nullptr ? std::strlen(node) : 0;
  if (length >= sizeof(kSlow) - 1 && std::strcmp(node + length - (sizeof(kSlow) - 1), kSlow) == 0) {
    sleep(20);
    return EAI_NONAME;
  }
  using Lookup = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
  static const auto system = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
  return system(node, service, hints, result);
}

namespace {

using namespace std::chrono_literals;

TEST(SlowLookup, AnAbortDuringTheNameLookupEndsTheProbeAtOnce) {
  ASSERT_TRUE(OpenInternetSession());
  platform::http::AbortSwitchHandle abortSwitch = platform::http::CreateAbortSwitch();
  ProbeReply reply;
  std::thread prober([&] { reply = ProbeLink(u"http://downloads.slow-lookup.test/file/10", abortSwitch.get()); });
  std::this_thread::sleep_for(300ms);
  const auto aborted = std::chrono::steady_clock::now();
  platform::http::Abort(*abortSwitch);
  prober.join();
  EXPECT_LT(std::chrono::steady_clock::now() - aborted, 5s) << "the lookup takes 20 s";
  EXPECT_EQ(reply.outcome, platform::http::SendResult::Failed);
  CloseInternetSession();
}

}  // namespace
#endif
