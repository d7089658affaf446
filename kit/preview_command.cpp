// Painting the states and writing them out.
#include "kit/preview_command.h"

#include <filesystem>
#include <system_error>

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

ui::Bitmap ContactSheet(const std::array<ui::Bitmap, 6>& pictures) {
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

// The pictures of `folder`'s window into command.out.
int PreviewFolder(const std::u16string& folder, const Command& command, std::ostream& out, std::ostream& err) {
  const PreviewSource source(folder);
  if (source.skin.images.background.Empty()) {
    err << "torvin-kit: MainWndBkg.jpg is missing or unreadable: the window has no face to preview\n";
    return 1;
  }
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(command.out), error);
  std::array<ui::Bitmap, 6> pictures;
  for (size_t i = 0; i < pictures.size(); ++i) {
    pictures[i] = PaintPreview(source, kPreviewStates[i], ui::DisplayScale{command.scale});
    const std::u16string path =
        InFolder(command.out, platform::FromUtf8(std::string(kPreviewStates[i].name) + ".png"));
    if (!WritePng(pictures[i], path)) {
      err << "torvin-kit: cannot write " << platform::ToUtf8(path) << "\n";
      return 1;
    }
  }
  const std::u16string sheetPath = InFolder(command.out, u"preview.png");
  if (!WritePng(ContactSheet(pictures), sheetPath)) {
    err << "torvin-kit: cannot write " << platform::ToUtf8(sheetPath) << "\n";
    return 1;
  }
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
