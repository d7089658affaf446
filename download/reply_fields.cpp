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
    // A strong tag is quoted; a weak one ("W/...") may not be used to join two pieces, and a reply
    // with an entity tag is never resumed by its date.
    if (tag.size() >= 2 && tag.front() == u'"' && tag.back() == u'"') return std::u16string(tag);
    return {};
  }
  if (lastModified) {
    std::u16string_view date = TrimSpaces(*lastModified);
    if (!date.empty()) return std::u16string(date);
  }
  return {};
}

namespace {

// The month of a three-letter English abbreviation, 1 to 12; 0 for anything else.
int MonthOf(std::u16string_view name) {
  constexpr std::u16string_view kMonths = u"JanFebMarAprMayJunJulAugSepOctNovDec";
  if (name.size() != 3) return 0;
  for (size_t i = 0; i < kMonths.size(); i += 3) {
    if (kMonths.substr(i, 3) == name) return static_cast<int>(i / 3) + 1;
  }
  return 0;
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
int64_t DaysSinceEpoch(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// A number of exactly `digits` digits at `pos` (the obsolete form pads a day with a space).
std::optional<int> ReadFixed(std::u16string_view text, size_t& pos, size_t digits, bool spacePadded = false) {
  if (spacePadded && pos < text.size() && text[pos] == u' ') {
    ++pos;
    --digits;
  }
  if (pos + digits > text.size()) return std::nullopt;
  int value = 0;
  for (size_t i = 0; i < digits; ++i, ++pos) {
    if (text[pos] < u'0' || text[pos] > u'9') return std::nullopt;
    value = value * 10 + (text[pos] - u'0');
  }
  return value;
}

// "HH:MM:SS" at `pos`, as seconds of the day.
std::optional<int> ReadTimeOfDay(std::u16string_view text, size_t& pos) {
  std::optional<int> hours = ReadFixed(text, pos, 2);
  if (!hours || !Take(text, pos, u':')) return std::nullopt;
  std::optional<int> minutes = ReadFixed(text, pos, 2);
  if (!minutes || !Take(text, pos, u':')) return std::nullopt;
  std::optional<int> seconds = ReadFixed(text, pos, 2);
  if (!seconds || *hours > 23 || *minutes > 59 || *seconds > 60) return std::nullopt;
  return *hours * 3600 + *minutes * 60 + *seconds;
}

std::optional<int64_t> Timestamp(int64_t year, int month, int day, int secondOfDay) {
  if (month == 0 || day < 1 || day > 31) return std::nullopt;
  return DaysSinceEpoch(year, month, day) * 86400 + secondOfDay;
}

// After the weekday and its comma: "06 Nov 1994 08:49:37 GMT" or "06-Nov-94 08:49:37 GMT".
std::optional<int64_t> ParseDayMonthYear(std::u16string_view text, size_t pos) {
  std::optional<int> day = ReadFixed(text, pos, 2);
  if (!day || pos >= text.size()) return std::nullopt;
  const char16_t separator = text[pos++];
  if (separator != u' ' && separator != u'-') return std::nullopt;
  const int month = pos + 3 <= text.size() ? MonthOf(text.substr(pos, 3)) : 0;
  pos += 3;
  if (!Take(text, pos, separator)) return std::nullopt;
  // The obsolete form's two-digit year: within fifty years of 2000, as mail and HTTP read it.
  std::optional<int> year = ReadFixed(text, pos, separator == u' ' ? 4 : 2);
  if (!year || !Take(text, pos, u' ')) return std::nullopt;
  if (separator == u'-') *year += *year < 50 ? 2000 : 1900;
  std::optional<int> time = ReadTimeOfDay(text, pos);
  if (!time || text.substr(pos) != u" GMT") return std::nullopt;
  return Timestamp(*year, month, *day, *time);
}

// After the weekday: "Nov  6 08:49:37 1994".
std::optional<int64_t> ParseAsctime(std::u16string_view text, size_t pos) {
  const int month = pos + 3 <= text.size() ? MonthOf(text.substr(pos, 3)) : 0;
  pos += 3;
  if (!Take(text, pos, u' ')) return std::nullopt;
  std::optional<int> day = ReadFixed(text, pos, 2, true);
  if (!day || !Take(text, pos, u' ')) return std::nullopt;
  std::optional<int> time = ReadTimeOfDay(text, pos);
  if (!time || !Take(text, pos, u' ')) return std::nullopt;
  std::optional<int> year = ReadFixed(text, pos, 4);
  if (!year || pos != text.size()) return std::nullopt;
  return Timestamp(*year, month, *day, *time);
}

}  // namespace

std::optional<int64_t> ParseHttpDate(std::u16string_view text) {
  text = TrimSpaces(text);
  const size_t comma = text.find(u',');
  if (comma != std::u16string_view::npos) {
    if (comma < 3 || comma + 2 > text.size() || text[comma + 1] != u' ') return std::nullopt;
    return ParseDayMonthYear(text, comma + 2);
  }
  if (text.size() < 4 || text[3] != u' ') return std::nullopt;
  return ParseAsctime(text, 4);
}

std::optional<uint64_t> ParseRetryAfter(std::u16string_view text, int64_t nowSeconds) {
  if (std::optional<uint64_t> seconds = ParseDecimal(TrimSpaces(text))) return seconds;
  std::optional<int64_t> date = ParseHttpDate(text);
  if (!date) return std::nullopt;
  return *date > nowSeconds ? static_cast<uint64_t>(*date - nowSeconds) : 0;
}
