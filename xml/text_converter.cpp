// Text conversion to UTF-16: UTF-32 here, every other code page through the code-page seam.
#include "xml/text_converter.h"

#include <cstring>

#include "platform/codepage.h"
#include "xml/encoding_table.h"

namespace {

int32_t SourceCodePage(std::u16string_view encoding) {
  const int32_t codePage = EncodingCodePage(encoding);
  return codePage < 0 ? 0 : codePage;
}

}  // namespace

TextConverter::TextConverter(std::u16string_view fromEncoding, const char* source, int32_t byteCount)
    : m_strFromEncoding(fromEncoding),
      m_pFrom(source),
      m_nFromLength(SourceCodePage(fromEncoding) == CODEPAGE_UTF32 ? byteCount / 4 : byteCount) {}

int32_t TextConverter::Convert(char16_t* destination, std::u16string_view toEncoding) {
  if (!toEncoding.empty()) m_strToEncoding = toEncoding;
  if (m_strToEncoding != u"UTF-16") {
    m_nToCount = 0;
    return 0;
  }
  const int32_t codePage = SourceCodePage(m_strFromEncoding);
  if (codePage == CODEPAGE_UTF32) {
    m_nToCount = ConvertUtf32(destination);
  } else {
    m_nToCount = platform::MultiByteToUtf16(codePage, m_pFrom, m_nFromLength, destination,
                                            destination ? m_nToCount : 0);
  }
  return m_nToCount;
}

// 32-bit code points in machine byte order; values beyond the BMP become a surrogate pair, with
// no check of their range.
int32_t TextConverter::ConvertUtf32(char16_t* destination) const {
  const int32_t capacity = m_nToCount;
  int32_t units = 0;
  for (int32_t i = 0; i < m_nFromLength; ++i) {
    uint32_t value;
    std::memcpy(&value, m_pFrom + 4 * static_cast<size_t>(i), sizeof value);
    const int32_t needed = value >= 0x10000 ? 2 : 1;
    if (destination) {
      if (units + needed > capacity) break;
      if (needed == 2) {
        destination[units] = static_cast<char16_t>(0xD800 | (((value - 0x10000) >> 10) & 0x3FF));
        destination[units + 1] = static_cast<char16_t>(0xDC00 | ((value - 0x10000) & 0x3FF));
      } else {
        destination[units] = static_cast<char16_t>(value);
      }
    }
    units += needed;
  }
  return units;
}
