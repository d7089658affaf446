// The text seam on Windows: GDI fonts from the font mapper, and DrawText into a DIB section that
// takes the target bitmap's pixels under the text rectangle and gives them back afterwards.
#include "platform/text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

struct DeleteDc {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using MemoryDc = win32::UniqueHandle<HDC, DeleteDc>;
using GdiObject = win32::UniqueHandle<HGDIOBJ, DeleteGdiObject>;

// Selects an object into a device context for one scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(m_dc, m_previous); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_previous;
};

RECT ToRect(const ui::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

struct Font::Impl {
  GdiObject owned;         // a font made for the request
  HFONT handle = nullptr;  // the font to select: the owned one or the stock default
  bool isDefault = false;
};

Font::Font() : m_impl(std::make_unique<Impl>()) {
  m_impl->handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  m_impl->isDefault = true;
}

Font::Font(const FontRequest& request) : m_impl(std::make_unique<Impl>()) {
  LOGFONTW record{};
  record.lfHeight = request.height;
  record.lfWidth = request.width;
  record.lfWeight = request.weight;
  record.lfUnderline = request.underline ? TRUE : FALSE;
  record.lfCharSet = request.charSet;
  record.lfOutPrecision = request.outPrecision;
  record.lfClipPrecision = request.clipPrecision;
  record.lfQuality = request.quality;
  record.lfPitchAndFamily = request.pitchAndFamily;
  const size_t length = std::min<size_t>(request.face.size(), LF_FACESIZE - 1);
  std::memcpy(record.lfFaceName, request.face.data(), length * sizeof(wchar_t));
  HFONT font = request.face.empty() ? nullptr : CreateFontIndirectW(&record);
  if (!font) {
    *this = Font();
    return;
  }
  m_impl->owned.Reset(font);
  m_impl->handle = font;
}

Font::Font(Font&&) noexcept = default;
Font& Font::operator=(Font&&) noexcept = default;
Font::~Font() = default;

bool Font::IsDefault() const { return m_impl->isDefault; }

ui::Rect MeasureText(const Font& font, std::u16string_view text, ui::Rect rect, uint32_t format) {
  MemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc) return ui::Rect{rect.left, rect.top, rect.left, rect.top};
  Selection selected(dc.Get(), font.Get().handle);
  RECT r = ToRect(rect);
  const std::u16string copy(text);
  DrawTextW(dc.Get(), win32::Wide(copy), static_cast<int>(copy.size()), &r, format | DT_CALCRECT);
  return ui::Rect{r.left, r.top, r.right, r.bottom};
}

void RenderText(ui::Bitmap& target, const Font& font, std::u16string_view text, ui::Rect rect,
                uint32_t format, ui::Color color) {
  const ui::Rect clip = rect.Intersect(target.Bounds());
  if (clip.IsEmpty() || text.empty() || target.IsMono()) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = clip.Width();
  info.bmiHeader.biHeight = -clip.Height();  // top row first, as our rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  GdiObject section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  MemoryDc dc(CreateCompatibleDC(nullptr));
  if (!section || !dc || !bits) return;
  auto* pixels = static_cast<uint32_t*>(bits);
  const size_t rowBytes = static_cast<size_t>(clip.Width()) * sizeof(uint32_t);
  for (int32_t y = 0; y < clip.Height(); ++y)
    std::memcpy(pixels + static_cast<size_t>(y) * clip.Width(), target.Row(clip.top + y) + clip.left,
                rowBytes);
  {
    Selection selectedBitmap(dc.Get(), section.Get());
    Selection selectedFont(dc.Get(), font.Get().handle);
    SetBkMode(dc.Get(), TRANSPARENT);
    SetTextColor(dc.Get(), color);
    RECT r = ToRect(rect);
    OffsetRect(&r, -clip.left, -clip.top);
    const std::u16string copy(text);
    DrawTextW(dc.Get(), win32::Wide(copy), static_cast<int>(copy.size()), &r, format);
    GdiFlush();
  }
  // GDI leaves its own value in the fourth byte of the pixels it drew; ours is always 0.
  for (int32_t y = 0; y < clip.Height(); ++y) {
    uint32_t* row = target.Row(clip.top + y) + clip.left;
    const uint32_t* drawn = pixels + static_cast<size_t>(y) * clip.Width();
    for (int32_t x = 0; x < clip.Width(); ++x) row[x] = drawn[x] & 0x00FFFFFFu;
  }
}

}  // namespace platform
