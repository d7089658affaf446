// Reply header values as the download engine reads them.
#include "download/reply_fields.h"

namespace {

// A run of decimal digits at `pos`; nothing for no digits or an overflow.
std::optional<uint64_t> ReadDecimal(std::u16string_view text, size_t& pos) {
  size_t start = pos;
  uint64_t value = 0;
  while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
    uint64_t digit = text[pos] - u'0';
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
    ++pos;
  }
  if (pos == start) return std::nullopt;
  return value;
}

bool Take(std::u16string_view text, size_t& pos, char16_t c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

std::u16string_view TrimSpaces(std::u16string_view text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<uint64_t> ParseDecimal(std::u16string_view text) {
  size_t pos = 0;
  std::optional<uint64_t> value = ReadDecimal(text, pos);
  if (pos != text.size()) return std::nullopt;
  return value;
}

std::optional<ContentRange> ParseContentRange(std::u16string_view text) {
  constexpr std::u16string_view kUnit = u"bytes";
  text = TrimSpaces(text);
  if (text.size() < kUnit.size()) return std::nullopt;
  for (size_t i = 0; i < kUnit.size(); ++i) {
    if ((text[i] | 0x20) != kUnit[i]) return std::nullopt;
  }
  size_t pos = kUnit.size();
  while (pos < text.size() && text[pos] == u' ') ++pos;
  ContentRange range;
  if (Take(text, pos, u'*')) {
    if (!Take(text, pos, u'/')) return std::nullopt;
    range.total = ReadDecimal(text, pos);
    if (!range.total || pos != text.size()) return std::nullopt;
    return range;
  }
  std::optional<uint64_t> first = ReadDecimal(text, pos);
  if (!first || !Take(text, pos, u'-')) return std::nullopt;
  std::optional<uint64_t> last = ReadDecimal(text, pos);
  if (!last || *last < *first || !Take(text, pos, u'/')) return std::nullopt;
  range.first = *first;
  range.last = *last;
  if (!Take(text, pos, u'*')) {
    range.total = ReadDecimal(text, pos);
    if (!range.total || *range.total <= *last) return std::nullopt;
  }
  if (pos != text.size()) return std::nullopt;
  return range;
}

std::u16string ResumeValidator(const std::optional<std::u16string>& etag,
                               const std::optional<std::u16string>& lastModified) {
  if (etag) {
    std::u16string_view tag = TrimSpaces(*etag);
    // A strong tag is quoted; a weak one ("W/...") may not be used to join two pieces.
    if (tag.size() >= 2 && tag.front() == u'"' && tag.back() == u'"') return std::u16string(tag);
  }
  if (lastModified) {
    std::u16string_view date = TrimSpaces(*lastModified);
    if (!date.empty()) return std::u16string(date);
  }
  return {};
}

std::optional<uint64_t> ParseRetryAfterSeconds(std::u16string_view text) {
  return ParseDecimal(TrimSpaces(text));
}
