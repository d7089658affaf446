#include "download/event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace std::chrono_literals;

TEST(Event, ManualResetStaysSetUntilCleared) {
  Event e(Event::Reset::Manual, false);
  EXPECT_FALSE(e.IsSet());
  e.Set();
  EXPECT_TRUE(e.IsSet());
  EXPECT_TRUE(e.IsSet());
  e.Wait();
  EXPECT_TRUE(e.IsSet());
  e.Clear();
  EXPECT_FALSE(e.IsSet());
}

TEST(Event, AutomaticResetReleasesOneWait) {
  Event e(Event::Reset::Automatic, true);
  EXPECT_TRUE(e.IsSet());
  EXPECT_FALSE(e.IsSet());
  e.Set();
  e.Wait();
  EXPECT_FALSE(e.WaitFor(1ms));
}

TEST(Event, WaitReturnsWhenAnotherThreadSets) {
  Event e(Event::Reset::Automatic, false);
  std::atomic<bool> released = false;
  std::thread waiter([&] {
    e.Wait();
    released = true;
  });
  e.Set();
  waiter.join();
  EXPECT_TRUE(released);
  EXPECT_FALSE(e.IsSet());
}
