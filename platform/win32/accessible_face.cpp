// The face as Microsoft Active Accessibility objects. One object answers for the dialog's client
// area (role dialog, four simple children: progress, status, Cancel, link) and one for each button
// window (that button's part alone), so that the focus events the system raises for a button window
// lead to the same roles and names. Every answer is computed from a fresh description, so it is
// never stale; the objects hold only the dialog's window and find its logic through a property.
#include "platform/win32/accessible_face.h"

#include <oleacc.h>

#include <optional>

#include "platform/win32/wide.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kFaceProperty[] = L"TorvinFace";
constexpr LONG kChildCount = static_cast<LONG>(kAccessiblePartCount);

// oleacc.dll is not one of the system's known DLLs: it is loaded on first use from the system
// folder, so a library planted beside the executable is never picked up.
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using AccessibleObjectFromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
LresultFromObjectFn LresultFromObjectFunction = nullptr;
AccessibleObjectFromWindowFn AccessibleObjectFromWindowFunction = nullptr;

BOOL CALLBACK LoadOleacc(PINIT_ONCE, PVOID, PVOID*) {
  const HMODULE library = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (library) {
    LresultFromObjectFunction = reinterpret_cast<LresultFromObjectFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "LresultFromObject")));
    AccessibleObjectFromWindowFunction = reinterpret_cast<AccessibleObjectFromWindowFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "AccessibleObjectFromWindow")));
  }
  return TRUE;
}

void EnsureOleacc() {
  static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  InitOnceExecuteOnce(&once, LoadOleacc, nullptr, nullptr);
}

IDialogEvents* EventsOf(HWND dialog) { return static_cast<IDialogEvents*>(GetPropW(dialog, kFaceProperty)); }

LONG Role(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::Dialog:
      return ROLE_SYSTEM_DIALOG;
    case AccessibleRole::ProgressBar:
      return ROLE_SYSTEM_PROGRESSBAR;
    case AccessibleRole::StaticText:
      return ROLE_SYSTEM_STATICTEXT;
    case AccessibleRole::PushButton:
      return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::Link:
      return ROLE_SYSTEM_LINK;
  }
  return ROLE_SYSTEM_CLIENT;
}

