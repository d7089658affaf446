// Digest texts: the syntax check and the comparison without regard to case; result code texts.
#include "download/sha256_text.h"

#include <algorithm>

namespace {

constexpr size_t kDigestDigits = 64;

bool IsHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

char16_t ToLowerHex(char16_t c) {
  return c >= u'A' && c <= u'F' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

}  // namespace

bool IsSha256Text(std::u16string_view text) {
  return text.size() == kDigestDigits && std::all_of(text.begin(), text.end(), IsHexDigit);
}

std::u16string Sha256Text(const platform::Sha256Digest& digest) {
  constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string text;
  text.reserve(kDigestDigits);
  for (uint8_t byte : digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

bool MatchesSha256Text(const platform::Sha256Digest& digest, std::u16string_view text) {
  if (!IsSha256Text(text)) return false;
  const std::u16string expected = Sha256Text(digest);
  return std::equal(text.begin(), text.end(), expected.begin(),
                    [](char16_t a, char16_t b) { return ToLowerHex(a) == b; });
}

std::u16string ResultCodeText(uint32_t code) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text = u"0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(code >> shift) & 0x0F];
  return text;
}
