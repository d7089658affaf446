// The threads seam on the standard library: the event is a flag under a mutex and a condition
// variable.
#include "platform/thread.h"

#include <system_error>

namespace platform {

void Mutex::lock() { m_mutex.lock(); }
void Mutex::unlock() { m_mutex.unlock(); }

Event::Event(Reset reset, bool initiallySet) : m_reset(reset), m_bSet(initiallySet) {}
Event::~Event() = default;

void Event::Set() {
  {
    std::lock_guard lock(m_mutex);
    m_bSet = true;
  }
  if (m_reset == Reset::Manual) {
    m_changed.notify_all();
  } else {
    m_changed.notify_one();
  }
}

void Event::Clear() {
  std::lock_guard lock(m_mutex);
  m_bSet = false;
}

bool Event::ConsumeLocked() {
  if (!m_bSet) return false;
  if (m_reset == Reset::Automatic) m_bSet = false;
  return true;
}

bool Event::IsSet() {
  std::lock_guard lock(m_mutex);
  return ConsumeLocked();
}

void Event::Wait() {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [this] { return m_bSet; });
  ConsumeLocked();
}

bool Event::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock lock(m_mutex);
  if (!m_changed.wait_for(lock, timeout, [this] { return m_bSet; })) return false;
  return ConsumeLocked();
}

void Event::Reinitialize(bool initiallySet) {
  std::lock_guard lock(m_mutex);
  m_bSet = initiallySet;
}

bool Thread::Start(Procedure procedure, void* context) {
  if (m_thread.joinable()) return false;
  try {
    m_thread = std::thread(procedure, context);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

bool Thread::Joinable() const { return m_thread.joinable(); }

void Thread::Join() {
  if (m_thread.joinable()) m_thread.join();
}

}  // namespace platform
