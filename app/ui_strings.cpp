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

std::u16string GetUIString(std::u16string_view key, std::u16string_view defaultText,
                           const platform::FileSource& iniFile) {
  return platform::ReadProfileString(kSection, key, defaultText, iniFile, kValueBufferChars);
}
