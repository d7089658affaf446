// Conversion of a file's bytes, known by their encoding name, to UTF-16.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TextConverter {
 public:
  // The source is `byteCount` bytes in the named encoding. It is read in units of 4 bytes when
  // the name means CODEPAGE_UTF32 (a last partial unit is not part of it), else byte by byte.
  TextConverter(std::u16string_view fromEncoding, const char* source, int32_t byteCount);

  // Converts the whole source to `toEncoding` (empty: the target of the previous call; only
  // "UTF-16" is supported). Without a destination the UTF-16 units are only counted; with one,
  // at most ResultCount() units (the destination's capacity, set by SetResultCount) are written.
  // Returns the units, which also become the result count.
  int32_t Convert(char16_t* destination, std::u16string_view toEncoding = {});

  int32_t ResultCount() const { return m_nToCount; }
  void SetResultCount(int32_t capacity) { m_nToCount = capacity; }

 private:
  int32_t ConvertUtf32(char16_t* destination) const;

  std::u16string m_strFromEncoding;
  std::u16string m_strToEncoding;
  const char* m_pFrom;
  int32_t m_nFromLength;  // in source units
  int32_t m_nToCount = 0;
};
