// Lookup of the window's texts through the profile seam.
#include "app/ui_strings.h"

#include "platform/profile.h"

namespace {

constexpr std::u16string_view kSection = u"UISTRING";
constexpr size_t kValueBufferChars = 260;

constexpr std::array<const UIString*, 12> kStatusTexts = {
    &IDS_STATUS_INIT,           &IDS_STATUS_DOWNLOADING,    &IDS_STATUS_DOWNLOADDONE, &IDS_STATUS_DOWNLOAD_CANCELLING,
    &IDS_STATUS_DOWNLOAD_CANCELLED, &IDS_STATUS_DOWNLOAD_FAILED, &IDS_STATUS_CLEANUP_FILES,
    &IDS_STATUS_PREPARE_INSTALL, &IDS_STATUS_INSTALLING,     &IDS_STATUS_FINISHED,      &IDS_STATUS_VERIFYING,
    &IDS_STATUS_RECONNECTING};

}  // namespace

const UIString* StatusUIString(int32_t state) {
  return state >= 1 && state <= static_cast<int32_t>(kStatusTexts.size()) ? kStatusTexts[state - 1] : nullptr;
}

std::u16string UISection(std::u16string_view language) {
  return language.empty() ? std::u16string(kSection)
                          : std::u16string(kSection) + u"." + std::u16string(language);
}

// A key missing from the language's section comes back as this default, which no texts file holds
// (the lookup cannot tell a missing key from a value equal to its default otherwise).
std::u16string GetUIString(std::u16string_view key, std::u16string_view defaultText,
                           const platform::FileSource& iniFile, std::u16string_view language) {
  if (!language.empty()) {
    constexpr std::u16string_view kMissing = u"\x1F";
    std::u16string value =
        platform::ReadProfileString(UISection(language), key, kMissing, iniFile, kValueBufferChars);
    if (value != kMissing) return value;
  }
  return platform::ReadProfileString(kSection, key, defaultText, iniFile, kValueBufferChars);
}

bool HasUISection(std::u16string_view language, const platform::FileSource& iniFile) {
  return platform::ProfileSectionHasKeys(UISection(language), iniFile);
}
