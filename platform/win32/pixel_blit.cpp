// 32-bit top-down pixels copied onto a surface in one step.
#include "platform/win32/pixel_blit.h"

namespace platform::win32 {

void BlitPixels(HDC target, const PixelView& pixels, Point at) {
  if (!target || !pixels.pixels || pixels.width <= 0 || pixels.height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = pixels.stride;
  info.bmiHeader.biHeight = -pixels.height;  // rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  StretchDIBits(target, at.x, at.y, pixels.width, pixels.height, 0, 0, pixels.width, pixels.height, pixels.pixels,
                &info, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace platform::win32
