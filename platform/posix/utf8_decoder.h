// UTF-8 to UTF-16 exactly as Windows' MultiByteToWideChar does it without flags, so that a file
// reads the same on both systems: every malformed sequence becomes U+FFFD.
#pragma once

#include <cstddef>

namespace platform::posix {

// How the conversions below decode. Blocks: many bytes at a time wherever they hold only ASCII and
// well-formed two- and three-byte sequences: on x86 processors, 64 with AVX-512 (BW and VBMI2), 32
// with AVX2, 16 with SSSE3 (each with POPCNT); elsewhere as Scalar. BlocksUpTo32Bytes and
// BlocksUpTo16Bytes: as Blocks, never more bytes at a time than they say. Scalar: one sequence at
// a time; the reference that the block decoders must equal.
enum class Utf8Decoding { kBlocks, kBlocksUpTo32Bytes, kBlocksUpTo16Bytes, kScalar };

// Whether this processor decodes in blocks.
bool HasUtf8BlockDecoder();

// The UTF-16 units that count bytes of UTF-8 make.
size_t CountUtf8AsUtf16(const char* bytes, size_t count, Utf8Decoding decoding = Utf8Decoding::kBlocks);

// Writes the UTF-16 form of count bytes of UTF-8 to out, which has room for count units (the
// form is never longer; units past the result may be overwritten); returns the units written.
size_t Utf8ToUtf16(const char* bytes, size_t count, char16_t* out,
                   Utf8Decoding decoding = Utf8Decoding::kBlocks);

}  // namespace platform::posix
