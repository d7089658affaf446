// Every text the installer window shows, looked up by key in the texts file beside the executable
// (or packed inside it): in the chosen language's section "UISTRING.<tag>", then in section
// "UISTRING", then the English default built in. A translated file replaces the texts; a partly
// translated section still works.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_source.h"

struct UIString {
  std::u16string_view key;
  std::u16string_view defaultText;
};

inline constexpr UIString IDS_TEXT_CANCEL{u"IDS_TEXT_CANCEL", u"Cancel"};
inline constexpr UIString IDS_DOWNLOAD_PROBLEM{u"IDS_DOWNLOAD_PROBLEM", u"Problems downloading?"};
inline constexpr UIString IDS_DOWNLOAD_PROBLEM_RLINK{u"IDS_DOWNLOAD_PROBLEM_RLINK",
                                                     u"https://www.example.com/torvin/download-help"};
inline constexpr UIString IDS_MESSAGE_NOT_SUPPORTED{
    u"IDS_MESSAGE_NOT_SUPPORTED",
    u"This installer can only be installed on a 64-bit operating system. Please go to "
    u"https://www.example.com/torvin/support for help."};
inline constexpr UIString IDS_MESSAGE_CANCELNOTICE{u"IDS_MESSAGE_CANCELNOTICE",
                                                   u"Are you sure you want to cancel downloading?"};
inline constexpr UIString IDS_STATUS_INIT{u"IDS_STATUS_INIT", u"Initializing..."};
inline constexpr UIString IDS_STATUS_DOWNLOADING{u"IDS_STATUS_DOWNLOADING", u"Downloading..."};
inline constexpr UIString IDS_STATUS_DOWNLOADDONE{u"IDS_STATUS_DOWNLOADDONE", u"Download completed."};
inline constexpr UIString IDS_STATUS_DOWNLOAD_CANCELLING{u"IDS_STATUS_DOWNLOAD_CANCELLING", u"Cancelling..."};
inline constexpr UIString IDS_STATUS_DOWNLOAD_CANCELLED{u"IDS_STATUS_DOWNLOAD_CANCELLED",
                                                        u"Download cancelled."};
inline constexpr UIString IDS_STATUS_DOWNLOAD_FAILED{u"IDS_STATUS_DOWNLOAD_FAILED", u"Download failed."};
inline constexpr UIString IDS_STATUS_CLEANUP_FILES{u"IDS_STATUS_CLEANUP_FILES", u"Cleaning up temp files..."};
inline constexpr UIString IDS_STATUS_PREPARE_INSTALL{u"IDS_STATUS_PREPARE_INSTALL",
                                                     u"Preparing installation..."};
inline constexpr UIString IDS_STATUS_INSTALLING{u"IDS_STATUS_INSTALLING", u"Installing..."};
inline constexpr UIString IDS_STATUS_FINISHED{u"IDS_STATUS_FINISHED", u"Finished."};
inline constexpr UIString IDS_STATUS_VERIFYING{u"IDS_STATUS_VERIFYING", u"Verifying..."};
inline constexpr UIString IDS_STATUS_RECONNECTING{u"IDS_STATUS_RECONNECTING", u"Reconnecting..."};

// The complete table, in the order of the texts file.
inline constexpr std::array<UIString, 17> kUIStrings = {
    IDS_TEXT_CANCEL,           IDS_DOWNLOAD_PROBLEM,           IDS_DOWNLOAD_PROBLEM_RLINK,
    IDS_MESSAGE_NOT_SUPPORTED, IDS_MESSAGE_CANCELNOTICE,       IDS_STATUS_INIT,
    IDS_STATUS_DOWNLOADING,    IDS_STATUS_DOWNLOADDONE,        IDS_STATUS_DOWNLOAD_CANCELLING,
    IDS_STATUS_DOWNLOAD_CANCELLED, IDS_STATUS_DOWNLOAD_FAILED, IDS_STATUS_CLEANUP_FILES,
    IDS_STATUS_PREPARE_INSTALL, IDS_STATUS_INSTALLING,         IDS_STATUS_FINISHED,
    IDS_STATUS_VERIFYING, IDS_STATUS_RECONNECTING};

// The status text of each download state code, 1 to 12; nullptr outside that range.
const UIString* StatusUIString(int32_t state);

// The value of `key` in section "UISTRING.<language>" of the texts file (not with an empty
// `language`), else in section "UISTRING", else `defaultText`; at most 259 characters. A key present
// with an empty value is an empty text. A file on disk is read on every call; a file in memory is
// looked up by the same rules.
std::u16string GetUIString(std::u16string_view key, std::u16string_view defaultText,
                           const platform::FileSource& iniFile, std::u16string_view language = {});
inline std::u16string GetUIString(const UIString& text, const platform::FileSource& iniFile,
                                  std::u16string_view language = {}) {
  return GetUIString(text.key, text.defaultText, iniFile, language);
}

// The name of the section of `language`: "UISTRING.<language>", or "UISTRING" for none.
std::u16string UISection(std::u16string_view language);

// Whether the texts file has the section of `language` with at least one key: a section without
// keys is no language.
bool HasUISection(std::u16string_view language, const platform::FileSource& iniFile);
