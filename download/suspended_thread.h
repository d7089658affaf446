// A thread that is created suspended and runs its procedure only once resumed; one that is never
// resumed ends without running it.
#pragma once

#include <functional>
#include <thread>

#include "download/event.h"

class SuspendedThread {
 public:
  SuspendedThread() = default;
  SuspendedThread(const SuspendedThread&) = delete;
  SuspendedThread& operator=(const SuspendedThread&) = delete;
  ~SuspendedThread() { Join(); }

  // False when the system cannot make the thread.
  bool Create(std::function<void()> proc);
  bool Exists() const { return m_thread.joinable(); }
  bool WasResumed() const { return m_bResumed; }
  // Starts the procedure; false when there is no thread or it was already started.
  bool Resume();
  // Waits for the thread to end; a thread never resumed ends without running its procedure.
  void Join();

 private:
  std::thread m_thread;
  Event m_start{Event::Reset::Manual, false};
  bool m_bResumed = false;
  bool m_bAbandoned = false;
};
