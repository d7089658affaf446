// UTF-8 decoding with Windows' replacement rules: a sequence is consumed while its bytes are
// continuation bytes, and it ends as one U+FFFD at the first byte that shows it is malformed
// (an overlong form, a surrogate, a value above U+10FFFF); a sequence cut by the end of the input
// swallows the rest of the input into one U+FFFD. Where the processor allows, blocks of 64 bytes
// (AVX-512), 32 bytes (AVX2) or 16 bytes (SSSE3) that hold only ASCII and well-formed two- and
// three-byte sequences are decoded at once; every other block goes through the same
// one-sequence-at-a-time decoder as on other processors.
#include "platform/posix/utf8_decoder.h"

#include <algorithm>
#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
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

// Decodes blocks of 16 bytes from `in` while a whole one is left.
template <bool kWrite>
[[gnu::target("ssse3,popcnt"), gnu::always_inline]] inline void DecodeBlocksFrom(const uint8_t*& in,
                                                                               const uint8_t* end,
                                                                               char16_t* out, size_t& units) {
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
}

template <bool kWrite>
[[gnu::target("ssse3,popcnt")]] size_t DecodeBlocks(const char* bytes, size_t count, char16_t* out) {
  const auto* in = reinterpret_cast<const uint8_t*>(bytes);
  const auto* end = in + count;
  size_t units = 0;
  DecodeBlocksFrom<kWrite>(in, end, out, units);
  while (in < end) DecodeStep<kWrite>(in, end, out, units);
  return units;
}

// Wide blocks: 32 bytes at a time, one after the other. A block gives the characters that end in
// it, so a character may begin in the block before; it is judged with the two bytes before the
// block and the byte after it.
constexpr size_t kWideBlockSize = 32;

// The 32 bytes moved kCount places up (1 or 2), zeros in front.
template <int kCount>
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i ShiftedUp(__m256i bytes) {
  return _mm256_alignr_epi8(bytes, _mm256_permute2x128_si256(bytes, bytes, 0x08), 16 - kCount);
}

[[gnu::target("avx2"), gnu::always_inline]] inline __m256i Load32(const uint8_t* at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

// The bytes of `floor` and above (unsigned).
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i AtLeast(__m256i bytes, uint8_t floor) {
  return _mm256_cmpeq_epi8(_mm256_max_epu8(bytes, _mm256_set1_epi8(static_cast<char>(floor))), bytes);
}

// As signed bytes 0x80-0xFF are the negative ones: 0x80-0xBF are below 0xC0 and ASCII is not.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i Continues(__m256i bytes) {
  return _mm256_cmpgt_epi8(_mm256_set1_epi8(-64), bytes);
}

// One block and the bytes around it, each lane of `previous` one byte before the lane of `bytes`
// and so on.
struct WideBlock {
  __m256i bytes, previous, secondPrevious, next;
};

// The lanes where the block is malformed or holds what wide blocks do not decode; every other lane
// is a well-formed character's byte. A byte is a continuation byte exactly where a lead byte one
// or two before announces it (for the byte after the block too, as the block's last character
// ends where that byte starts no continuation); no C0, C1, F0 and above (overlong forms, four-byte
// sequences); no E0 80-9F (overlong) nor ED A0-BF (surrogates).
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i WideBlockFaults(const WideBlock& block,
                                                                         __m256i continues) {
  const __m256i announced = _mm256_or_si256(AtLeast(block.previous, 0xC0), AtLeast(block.secondPrevious, 0xE0));
  const __m256i announcedNext = _mm256_or_si256(AtLeast(block.bytes, 0xC0), AtLeast(block.previous, 0xE0));
  const __m256i structure = _mm256_or_si256(_mm256_xor_si256(continues, announced),
                                            _mm256_xor_si256(Continues(block.next), announcedNext));
  const __m256i c0OrC1 =
      _mm256_cmpeq_epi8(_mm256_and_si256(block.bytes, _mm256_set1_epi8(-2)), _mm256_set1_epi8(-64));
  const __m256i overlong = _mm256_and_si256(_mm256_cmpeq_epi8(block.previous, _mm256_set1_epi8(-32)),
                                            _mm256_cmpgt_epi8(_mm256_set1_epi8(-96), block.bytes));
  const __m256i surrogate = _mm256_and_si256(_mm256_cmpeq_epi8(block.previous, _mm256_set1_epi8(-19)),
                                             _mm256_cmpgt_epi8(block.bytes, _mm256_set1_epi8(-97)));
  return _mm256_or_si256(_mm256_or_si256(structure, _mm256_or_si256(c0OrC1, AtLeast(block.bytes, 0xF0))),
                         _mm256_or_si256(overlong, surrogate));
}