// A text for the caller, or S_FALSE where there is none.
HRESULT Answer(const std::u16string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT Child(LONG id, VARIANT* out) {
  out->vt = VT_I4;
  out->lVal = id;
  return S_OK;
}

HRESULT Nothing(VARIANT* out) {
  out->vt = VT_EMPTY;
  return S_FALSE;
}

// One face object: the dialog's client area (no part: the window and its four children), or one
// button's client area (its part, no children).
class FaceObject final : public IAccessible {
 public:
  FaceObject(HWND window, HWND dialog, std::optional<AccessiblePart> part)
      : m_window(window), m_dialog(dialog), m_part(part) {}
  FaceObject(const FaceObject&) = delete;
  FaceObject& operator=(const FaceObject&) = delete;

  // IUnknown: the object deletes itself with its last reference, as COM objects do.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&m_refs);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: readers use the IAccessible methods directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    EnsureOleacc();
    if (!AccessibleObjectFromWindowFunction) return S_FALSE;
    // The dialog's client object is a button's parent; the dialog's frame is the client area's.
    return m_part ? AccessibleObjectFromWindowFunction(m_dialog, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IDispatch),
                                                       reinterpret_cast<void**>(parent))
                  : AccessibleObjectFromWindowFunction(m_dialog, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                                       reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = m_part ? 0 : kChildCount;
    return Connected() ? S_OK : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Lookup(child) ? S_FALSE : E_INVALIDARG;  // the children are simple elements
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    return Read(child, out, [](const AccessibleItem& item) { return item.name; });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    return Read(child, out, [](const AccessibleItem& item) { return item.value; });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
    return Read(child, out, [](const AccessibleItem&) { return std::u16string(); });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    const std::optional<AccessibleItem> item = Lookup(child);
    if (!item) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = Role(item->role);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    const std::optional<AccessibleItem> item = Lookup(child);
    if (!item) return E_INVALIDARG;
    LONG bits = 0;
    if (item->unavailable) bits |= STATE_SYSTEM_UNAVAILABLE;
    if (item->focusable) bits |= STATE_SYSTEM_FOCUSABLE;
    if (item->linked) bits |= STATE_SYSTEM_LINKED;
    if (item->controlId == 0 && item->role != AccessibleRole::Dialog) bits |= STATE_SYSTEM_READONLY;
    if (item->controlId != 0 && GetFocus() == GetDlgItem(m_dialog, item->controlId)) bits |= STATE_SYSTEM_FOCUSED;
    state->vt = VT_I4;
    state->lVal = bits;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override { return Answer({}, out); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (topic) *topic = 0;
    return Answer({}, file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* out) override { return Answer({}, out); }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    const std::optional<AccessibleFace> face = Describe();
    if (!face) return CO_E_OBJNOTCONNECTED;
    const HWND focused = GetFocus();
    if (m_part) return focused == m_window ? Child(CHILDID_SELF, focus) : Nothing(focus);
    for (LONG i = 0; i < kChildCount; ++i) {
      const int id = face->parts[static_cast<size_t>(i)].controlId;
      if (id != 0 && focused == GetDlgItem(m_dialog, id)) return Child(i + 1, focus);
    }
    return focused == m_dialog ? Child(CHILDID_SELF, focus) : Nothing(focus);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return selection ? Nothing(selection) : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return Read(child, out, [](const AccessibleItem& item) { return item.defaultAction; });
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    const std::optional<AccessibleItem> item = Lookup(child);
    if (!item) return E_INVALIDARG;
    POINT origin{item->rect.left, item->rect.top};
    ClientToScreen(m_dialog, &origin);
    *left = origin.x;
    *top = origin.y;
    *width = item->rect.Width();
    *height = item->rect.Height();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    end->vt = VT_EMPTY;
    if (m_part || !Lookup(start)) return m_part ? S_FALSE : E_INVALIDARG;
    const LONG from = start.vt == VT_I4 ? start.lVal : CHILDID_SELF;
    LONG to = 0;
    if (from == CHILDID_SELF && direction == NAVDIR_FIRSTCHILD) to = 1;
    if (from == CHILDID_SELF && direction == NAVDIR_LASTCHILD) to = kChildCount;
    if (from != CHILDID_SELF && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN)) to = from + 1;
    if (from != CHILDID_SELF && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP)) to = from - 1;
    return to >= 1 && to <= kChildCount ? Child(to, end) : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    const std::optional<AccessibleFace> face = Describe();
    if (!face) return CO_E_OBJNOTCONNECTED;
    POINT at{x, y};
    ScreenToClient(m_dialog, &at);
    const Point point{at.x, at.y};
    if (m_part) return face->parts[*m_part].rect.Contains(point) ? Child(CHILDID_SELF, hit) : Nothing(hit);
    for (LONG i = 0; i < kChildCount; ++i)
      if (face->parts[static_cast<size_t>(i)].rect.Contains(point)) return Child(i + 1, hit);
    return face->window.rect.Contains(point) ? Child(CHILDID_SELF, hit) : Nothing(hit);
  }
  // Presses a button as a click would; posted, so that a question it asks never blocks the reader.
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    const std::optional<AccessibleItem> item = Lookup(child);
    if (!item) return E_INVALIDARG;
    if (item->controlId == 0 || item->unavailable) return DISP_E_MEMBERNOTFOUND;
    PostMessageW(GetDlgItem(m_dialog, item->controlId), BM_CLICK, 0, 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~FaceObject() = default;

  bool Connected() const { return IsWindow(m_dialog) && EventsOf(m_dialog); }

  std::optional<AccessibleFace> Describe() const {
    IDialogEvents* events = Connected() ? EventsOf(m_dialog) : nullptr;
    if (!events) return std::nullopt;
    return events->DescribeFace();
  }

  // The item a child id names: self (0) is the window, or the button's part; 1 to 4 the parts.
  std::optional<AccessibleItem> Lookup(const VARIANT& child) const {
    if (child.vt != VT_I4) return std::nullopt;
    std::optional<AccessibleFace> face = Describe();
    if (!face) return std::nullopt;
    if (m_part) return child.lVal == CHILDID_SELF ? std::optional(face->parts[*m_part]) : std::nullopt;
    if (child.lVal == CHILDID_SELF) return face->window;
    if (child.lVal < 1 || child.lVal > kChildCount) return std::nullopt;
    return face->parts[static_cast<size_t>(child.lVal - 1)];
  }

  template <typename Field>
  HRESULT Read(const VARIANT& child, BSTR* out, Field field) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!Connected()) return CO_E_OBJNOTCONNECTED;
    const std::optional<AccessibleItem> item = Lookup(child);
    return item ? Answer(field(*item), out) : E_INVALIDARG;
  }

  LONG m_refs = 1;
  HWND m_window;
  HWND m_dialog;
  std::optional<AccessiblePart> m_part;
};

