// The status texts on the status line, the product name as title and heading, and the captions of
// Cancel and the problem link in their buttons.
#include "kit/text_width_check.h"

#include <vector>

#include "app/ui_strings.h"
#include "kit/language_sections.h"
#include "kit/preview_window.h"
#include "kit/vendor_folder.h"
#include "platform/utf.h"
#include "ui/window_painting.h"

namespace kit {
namespace {

std::string Px(int32_t pixels) { return std::to_string(pixels) + " px"; }
std::string Px(ui::Size size) { return std::to_string(size.cx) + " x " + std::to_string(size.cy) + " px"; }

struct Language {
  LanguageChoice choice;
  std::string name;  // "[UISTRING]", "[UISTRING.de]"
};

std::vector<Language> Languages(const std::u16string& textsPath) {
  std::vector<Language> languages{{LanguageChoice{}, "[UISTRING]"}};
  for (const std::u16string& tag : LanguageSectionTags(textsPath)) {
    if (!HasUISection(tag, textsPath)) continue;
    languages.push_back(
        {LanguageChoice{tag, {}, IsRightToLeftLanguage(tag)}, "[" + platform::ToUtf8(UISection(tag)) + "]"});
  }
  return languages;
}

void CheckStatusTexts(const Language& language, const std::u16string& path, const ui::Layout& layout,
                      const std::string& file, Findings& findings) {
  const int32_t room = layout.rcStatus.Width();
  for (int32_t state = 1; const UIString* status = StatusUIString(state); ++state) {
    const std::u16string text = GetUIString(*status, path, language.choice.tag);
    const int32_t width = ui::StatusTextWidth(text);
    if (width <= room) continue;
    findings.Add(file, language.name + " " + platform::ToUtf8(status->key) + " \"" + platform::ToUtf8(text) +
                           "\" is " + Px(width) + " wide: the status line has " + Px(room) +
                           " (StatusBkg.jpg's width), so the window cuts it");
  }
}

void CheckCaption(const Language& language, const UIString& caption, const ui::CTorvinButton& button,
                  const char* buttonName, const std::u16string& path, const std::string& file,
                  Findings& findings) {
  const std::u16string text = GetUIString(caption, path, language.choice.tag);
  const ui::Size needed = button.MeasureCaption(text);
  const ui::Size room = button.GetClientSize();
  if (needed.cx <= room.cx && needed.cy <= room.cy) return;
  findings.Add(file, language.name + " " + platform::ToUtf8(caption.key) + " \"" + platform::ToUtf8(text) +
                         "\" needs " + Px(needed) + ": " + buttonName + " is " + Px(room) +
                         ", so the window cuts its caption");
}

}  // namespace

void CheckTextWidths(const std::u16string& folder, Findings& findings) {
  const PreviewSource source(folder);
  if (source.skin.images.background.Empty()) return;  // the skin's check says why
  const ui::Layout layout = ui::ComputeLayout(source.skin.images.background.Extent(), source.frames[0],
                                              source.skin.images.statusBack);
  const int32_t nameWidth = ui::TitleTextWidth(source.productName);
  if (nameWidth > layout.rcHeading.Width()) {
    findings.Add(platform::ToUtf8(kConfigFileName),
                 "the product name \"" + platform::ToUtf8(source.productName) + "\" is " + Px(nameWidth) +
                     " wide: the title and the heading have " + Px(layout.rcHeading.Width()) +
                     ", so the window cuts it");
  }
  const std::string file = platform::ToUtf8(kTextsFileName);
  for (const Language& language : Languages(source.textsPath)) {
    CheckStatusTexts(language, source.textsPath, layout, file, findings);
    ui::SkinImages skin = ui::SkinAtScale(source.skin, {});
    const PreviewButtons buttons(skin, {}, false, language.choice.rightToLeft);
    CheckCaption(language, IDS_TEXT_CANCEL, buttons.cancel, "the Cancel button", source.textsPath, file,
                 findings);
    CheckCaption(language, IDS_DOWNLOAD_PROBLEM, buttons.link, "the problem link", source.textsPath, file,
                 findings);
  }
}

}  // namespace kit