// The units of the lanes in `ends` (8 bits for each 128-bit half) gathered to the front of each
// half.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i Gathered(__m256i units, unsigned lowEnds,
                                                                  unsigned highEnds) {
  const __m256i gather = _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(kGatherLanes[lowEnds].data()))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(kGatherLanes[highEnds].data())), 1);
  return _mm256_shuffle_epi8(units, gather);
}

[[gnu::target("avx2"), gnu::always_inline]] inline void Store8(char16_t* out, __m128i units) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
}

// Writes the characters of a well-formed block that end at the lanes in `ends`; always 32 units.
[[gnu::target("avx2,popcnt"), gnu::always_inline]] inline void StoreWideBlock(const WideBlock& block,
                                                                             __m256i continues,
                                                                             uint32_t ends, char16_t* out) {
  // As in DecodeBlock, per 16-bit lane: the own byte's payload, the six bits of the byte before
  // where the lane continues a sequence, and the byte two before where that is a three-byte lead.
  const __m256i own = _mm256_andnot_si256(_mm256_and_si256(continues, _mm256_set1_epi8(-64)), block.bytes);
  const __m256i before = _mm256_and_si256(_mm256_and_si256(block.previous, _mm256_set1_epi8(0x3F)), continues);
  const __m256i twoBack =
      _mm256_and_si256(block.secondPrevious, _mm256_and_si256(continues, AtLeast(block.secondPrevious, 0xE0)));
  const __m256i zero = _mm256_setzero_si256();
  const __m256i weights = _mm256_set1_epi16(64 << 8 | 1);
  // Unpacking keeps to 128-bit halves: "low" holds bytes 0-7 and 16-23, "high" 8-15 and 24-31.
  const __m256i low = _mm256_or_si256(_mm256_maddubs_epi16(_mm256_unpacklo_epi8(own, before), weights),
                                      _mm256_slli_epi16(_mm256_unpacklo_epi8(zero, twoBack), 4));
  const __m256i high = _mm256_or_si256(_mm256_maddubs_epi16(_mm256_unpackhi_epi8(own, before), weights),
                                       _mm256_slli_epi16(_mm256_unpackhi_epi8(zero, twoBack), 4));
  const __m256i lowGathered = Gathered(low, ends & 0xFF, (ends >> 16) & 0xFF);
  const __m256i highGathered = Gathered(high, (ends >> 8) & 0xFF, ends >> 24);
  // In order: each store's zero units past its characters are overwritten by the next.
  Store8(out, _mm256_castsi256_si128(lowGathered));
  Store8(out + __builtin_popcount(ends & 0xFF), _mm256_castsi256_si128(highGathered));
  Store8(out + __builtin_popcount(ends & 0xFFFF), _mm256_extracti128_si256(lowGathered, 1));
  Store8(out + __builtin_popcount(ends & 0xFFFFFF), _mm256_extracti128_si256(highGathered, 1));
}

// Writes the 32 ASCII bytes as units.
[[gnu::target("avx2"), gnu::always_inline]] inline void StoreWideAscii(__m256i bytes, char16_t* out) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_cvtepu8_epi16(_mm256_castsi256_si128(bytes)));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16),
                      _mm256_cvtepu8_epi16(_mm256_extracti128_si256(bytes, 1)));
}

// The start of the character that the byte at `in` is part of, after a block: one that ended in
// a lead byte, or in a three-byte lead and its first continuation byte, announced the byte at `in`
// and wrote no character for them. Any other continuation byte at `in` starts a sequence.
inline const uint8_t* CharacterStart(const uint8_t* in) {
  if (!IsContinuation(in[0])) return in;
  if (in[-1] >= 0xC0) return in - 1;
  return IsContinuation(in[-1]) && in[-2] >= 0xE0 ? in - 2 : in;
}

