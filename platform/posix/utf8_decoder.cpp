// UTF-8 decoding with Windows' replacement rules: a sequence is consumed while its bytes are
// continuation bytes, and it ends as one U+FFFD at the first byte that shows it is malformed
// (an overlong form, a surrogate, a value above U+10FFFF); a sequence cut by the end of the input
// swallows the rest of the input into one U+FFFD. Where the processor allows, blocks of 16 bytes
// that hold only ASCII and well-formed two- and three-byte sequences are decoded at once; every
// other block goes through the same one-sequence-at-a-time decoder as on other processors.
#include "platform/posix/utf8_decoder.h"

#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
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

// One step from `in`: a run of ASCII, or one sequence.
template <bool kWrite>
[[gnu::always_inline]] inline void DecodeStep(const uint8_t*& in, const uint8_t* end, char16_t* out,
                                              size_t& units) {
  if (*in < 0x80) {
    const size_t ascii = CopyAscii<kWrite>(in, end, out + (kWrite ? units : 0));
    in += ascii;
    units += ascii;
    return;
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

template <bool kWrite>
size_t DecodeScalar(const char* bytes, size_t count, char16_t* out) {
  const auto* in = reinterpret_cast<const uint8_t*>(bytes);
  const auto* end = in + count;
  size_t units = 0;
  while (in < end) DecodeStep<kWrite>(in, end, out, units);
  return units;
}

#if defined(__x86_64__) || defined(__i386__)
#define TORVIN_UTF8_BLOCKS 1

// A block is 16 bytes; a sequence that starts in its first 13 bytes ends inside it.
constexpr size_t kBlockSize = 16;
constexpr size_t kWholeSequenceStartCount = 13;
constexpr unsigned kWholeSequenceStarts = (1u << kWholeSequenceStartCount) - 1;

// For each 8-bit mask of 16-bit lanes, the byte shuffle that gathers those lanes to the front.
constexpr auto kGatherLanes = [] {
  std::array<std::array<uint8_t, 16>, 256> shuffles{};
  for (unsigned mask = 0; mask < 256; ++mask) {
    unsigned next = 0;
    for (unsigned lane = 0; lane < 8; ++lane) {
      if ((mask & (1u << lane)) == 0) continue;
      shuffles[mask][next++] = static_cast<uint8_t>(2 * lane);
      shuffles[mask][next++] = static_cast<uint8_t>(2 * lane + 1);
    }
    while (next < 16) shuffles[mask][next++] = 0x80;  // a zero unit
  }
  return shuffles;
}();

// Writes the characters that end at the lanes in `ends`, in order. Each lane holds its own
// byte's payload (low half) and the payload of the byte before it (high half) when it continues a
// sequence; `thirdBack` holds the byte two before it, in the top four bits, when it ends three
// bytes. Always writes 8 units.
[[gnu::target("ssse3,popcnt"), gnu::always_inline]] inline void StoreCharacters(__m128i ownAndBefore,
                                                                                __m128i thirdBack,
                                                                                unsigned ends,
                                                                                char16_t* out) {
  const __m128i lastTwo = _mm_maddubs_epi16(ownAndBefore, _mm_set1_epi16(64 << 8 | 1));
  const __m128i units = _mm_or_si128(lastTwo, _mm_slli_epi16(thirdBack, 4));
  const __m128i gather = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kGatherLanes[ends].data()));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(units, gather));
}

