// What an end-to-end run cannot read off the screen by itself, from inside the Wine prefix:
//   window_probe controls              the installer dialog's two buttons, a line each:
//                                      "ID LEFT TOP RIGHT BOTTOM TEXT" (client coordinates, UTF-8)
//   window_probe status FOLDER TAG N   the status line the installer paints for state N in the
//                                      language TAG ("-" for none) from FOLDER's skin and texts, as
//                                      a binary PPM on standard output
//   window_probe reader                the dialog as a screen reader gets it through Active
//                                      Accessibility: a line "CHILD ROLE STATE NAME|VALUE|ACTION"
//                                      for the window (child 0) and each child (hexadecimal role
//                                      and state, UTF-8)
//   window_probe events SECONDS        listens, from outside the installer's process, until the
//                                      dialog closes (at most SECONDS), to its name, value and state
//                                      changes and focus moves, and prints a line
//                                      "EVENT CHILD STATE NAME|VALUE" for each, read when it arrives
#include <fcntl.h>
#include <io.h>
#include <oleacc.h>
#include <windows.h>

#include <algorithm>
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

HWND FindInstallerDialog() {
  HWND dialog = nullptr;
  EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
  return dialog;
}

int PrintControls() {
  const HWND dialog = FindInstallerDialog();
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

std::string Utf8(BSTR text) {
  return text ? platform::ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text))) : "";
}

// A text property of one child, through a getter of IAccessible.
template <typename Getter>
std::string Read(IAccessible* object, LONG child, Getter getter) {
  VARIANT id{};
  id.vt = VT_I4;
  id.lVal = child;
  BSTR text = nullptr;
  const HRESULT result = (object->*getter)(id, &text);
  const std::string value = SUCCEEDED(result) ? Utf8(text) : "";
  SysFreeString(text);
  return value;
}

std::string Line(IAccessible* object, LONG child) {
  VARIANT id{};
  id.vt = VT_I4;
  id.lVal = child;
  VARIANT role{}, state{};
  object->get_accRole(id, &role);
  object->get_accState(id, &state);
  char head[64];
  std::snprintf(head, sizeof(head), "%ld %lx %lx ", child, role.vt == VT_I4 ? role.lVal : -1L,
                state.vt == VT_I4 ? state.lVal : -1L);
  return head + Read(object, child, &IAccessible::get_accName) + "|" + Read(object, child, &IAccessible::get_accValue) +
         "|" + Read(object, child, &IAccessible::get_accDefaultAction);
}

int PrintReader() {
  const HWND dialog = FindInstallerDialog();
  IAccessible* object = nullptr;
  if (!dialog || FAILED(AccessibleObjectFromWindow(dialog, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&object))))
    return 1;
  LONG children = 0;
  object->get_accChildCount(&children);
  for (LONG child = 0; child <= children; ++child) std::printf("%s\n", Line(object, child).c_str());
  object->Release();
  return 0;
}

HWND g_dialog = nullptr;  // whose events the listener prints

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId, LONG child, DWORD, DWORD) {
  if (window != g_dialog && GetParent(window) != g_dialog) return;
  IAccessible* object = nullptr;
  VARIANT id{};
  if (FAILED(AccessibleObjectFromEvent(window, static_cast<DWORD>(objectId), child, &object, &id))) return;
  VARIANT state{};
  object->get_accState(id, &state);
  const char* name = event == EVENT_OBJECT_NAMECHANGE    ? "name"
                     : event == EVENT_OBJECT_VALUECHANGE ? "value"
                     : event == EVENT_OBJECT_STATECHANGE ? "state"
                                                         : "focus";
  std::printf("%s %ld %lx %s|%s\n", name, child, state.vt == VT_I4 ? state.lVal : -1L,
              Read(object, id.lVal, &IAccessible::get_accName).c_str(),
              Read(object, id.lVal, &IAccessible::get_accValue).c_str());
  std::fflush(stdout);
  object->Release();
}

// Wine matches no process filter of an out-of-context hook, so the listener hears every process
// and keeps the dialog's events.
int PrintEvents(DWORD seconds) {
  g_dialog = FindInstallerDialog();
  if (!g_dialog) return 1;
  const HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, OnEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
  if (!hook) return 1;
  std::printf("listening\n");
  std::fflush(stdout);
  const DWORD end = GetTickCount() + seconds * 1000;
  for (DWORD now = GetTickCount(); now < end && IsWindow(g_dialog); now = GetTickCount()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(end - now, 100), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  UnhookWinEvent(hook);
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
  if (argc == 2 && arg(1) == u"reader") {
    CoInitialize(nullptr);
    const int result = PrintReader();
    CoUninitialize();
    return result;
  }
  if (argc == 3 && arg(1) == u"events") {
    CoInitialize(nullptr);
    const int result = PrintEvents(static_cast<DWORD>(std::wcstol(argv[2], nullptr, 10)));
    CoUninitialize();
    return result;
  }
  if (argc == 5 && arg(1) == u"status") {
    const std::u16string tag = arg(3) == u"-" ? std::u16string() : arg(3);
    return PrintStatusLine(arg(2), tag, static_cast<int32_t>(std::wcstol(argv[4], nullptr, 10)));
  }
  return 2;
}
