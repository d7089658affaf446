// Each section "UISTRING.<tag>" read through the same profile lookup the installer uses.
#include "kit/languages_check.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "app/ui_strings.h"
#include "kit/language_sections.h"
#include "kit/language_tags.h"
#include "kit/texts_check.h"
#include "kit/vendor_folder.h"
#include "platform/profile.h"
#include "platform/utf.h"

namespace kit {
namespace {

constexpr size_t kInstallerValueChars = 260;
constexpr std::u16string_view kMissing = u"\x1F";

// The link is an address, not a text: the same one serves every language unless a section names
// its own.
bool IsText(const UIString& text) { return text.key != IDS_DOWNLOAD_PROBLEM_RLINK.key; }

std::optional<std::u16string> Value(std::u16string_view section, const UIString& text,
                                    const std::u16string& path) {
  std::u16string value = platform::ReadProfileString(section, text.key, kMissing, path, kInstallerValueChars);
  if (value == kMissing) return std::nullopt;
  return value;
}

std::string Quoted(std::u16string_view text) { return "\"" + platform::ToUtf8(text) + "\""; }

void CheckSection(const std::u16string& tag, const std::u16string& path, const std::string& file,
                  Findings& findings) {
  const std::u16string section = UISection(tag);
  const std::string name = "[" + platform::ToUtf8(section) + "]";
  if (const auto problem = LanguageTagProblem(tag)) {
    findings.Add(file, name + ": " + *problem + ": no user's language ever chooses this section");
    return;
  }
  const std::vector<std::u16string> keys = platform::ReadProfileKeys(section, path);
  if (keys.empty()) {
    findings.Add(file, name + " has no keys: the installer never chooses it, and these users see [UISTRING]");
    return;
  }
  ReportUnknownKeys(keys, " in " + name, file, findings);
  for (const UIString& text : kUIStrings) {
    if (!IsText(text)) continue;
    const std::optional<std::u16string> base = Value(u"UISTRING", text, path);
    const std::optional<std::u16string> own = Value(section, text, path);
    const std::string key = platform::ToUtf8(text.key);
    if (!own) {
      findings.Add(file,
                   key + " is missing in " + name + ": the window shows " +
                       (base ? "[UISTRING]'s " + Quoted(*base) : "the English " + Quoted(text.defaultText)));
    } else if (!own->empty() && *own == text.defaultText) {
      findings.Add(file, key + " in " + name + " is left in English: " + Quoted(*own));
    } else if (!own->empty() && base && *own == *base) {
      findings.Add(file, key + " in " + name + " is the same as in [UISTRING]: " + Quoted(*own) +
                             ", left untranslated?");
    }
  }
}

}  // namespace

void CheckLanguages(const std::u16string& folder, Findings& findings) {
  const std::u16string path = InFolder(folder, kTextsFileName);
  const std::string file = platform::ToUtf8(kTextsFileName);
  for (const std::u16string& tag : LanguageSectionTags(path)) CheckSection(tag, path, file, findings);
}

}  // namespace kit
