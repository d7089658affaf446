// Puts finished pixels of the window seam onto a Win32 drawing surface.
#pragma once

#include <windows.h>

#include "platform/window.h"

namespace platform::win32 {

void BlitPixels(HDC target, const PixelView& pixels, Point at);

// The client-area surface of a window, released on every path.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : m_hWnd(window), m_hDC(GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (m_hDC) ReleaseDC(m_hWnd, m_hDC);
  }
  HDC Get() const { return m_hDC; }

 private:
  HWND m_hWnd;
  HDC m_hDC;
};

}  // namespace platform::win32
