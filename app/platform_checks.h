// Which operating system and bitness the installer runs on, in the names the configuration's
// download entries use.
#pragma once

#include <string>

struct PlatformInfo {
  std::u16string strName;  // "Windows XP", "Windows Vista", "Windows 7", "Windows 8"; empty when unknown
  std::u16string strBits;  // "64" or "32"; empty when unknown
};

// Fills both strings and returns 0, or returns 1 and leaves them as they were when the system is
// not an NT-family Windows of XP or later.
int DetectPlatform(PlatformInfo& platform);

// "64" on x64 and Itanium systems, "32" on every other.
std::u16string GetSystemBitness();
