// UTF-8 decoding with Windows' replacement rules: a sequence is consumed while its bytes are
// continuation bytes, and it ends as one U+FFFD at the first byte that shows it is malformed
// (an overlong form, a surrogate, a value above U+10FFFF); a sequence cut by the end of the input
// swallows the rest of the input into one U+FFFD.
#include "platform/posix/utf8_decoder.h"

#include <cstdint>
#include <cstring>

namespace platform::posix {
namespace {

constexpr char32_t kInvalid = 0xFFFD;

bool IsContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// Continuation bytes that a lead byte announces; 0 for bytes that start no sequence.
int SequenceLength(uint8_t lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  return 0;
}

// One sequence that starts with a byte of 0x80 or above; moves in past what it consumed.
char32_t DecodeSequence(const uint8_t*& in, const uint8_t* end) {
  const uint8_t lead = *in++;
  const int length = SequenceLength(lead);
  if (length == 0) return kInvalid;
  if (end - in < length) {
    in = end;
    return kInvalid;
  }
  char32_t c = lead & (0x3F >> length);
  for (int left = length; left > 0; --left) {
    if (!IsContinuation(*in)) return kInvalid;
    c = (c << 6) | (*in++ & 0x3F);
    const bool badStart4 = left == 3 && (c < 0x10 || c >= 0x110);
    const bool badStart3 = left == 2 && length == 2 && (c < 0x20 || (c >= 0x360 && c < 0x380));
    if (badStart4 || badStart3) return kInvalid;
  }
  return c;
}

template <bool kWrite>
size_t Convert(const char* bytes, size_t count, char16_t* out) {
  const auto* in = reinterpret_cast<const uint8_t*>(bytes);
  const auto* end = in + count;
  size_t units = 0;
  while (in < end) {
    // ASCII runs, eight bytes at a time.
    while (end - in >= 8) {
      uint64_t block;
      std::memcpy(&block, in, sizeof block);
      if (block & 0x8080808080808080ull) break;
      if constexpr (kWrite)
        for (int i = 0; i < 8; ++i) out[units + i] = in[i];
      in += 8;
      units += 8;
    }
    if (in == end) break;
    if (*in < 0x80) {
      if constexpr (kWrite) out[units] = *in;
      ++in;
      ++units;
      continue;
    }
    const char32_t c = DecodeSequence(in, end);
    if (c >= 0x10000) {
      if constexpr (kWrite) {
        out[units] = static_cast<char16_t>(0xD800 | ((c - 0x10000) >> 10));
        out[units + 1] = static_cast<char16_t>(0xDC00 | (c & 0x3FF));
      }
      units += 2;
    } else {
      if constexpr (kWrite) out[units] = static_cast<char16_t>(c);
      ++units;
    }
  }
  return units;
}

}  // namespace

size_t CountUtf8AsUtf16(const char* bytes, size_t count) { return Convert<false>(bytes, count, nullptr); }

size_t Utf8ToUtf16(const char* bytes, size_t count, char16_t* out) {
  return Convert<true>(bytes, count, out);
}

}  // namespace platform::posix
