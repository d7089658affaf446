// A process-local event with manual or automatic reset, as the download engine's threads use it to
// steer one another: set, clear, a test that never blocks, and waits.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class Event {
 public:
  enum class Reset { Manual, Automatic };

  Event(Reset reset, bool initiallySet) : m_reset(reset), m_bSet(initiallySet) {}
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Clear();
  // The zero-time-out test: true when signalled. An automatic-reset event is consumed by a true
  // answer, as a successful wait would consume it.
  bool IsSet();
  void Wait();
  // Waits at most `timeout`; true when the event was signalled (and, for automatic reset, consumed).
  bool WaitFor(std::chrono::milliseconds timeout);
  // Back to the state given, as if newly made.
  void Reinitialize(bool initiallySet);

 private:
  bool ConsumeLocked();

  const Reset m_reset;
  bool m_bSet;
  std::mutex m_mutex;
  std::condition_variable m_changed;
};
