// RAII for Win32 handles: one alias per handle kind, each with the call that closes it, e.g.
//   struct CloseKernelHandle { void operator()(HANDLE h) const { CloseHandle(h); } };
//   using FileHandle = UniqueHandle<HANDLE, CloseKernelHandle, -1>;  // -1: INVALID_HANDLE_VALUE
// A handle equal to the invalid value or to null is never closed.
#pragma once

#include <utility>

namespace platform::win32 {

template <typename Handle, typename Close, auto Invalid = nullptr>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : m_h(h) {}
  UniqueHandle(UniqueHandle&& other) noexcept : m_h(std::exchange(other.m_h, InvalidValue())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.m_h, InvalidValue()));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  Handle Get() const { return m_h; }
  explicit operator bool() const { return m_h != InvalidValue() && m_h != Handle{}; }
  Handle Release() { return std::exchange(m_h, InvalidValue()); }
  void Reset(Handle h = InvalidValue()) {
    if (*this) Close{}(m_h);
    m_h = h;
  }

 private:
  static Handle InvalidValue() { return (Handle)(Invalid); }
  Handle m_h = InvalidValue();
};

}  // namespace platform::win32