// The scalar decoder's part after a block with a fault at `firstFault` (a lane): the character
// that `in` is part of and those after it, past the fault (which may concern the byte after its
// lane), and at least 16 bytes.
template <bool kWrite>
[[gnu::always_inline]] inline void DecodeAfterFault(const uint8_t*& in, const uint8_t* end, int firstFault,
                                                    bool atCharacter, char16_t* out, size_t& units) {
  const uint8_t* const resume = in + std::max(firstFault + 2, 16);
  if (!atCharacter) in = CharacterStart(in);
  while (in < resume) DecodeStep<kWrite>(in, end, out, units);
}

// Decodes wide blocks from `in` while a whole one and the byte after it are left, then leaves `in`
// at the start of a character.
template <bool kWrite>
[[gnu::target("avx2,popcnt"), gnu::always_inline]] inline void DecodeWideBlocksFrom(const uint8_t*& in,
                                                                                   const uint8_t* end,
                                                                                   char16_t* out, size_t& units) {
  // Whether a character starts at `in` (at the start and after the scalar decoder): the bytes
  // before it then announce nothing. After a block of other than ASCII, they may.
  bool atCharacter = true;
  while (static_cast<size_t>(end - in) > kWideBlockSize) {
    WideBlock block;
    block.bytes = Load32(in);
    if (_mm256_movemask_epi8(block.bytes) == 0) {
      if constexpr (kWrite) StoreWideAscii(block.bytes, out + units);
      units += kWideBlockSize;
      in += kWideBlockSize;
      continue;
    }
    block.previous = atCharacter ? ShiftedUp<1>(block.bytes) : Load32(in - 1);
    block.secondPrevious = atCharacter ? ShiftedUp<2>(block.bytes) : Load32(in - 2);
    block.next = Load32(in + 1);
    const __m256i continues = Continues(block.bytes);
    const auto faults = static_cast<uint32_t>(_mm256_movemask_epi8(WideBlockFaults(block, continues)));
    if (faults == 0) {
      // A character ends where the next byte is no continuation byte.
      const auto ends = ~static_cast<uint32_t>(_mm256_movemask_epi8(Continues(block.next)));
      if constexpr (kWrite) StoreWideBlock(block, continues, ends, out + units);
      units += static_cast<size_t>(__builtin_popcount(ends));
      in += kWideBlockSize;
      atCharacter = false;
      continue;
    }
    DecodeAfterFault<kWrite>(in, end, __builtin_ctz(faults), atCharacter, out, units);
    atCharacter = true;
  }
  if (!atCharacter) in = CharacterStart(in);
}

// Decodes the rest from `in` (where a character starts), `units` written before it; returns the
// units in all.
template <bool kWrite>
[[gnu::target("avx2,popcnt"), gnu::always_inline]] inline size_t DecodeRestInWideBlocks(const uint8_t* in,
                                                                                       const uint8_t* end,
                                                                                       char16_t* out, size_t units) {
  DecodeWideBlocksFrom<kWrite>(in, end, out, units);
  DecodeBlocksFrom<kWrite>(in, end, out, units);
  while (in < end) DecodeStep<kWrite>(in, end, out, units);
  return units;
}

template <bool kWrite>
[[gnu::target("avx2,popcnt")]] size_t DecodeWideBlocks(const char* bytes, size_t count, char16_t* out) {
  const auto* in = reinterpret_cast<const uint8_t*>(bytes);
  return DecodeRestInWideBlocks<kWrite>(in, in + count, out, 0);
}

bool HasWideUtf8BlockDecoder() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
}

// Widest blocks: 64 bytes, judged as wide blocks are, on masks of one bit per byte; the
// characters of each half are gathered by the processor's compress instruction.
#define TORVIN_UTF8_WIDEST_BLOCKS "avx512f,avx512bw,avx512vbmi2,avx2,popcnt"
constexpr size_t kWidestBlockSize = 64;

// The bytes of `floor` and above (unsigned), one bit each.
[[gnu::target(TORVIN_UTF8_WIDEST_BLOCKS), gnu::always_inline]] inline uint64_t BytesAtLeast(__m512i bytes,
                                                                                         uint8_t floor) {
  return _mm512_cmpge_epu8_mask(bytes, _mm512_set1_epi8(static_cast<char>(floor)));
}

