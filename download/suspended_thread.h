// A thread that is created suspended and runs its procedure only once resumed; one that is never
// resumed ends without running it.
#pragma once

#include "download/event.h"
#include "platform/thread.h"

class SuspendedThread {
 public:
  using Procedure = platform::Thread::Procedure;

  SuspendedThread() = default;
  SuspendedThread(const SuspendedThread&) = delete;
  SuspendedThread& operator=(const SuspendedThread&) = delete;
  ~SuspendedThread() { Join(); }

  // Makes the thread that will run `procedure(context)`; false when the system cannot make it.
  bool Create(Procedure procedure, void* context);
  bool Exists() const { return m_thread.Joinable(); }
  bool WasResumed() const { return m_bResumed; }
  // Starts the procedure; false when there is no thread or it was already started.
  bool Resume();
  // Waits for the thread to end; a thread never resumed ends without running its procedure.
  void Join();

 private:
  static void Body(void* self);

  platform::Thread m_thread;
  Procedure m_procedure = nullptr;
  void* m_context = nullptr;
  Event m_start{Event::Reset::Manual, false};
  bool m_bResumed = false;
  bool m_bAbandoned = false;
};