LRESULT Serve(HWND window, HWND dialog, std::optional<AccessiblePart> part, WPARAM wp, LPARAM lp) {
  if (static_cast<LONG>(lp) != OBJID_CLIENT || !EventsOf(dialog)) return 0;
  EnsureOleacc();
  if (!LresultFromObjectFunction) return 0;
  FaceObject* object = new FaceObject(window, dialog, part);
  const LRESULT result = LresultFromObjectFunction(__uuidof(IAccessible), wp, object);
  object->Release();  // LresultFromObject holds its own reference while the reader takes it
  return result;
}

std::optional<AccessiblePart> PartOfButton(HWND button) {
  IDialogEvents* events = EventsOf(GetParent(button));
  if (!events) return std::nullopt;
  const AccessibleFace face = events->DescribeFace();
  const int id = GetDlgCtrlID(button);
  for (uint32_t i = 0; i < kAccessiblePartCount; ++i)
    if (face.parts[i].controlId == id) return static_cast<AccessiblePart>(i);
  return std::nullopt;
}

}  // namespace

void AttachFace(HWND dialog, IDialogEvents& events) { SetPropW(dialog, kFaceProperty, &events); }

void DetachFace(HWND dialog) { RemovePropW(dialog, kFaceProperty); }

LRESULT ServeDialogObject(HWND dialog, WPARAM wp, LPARAM lp) { return Serve(dialog, dialog, std::nullopt, wp, lp); }

LRESULT ServeButtonObject(HWND button, WPARAM wp, LPARAM lp) {
  if (static_cast<LONG>(lp) != OBJID_CLIENT) return 0;
  const std::optional<AccessiblePart> part = PartOfButton(button);
  return part ? Serve(button, GetParent(button), part, wp, lp) : 0;
}

void NotifyFaceChange(HWND dialog, AccessiblePart part, AccessibleChange change) {
  const DWORD event = change == AccessibleChange::Name    ? EVENT_OBJECT_NAMECHANGE
                      : change == AccessibleChange::Value ? EVENT_OBJECT_VALUECHANGE
                                                          : EVENT_OBJECT_STATECHANGE;
  NotifyWinEvent(event, dialog, OBJID_CLIENT, static_cast<LONG>(part) + 1);
}

void NotifyButtonFocus(HWND button) {
  if (const std::optional<AccessiblePart> part = PartOfButton(button))
    NotifyWinEvent(EVENT_OBJECT_FOCUS, GetParent(button), OBJID_CLIENT, static_cast<LONG>(*part) + 1);
}

}  // namespace platform::win32
