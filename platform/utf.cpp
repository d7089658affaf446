// UTF-16 <-> UTF-8 conversion.
#include "platform/utf.h"

#include <cstdint>

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

// One UTF-8 sequence starting at text[i]; advances i past it (one byte when it is malformed).
char32_t DecodeUtf8(std::string_view text, size_t& i) {
  const auto lead = static_cast<uint8_t>(text[i++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
  if (extra < 0 || lead > 0xF4) return kReplacement;
  char32_t c = lead & (0x3F >> extra);
  size_t j = i;
  for (int k = 0; k < extra; ++k, ++j) {
    if (j >= text.size() || (static_cast<uint8_t>(text[j]) & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (static_cast<uint8_t>(text[j]) & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
  i = j;
  return c;
}

void AppendUtf16AsUtf8(std::string& out, std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendUtf16AsUtf8(out, text);
  return out;
}

void TextPiece::AppendTo(std::string& out) const {
  switch (m_kind) {
    case Kind::Utf8:
      out.append(static_cast<const char*>(m_text.data), m_text.size);
      return;
    case Kind::Terminated:
      out.append(m_terminated);
      return;
    case Kind::Utf16:
      AppendUtf16AsUtf8(out, std::u16string_view(static_cast<const char16_t*>(m_text.data), m_text.size));
      return;
    case Kind::Negative:
      out += '-';
      [[fallthrough]];
    case Kind::Number: {
      char digits[20];
      size_t count = 0;
      uint64_t rest = m_number;
      do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
      } while (rest != 0);
      while (count > 0) out += digits[--count];
      return;
    }
  }
}

std::string JoinUtf8(std::initializer_list<TextPiece> pieces) {
  std::string out;
  for (const TextPiece& piece : pieces) piece.AppendTo(out);
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) AppendUtf16(out, DecodeUtf8(text, i));
  return out;
}

}  // namespace platform