// Decodes a block that holds bytes of 0x80 and above (`high`, one bit each) when it holds only
// ASCII and well-formed two- and three-byte sequences, up to the first sequence that could end
// past it; returns the bytes taken, 0 when the block holds anything else (for the scalar decoder).
// Writes 16 units at out: a block starts at least as far into the input as the units written
// before it, so they stay inside the room of one unit per byte.
template <bool kWrite>
[[gnu::target("ssse3,popcnt"), gnu::always_inline]] inline size_t DecodeBlock(__m128i bytes, unsigned high,
                                                                              char16_t* out, size_t& units) {
  // As signed bytes 0x80-0xFF are the negative ones: 0x80-0xBF are below 0xC0 and ASCII is not.
  const __m128i continues = _mm_cmplt_epi8(bytes, _mm_set1_epi8(-64));
  const auto continuation = static_cast<unsigned>(_mm_movemask_epi8(continues));
  const unsigned fromE0 =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(bytes, _mm_set1_epi8(-33)))) & high;
  // C0 and C1 only start overlong forms; F0 and above start four-byte sequences or nothing.
  const __m128i fromF0 = _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(-16)), bytes);
  const __m128i c0OrC1 = _mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(-2)), _mm_set1_epi8(-64));
  if (_mm_movemask_epi8(_mm_or_si128(fromF0, c0OrC1)) != 0) return 0;
  const unsigned starts = ~continuation & 0xFFFF;
  const unsigned later = starts & ~kWholeSequenceStarts;
  const int taken = later != 0 ? __builtin_ctz(later) : static_cast<int>(kBlockSize);
  const unsigned kept = (1u << taken) - 1;
  const unsigned leads = high & ~continuation & kept;
  if (((leads << 1) | ((fromE0 & kept) << 2)) != (continuation & kept)) return 0;
  // E0 80-9F is an overlong form, ED A0-BF a surrogate.
  const __m128i next = _mm_srli_si128(bytes, 1);
  const __m128i overlong =
      _mm_and_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(-32)), _mm_cmplt_epi8(next, _mm_set1_epi8(-96)));
  const __m128i surrogate =
      _mm_and_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(-19)), _mm_cmpgt_epi8(next, _mm_set1_epi8(-97)));
  if ((static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(overlong, surrogate))) & kept) != 0) return 0;
  // Each character is decoded at its last byte: the one before the next start (`taken` is one).
  const unsigned ends = (starts & ((2u << taken) - 1)) >> 1;
  if constexpr (kWrite) {
    const __m128i zero = _mm_setzero_si128();
    // A continuation byte gives six bits; so does the byte before one (a two-byte lead's sixth bit
    // is zero); a three-byte lead gives its low four bits, which the shift to the top keeps.
    const __m128i own = _mm_andnot_si128(_mm_and_si128(continues, _mm_set1_epi8(-64)), bytes);
    const __m128i before =
        _mm_and_si128(_mm_and_si128(_mm_slli_si128(bytes, 1), _mm_set1_epi8(0x3F)), continues);
    const __m128i twoBack =
        _mm_and_si128(_mm_slli_si128(bytes, 2), _mm_and_si128(continues, _mm_slli_si128(continues, 1)));
    const unsigned firstHalf = ends & 0xFF;
    StoreCharacters(_mm_unpacklo_epi8(own, before), _mm_unpacklo_epi8(zero, twoBack), firstHalf, out);
    StoreCharacters(_mm_unpackhi_epi8(own, before), _mm_unpackhi_epi8(zero, twoBack), ends >> 8,
                    out + __builtin_popcount(firstHalf));
  }
  units += static_cast<size_t>(__builtin_popcount(ends));
  return static_cast<size_t>(taken);
}

template <bool kWrite>
[[gnu::target("ssse3,popcnt")]] size_t DecodeBlocks(const char* bytes, size_t count, char16_t* out) {
  const auto* in = reinterpret_cast<const uint8_t*>(bytes);
  const auto* end = in + count;
  size_t units = 0;
  while (static_cast<size_t>(end - in) >= kBlockSize) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(block));
    if (high == 0) {
      DecodeStep<kWrite>(in, end, out, units);  // the whole run of ASCII
      continue;
    }
    const size_t taken = DecodeBlock<kWrite>(block, high, out + (kWrite ? units : 0), units);
    if (taken != 0) {
      in += taken;
      continue;
    }
    // A four-byte or malformed sequence: the scalar decoder takes the sequences that start in the
    // part of the block that a decoded block would have taken.
    const uint8_t* const resume = in + kWholeSequenceStartCount;
    while (in < resume) DecodeStep<kWrite>(in, end, out, units);
  }
  while (in < end) DecodeStep<kWrite>(in, end, out, units);
  return units;
}
#endif

template <bool kWrite>
size_t Decode(const char* bytes, size_t count, char16_t* out, Utf8Decoding decoding) {
#if defined(TORVIN_UTF8_BLOCKS)
  if (decoding == Utf8Decoding::kBlocks && HasUtf8BlockDecoder())
    return DecodeBlocks<kWrite>(bytes, count, out);
#endif
  return DecodeScalar<kWrite>(bytes, count, out);
}

}  // namespace

bool HasUtf8BlockDecoder() {
#if defined(TORVIN_UTF8_BLOCKS)
  __builtin_cpu_init();
  return __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("popcnt");
#else
  return false;
#endif
}

size_t CountUtf8AsUtf16(const char* bytes, size_t count, Utf8Decoding decoding) {
  return Decode<false>(bytes, count, nullptr, decoding);
}

size_t Utf8ToUtf16(const char* bytes, size_t count, char16_t* out, Utf8Decoding decoding) {
  return Decode<true>(bytes, count, out, decoding);
}

}  // namespace platform::posix
