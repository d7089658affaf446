// Numbers in little-endian byte order, as the PE format and the bundle store them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The `size`-byte number at `at` (which the caller has checked lies inside `bytes`).
inline uint32_t GetLittleEndian(std::string_view bytes, size_t at, size_t size = 4) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; ++i) value |= uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  return value;
}

inline void PutLittleEndian(std::string& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline void AppendLittleEndian(std::string& bytes, uint32_t value) {
  bytes.append(4, '\0');
  PutLittleEndian(bytes, bytes.size() - 4, value);
}

}  // namespace platform
