// The threads seam: a lock, an event with manual or automatic reset, and a joinable thread that
// runs a plain function. The standard library on Linux; on Windows the system's own slim lock,
// event objects and threads, so the product carries no threads runtime.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#if !defined(_WIN32)
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace platform {

// An exclusive, non-recursive lock; std::lock_guard takes it.
class Mutex {
 public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void lock();
  void unlock();

 private:
#if defined(_WIN32)
  void* m_lock = nullptr;  // an SRWLOCK, which is one pointer and starts zeroed
#else
  std::mutex m_mutex;
#endif
};

// A process-local event, as threads steer one another with it: set, clear, a test that never
// blocks, and waits. Making one cannot fail short of the process running out of resources, which
// ends it, as running out of memory does.
class Event {
 public:
  enum class Reset { Manual, Automatic };

  Event(Reset reset, bool initiallySet);
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  ~Event();

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
#if defined(_WIN32)
  void* m_event = nullptr;  // the event object's handle
  // A manual-reset event's state, mirrored beside the object: the test that never blocks reads it
  // without a call into the system (the transfer asks for every piece it reads, and under Wine each
  // such call is a round trip to its server).
  const bool m_bManual;
  std::atomic<bool> m_bSet;
#else
  bool ConsumeLocked();

  const Reset m_reset;
  bool m_bSet;
  std::mutex m_mutex;
  std::condition_variable m_changed;
#endif
};

// A thread running `procedure(context)`. It is joined, never detached: the destructor waits for a
// thread still running.
class Thread {
 public:
  using Procedure = void (*)(void* context);

  Thread() = default;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  ~Thread() { Join(); }

  // Starts the procedure on a new thread; false when the system cannot make one, or this object
  // already holds a thread not yet joined.
  bool Start(Procedure procedure, void* context);
  bool Joinable() const;
  // Waits for the thread to end; nothing to do when there is none.
  void Join();

 private:
#if defined(_WIN32)
  static unsigned long __stdcall Entry(void* self);

  Procedure m_procedure = nullptr;
  void* m_context = nullptr;
  void* m_thread = nullptr;  // the thread's handle
#else
  std::thread m_thread;
#endif
};

}  // namespace platform
