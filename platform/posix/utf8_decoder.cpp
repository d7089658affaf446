// UTF-8 decoding with Windows' replacement rules: a sequence is consumed while its bytes are
// continuation bytes, and it ends as one U+FFFD at the first byte that shows it is malformed
// (an overlong form, a surrogate, a value above U+10FFFF); a sequence cut by the end of the input
// swallows the rest of the input into one U+FFFD.
#include "platform/posix/utf8_decoder.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Well-formed two- and three-byte sequences, most of the text that is not ASCII, decoded in line;
// 0 when the sequence at `in` is none of them (or cut by the end), for DecodeSequence to judge.
[[gnu::always_inline]] inline char32_t DecodeCommonSequence(const uint8_t*& in, const uint8_t* end) {
  const uint8_t lead = in[0];
  if (lead >= 0xC2 && lead <= 0xDF && end - in >= 2 && IsContinuation(in[1])) {
    const char32_t c = ((lead & 0x1F) << 6) | (in[1] & 0x3F);
    in += 2;
    return c;
  }
  if (lead >= 0xE0 && lead <= 0xEF && end - in >= 3 && IsContinuation(in[1]) && IsContinuation(in[2])) {
    const char32_t c = ((lead & 0x0F) << 12) | ((in[1] & 0x3F) << 6) | (in[2] & 0x3F);
    if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    in += 3;
    return c;
  }
  return 0;
}

// The length of the run of ASCII bytes from `in`, written out as units when kWrite. A block that
// the run ends in is written whole: the units past the run are written again by what follows, and
// they stay inside the room, as a block is only taken whole when 16 bytes are left.
template <bool kWrite>
size_t CopyAscii(const uint8_t* in, const uint8_t* end, char16_t* out) {
  size_t i = 0;
  const auto size = static_cast<size_t>(end - in);
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; size - i >= 16; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    if constexpr (kWrite) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(bytes, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(bytes, zero));
    }
    const int high = _mm_movemask_epi8(bytes);
    if (high != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(high)));
  }
#endif
  for (; i < size && in[i] < 0x80; ++i) {
    if constexpr (kWrite) out[i] = in[i];
  }
  return i;
}

template <bool kWrite>
size_t Convert(const char* bytes, size_t count, char16_t* out) {
  const auto* in = reinterpret_cast<const uint8_t*>(bytes);
  const auto* end = in + count;
  size_t units = 0;
  while (in < end) {
    if (*in < 0x80) {
      const size_t ascii = CopyAscii<kWrite>(in, end, out + (kWrite ? units : 0));
      in += ascii;
      units += ascii;
      continue;
    }
    char32_t c = DecodeCommonSequence(in, end);
    if (c == 0) c = DecodeSequence(in, end);
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
