// A suspended thread on the threads seam: the thread waits for its start signal first.
#include "download/suspended_thread.h"

void SuspendedThread::Body(void* self) {
  auto* thread = static_cast<SuspendedThread*>(self);
  thread->m_start.Wait();
  if (!thread->m_bAbandoned) thread->m_procedure(thread->m_context);
}

bool SuspendedThread::Create(Procedure procedure, void* context) {
  if (m_thread.Joinable()) return false;
  m_start.Reinitialize(false);
  m_procedure = procedure;
  m_context = context;
  m_bResumed = false;
  m_bAbandoned = false;
  return m_thread.Start(Body, this);
}

bool SuspendedThread::Resume() {
  if (!m_thread.Joinable() || m_bResumed) return false;
  m_bResumed = true;
  m_start.Set();
  return true;
}

void SuspendedThread::Join() {
  if (!m_thread.Joinable()) return;
  if (!m_bResumed) {
    // Written before the start signal, which orders it before the thread's read.
    m_bAbandoned = true;
    m_start.Set();
  }
  m_thread.Join();
}
