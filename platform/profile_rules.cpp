// The rules of the Windows profile call, for text we read ourselves: the Linux file lookup and, on
// every platform, the lookup in text held in memory. The text is UTF-8 or UTF-16 when it starts
// with a byte-order mark, else in the ANSI code page; lines end at CR or LF; names and values lose
// the white space around them; section and key names match without regard to case; the first
// section of the name is the one searched and the first key of the name in it wins; a key without
// "=" has no value; a value in matching quotes loses them.
#include "platform/profile_rules.h"

#include <algorithm>
#include <optional>

#include "platform/codepage.h"

namespace platform {
namespace {

constexpr int32_t kUtf8CodePage = 65001;

bool IsProfileSpace(char16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Names and values are C strings once stored: they end at their first zero character.
std::u16string_view UpToZero(std::u16string_view s) { return s.substr(0, std::min(s.find(u'\0'), s.size())); }

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 0x20;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F)) {
    return c + 0x20;
  }
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c >= 0x100 && c <= 0x17F && (c & 1) == 0 && c != 0x130 && c != 0x138) return c + 1;
  return c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

std::u16string FromUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text(bytes.size() / 2, u'\0');  // an odd last byte is no character
  for (size_t i = 0; i < text.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]), second = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
  }
  return text;
}


// The name of a section header line, or nullopt for any other line.
std::optional<std::u16string_view> SectionHeader(std::u16string_view line) {
  if (line.empty() || line.front() != u'[') return std::nullopt;
  const size_t close = line.rfind(u']');
  if (close == std::u16string_view::npos) return std::nullopt;
  return UpToZero(Trim(line.substr(1, close - 1)));
}

// Calls `visit(line)` for each line of `text` that is not blank, trimmed.
template <typename Visit>
void WalkLines(std::u16string_view text, Visit visit) {
  size_t next = 0;
  while (next < text.size()) {
    const size_t start = next;
    next = std::min(text.find_first_of(u"\r\n", start), text.size());
    const std::u16string_view line = Trim(text.substr(start, next - start));
    next = std::min(text.find_first_not_of(u"\r\n", next), text.size());
    if (!line.empty()) visit(line);
  }
}

// Calls `visit(name, value)` for each key line of the first `section`, in file order, until it
// returns true; `value` is nullopt for a line without "=".
template <typename Visit>
void WalkSection(std::u16string_view text, std::u16string_view section, Visit visit) {
  bool inSection = section.empty();  // lines before any header belong to the nameless section
  bool done = false;
  WalkLines(text, [&](std::u16string_view line) {
    if (done) return;
    if (const auto header = SectionHeader(line)) {
      done = inSection;  // only the first section of the name is searched
      inSection = SameName(*header, section);
      return;
    }
    if (!inSection) return;
    const size_t equals = line.find(u'=');
    const std::u16string_view name = UpToZero(Trim(line.substr(0, std::min(equals, line.size()))));
    std::optional<std::u16string_view> value;
    if (equals != std::u16string_view::npos) value = UpToZero(Trim(line.substr(equals + 1)));
    done = visit(name, value);
  });
}

// The value of the first `key` in the first `section`: nullopt when either is missing or the key
// line has no "=".
std::optional<std::u16string_view> FindValue(std::u16string_view text, std::u16string_view section,
                                             std::u16string_view key) {
  std::optional<std::u16string_view> found;
  WalkSection(text, section, [&](std::u16string_view name, std::optional<std::u16string_view> value) {
    if (!SameName(name, key)) return false;
    found = value;
    return true;
  });
  return found;
}

// Copies a value into a buffer of `bufferChars` characters; a value enclosed in matching quotes
// loses them (the closing one only when the whole value fitted).
std::u16string CopyEntry(std::u16string_view value, size_t bufferChars) {
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == u'\'' || value.front() == u'"') && value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::u16string copy(value.substr(0, bufferChars - 1));
  if (quoted && bufferChars >= value.size() && !copy.empty()) copy.pop_back();
  return copy;
}

// The default loses trailing blanks, but never its first character.
std::u16string_view TrimDefault(std::u16string_view text) {
  text = UpToZero(text);
  while (text.size() > 1 && text.back() == u' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::u16string DecodeProfileText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return ToUtf16(kUtf8CodePage, bytes.substr(3));
  if (bytes.starts_with("\xFF\xFE")) return FromUtf16(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF")) return FromUtf16(bytes.substr(2), true);
  return ToUtf16(0, bytes);  // the ANSI code page
}

std::u16string LookUpProfileString(std::u16string_view text, std::u16string_view section, std::u16string_view key,
                                   std::u16string_view defaultText, size_t bufferChars) {
  if (bufferChars == 0) return {};
  const std::optional<std::u16string_view> value = FindValue(text, Trim(UpToZero(section)), Trim(UpToZero(key)));
  return CopyEntry(value ? *value : TrimDefault(defaultText), bufferChars);
}

std::vector<std::u16string> ListProfileKeys(std::u16string_view text, std::u16string_view section) {
  std::vector<std::u16string> keys;
  // A line without "=" has no value and is not listed.
  WalkSection(text, Trim(UpToZero(section)), [&](std::u16string_view name, std::optional<std::u16string_view> value) {
    if (!name.empty() && value) keys.emplace_back(name);
    return false;
  });
  return keys;
}

std::vector<std::u16string> ListProfileSectionNames(std::u16string_view text) {
  std::vector<std::u16string> names;
  WalkLines(text, [&](std::u16string_view line) {
    const auto header = SectionHeader(line);
    if (!header) return;
    const bool seen = std::any_of(names.begin(), names.end(),
                                  [&](const std::u16string& n) { return SameName(n, *header); });
    if (!seen) names.emplace_back(*header);
  });
  return names;
}

}  // namespace platform
