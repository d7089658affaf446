// What is read of a Windows program's own layout (PE): its headers, by the installer's checks and
// by packing, and the table that holds its Authenticode signature. Every field is read at an
// explicit offset with an explicit size, little-endian, so the 32-bit and the 64-bit builds read
// both kinds of program alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/held_file.h"

// How much of a program file's start is read for its headers and section table.
inline constexpr size_t kPeHeadersRead = 4096;

struct PeHeaders {
  uint32_t checksumAt = 0;          // the optional header's checksum field
  uint32_t symbolTableAt = 0;       // the file header's pointer to the symbol table (and the count after it)
  uint32_t certificateEntryAt = 0;  // the data directory's entry for the certificate table; 0 without one
  uint64_t certificatesAt = 0;      // where that entry puts the table, and its size
  uint64_t certificatesSize = 0;
  // The end of the headers and of the last section's data; empty when the section table lies
  // beyond the bytes read.
  std::optional<uint64_t> imageEnd;
};

// The headers of the program file that starts with `start`, of which only the first
// kPeHeadersRead bytes are looked at: "MZ", the "PE\0\0" signature that the 32-bit offset at 0x3C
// points at, the file header, and an optional header of either form (PE32 or PE32+) as far as its
// count of data directories. Nullopt when they are not all there.
std::optional<PeHeaders> ReadPeHeaders(std::string_view start);

// "MZ" at the start, and the 32-bit offset at 0x3C pointing at "PE\0\0" within the file's first
// kPeHeadersRead bytes.
bool IsWindowsProgram(const platform::HeldFile& file);

// Why the program's certificate table is not exactly one signature entry that ends the file: the
// entry's length must be its 8-byte header plus the signature, rounded up to a multiple of 8, and
// the bytes after the signature zero. The system does not look at what follows the signature, so
// bytes hidden there would ride along unnoticed. Empty when the table is as it must be.
std::optional<std::u16string> CertificateTableProblem(const platform::HeldFile& file);
