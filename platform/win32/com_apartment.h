// A single-threaded COM apartment for the calling thread while the object lives (the shell's "open"
// and its taskbar list expect one); a thread that already has an apartment keeps it.
#pragma once

#include <objbase.h>

namespace platform::win32 {

class ComApartment {
 public:
  ComApartment()
      : m_initialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  }
  ~ComApartment() {
    if (m_initialised) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool m_initialised;
};

}  // namespace platform::win32