// The bytes equal to `value`, one bit each.
[[gnu::target(TORVIN_UTF8_WIDEST_BLOCKS), gnu::always_inline]] inline uint64_t BytesEqual(__m512i bytes,
                                                                                       uint8_t value) {
  return _mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(static_cast<char>(value)));
}

// One widest block, one bit per byte.
struct WidestMasks {
  uint64_t continuation, leads, threeLeads;
};

// What the block before tells a block about the bytes at its end, as bits of the block's lanes
// that those bytes announce: a lead byte last (lane 0), three-byte leads among the last two (lanes
// 0 and 1), E0 or ED last (lane 0). All zero where a character starts at the block.
struct WidestCarry {
  uint64_t lead, threeLeads, e0, ed;
};

[[gnu::target(TORVIN_UTF8_WIDEST_BLOCKS), gnu::always_inline]] inline WidestMasks MasksOf(__m512i bytes) {
  return {_mm512_cmplt_epi8_mask(bytes, _mm512_set1_epi8(-64)), BytesAtLeast(bytes, 0xC0),
          BytesAtLeast(bytes, 0xE0)};
}

inline WidestCarry CarryAfter(const uint8_t* in, const WidestMasks& masks) {
  const uint8_t last = in[kWidestBlockSize - 1];
  return {masks.leads >> 63, masks.threeLeads >> 62, uint64_t{last == 0xE0}, uint64_t{last == 0xED}};
}

// The lanes where the block is malformed or holds what blocks do not decode (WideBlockFaults),
// given whether the byte after it is a continuation byte.
[[gnu::target(TORVIN_UTF8_WIDEST_BLOCKS), gnu::always_inline]] inline uint64_t WidestBlockFaults(
    __m512i bytes, const WidestMasks& masks, const WidestCarry& before, bool nextContinues) {
  const uint64_t announced = (masks.leads << 1) | before.lead | (masks.threeLeads << 2) | before.threeLeads;
  const bool nextAnnounced = ((masks.leads | (masks.threeLeads << 1)) >> 63) != 0;
  const uint64_t nextFault = uint64_t{nextContinues != nextAnnounced} << 63;
  const uint64_t c0OrC1 = masks.leads & _mm512_cmplt_epu8_mask(bytes, _mm512_set1_epi8(static_cast<char>(0xC2)));
  const uint64_t belowA0 = _mm512_cmplt_epu8_mask(bytes, _mm512_set1_epi8(static_cast<char>(0xA0)));
  const uint64_t afterE0 = (BytesEqual(bytes, 0xE0) << 1) | before.e0;
  const uint64_t afterED = (BytesEqual(bytes, 0xED) << 1) | before.ed;
  return (masks.continuation ^ announced) | nextFault | c0OrC1 | BytesAtLeast(bytes, 0xF0) |
         (afterE0 & belowA0) | (afterED & ~belowA0);
}

// Writes the characters of half a well-formed block (32 lanes, as 16-bit units) that end at the
// lanes in `ends`; always 32 units.
[[gnu::target(TORVIN_UTF8_WIDEST_BLOCKS), gnu::always_inline]] inline void StoreWidestHalf(
    __m256i bytes, __m256i previous, __m256i secondPrevious, uint32_t continuation, uint32_t thirdBytes,
    uint32_t ends, char16_t* out) {
  const __m512i own = _mm512_cvtepu8_epi16(bytes);
  const __m512i payload = _mm512_set1_epi16(0x3F);
  const __m512i units = _mm512_ternarylogic_epi32(
      _mm512_mask_blend_epi16(continuation, own, _mm512_and_si512(own, payload)),
      _mm512_maskz_slli_epi16(continuation, _mm512_and_si512(_mm512_cvtepu8_epi16(previous), payload), 6),
      _mm512_maskz_slli_epi16(thirdBytes, _mm512_cvtepu8_epi16(secondPrevious), 12), 0xFE);
  _mm512_storeu_si512(out, _mm512_maskz_compress_epi16(ends, units));
}

