// Reading a text file (on disk or in memory) into a document's UTF-16 text: the encoding is found
// from a byte-order
// mark, then a declaration in the first 1,024 bytes, then UTF-8 detection; zero characters are
// removed, UTF-16 byte order is swapped where needed. Every step leaves a result record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_source.h"
#include "platform/input_file.h"
#include "xml/text_source.h"

// Encoding and mode bits of the reader's flag word, kept in the document's flag word after a load.
enum : uint32_t {
  FLAG_UTF16LE_FILE = 0x1,   // the file began with the UTF-16LE mark
  FLAG_UTF8_BOM = 0x4,       // the file began with the UTF-8 mark
  FLAG_READ_FILE = 0x10,     // the reader reads (the only mode there is)
  FLAG_UTF16BE_FILE = 0x80,  // the file began with the UTF-16BE mark
  FLAG_MODE_BITS = 0x70,
};

struct ByteOrderMark {
  std::string_view bytes;
  std::u16string_view encoding;
  uint32_t flag;
};

// Tried in this order.
inline constexpr ByteOrderMark BomTable[] = {
    {"\xEF\xBB\xBF", u"UTF-8", FLAG_UTF8_BOM},
    {"\xFF\xFE", u"UTF-16LE", FLAG_UTF16LE_FILE},
    {"\xFE\xFF", u"UTF-16BE", FLAG_UTF16BE_FILE},
};

// Files this large or larger are refused: their text would not fit the memory of a 32-bit process.
inline constexpr int64_t kMaxTextFileSize = int64_t{1} << 30;

class TextFileReader {
 public:
  explicit TextFileReader(uint32_t flags) : m_nReaderFlags(flags) {}

  // Opens the file and settles its encoding as far as the top of the file allows.
  bool Open(const platform::FileSource& file);
  // Reads m_nBytesToRead bytes and leaves their UTF-16 form in `text`.
  bool ReadText(std::u16string& text);
  // The raw read into `buffer` (room for m_nBytesToRead bytes), with zero units removed and
  // UTF-16BE swapped; m_nTextLength is the units that remain.
  bool ReadBlock(void* buffer);
  // A failed close adds a "file_error" record.
  void Close();
  // Adds the "file_error" record for `error` (the platform's last error by default).
  void AddFileError(const platform::SystemError& error = platform::LastSystemError());

  uint32_t m_nReaderFlags;
  int32_t m_nBytesToRead = 0;
  int32_t m_nFileSize = 0;
  int32_t m_nFilePos = 0;
  int32_t m_nUnitSize = 1;
  int32_t m_nTextLength = 0;
  std::u16string m_strReadResult;
  std::u16string m_strEncodingName;

 private:
  bool ReadTop(int32_t& markLength);
  // Takes the encoding from a byte-order mark at the start of `top`; returns the mark's length.
  int32_t TakeByteOrderMark(std::string_view top);
  void ReadUtf16(std::u16string& text);
  bool ReadEightBit(std::u16string& text);
  bool ReadUtf8(std::u16string& text);
  bool ReadUtf8Pieces(std::u16string& text);
  void NoteRead(int32_t zeros);
  int32_t ConvertToText(const char* bytes, std::u16string& text) const;
  int32_t RemoveZeroUnits(void* buffer);
  void RemoveDecodedZeros(std::u16string& text);

  TextSource m_hFile;
  int32_t m_nNullsRemoved = 0;
};
