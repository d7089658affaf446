// Event built on a mutex and a condition variable.
#include "download/event.h"

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
