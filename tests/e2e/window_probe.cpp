// What an end-to-end run cannot read off the screen by itself, from inside the Wine prefix:
//   window_probe controls              the installer dialog's two buttons, a line each:
//                                      "ID LEFT TOP RIGHT BOTTOM TEXT" (client coordinates, UTF-8)
//   window_probe status FOLDER TAG N   the status line the installer paints for state N in the
//                                      language TAG ("-" for none) from FOLDER's skin and texts, as
//                                      a binary PPM on standard output
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/language_choice.h"
#include "app/ui_strings.h"
#include "platform/utf.h"
#include "ui/skin.h"
#include "ui/window_painting.h"

namespace {

constexpr int kButtonIds[] = {1000, 1001};

// The installer's dialog: a top-level dialog window holding the Cancel button.
BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) != L"#32770" || !GetDlgItem(window, kButtonIds[0])) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

int PrintControls() {
  HWND dialog = nullptr;
  EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) return 1;
  for (int id : kButtonIds) {
    const HWND button = GetDlgItem(dialog, id);
    RECT r{};
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    wchar_t text[512] = {};
    GetWindowTextW(button, text, 512);
    const std::u16string wide(reinterpret_cast<const char16_t*>(text));
    std::printf("%d %ld %ld %ld %ld %s\n", id, r.left, r.top, r.right, r.bottom,
                platform::ToUtf8(wide).c_str());
  }
  return 0;
}

int PrintStatusLine(const std::u16string& folder, const std::u16string& tag, int32_t state) {
  const UIString* status = StatusUIString(state);
  if (!status) return 2;
  const ui::SkinSource skin = ui::LoadSkinSource(folder);
  const ui::BarFrames frames = ui::LoadBarFrames();
  const std::u16string text = GetUIString(*status, folder + u"\\TorvinWebInstallerString.ini", tag);
  ui::FaceState face;
  face.skin = &skin.images;
  face.layout = ui::ComputeLayout(skin.images.background.Extent(), frames[0], skin.images.statusBack, {},
                                  IsRightToLeftLanguage(tag));
  face.statusText = text;
  const ui::Bitmap line = ui::PaintStatusLine(face);
  _setmode(_fileno(stdout), _O_BINARY);
  std::printf("P6\n%d %d\n255\n", line.Width(), line.Height());
  for (int32_t y = 0; y < line.Height(); ++y) {
    for (int32_t x = 0; x < line.Width(); ++x) {
      const ui::Color c = line.GetPixel(x, y);
      const unsigned char rgb[3] = {ui::RedOf(c), ui::GreenOf(c), ui::BlueOf(c)};
      std::fwrite(rgb, 1, 3, stdout);
    }
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const auto arg = [&](int i) { return std::u16string(reinterpret_cast<const char16_t*>(argv[i])); };
  if (argc == 2 && arg(1) == u"controls") return PrintControls();
  if (argc == 5 && arg(1) == u"status") {
    const std::u16string tag = arg(3) == u"-" ? std::u16string() : arg(3);
    return PrintStatusLine(arg(2), tag, static_cast<int32_t>(std::wcstol(argv[4], nullptr, 10)));
  }
  return 2;
}
