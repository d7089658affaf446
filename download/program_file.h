// What the installer reads of a Windows program's own layout: the program header, and the table
// that holds its Authenticode signature. Every field is read at an explicit offset with an explicit
// size, little-endian, so the 32-bit and the 64-bit builds read both kinds of program alike.
#pragma once

#include <optional>
#include <string>

#include "platform/held_file.h"

// "MZ" at the start, and the 32-bit offset at 0x3C pointing inside the file at "PE\0\0".
bool IsWindowsProgram(const platform::HeldFile& file);

// Why the program's certificate table is not exactly one signature entry that ends the file: the
// entry's length must be its 8-byte header plus the signature, rounded up to a multiple of 8, and
// the bytes after the signature zero. The system does not look at what follows the signature, so
// bytes hidden there would ride along unnoticed. Empty when the table is as it must be.
std::optional<std::u16string> CertificateTableProblem(const platform::HeldFile& file);
