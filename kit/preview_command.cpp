// Painting the states and writing them out.
#include "kit/preview_command.h"

#include <filesystem>
#include <system_error>

#include "kit/language_sections.h"
#include "kit/pack_command.h"
#include "kit/png_writer.h"
#include "kit/vendor_folder.h"
#include "platform/text.h"
#include "platform/utf.h"
#include "ui/canvas.h"

namespace kit {
namespace {

constexpr int32_t kMargin = 16;
constexpr int32_t kLabelHeight = 24;
constexpr ui::Color kSheetColor = ui::Rgb(236, 236, 236);
constexpr ui::Color kLabelColor = ui::Rgb(0, 0, 0);
constexpr int32_t kColumns = 2;

}  // namespace

ui::Bitmap ContactSheet(const std::array<ui::Bitmap, kPreviewStateCount>& pictures) {
  const ui::Size cell = pictures[0].Extent();
  const int32_t rows = static_cast<int32_t>(pictures.size() + kColumns - 1) / kColumns;
  ui::Bitmap sheet(kMargin + kColumns * (cell.cx + kMargin),
                   kMargin + rows * (kLabelHeight + cell.cy + kMargin));
  ui::Canvas canvas(sheet);
  canvas.FillSolidRect(sheet.Bounds(), kSheetColor);
  const platform::Font font(platform::FontRequest{u"Arial", 18, 0, 700});
  for (size_t i = 0; i < pictures.size(); ++i) {
    const int32_t left = kMargin + static_cast<int32_t>(i % kColumns) * (cell.cx + kMargin);
    const int32_t top = kMargin + static_cast<int32_t>(i / kColumns) * (kLabelHeight + cell.cy + kMargin);
    const std::u16string label = platform::FromUtf8(kPreviewStates[i].label);
    platform::RenderText(sheet, font, label, ui::Rect{left, top, left + cell.cx, top + kLabelHeight},
                         platform::kTextLeft | platform::kTextTop | platform::kTextSingleLine, kLabelColor);
    canvas.BitBlt(ui::Point{left, top + kLabelHeight}, pictures[i].Extent(), pictures[i]);
  }
  return sheet;
}

namespace {

using StatePictures = std::array<ui::Bitmap, kPreviewStateCount>;

StatePictures PaintStates(const PreviewSource& source, const ui::DisplayScale& scale,
                          const LanguageChoice& language, const ui::Palette& palette) {
  StatePictures pictures;
  for (size_t i = 0; i < pictures.size(); ++i)
    pictures[i] = PaintPreview(source, kPreviewStates[i], scale, language, palette);
  return pictures;
}

// A dark high-contrast theme's face on request, the skin's otherwise.
ui::Palette PreviewPalette(const Command& command) {
  return command.highContrast ? ui::HighContrastPalette(ui::kDarkContrastColors) : ui::Palette{};
}

bool Write(const ui::Bitmap& picture, const std::u16string& path, std::ostream& err) {
  if (WritePng(picture, path)) return true;
  err << "torvin-kit: cannot write " << platform::ToUtf8(path) << "\n";
  return false;
}

// Every language of the texts file that the installer could choose (a section with keys), each on
// a contact sheet of its own beside the one of [UISTRING].
int PreviewEveryLanguage(const Command& command, const PreviewSource& source, std::ostream& out,
                         std::ostream& err) {
  const ui::DisplayScale scale{command.scale};
  const ui::Palette palette = PreviewPalette(command);
  if (!Write(ContactSheet(PaintStates(source, scale, {}, palette)), InFolder(command.out, u"preview.png"),
             err))
    return 1;
  size_t sheets = 1;
  for (const std::u16string& tag : LanguageSectionTags(source.textsPath)) {
    if (!HasUISection(tag, source.textsPath)) continue;
    const LanguageChoice language{tag, {}, IsRightToLeftLanguage(tag)};
    const std::u16string name = u"preview-" + tag + u".png";
    if (!Write(ContactSheet(PaintStates(source, scale, language, palette)), InFolder(command.out, name), err))
      return 1;
    ++sheets;
  }
  out << "wrote " << sheets << " contact sheets (preview.png and one preview-TAG.png per language) to "
      << platform::ToUtf8(command.out) << "\n";
  return 0;
}

// The pictures of `folder`'s window into command.out.
int PreviewFolder(const std::u16string& folder, const Command& command, std::ostream& out, std::ostream& err) {
  const PreviewSource source(folder);
  if (source.skin.images.background.Empty()) {
    err << "torvin-kit: MainWndBkg.jpg is missing or unreadable: the window has no face to preview\n";
    return 1;
  }
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(command.out), error);
  if (command.language == u"all") return PreviewEveryLanguage(command, source, out, err);
  LanguageChoice language;
  if (!command.language.empty()) {
    language = LanguageForTag(command.language, source.textsPath);
    out << "texts: " << platform::ToUtf8(language.why) << "\n";
  }
  const StatePictures pictures =
      PaintStates(source, ui::DisplayScale{command.scale}, language, PreviewPalette(command));
  for (size_t i = 0; i < pictures.size(); ++i) {
    const std::u16string path =
        InFolder(command.out, platform::FromUtf8(std::string(kPreviewStates[i].name) + ".png"));
    if (!Write(pictures[i], path, err)) return 1;
  }
  if (!Write(ContactSheet(pictures), InFolder(command.out, u"preview.png"), err)) return 1;
  out << "wrote " << pictures.size() << " states and preview.png to " << platform::ToUtf8(command.out)
      << "\n";
  return 0;
}

}  // namespace

int RunPreview(const Command& command, std::ostream& out, std::ostream& err) {
  return WithVendorFolder(command.input, err, [&](const std::u16string& folder) {
    return PreviewFolder(folder, command, out, err);
  });
}

}  // namespace kit
