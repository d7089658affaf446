#include "platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "platform/steady_clock.h"
#include "platform/system.h"

using namespace std::chrono_literals;
using platform::Event;

namespace {

// Runs a capturing lambda on a platform::Thread.
template <typename Body>
bool StartOn(platform::Thread& thread, Body& body) {
  return thread.Start([](void* context) { (*static_cast<Body*>(context))(); }, &body);
}

}  // namespace

TEST(Event, ManualResetStaysSetUntilCleared) {
  Event e(Event::Reset::Manual, false);
  EXPECT_FALSE(e.IsSet());
  e.Set();
  EXPECT_TRUE(e.IsSet());
  EXPECT_TRUE(e.IsSet());
  e.Wait();
  EXPECT_TRUE(e.WaitFor(0ms));
  e.Clear();
  EXPECT_FALSE(e.IsSet());
  e.Reinitialize(true);
  EXPECT_TRUE(e.IsSet());
}

TEST(Event, AutomaticResetReleasesOneWait) {
  Event e(Event::Reset::Automatic, true);
  EXPECT_TRUE(e.IsSet());
  EXPECT_FALSE(e.IsSet());
  e.Set();
  e.Wait();
  EXPECT_FALSE(e.WaitFor(1ms));
  e.Set();
  e.Reinitialize(false);
  EXPECT_FALSE(e.WaitFor(0ms));
}

TEST(Event, WaitsEndWhenAnotherThreadSets) {
  Event e(Event::Reset::Automatic, false);
  std::atomic<int> released = 0;
  auto waiter = [&] {
    e.Wait();
    ++released;
    EXPECT_TRUE(e.WaitFor(30s));  // a timed wait ends on the set too, long before its limit
    ++released;
  };
  platform::Thread thread;
  ASSERT_TRUE(StartOn(thread, waiter));
  e.Set();
  for (int i = 0; i < 30000 && released == 0; ++i) platform::SleepFor(1);
  e.Set();
  thread.Join();
  EXPECT_EQ(released, 2);
  EXPECT_FALSE(e.IsSet());
}

TEST(Event, TimedWaitOnAnUnsetEventTimesOut) {
  Event e(Event::Reset::Manual, false);
  auto start = platform::SteadyClock::now();
  EXPECT_FALSE(e.WaitFor(60ms));
  // Loose: the clock's tick may be coarse, but the wait did wait.
  EXPECT_GE(platform::SteadyClock::now() - start, 30ms);
}

TEST(Thread, RunsTheProcedureAndJoins) {
  platform::Thread thread;
  EXPECT_FALSE(thread.Joinable());
  thread.Join();  // nothing to wait for

  Event hold(Event::Reset::Manual, false);
  std::atomic<bool> ran = false;
  auto body = [&] {
    hold.Wait();
    ran = true;
  };
  ASSERT_TRUE(StartOn(thread, body));
  EXPECT_TRUE(thread.Joinable());
  EXPECT_FALSE(StartOn(thread, body)) << "a second thread while the first is not joined";
  hold.Set();
  thread.Join();
  EXPECT_TRUE(ran);
  EXPECT_FALSE(thread.Joinable());

  ran = false;
  {
    platform::Thread scoped;
    ASSERT_TRUE(StartOn(scoped, body));
  }  // the destructor waits for the thread
  EXPECT_TRUE(ran);
}

TEST(Mutex, KeepsConcurrentUpdatesWhole) {
  platform::Mutex lock;
  int64_t counter = 0;
  auto add = [&] {
    for (int i = 0; i < 100000; ++i) {
      std::lock_guard guard(lock);
      counter = counter + 1;
    }
  };
  platform::Thread first, second;
  ASSERT_TRUE(StartOn(first, add));
  ASSERT_TRUE(StartOn(second, add));
  first.Join();
  second.Join();
  EXPECT_EQ(counter, 200000);
}

TEST(SteadyClock, FollowsASleep) {
  auto before = platform::SteadyClock::now();
  platform::SleepFor(60);
  auto after = platform::SteadyClock::now();
  EXPECT_GE(after - before, 30ms);
}
