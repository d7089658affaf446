// Checks of the texts file through the same profile lookup the installer uses.
#include "kit/texts_check.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "app/ui_strings.h"
#include "kit/vendor_folder.h"
#include "platform/input_file.h"
#include "platform/profile.h"
#include "platform/utf.h"

namespace kit {
namespace {

constexpr std::u16string_view kSection = u"UISTRING";
// The installer reads a value into 260 characters; a larger buffer shows how long it really is.
constexpr size_t kInstallerValueChars = 259;
constexpr size_t kFullValueChars = 1 << 16;
// Far more than any texts file needs; a larger file is not read.
constexpr int64_t kMaxTextsFileSize = int64_t{1} << 30;

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

size_t EditDistance(std::u16string_view a, std::u16string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] =
          std::min({row[j] + 1, row[j - 1] + 1, diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// Key names match without regard to letter case, as the profile lookup matches them.
bool SameKey(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

std::vector<std::u16string_view> Words(std::u16string_view key) {
  std::vector<std::u16string_view> words;
  for (size_t start = 0; start <= key.size();) {
    const size_t end = std::min(key.find(u'_', start), key.size());
    if (end > start) words.push_back(key.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

size_t SharedWords(std::u16string_view a, std::u16string_view b) {
  const std::vector<std::u16string_view> wordsOfB = Words(b);
  size_t shared = 0;
  for (std::u16string_view word : Words(a)) {
    shared += std::any_of(wordsOfB.begin(), wordsOfB.end(),
                          [&](std::u16string_view w) { return SameKey(w, word); });
  }
  return shared;
}

bool IsKnownKey(std::u16string_view key) {
  return std::any_of(kUIStrings.begin(), kUIStrings.end(),
                     [&](const UIString& s) { return SameKey(s.key, key); });
}

// Whether 8-bit text holds multi-byte UTF-8 sequences (and nothing that UTF-8 forbids).
bool LooksLikeUtf8(std::string_view bytes) {
  bool multiByte = false;
  for (size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    multiByte = multiByte || length > 1;
    i += length;
  }
  return multiByte;
}

std::string Encoding(std::string_view bytes, const std::string& file, Findings& findings) {
  if (bytes.starts_with("\xFF\xFE")) return "UTF-16 (little-endian) with a byte-order mark";
  if (bytes.starts_with("\xFE\xFF")) return "UTF-16 (big-endian) with a byte-order mark";
  if (bytes.starts_with("\xEF\xBB\xBF")) return "UTF-8 with a byte-order mark";
  if (LooksLikeUtf8(bytes)) {
    findings.Add(file,
                 "the file is UTF-8 without a byte-order mark: the installer reads it in the system's code "
                 "page, so every letter outside ASCII shows wrong; save it as UTF-8 with a byte-order mark "
                 "or as UTF-16");
  }
  return "the system's 8-bit code page (no byte-order mark)";
}

// The installer cuts what it reads at 259 characters; a longer buffer shows what was cut.
void ReportLongValue(const UIString& text, const std::u16string& path, const std::string& file,
                     Findings& findings) {
  const size_t length = platform::ReadProfileString(kSection, text.key, u"", path, kFullValueChars).size();
  if (length > kInstallerValueChars) {
    findings.Add(file, platform::ToUtf8(text.key) + " is " + std::to_string(length) +
                           " characters long: the installer reads only the first 259");
  }
}

}  // namespace

std::vector<std::u16string_view> ReportUnknownKeys(const std::vector<std::u16string>& keys,
                                                   std::string_view where, const std::string& file,
                                                   Findings& findings) {
  std::vector<std::u16string_view> meant;
  for (const std::u16string& key : keys) {
    if (IsKnownKey(key)) continue;
    meant.push_back(ClosestKnownKey(key));
    findings.Add(file, "unknown key " + platform::ToUtf8(key) + std::string(where) + " (did you mean " +
                           platform::ToUtf8(meant.back()) + "?)");
  }
  return meant;
}

// The closest key shares the most "_"-separated words with `key` (so a word left out still finds
// its key); among equals, the fewest letters differ.
std::u16string_view ClosestKnownKey(std::u16string_view key) {
  const UIString* best = nullptr;
  size_t bestShared = 0, bestDistance = 0;
  for (const UIString& s : kUIStrings) {
    const size_t shared = SharedWords(s.key, key), distance = EditDistance(s.key, key);
    if (!best || shared > bestShared || (shared == bestShared && distance < bestDistance)) {
      best = &s;
      bestShared = shared;
      bestDistance = distance;
    }
  }
  return best->key;
}

std::string CheckTexts(const std::u16string& folder, Findings& findings) {
  const std::u16string path = InFolder(folder, kTextsFileName);
  const std::string file = platform::ToUtf8(kTextsFileName);
  const std::optional<std::string> bytes = platform::ReadWholeFile(path, kMaxTextsFileSize);
  if (!bytes) return {};
  const std::string encoding = Encoding(*bytes, file, findings);
  const std::vector<std::u16string> keys = platform::ReadProfileKeys(kSection, path);
  if (keys.empty()) {
    findings.Add(file, "the file has no [UISTRING] section with keys: every text stays English");
    return encoding;
  }
  const std::vector<std::u16string_view> meant = ReportUnknownKeys(keys, "", file, findings);
  for (const UIString& text : kUIStrings) {
    const bool present =
        std::any_of(keys.begin(), keys.end(), [&](const std::u16string& k) { return SameKey(k, text.key); });
    // A key whose misspelling was reported is not reported once more as missing.
    const bool misspelt = std::find(meant.begin(), meant.end(), text.key) != meant.end();
    if (!present && !misspelt) {
      findings.Add(file, platform::ToUtf8(text.key) + " is missing: the window shows the English \"" +
                             platform::ToUtf8(text.defaultText) + "\"");
    }
    if (present) ReportLongValue(text, path, file, findings);
  }
  return encoding;
}

}  // namespace kit
