// The smallest Windows program file that packing has to handle, made in memory: a DOS header, the
// PE headers in their 32- or 64-bit form and one section of filler right after the headers. Enough
// for the packer and the installer's lookup; nothing runs it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/little_endian.h"

namespace testing_support {

inline constexpr uint32_t kProgramPeAt = 0x40;
inline constexpr uint32_t kProgramHeadersSize = 0x200;

inline std::string MinimalProgram(bool wide, uint32_t sectionSize = 0x400) {
  const uint32_t optionalSize = wide ? 240 : 224;
  const uint32_t optional = kProgramPeAt + 24;
  std::string file(kProgramHeadersSize + sectionSize, '\x90');
  std::fill(file.begin(), file.begin() + kProgramHeadersSize, '\0');
  file.replace(0, 2, "MZ");
  platform::PutLittleEndian(file, 0x3C, kProgramPeAt);
  file.replace(kProgramPeAt, 4, std::string("PE\0\0", 4));
  platform::PutLittleEndian(file, kProgramPeAt + 4, 0x00010000u | (wide ? 0x8664 : 0x14C));  // machine, 1 section
  platform::PutLittleEndian(file, kProgramPeAt + 20, optionalSize);
  platform::PutLittleEndian(file, optional, wide ? 0x20B : 0x10B);
  platform::PutLittleEndian(file, optional + 60, kProgramHeadersSize);
  platform::PutLittleEndian(file, optional + (wide ? 108 : 92), 16);  // data directories
  const uint32_t section = optional + optionalSize;
  file.replace(section, 5, ".text");
  platform::PutLittleEndian(file, section + 16, sectionSize);
  platform::PutLittleEndian(file, section + 20, kProgramHeadersSize);
  return file;
}

// The data directory's entry for the certificate table.
inline uint32_t CertificateEntryAt(bool wide) { return kProgramPeAt + 24 + (wide ? 112 : 96) + 4 * 8; }

// `program` as signing leaves it: padded to 8 bytes, a certificate table after it, the entry set.
inline std::string Signed(std::string program, bool wide) {
  program.append((8 - program.size() % 8) % 8, '\0');
  platform::PutLittleEndian(program, CertificateEntryAt(wide), static_cast<uint32_t>(program.size()));
  platform::PutLittleEndian(program, CertificateEntryAt(wide) + 4, 24);
  program.append(24, '\xC5');
  return program;
}

}  // namespace testing_support
