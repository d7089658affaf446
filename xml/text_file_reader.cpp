// The text-file reader: one read of the top of the file for its encoding, one read of the whole
// content, and one conversion pass into a text sized by the byte count.
#include "xml/text_file_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/codepage.h"
#include "xml/declared_encoding.h"
#include "xml/encoding_table.h"
#include "xml/result_record.h"
#include "xml/text_converter.h"
#include "xml/utf8_detection.h"

namespace {

constexpr int32_t kTopSize = 1024;
constexpr int32_t kUtf8CodePage = 65001;
// Small enough to stay in the processor's cache between the read and the conversion.
constexpr int32_t kUtf8PieceSize = 64 * 1024;

// Removes the zero bytes among `count`, keeping the order of the others; returns how many there were.
int32_t RemoveZeroBytes(char* bytes, int32_t count) {
  // Most files have no zero byte at all, and memchr finds that out fastest.
  auto* first = static_cast<char*>(std::memchr(bytes, 0, static_cast<size_t>(count)));
  return first ? static_cast<int32_t>(bytes + count - std::remove(first, bytes + count, 0)) : 0;
}

// The last point among `count` bytes of UTF-8 that follows three ASCII bytes, or 0. No sequence
// runs across it, however malformed: a sequence ends at an ASCII byte, and its lead byte announces
// at most three more, so a lead byte before the three has them all before the point.
int32_t LastUncutPoint(const char* bytes, int32_t count) {
  int32_t ascii = 0;
  for (int32_t at = count; at > 0; --at) {
    ascii = static_cast<unsigned char>(bytes[at - 1]) < 0x80 ? ascii + 1 : 0;
    if (ascii == 3) return at + 2;
  }
  return 0;
}

// The system message up to its first line break.
std::u16string_view FirstLine(std::u16string_view message) {
  return message.substr(0, std::min(message.find_first_of(u"\r\n"), message.size()));
}

// The top of the file decoded as UTF-8, up to its first zero character.
std::u16string DecodeTop(std::string_view top) {
  TextConverter converter(u"UTF-8", top.data(), static_cast<int32_t>(top.size()));
  std::u16string text(top.size(), u'\0');
  converter.SetResultCount(static_cast<int32_t>(text.size()));
  text.resize(static_cast<size_t>(converter.Convert(text.data(), u"UTF-16")));
  text.resize(std::min(text.find(u'\0'), text.size()));
  return text;
}

// Whether this system decodes text in the encoding. Windows refuses UTF-16 and UTF-32 as the
// source of an 8-bit conversion, so their empty text is the outcome everywhere. Any other code page
// that cannot decode a plain "A" is one this system lacks, and the conversion left its error.
bool DecodesHere(std::u16string_view encoding) {
  const int32_t codePage = EncodingCodePage(encoding);
  for (const int32_t refused : {1200, 1201, 12000, 12001})
    if (codePage == refused) return true;
  return codePage == CODEPAGE_UTF32 ||
         platform::MultiByteToUtf16(std::max(codePage, 0), "A", 1, nullptr, 0) > 0;
}

}  // namespace

void TextFileReader::AddFileError(const platform::SystemError& error) {
  AddResultRecord(m_strReadResult, RESULT_MSG | RESULT_N, u"file_error", FirstLine(error.message),
                  error.number);
}

bool TextFileReader::Open(const platform::FileSource& file) {
  m_strReadResult.clear();
  if (!m_hFile.Open(file)) {
    AddFileError();
    return false;
  }
  m_nUnitSize = 1;
  const int64_t size = m_hFile.Size();
  if (size < 0 || size >= kMaxTextFileSize) {
    AddFileError(size < 0 ? platform::LastSystemError() : platform::FileTooLargeError());
    return false;
  }
  m_nFileSize = static_cast<int32_t>(size);
  int32_t markLength = 0;
  if (m_nFileSize > 0 && !ReadTop(markLength)) return false;
  m_nFilePos = markLength;
  if (markLength > 0) AddResultRecord(m_strReadResult, 0, u"bom");
  return true;
}

// Reads the first 1,024 bytes for a byte-order mark or a declaration, then returns to just after
// the mark.
bool TextFileReader::ReadTop(int32_t& markLength) {
  char bytes[kTopSize];
  const int32_t size = std::min(kTopSize, m_nFileSize);
  if (!m_hFile.Read(bytes, static_cast<size_t>(size))) {
    AddFileError();
    return false;
  }
  const std::string_view top(bytes, static_cast<size_t>(size));
  markLength = TakeByteOrderMark(top);
  if (size > markLength && !m_hFile.Seek(markLength)) {
    AddFileError();
    return false;
  }
  if (markLength == 0) m_strEncodingName = GetDeclaredEncoding(DecodeTop(top));
  if (m_strEncodingName.empty() && top[0] == '<') m_strEncodingName = u"UTF-8";
  return true;
}

