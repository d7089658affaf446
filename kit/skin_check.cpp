// Skin checks: every image decoded by the image seam the installer uses, its size compared with
// the layout computed by the installer's own layout code.
#include "kit/skin_check.h"

#include <array>
#include <optional>

#include "kit/vendor_folder.h"
#include "platform/image.h"
#include "platform/input_file.h"
#include "platform/utf.h"
#include "ui/button_images.h"
#include "ui/skin.h"

namespace kit {
namespace {

constexpr int32_t kMinBackgroundWidth = 560;
constexpr ui::Size kCaptionSize{23, 23};
constexpr ui::Size kCheckSize{45, 14};

enum Image { kBackground, kStatus, kCloseN, kCloseH, kMinN, kMinH, kCancelN, kCancelH, kCancelD, kCheck };

std::string Name(size_t image) { return platform::ToUtf8(ui::kSkinFileNames[image]); }
std::string SizeText(ui::Size s) { return std::to_string(s.cx) + " x " + std::to_string(s.cy); }

bool FileExists(const std::u16string& path) {
  platform::InputFile file;
  return file.Open(path);
}

// Loads one image; a missing or unreadable file is a finding and gives nothing.
std::optional<ui::Bitmap> Load(const std::u16string& folder, std::u16string_view name,
                               const std::string& missing, Findings& findings) {
  const std::u16string path = InFolder(folder, name);
  const std::string file = platform::ToUtf8(name);
  if (!FileExists(path)) {
    if (!missing.empty()) findings.Add(file, "missing: " + missing);
    return std::nullopt;
  }
  ui::Bitmap image = platform::LoadImageFile(path);
  if (image.Empty()) {
    findings.Add(file, "cannot be decoded as an image (or is larger than the installer accepts)");
    return std::nullopt;
  }
  return image;
}

std::string Consequence(size_t image) {
  switch (image) {
    case kBackground:
      return "the window keeps its template size and shows a plain face";
    case kCancelN:
      return "the Cancel button keeps its template size and shows no picture";
    default:
      return "its area stays plain";
  }
}

class SkinChecker {
 public:
  SkinChecker(const std::u16string& folder, Findings& findings) : m_folder(folder), m_findings(findings) {}

  void Run() {
    for (size_t i = 0; i < m_images.size(); ++i) {
      m_images[i] = Load(m_folder, ui::kSkinFileNames[i], Consequence(i), m_findings);
    }
    CheckBackground();
    for (size_t i : {kCloseN, kCloseH, kMinN, kMinH}) CheckCaptionImage(i);
    CheckCancelImages();
    CheckStatusImage();
    CheckCheckMark();
    CheckDoubleSizeCopies();
  }

 private:
  void Add(size_t image, const std::string& message) { m_findings.Add(Name(image), message); }
  const ui::Bitmap* Get(size_t image) const { return m_images[image] ? &*m_images[image] : nullptr; }

  void CheckBackground() {
    const ui::Bitmap* b = Get(kBackground);
    if (b && b->Width() < kMinBackgroundWidth) {
      Add(kBackground,
          "is " + std::to_string(b->Width()) +
              " pixels wide; keep it at least 560 wide, or the progress bar and the texts above it run "
              "off the window's left edge");
    }
  }

  void CheckCaptionImage(size_t image) {
    const ui::Bitmap* b = Get(image);
    if (b && b->Extent() != kCaptionSize) {
      Add(image, "is " + SizeText(b->Extent()) +
                     ": the installer paints exactly 23 x 23 pixels from its top-left "
                     "corner");
    }
  }

  void CheckCancelImages() {
    const ui::Bitmap* normal = Get(kCancelN);
    for (size_t i : {kCancelH, kCancelD}) {
      const ui::Bitmap* b = Get(i);
      if (!b) continue;
      if (normal && b->Extent() != normal->Extent()) {
        Add(i, "is " + SizeText(b->Extent()) + " but Cancel_N.jpg is " + SizeText(normal->Extent()) +
                   ": it is stretched to that size");
      }
      CheckKeyColour(*b, Name(i));
    }
  }

  // Cancel_H and Cancel_D (and their copies) become transparent where they have the key colour.
  void CheckKeyColour(const ui::Bitmap& image, const std::string& file) {
    int64_t keyed = 0;
    for (int32_t y = 0; y < image.Height(); ++y)
      for (int32_t x = 0; x < image.Width(); ++x) keyed += image.GetPixel(x, y) == ui::kImageKeyColor;
    if (keyed > 0) {
      m_findings.Add(
          file, std::to_string(keyed) + (keyed == 1 ? " pixel has" : " pixels have") +
                    " the colour RGB(50,51,51), the transparent key colour: the window shows through them");
    }
  }

  void CheckStatusImage() {
    const ui::Bitmap* status = Get(kStatus);
    const ui::Bitmap* back = Get(kBackground);
    if (!status || !back) return;
    const ui::Layout layout = ui::ComputeLayout(back->Extent(), ui::LoadBarFrames()[0], *status);
    if (status->Width() > layout.rcBar.Width()) {
      Add(kStatus, "is " + std::to_string(status->Width()) + " pixels wide, wider than the progress bar (" +
                       std::to_string(layout.rcBar.Width()) + "): it sticks out left of the bar");
    }
    if (layout.rcStatus.bottom > back->Height()) {
      Add(kStatus, "is " + std::to_string(status->Height()) + " pixels high: the status area then ends " +
                       std::to_string(layout.rcStatus.bottom - back->Height()) + " pixels below the window");
    }
  }

  void CheckCheckMark() {
    const ui::Bitmap* check = Get(kCheck);
    if (check && (check->Width() < kCheckSize.cx || check->Height() < kCheckSize.cy)) {
      Add(kCheck,
          "is " + SizeText(check->Extent()) + ": the installer paints 45 x 14 pixels of it, the rest black");
    }
  }

  // A copy for twice the scale is optional; when present it must be readable and twice the size.
  void CheckDoubleSizeCopies() {
    for (size_t i = 0; i < m_images.size(); ++i) {
      const std::u16string name = ui::DoubleSizeName(ui::kSkinFileNames[i]);
      const std::optional<ui::Bitmap> copy = Load(m_folder, name, {}, m_findings);
      const ui::Bitmap* base = Get(i);
      if (copy && (i == kCancelH || i == kCancelD)) CheckKeyColour(*copy, platform::ToUtf8(name));
      if (!copy || !base) continue;
      const ui::Size expected{base->Width() * 2, base->Height() * 2};
      if (copy->Extent() != expected) {
        m_findings.Add(platform::ToUtf8(name),
                       "is " + SizeText(copy->Extent()) + "; twice " + Name(i) + " is " + SizeText(expected));
      }
    }
  }

  const std::u16string& m_folder;
  Findings& m_findings;
  std::array<std::optional<ui::Bitmap>, 10> m_images;
};

}  // namespace

void CheckSkin(const std::u16string& folder, Findings& findings) { SkinChecker(folder, findings).Run(); }

}  // namespace kit
