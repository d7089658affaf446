// The image button's portable side: its members, set-up, the state its window events drive, and the
// drawing of each state into the item bitmap. The window host binds it to a real button, forwards
// the events and presents what DrawItem composed; it answers the button through IButtonHost.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/text.h"
#include "ui/bitmap.h"
#include "ui/canvas.h"
#include "ui/system_colors.h"

namespace ui {

// Shared so that one image given as both In and Out is one object, released once.
using ImageRef = std::shared_ptr<Bitmap>;

// A shared image made from `image`. Not make_shared: the product is built without run-time type
// information, and make_shared's combined block then asks the C++ runtime to compare type identities,
// which links its whole exception and name-demangling machinery.
inline ImageRef ShareImage(Bitmap image) { return ImageRef(new Bitmap(std::move(image))); }

struct ImageSlot {
  ImageRef image;
  uint32_t width = 0;
  uint32_t height = 0;
  Bitmap mask;
  Color keyColor = kBlack;
};

// An icon: its colour pixels and its mask (1: transparent).
struct IconSlot {
  std::shared_ptr<const Bitmap> icon;
  std::shared_ptr<const Bitmap> mask;
  uint32_t width = 0;
  uint32_t height = 0;
};

// A sound the host plays: slot 0 when the pointer enters, slot 1 on a click. `module` and `flags`
// are handed to the platform's player as they are.
struct SoundSlot {
  std::u16string name;
  uintptr_t module = 0;
  uint32_t flags = 0;
  bool IsSet() const { return !name.empty(); }
};

// What the button asks of its window.
class IButtonHost {
 public:
  virtual ~IButtonHost() = default;
  // Invalidate the whole button with erase; a DrawItem follows.
  virtual void Repaint() = 0;
  // The parent's pixels under the button's client area, `size` large.
  virtual Bitmap CaptureParentBackground(Size size) = 0;
  virtual void PlayButtonSound(const SoundSlot& sound) = 0;
  // Ask for a mouse-leave notification when the pointer leaves the button.
  virtual void TrackMouseLeave() = 0;
};

// The platform's draw-item request: the item rectangle, its state and the caption (window text).
struct DrawItemInfo {
  Rect rcItem;
  bool selected = false;
  bool focus = false;
  bool disabled = false;
  std::u16string_view caption;
};

class CTorvinButton {
 public:
  enum Alignment : uint8_t {
    AlignImageLeft = 0,
    AlignImageTop = 1,
    AlignImageRight = 2,
    AlignImageWhole = 3
  };
  enum ColorSlot { ColorBackIn, ColorForeIn, ColorBackOut, ColorForeOut, ColorBackFocus, ColorForeFocus };
  enum ImageResult { ImagesOk = 0, ImageInvalid = 1, ImageMaskFailed = 2 };
  enum DeriveImage { DeriveGray = -2, DeriveDarker = -3 };

  explicit CTorvinButton(const SystemColors& system = SystemColors{});
  virtual ~CTorvinButton();
  CTorvinButton(const CTorvinButton&) = delete;
  CTorvinButton& operator=(const CTorvinButton&) = delete;

  void SetHost(IButtonHost* host) { m_host = host; }
  // The button's client size; masks are made at this size, so set it before the images.
  void SetClientSize(Size size) { m_size = size; }
  Size GetClientSize() const { return m_size; }

  // Set-up; every setter but SetCaptionFont and SetUrl repaints.
  ImageResult SetImages(ImageRef in, ImageRef out);
  ImageResult SetImages(ImageRef in, DeriveImage derive);
  void ReleaseImages();
  void SetIcons(IconSlot in, IconSlot out);
  void SetSound(int slot, SoundSlot sound);
  void SetCaptionFont(std::u16string_view face, int32_t height, int32_t width, bool underline);
  void SetAlignment(uint8_t align);
  void SetColor(ColorSlot slot, Color color);
  void SetPressOffset(int32_t x, int32_t y);
  void SetDrawFrame(bool draw);
  void SetTransparent();
  void SetUrl(std::u16string_view url);
  // The caption reads right to left (its lines still centred); repaints.
  void SetRightToLeftReading(bool rightToLeft);

