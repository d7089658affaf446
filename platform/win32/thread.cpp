// The threads seam on the system's own primitives: a slim reader/writer lock taken exclusively,
// event objects, and CreateThread.
#include "platform/thread.h"

#include <windows.h>

#include <cstdlib>

namespace platform {

static_assert(sizeof(void*) == sizeof(SRWLOCK), "Mutex keeps an SRWLOCK in one pointer");

namespace {

PSRWLOCK AsLock(void** storage) { return reinterpret_cast<PSRWLOCK>(storage); }

// A wait of at most `timeout`, never INFINITE by accident and never negative.
DWORD WaitMilliseconds(std::chrono::milliseconds timeout) {
  if (timeout.count() <= 0) return 0;
  if (timeout.count() >= static_cast<long long>(INFINITE)) return INFINITE - 1;
  return static_cast<DWORD>(timeout.count());
}

}  // namespace

void Mutex::lock() { AcquireSRWLockExclusive(AsLock(&m_lock)); }
void Mutex::unlock() { ReleaseSRWLockExclusive(AsLock(&m_lock)); }

Event::Event(Reset reset, bool initiallySet)
    : m_event(CreateEventW(nullptr, reset == Reset::Manual, initiallySet, nullptr)),
      m_bManual(reset == Reset::Manual),
      m_bSet(initiallySet) {
  // Without its event the engine could neither wait nor be told to stop.
  if (m_event == nullptr) std::abort();
}

Event::~Event() { CloseHandle(m_event); }

// The mirror changes before the object, so a thread that has seen an event set through a wait also
// sees it set through the mirror.
void Event::Set() {
  m_bSet = true;
  SetEvent(m_event);
}

void Event::Clear() {
  m_bSet = false;
  ResetEvent(m_event);
}

// An automatic-reset event is consumed by the answer, which only the object can do.
bool Event::IsSet() { return m_bManual ? m_bSet.load() : WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0; }
void Event::Wait() { WaitForSingleObject(m_event, INFINITE); }

bool Event::WaitFor(std::chrono::milliseconds timeout) {
  return WaitForSingleObject(m_event, WaitMilliseconds(timeout)) == WAIT_OBJECT_0;
}

void Event::Reinitialize(bool initiallySet) {
  if (initiallySet) {
    Set();
  } else {
    Clear();
  }
}

unsigned long __stdcall Thread::Entry(void* self) {
  auto* thread = static_cast<Thread*>(self);
  thread->m_procedure(thread->m_context);
  return 0;
}

bool Thread::Start(Procedure procedure, void* context) {
  if (m_thread != nullptr) return false;
  // Written before the thread exists, so it reads them; the object outlives the thread (joined).
  m_procedure = procedure;
  m_context = context;
  m_thread = CreateThread(nullptr, 0, Entry, this, 0, nullptr);
  return m_thread != nullptr;
}

bool Thread::Joinable() const { return m_thread != nullptr; }

void Thread::Join() {
  if (m_thread == nullptr) return;
  WaitForSingleObject(m_thread, INFINITE);
  CloseHandle(m_thread);
  m_thread = nullptr;
}

}  // namespace platform
