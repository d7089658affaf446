// Prints the text of the message box whose caption is the first argument, as UTF-8 on standard
// output, so that an end-to-end run can read what the installer says, not only who says it.
// Exit status 1 when no such box is open.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/wide_to_utf8.h"

namespace {

// A message box shows its text in a static control with this id.
constexpr int kMessageTextId = 0xFFFF;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  const HWND box = FindWindowW(L"#32770", argv[1]);
  const HWND text = box ? GetDlgItem(box, kMessageTextId) : nullptr;
  if (!text) return 1;
  wchar_t buffer[1024] = {};
  GetWindowTextW(text, buffer, static_cast<int>(sizeof(buffer) / sizeof(buffer[0])));
  std::fputs(ToUtf8(buffer).c_str(), stdout);
  return 0;
}
