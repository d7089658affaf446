// Each block decoder of UTF-8 that this processor has (64, 32 and 16 bytes at a time) against the
// one-sequence-at-a-time decoder: any bytes give the same units and the same count each way, and
// no write leaves the room of one unit per byte.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/posix/utf8_decoder.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using platform::posix::Utf8Decoding;
  const auto* bytes = reinterpret_cast<const char*>(data);
  std::vector<char16_t> blocks(size), scalar(size);
  const size_t fromScalar = platform::posix::Utf8ToUtf16(bytes, size, scalar.data(), Utf8Decoding::kScalar);
  for (const Utf8Decoding decoding :
       {Utf8Decoding::kBlocks, Utf8Decoding::kBlocksUpTo32Bytes, Utf8Decoding::kBlocksUpTo16Bytes}) {
    Check(platform::posix::Utf8ToUtf16(bytes, size, blocks.data(), decoding) == fromScalar);
    Check(std::equal(blocks.begin(), blocks.begin() + static_cast<ptrdiff_t>(fromScalar), scalar.begin()));
    Check(platform::posix::CountUtf8AsUtf16(bytes, size, decoding) == fromScalar);
  }
  return 0;
}
