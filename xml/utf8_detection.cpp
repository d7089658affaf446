// UTF-8 detection over a whole file's bytes, with a fast path for ASCII runs.
#include "xml/utf8_detection.h"

#include <cstdint>
#include <cstring>

int32_t DecodeUtf8Char(const unsigned char*& position, const unsigned char* end) {
  const unsigned char lead = *position++;
  if (lead < 0x80) return lead;
  int continuation;
  int32_t code;
  if (!(lead & 0x20)) {
    continuation = 1;
    code = lead & 0x1F;
  } else if (!(lead & 0x10)) {
    continuation = 2;
    code = lead & 0x0F;
  } else if (!(lead & 0x08)) {
    continuation = 3;
    code = lead & 0x07;
  } else {
    return -1;
  }
  for (; continuation > 0; --continuation) {
    if (position >= end || !(*position & 0x80)) return -1;
    code = (code << 6) | (*position++ & 0x3F);
  }
  return code;
}

namespace {

bool IsAsciiBlock(const unsigned char* position) {
  uint64_t block;
  std::memcpy(&block, position, sizeof block);
  return !(block & 0x8080808080808080ull);
}

}  // namespace

bool DetectUtf8(const char* bytes, int32_t count) {
  const auto* position = reinterpret_cast<const unsigned char*>(bytes);
  const auto* end = position + count;
  while (position < end) {
    if (end - position >= 8 && IsAsciiBlock(position)) {
      position += 8;
    } else if (*position < 0x80) {
      ++position;
    } else if (DecodeUtf8Char(position, end) < 0) {
      return false;
    }
  }
  return true;
}