int32_t TextFileReader::TakeByteOrderMark(std::string_view top) {
  // Marks from an earlier load into the same document do not describe this file.
  m_nReaderFlags &= ~(FLAG_UTF16LE_FILE | FLAG_UTF8_BOM | FLAG_UTF16BE_FILE);
  for (const ByteOrderMark& mark : BomTable) {
    if (!top.starts_with(mark.bytes)) continue;
    m_nReaderFlags |= mark.flag;
    if (mark.bytes.size() == 2) m_nUnitSize = 2;
    m_strEncodingName = mark.encoding;
    return static_cast<int32_t>(mark.bytes.size());
  }
  return 0;
}

bool TextFileReader::ReadText(std::u16string& text) {
  m_strReadResult.clear();
  if (m_nBytesToRead == 0) {
    AddResultRecord(m_strReadResult, RESULT_ENCODING | RESULT_LENGTH, u"read", m_strEncodingName, 0);
    return true;
  }
  m_nBytesToRead = std::min(m_nBytesToRead, m_nFileSize - m_nFilePos);
  if (m_nReaderFlags & (FLAG_UTF16LE_FILE | FLAG_UTF16BE_FILE)) {
    // Room for a last odd byte, which the read takes but the text does not.
    text.resize(static_cast<size_t>(m_nBytesToRead + 1) / 2);
    const bool read = ReadBlock(text.data());
    text.resize(static_cast<size_t>(m_nTextLength));
    return read;
  }
  return ReadEightBit(text);
}

bool TextFileReader::ReadEightBit(std::u16string& text) {
  if (EncodingCodePage(m_strEncodingName) == kUtf8CodePage) return ReadUtf8(text);
  auto bytes = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(m_nBytesToRead));
  const bool read = ReadBlock(bytes.get());
  if (m_strEncodingName.empty()) {
    if (DetectUtf8(bytes.get(), m_nTextLength)) {
      m_strEncodingName = u"UTF-8";
      AddResultRecord(m_strReadResult, RESULT_UPDATE | RESULT_ENCODING, u"read", m_strEncodingName);
    }
    AddResultRecord(m_strReadResult, 0, u"utf8_detection");
  }
  const int32_t units = ConvertToText(bytes.get(), text);
  if (units == 0 && m_nTextLength > 0 && !DecodesHere(m_strEncodingName)) {
    AddFileError();
    text.clear();
    return false;
  }
  bytes.reset();
  if (EncodingCodePage(m_strEncodingName) != kUtf8CodePage) RemoveDecodedZeros(text);
  AddResultRecord(m_strReadResult, RESULT_ENCODING | RESULT_LENGTH, u"converted_to", u"UTF-16",
                  static_cast<int32_t>(text.size()));
  return read;
}

// Text has rarely more UTF-16 units than bytes (one byte each at most in every code page but a
// few): one pass writes into a text of that size, and only text that does not fit is counted
// first. Returns the units, which the text then holds.
int32_t TextFileReader::ConvertToText(const char* bytes, std::u16string& text) const {
  TextConverter converter(m_strEncodingName, bytes, m_nTextLength);
  // One unit more than bytes, so that a conversion that fills the room has certainly ended.
  const int32_t room = m_nTextLength + 1;
  text.resize(static_cast<size_t>(room));
  converter.SetResultCount(room);
  int32_t units = converter.Convert(text.data(), u"UTF-16");
  if (units == 0 && m_nTextLength > 0) {
    units = converter.Convert(nullptr);
    text.resize(static_cast<size_t>(units));
    converter.SetResultCount(units);
    units = units > 0 ? converter.Convert(text.data()) : 0;
  }
  text.resize(static_cast<size_t>(units));
  return units;
}

bool TextFileReader::ReadBlock(void* buffer) {
  if (!m_hFile.Read(buffer, static_cast<size_t>(m_nBytesToRead))) {
    // Nothing of the buffer is known to hold file content.
    m_nTextLength = 0;
    AddFileError();
    return false;
  }
  m_nTextLength = m_nBytesToRead / m_nUnitSize;
  NoteRead(RemoveZeroUnits(buffer));
  if (m_nUnitSize > 1 && (m_nReaderFlags & FLAG_UTF16BE_FILE)) {
    auto* units = static_cast<char16_t*>(buffer);
    for (int32_t i = 0; i < m_nTextLength; ++i)
      units[i] = static_cast<char16_t>((units[i] << 8) | (units[i] >> 8));
    AddResultRecord(m_strReadResult, 0, u"endian_swap");
  }
  return true;
}

