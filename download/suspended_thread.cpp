// A suspended thread on the standard library: the thread waits for its start signal first.
#include "download/suspended_thread.h"

#include <system_error>

bool SuspendedThread::Create(std::function<void()> proc) {
  if (m_thread.joinable()) return false;
  m_start.Reinitialize(false);
  m_bResumed = false;
  m_bAbandoned = false;
  try {
    m_thread = std::thread([this, proc = std::move(proc)] {
      m_start.Wait();
      if (!m_bAbandoned) proc();
    });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

bool SuspendedThread::Resume() {
  if (!m_thread.joinable() || m_bResumed) return false;
  m_bResumed = true;
  m_start.Set();
  return true;
}

void SuspendedThread::Join() {
  if (!m_thread.joinable()) return;
  if (!m_bResumed) {
    // Written before the start signal, which orders it before the thread's read.
    m_bAbandoned = true;
    m_start.Set();
  }
  m_thread.join();
}
