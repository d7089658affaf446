// The image button: set-up, the state its events drive, and the drawing of each state.
#include "ui/torvin_button.h"

#include <utility>

#include "ui/button_images.h"

namespace ui {
namespace {

constexpr uint32_t kCheckBoxBit = 2;
constexpr uint32_t kTypeDefaultPush = 1;
constexpr uint32_t kTypePush = 0;
constexpr uint32_t kClipSiblings = 0x04000000;
constexpr uint32_t kCodeDefaultPush = 16;
constexpr uint32_t kCodeUndefaultPush = 32;
constexpr uint32_t kCaptionFormat = platform::kTextWordBreak | platform::kTextCenter;

// An icon on a white ground: its masked-out pixels stay white.
Bitmap IconOnWhite(const IconSlot& slot) {
  Bitmap ground(slot.icon->Width(), slot.icon->Height());
  for (int32_t y = 0; y < ground.Height(); ++y) {
    for (int32_t x = 0; x < ground.Width(); ++x) {
      const bool transparent = slot.mask && slot.mask->GetPixel(x, y) == kWhite;
      ground.SetPixel(x, y, transparent ? kWhite : slot.icon->GetPixel(x, y));
    }
  }
  return ground;
}

}  // namespace

CTorvinButton::CTorvinButton(const SystemColors& system) : m_system(system) { ResetColors(); }

CTorvinButton::~CTorvinButton() = default;

void CTorvinButton::Repaint() {
  if (m_host) m_host->Repaint();
}

void CTorvinButton::CancelHot() {
  if (m_bFlat && m_bHot) {
    m_bHot = false;
    Repaint();
  }
}

void CTorvinButton::ResetColors() {
  m_colors = {m_system.btnFace, m_system.btnText, m_system.btnFace,
              m_system.btnText, m_system.btnFace, m_system.btnText};
}

// ---- set-up ----

CTorvinButton::ImageResult CTorvinButton::FillSlot(int slot, ImageRef image, Color key) {
  ImageSlot& s = m_images[static_cast<size_t>(slot)];
  s.image = std::move(image);
  s.keyColor = key;
  if (s.image->Empty()) {
    ReleaseImages();
    return ImageInvalid;
  }
  s.width = static_cast<uint32_t>(s.image->Width());
  s.height = static_cast<uint32_t>(s.image->Height());
  s.mask = BuildImageMask(*s.image, key, m_size);
  if (s.mask.Empty()) {
    ReleaseImages();
    return ImageMaskFailed;
  }
  return ImagesOk;
}

CTorvinButton::ImageResult CTorvinButton::SetImages(ImageRef in, ImageRef out) {
  ReleaseImages();
  if (!in) {
    Repaint();
    return ImagesOk;
  }
  ImageResult result = FillSlot(0, std::move(in), kImageKeyColor);
  if (result == ImagesOk && out) result = FillSlot(1, std::move(out), kBlack);
  if (result == ImagesOk) Repaint();
  return result;
}

CTorvinButton::ImageResult CTorvinButton::SetImages(ImageRef in, DeriveImage derive) {
  ReleaseImages();
  if (!in) {
    Repaint();
    return ImagesOk;
  }
  // Derived from the In image before its mask blackens its key-coloured pixels.
  Bitmap derived = derive == DeriveDarker ? MakeDarkerImage(*in) : MakeGrayImage(*in);
  ImageResult result = FillSlot(0, std::move(in), kImageKeyColor);
  if (result == ImagesOk && !derived.Empty())
    result = FillSlot(1, ShareImage(std::move(derived)), kImageKeyColor);
  if (result == ImagesOk) Repaint();
  return result;
}

void CTorvinButton::ReleaseImages() {
  m_icons = {};
  m_images = {};
}

void CTorvinButton::SetIcons(IconSlot in, IconSlot out) {
  m_icons = {std::move(in), std::move(out)};
  Repaint();
}

void CTorvinButton::SetSound(int slot, SoundSlot sound) {
  if (slot == 0 || slot == 1) m_sounds[static_cast<size_t>(slot)] = std::move(sound);
}

void CTorvinButton::SetCaptionFont(std::u16string_view face, int32_t height, int32_t width, bool underline) {
  platform::FontRequest request{std::u16string(face), height, width, 700, underline};
  if (face.empty()) request = platform::FontRequest{u"Microsoft Sans Serif", -14, 0, 700, false};
  // ANSI character set, stroke output and clip precision, draft quality, variable pitch, Swiss family.
  request.charSet = 0;
  request.outPrecision = 3;
  request.clipPrecision = 2;
  request.quality = 1;
  request.pitchAndFamily = 0x22;
  m_fontCaption.reset();
  m_fontCaption.emplace(request);
}

void CTorvinButton::SetAlignment(uint8_t align) {
  m_nAlign = align;
  Repaint();
}

void CTorvinButton::SetColor(ColorSlot slot, Color color) {
  m_colors[static_cast<size_t>(slot)] = color;
  Repaint();
}

void CTorvinButton::SetPressOffset(int32_t x, int32_t y) {
  m_ptPressOffset = Point{x, y};
  Repaint();
}

void CTorvinButton::SetDrawFrame(bool draw) {
  m_bDrawFrame = draw;
  Repaint();
}

void CTorvinButton::SetTransparent() {
  m_bTransparent = true;
  m_bmpBack = Bitmap();
  Repaint();
}

void CTorvinButton::SetUrl(std::u16string_view url) { m_szUrl = std::u16string(url.substr(0, kMaxUrl)); }

void CTorvinButton::SetRightToLeftReading(bool rightToLeft) {
  m_bRtlReading = rightToLeft;
  Repaint();
}

uint32_t CTorvinButton::CaptionFormat() const {
  return kCaptionFormat | (m_bRtlReading ? uint32_t{platform::kTextRtlReading} : 0u);
}

Size CTorvinButton::MeasureCaption(std::u16string_view text) const {
  const platform::Font fallback;
  const Rect measured = platform::MeasureText(m_fontCaption ? *m_fontCaption : fallback, text,
                                              Rect{0, 0, m_size.cx, m_size.cy}, CaptionFormat());
  return Size{measured.Width(), measured.Height()};
}

// ---- window events ----

uint32_t CTorvinButton::PreSubclassWindow(uint32_t style) {
  m_nButtonType = style & kTypeMask;
  if (style & kCheckBoxBit) m_bCheckBox = true;
  if (m_nButtonType == kTypeDefaultPush) {
    m_bDefault = true;
    m_nButtonType = kTypePush;
  }
  return (style & ~kTypeMask) | kOwnerDraw | kClipSiblings;
}

uint32_t CTorvinButton::OnButtonSetStyle(uint32_t style) {
  const uint32_t type = style & kTypeMask;
  if (type == kTypeDefaultPush)
    m_bDefault = true;
  else if (type == kTypePush)
    m_bDefault = false;
  return (style & ~kTypeMask) | kOwnerDraw;
}

void CTorvinButton::OnButtonSetCheck(int32_t check) {
  if (!m_bCheckBox) return;
  m_nChecked = (check == 1 || check == 2) ? 1 : 0;
  Repaint();
}

uint32_t CTorvinButton::OnGetDlgCode(uint32_t defaultCode) const {
  return defaultCode | (m_bDefault ? kCodeDefaultPush : kCodeUndefaultPush);
}

void CTorvinButton::OnMouseMove(bool leftButtonDown, bool overThis, bool windowActive) {
  if (!m_bTrackHover) return;
  if (leftButtonDown && !m_bHot) return;
  if (!m_bFlat) return;
  const bool referenceExists = m_bTrackInactive || windowActive;
  if (!overThis || !referenceExists) {
    CancelHot();
    return;
  }
  if (m_bHot) return;
  m_bHot = true;
  Repaint();
  if (m_host && m_sounds[0].IsSet()) m_host->PlayButtonSound(m_sounds[0]);
  if (m_host) m_host->TrackMouseLeave();
}

void CTorvinButton::OnMouseLeave() {
  if (m_bTrackHover) CancelHot();
}

void CTorvinButton::OnActivate(bool inactive) {
  if (inactive) CancelHot();
}

void CTorvinButton::OnEnable(bool enabled) {
  if (!enabled) CancelHot();
}

void CTorvinButton::OnSysColorChange(const SystemColors& system) {
  m_system = system;
  m_bmpBack = Bitmap();
  ResetColors();
  Repaint();
}

std::u16string CTorvinButton::OnReflectedClick() {
  if (m_host && m_sounds[1].IsSet()) m_host->PlayButtonSound(m_sounds[1]);
  if (m_bCheckBox) {
    m_nChecked = m_nChecked == 0 ? 1 : 0;
    Repaint();
    return {};
  }
  return m_szUrl;
}

// ---- drawing ----

void CTorvinButton::DrawItem(Bitmap& surface, const DrawItemInfo& item) {
  m_bPressed = item.selected || (m_bCheckBox && m_nChecked != 0);
  m_bFocused = item.focus;
  m_bDisabled = item.disabled;
  Canvas canvas(surface);
  Rect r = item.rcItem;
  if (m_bTransparent)
    PaintCapturedBackground(canvas);
  else
    PaintFace(canvas, r);
  PaintFrame(canvas, r);

  Rect caption = item.rcItem;
  const bool hasCaption = !item.caption.empty();
  if (m_icons[0].icon) PaintIcon(canvas, hasCaption, item.rcItem, caption, m_bPressed, m_bDisabled);
  if (m_images[0].image) {
    canvas.SetBkColor(kWhite);
    PaintImage(canvas, hasCaption, item.rcItem, caption, m_bPressed, m_bDisabled);
  }
  if (hasCaption) PaintCaption(canvas, item.caption, item.rcItem, caption, m_bPressed, m_bDisabled);
  if ((!m_bFlat || m_bFlatFocus) && m_bFocused) {
    Rect focus = r;
    focus.Deflate(3);
    canvas.DrawFocusRect(focus);
  }
}

void CTorvinButton::PaintCapturedBackground(Canvas& canvas) {
  // Captured once; every later draw reuses it until it is discarded.
  if (m_bmpBack.Empty() && m_host) m_bmpBack = m_host->CaptureParentBackground(m_size);
  canvas.BitBlt(Point{}, m_size, m_bmpBack);
}

void CTorvinButton::PaintFace(Canvas& canvas, Rect& rect) {
  if (!m_bFlat && (m_bFocused || m_bDefault)) {
    canvas.Draw3dRect(rect, kBlack, kBlack);
    rect.Deflate(1);
  }
  const ColorSlot back = (m_bHot || m_bPressed) ? ColorBackIn : m_bFocused ? ColorBackFocus : ColorBackOut;
  canvas.FillSolidRect(rect, m_colors[back]);
}

void CTorvinButton::PaintFrame(Canvas& canvas, const Rect& rect) {
  if (!m_bDrawFrame) return;
  if (m_bPressed) {
    canvas.Draw3dRect(rect, m_system.btnShadow, m_bFlat ? m_system.btnHighlight : m_system.btnShadow);
    return;
  }
  if (m_bFlat) {
    if (m_bHot) canvas.Draw3dRect(rect, m_system.btnHighlight, m_system.btnShadow);
    return;
  }
  const int32_t l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  const auto polyline = [&](Point a, Point m, Point e, Color c) {
    canvas.Line(a, m, 1, c);
    canvas.Line(m, e, 1, c);
  };
  polyline({l, b - 1}, {l, t}, {r, t}, m_system.btnHighlight);
  polyline({l + 1, b - 1}, {l + 1, t + 1}, {r, t + 1}, m_system.light3d);
  polyline({l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1}, m_system.darkShadow3d);
  polyline({l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t}, m_system.btnShadow);
}

int CTorvinButton::ChooseSlot(bool images) const {
  const bool outSet = images ? static_cast<bool>(m_images[1].image) : static_cast<bool>(m_icons[1].icon);
  if (m_bPressed) return 0;
  if (m_bCheckBox) return outSet ? 1 : 0;
  if (m_bHot) return 0;
  return outSet ? 1 : 0;
}

Rect CTorvinButton::PlaceImage(const Rect& item, Rect& caption, bool hasCaption, bool pressed,
                               Size image) const {
  Rect p = item;
  const int32_t w = image.cx, h = image.cy;
  switch (m_nAlign) {
    case AlignImageLeft:
      if (hasCaption) {
        p.left += m_ptImageOrigin.x;
        caption.left += w + m_ptImageOrigin.x;
      } else {
        p.left += (p.Width() - w) / 2;
      }
      p.top += (p.Height() - h) / 2;
      break;
    case AlignImageTop:
      p.left += (p.Width() - w) / 2;
      if (hasCaption) {
        p.top = m_ptImageOrigin.y;
        caption.top += h;
      } else {
        p.top += (p.Height() - h) / 2;
      }
      break;
    case AlignImageRight:
      if (hasCaption) {
        caption.right -= caption.left + w + m_ptImageOrigin.x;
        caption.left = m_ptImageOrigin.x;
        p.left = m_size.cx - w - m_ptImageOrigin.x;
        p.top += (p.Height() - h) / 2;
      } else {
        p.left += (p.Width() - w) / 2;
      }
      break;
    default:  // AlignImageWhole and any higher value: the image covers the button
      break;
  }
  if (pressed && !m_bCheckBox) p.Offset(m_ptPressOffset.x, m_ptPressOffset.y);
  return p;
}

void CTorvinButton::PaintIcon(Canvas& canvas, bool hasCaption, const Rect& item, Rect& caption, bool pressed,
                              bool disabled) {
  const IconSlot& slot = m_icons[static_cast<size_t>(ChooseSlot(false))];
  if (!slot.icon) return;
  const Rect p = PlaceImage(item, caption, hasCaption, pressed, slot.icon->Extent());
  const Bitmap ground = IconOnWhite(slot);
  if (disabled) {
    canvas.DrawDisabledImage(Point{p.left, p.top}, ground, m_system.btnHighlight, m_system.btnShadow);
    return;
  }
  for (int32_t y = 0; y < ground.Height(); ++y) {
    for (int32_t x = 0; x < ground.Width(); ++x) {
      if (!slot.mask || slot.mask->GetPixel(x, y) != kWhite)
        canvas.SetPixel({p.left + x, p.top + y}, ground.GetPixel(x, y));
    }
  }
}

void CTorvinButton::PaintImage(Canvas& canvas, bool hasCaption, const Rect& item, Rect& caption, bool pressed,
                               bool disabled) {
  ImageSlot& slot = m_images[static_cast<size_t>(ChooseSlot(true))];
  Canvas image(*slot.image);
  if (disabled && m_bShowDisabledImage) {
    const Size size{static_cast<int32_t>(slot.width), static_cast<int32_t>(slot.height)};
    const Rect p = PlaceImage(item, caption, hasCaption, pressed, size);
    Bitmap buffer(size.cx, size.cy);
    Canvas bufferCanvas(buffer);
    bufferCanvas.FillSolidRect(buffer.Bounds(), kWhite);
    bufferCanvas.SetBkColor(kWhite);
    Canvas mask(slot.mask);
    bufferCanvas.StretchBlt(buffer.Bounds(), mask, buffer.Bounds(), RasterOp::SrcAnd);
    bufferCanvas.StretchBlt(buffer.Bounds(), image, buffer.Bounds(), RasterOp::SrcPaint);
    canvas.DrawDisabledImage(Point{p.left, p.top}, buffer, m_system.btnHighlight, m_system.btnShadow);
    return;
  }
  canvas.StretchBlt(Rect{0, 0, m_size.cx, m_size.cy}, image, slot.image->Bounds());
}

void CTorvinButton::PaintCaption(Canvas& canvas, std::u16string_view text, const Rect& /*item*/,
                                 Rect& caption, bool /*pressed*/, bool disabled) {
  if (m_bPressed && !m_bCheckBox) caption.Offset(m_ptPressOffset.x, m_ptPressOffset.y);
  const Rect whole = caption;
  const platform::Font fallback;
  const platform::Font& font = m_fontCaption ? *m_fontCaption : fallback;
  const uint32_t format = CaptionFormat();
  caption = platform::MeasureText(font, text, caption, format);
  caption.Offset((whole.Width() - caption.Width()) / 2, (whole.Height() - caption.Height()) / 2);
  if (disabled) {
    caption.Offset(1, 1);
    canvas.SetTextColor(m_system.btnHighlight);
    canvas.RenderText(font, text, caption, format);
    caption.Offset(-1, -1);
    canvas.SetTextColor(m_system.btnShadow);
    canvas.RenderText(font, text, caption, format);
    return;
  }
  ColorSlot fore = ColorForeOut, back = ColorBackOut;
  if (m_bHot || m_bPressed) {
    fore = ColorForeIn;
    back = ColorBackIn;
  } else if (m_bFocused) {
    fore = ColorForeFocus;
    back = ColorBackFocus;
  }
  canvas.SetTextColor(m_colors[fore]);
  canvas.SetBkColor(m_colors[back]);  // does not show: text has a transparent background
  canvas.RenderText(font, text, caption, format);
}

}  // namespace ui