// Records a whole read of m_nBytesToRead bytes, m_nTextLength units, of which `zeros` were removed.
void TextFileReader::NoteRead(int32_t zeros) {
  m_nFilePos += m_nBytesToRead;
  AddResultRecord(m_strReadResult, RESULT_ENCODING | RESULT_LENGTH, u"read", m_strEncodingName,
                  m_nTextLength);
  m_nNullsRemoved = zeros;
  if (zeros > 0) {
    AddResultRecord(m_strReadResult, RESULT_COUNT, u"nulls_removed", std::nullopt, zeros);
    m_nTextLength -= zeros;
  }
}

// UTF-8, the encoding of most files, is read and converted a piece at a time: each piece is
// converted while the read has left it in the processor's cache, and no buffer of the file's size
// is needed besides the text. A piece ends after three ASCII bytes, where no sequence can be cut,
// so the text is the same as from one conversion of the whole file.
bool TextFileReader::ReadUtf8(std::u16string& text) {
  const bool read = ReadUtf8Pieces(text);
  if (!read) {
    // Nothing of the text is known to hold file content.
    text.clear();
    m_nTextLength = 0;
    AddFileError();
  }
  AddResultRecord(m_strReadResult, RESULT_ENCODING | RESULT_LENGTH, u"converted_to", u"UTF-16",
                  static_cast<int32_t>(text.size()));
  return read;
}

bool TextFileReader::ReadUtf8Pieces(std::u16string& text) {
  // Each piece is converted straight into the text: never more units than bytes, so the units
  // of the bytes read so far always leave room for the next piece's.
  text.resize(static_cast<size_t>(m_nBytesToRead));
  auto size = static_cast<size_t>(std::min(m_nBytesToRead, kUtf8PieceSize));
  auto piece = std::make_unique_for_overwrite<char[]>(size);
  int32_t left = m_nBytesToRead, kept = 0, zeros = 0, written = 0;
  while (left > 0) {
    // A piece without three ASCII bytes in a row is kept whole and read on with more room.
    if (kept == static_cast<int32_t>(size)) {
      size *= 2;
      auto larger = std::make_unique_for_overwrite<char[]>(size);
      std::memcpy(larger.get(), piece.get(), static_cast<size_t>(kept));
      piece = std::move(larger);
    }
    const int32_t count = std::min(static_cast<int32_t>(size) - kept, left);
    if (!m_hFile.Read(piece.get() + kept, static_cast<size_t>(count))) return false;
    left -= count;
    const int32_t zerosHere = RemoveZeroBytes(piece.get() + kept, count);
    zeros += zerosHere;
    const int32_t filled = kept + count - zerosHere;
    const int32_t cut = left > 0 ? LastUncutPoint(piece.get(), filled) : filled;
    written += platform::MultiByteToUtf16(kUtf8CodePage, piece.get(), cut, text.data() + written, cut);
    kept = filled - cut;
    std::memmove(piece.get(), piece.get() + cut, static_cast<size_t>(kept));
  }
  text.resize(static_cast<size_t>(written));
  m_nTextLength = m_nBytesToRead;
  NoteRead(zeros);
  return true;
}

// Removes the zero units among the first m_nTextLength, keeping the order of the others; returns
// how many there were.
int32_t TextFileReader::RemoveZeroUnits(void* buffer) {
  if (m_nUnitSize == 2) {
    auto* units = static_cast<char16_t*>(buffer);
    auto* end = units + m_nTextLength;
    return static_cast<int32_t>(end - std::remove(std::find(units, end, u'\0'), end, u'\0'));
  }
  return RemoveZeroBytes(static_cast<char*>(buffer), m_nTextLength);
}

// Some encodings spell a zero character without a zero byte (UTF-7, UTF-32, US-ASCII with the
// eighth bit set); it would end the document text early for the scanner, so it goes too. UTF-8
// cannot: its decoder makes U+FFFD of an overlong zero.
void TextFileReader::RemoveDecodedZeros(std::u16string& text) {
  const auto removed = static_cast<int32_t>(std::erase(text, u'\0'));
  if (removed == 0) return;
  const uint32_t update = m_nNullsRemoved > 0 ? uint32_t{RESULT_UPDATE} : 0u;
  m_nNullsRemoved += removed;
  AddResultRecord(m_strReadResult, update | RESULT_COUNT, u"nulls_removed", std::nullopt, m_nNullsRemoved);
}

void TextFileReader::Close() {
  if (!m_hFile.Close()) AddFileError();
}