  // The size the caption `text` takes as DrawItem lays it out in the client area (wrapped at its
  // width): larger than the client size when it does not fit.
  Size MeasureCaption(std::u16string_view text) const;

  // Window styles: the low five bits are the button type; owner-draw is type 11.
  static constexpr uint32_t kTypeMask = 31;
  static constexpr uint32_t kOwnerDraw = 11;
  // Binding: records type, check-box mode and default; returns the style to give the window.
  uint32_t PreSubclassWindow(uint32_t style);
  // BM_SETSTYLE: records the default flag; returns the style to pass on.
  uint32_t OnButtonSetStyle(uint32_t style);
  void OnButtonSetCheck(int32_t check);
  int32_t OnButtonGetCheck() const { return m_nChecked; }
  // WM_GETDLGCODE: the default result plus the default or non-default push-button code.
  uint32_t OnGetDlgCode(uint32_t defaultCode) const;

  // Hover. `leftButtonDown`: the left mouse button is held; `overThis`: the window under the pointer
  // is this button; `windowActive`: the thread has an active window.
  void OnMouseMove(bool leftButtonDown, bool overThis, bool windowActive);
  void OnMouseLeave();
  void OnKillFocus() { CancelHot(); }
  void OnActivate(bool inactive);
  void OnCancelMode() { CancelHot(); }
  void OnEnable(bool enabled);
  void OnSysColorChange(const SystemColors& system);
  // A click: plays sound slot 1, in check-box mode toggles the check; returns the address to open
  // (empty: none). The host lets the parent see the click as well.
  std::u16string OnReflectedClick();

  // Composes the button into `surface` (the button's client size).
  void DrawItem(Bitmap& surface, const DrawItemInfo& item);

  // Which slot shows now (0 In, 1 Out), for images (`images` true) or icons.
  int ChooseSlot(bool images) const;
  // Where an image of `image` size goes; may move the caption rectangle's edges.
  Rect PlaceImage(const Rect& item, Rect& caption, bool hasCaption, bool pressed, Size image) const;

  bool m_bShowDisabledImage = true;
  Point m_ptImageOrigin{9, 9};
  Point m_ptPressOffset{1, 1};
  bool m_bTrackHover = true;
  bool m_bFlat = true;
  bool m_bHot = false;
  bool m_bTransparent = false;
  bool m_bPressed = false;
  bool m_bFocused = false;
  bool m_bDisabled = false;
  bool m_bDefault = false;
  bool m_bCheckBox = false;
  uint8_t m_nAlign = AlignImageLeft;
  bool m_bDrawFrame = true;
  bool m_bRtlReading = false;
  bool m_bFlatFocus = false;
  std::array<Color, 6> m_colors{};
  std::optional<platform::Font> m_fontCaption;
  Bitmap m_bmpBack;  // the captured parent background; empty until the first transparent draw
  bool m_bTrackInactive = true;
  int32_t m_nChecked = 0;
  uint32_t m_nButtonType = 31;
  uint32_t m_dwTooltipStyle = 0;
  std::u16string m_szUrl;  // at most kMaxUrl characters
  std::array<IconSlot, 2> m_icons;
  std::array<ImageSlot, 2> m_images;
  std::array<SoundSlot, 2> m_sounds;

  static constexpr size_t kMaxUrl = 259;

 protected:
  virtual void PaintFace(Canvas& canvas, Rect& rect);
  virtual void PaintFrame(Canvas& canvas, const Rect& rect);
  virtual void PaintIcon(Canvas& canvas, bool hasCaption, const Rect& item, Rect& caption, bool pressed,
                         bool disabled);
  virtual void PaintImage(Canvas& canvas, bool hasCaption, const Rect& item, Rect& caption, bool pressed,
                          bool disabled);
  virtual void PaintCaption(Canvas& canvas, std::u16string_view text, const Rect& item, Rect& caption,
                            bool pressed, bool disabled);

 private:
  void Repaint();
  void CancelHot();
  void ResetColors();
  void PaintCapturedBackground(Canvas& canvas);
  uint32_t CaptionFormat() const;
  ImageResult FillSlot(int slot, ImageRef image, Color key);

  IButtonHost* m_host = nullptr;
  Size m_size;
  SystemColors m_system;
};

}  // namespace ui
