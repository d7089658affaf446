// Code-page conversion through the system's MultiByteToWideChar.
#include "platform/codepage.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace platform {

int32_t AnsiCodePage() { return static_cast<int32_t>(GetACP()); }

int32_t MultiByteToUtf16(int32_t codePage, const char* bytes, int32_t count, char16_t* destination,
                         int32_t capacity) {
  if (count <= 0) return 0;
  const UINT page = codePage == 0 ? CP_ACP : static_cast<UINT>(codePage);
  if (!destination) return MultiByteToWideChar(page, 0, bytes, count, nullptr, 0);
  if (capacity <= 0) return 0;
  const int written = MultiByteToWideChar(page, 0, bytes, count, win32::Wide(destination), capacity);
  // Windows refuses a destination that is too small; Wine fills it and returns its size.
  if (written == capacity && MultiByteToWideChar(page, 0, bytes, count, nullptr, 0) > capacity) return 0;
  return written;
}

}  // namespace platform