// Writes the characters of a well-formed block that end at the lanes in `ends`; always 64 units.
[[gnu::target(TORVIN_UTF8_WIDEST_BLOCKS), gnu::always_inline]] inline void StoreWidestBlock(
    const uint8_t* in, const WidestMasks& masks, const WidestCarry& before, bool atCharacter, uint64_t ends,
    char16_t* out) {
  // Halves are loaded, not taken from a 64-byte load: this compiler's intrinsics for that warn of
  // an uninitialized value. Where a character starts at the block, the bytes before it count for
  // nothing and may not be there.
  const __m256i low = Load32(in);
  const __m256i previous = atCharacter ? ShiftedUp<1>(low) : Load32(in - 1);
  const __m256i secondPrevious = atCharacter ? ShiftedUp<2>(low) : Load32(in - 2);
  // A three-byte sequence's last byte: a continuation byte two after a three-byte lead.
  const uint64_t thirdBytes = masks.continuation & ((masks.threeLeads << 2) | before.threeLeads);
  StoreWidestHalf(low, previous, secondPrevious, static_cast<uint32_t>(masks.continuation),
                  static_cast<uint32_t>(thirdBytes), static_cast<uint32_t>(ends), out);
  StoreWidestHalf(Load32(in + 32), Load32(in + 31), Load32(in + 30),
                  static_cast<uint32_t>(masks.continuation >> 32), static_cast<uint32_t>(thirdBytes >> 32),
                  static_cast<uint32_t>(ends >> 32), out + __builtin_popcount(static_cast<uint32_t>(ends)));
}

template <bool kWrite>
[[gnu::target(TORVIN_UTF8_WIDEST_BLOCKS)]] size_t DecodeWidestBlocks(const char* bytes, size_t count,
                                                                    char16_t* out) {
  const auto* in = reinterpret_cast<const uint8_t*>(bytes);
  const auto* end = in + count;
  size_t units = 0;
  bool atCharacter = true;  // as in DecodeWideBlocksFrom
  WidestCarry before{};
  while (static_cast<size_t>(end - in) > kWidestBlockSize) {
    const __m512i block = _mm512_loadu_si512(in);
    if (_mm512_movepi8_mask(block) == 0) {
      if constexpr (kWrite) {
        _mm512_storeu_si512(out + units, _mm512_cvtepu8_epi16(Load32(in)));
        _mm512_storeu_si512(out + units + 32, _mm512_cvtepu8_epi16(Load32(in + 32)));
      }
      units += kWidestBlockSize;
      in += kWidestBlockSize;
      before = {};
      continue;
    }
    const WidestMasks masks = MasksOf(block);
    const bool nextContinues = IsContinuation(in[kWidestBlockSize]);
    const uint64_t faults = WidestBlockFaults(block, masks, before, nextContinues);
    if (faults == 0) {
      // A character ends where the next byte is no continuation byte.
      const uint64_t ends = ~((masks.continuation >> 1) | (uint64_t{nextContinues} << 63));
      if constexpr (kWrite) StoreWidestBlock(in, masks, before, atCharacter, ends, out + units);
      units += static_cast<size_t>(__builtin_popcountll(ends));
      before = CarryAfter(in, masks);
      in += kWidestBlockSize;
      atCharacter = false;
      continue;
    }
    DecodeAfterFault<kWrite>(in, end, __builtin_ctzll(faults), atCharacter, out, units);
    atCharacter = true;
    before = {};
  }
  if (!atCharacter) in = CharacterStart(in);
  return DecodeRestInWideBlocks<kWrite>(in, end, out, units);
}

bool HasWidestUtf8BlockDecoder() {
  __builtin_cpu_init();
  return HasWideUtf8BlockDecoder() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vbmi2");
}
#endif

template <bool kWrite>
size_t Decode(const char* bytes, size_t count, char16_t* out, Utf8Decoding decoding) {
#if defined(TORVIN_UTF8_BLOCKS)
  if (decoding != Utf8Decoding::kScalar && HasUtf8BlockDecoder()) {
    if (decoding == Utf8Decoding::kBlocks && HasWidestUtf8BlockDecoder())
      return DecodeWidestBlocks<kWrite>(bytes, count, out);
    if (decoding != Utf8Decoding::kBlocksUpTo16Bytes && HasWideUtf8BlockDecoder())
      return DecodeWideBlocks<kWrite>(bytes, count, out);
    return DecodeBlocks<kWrite>(bytes, count, out);
  }
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
