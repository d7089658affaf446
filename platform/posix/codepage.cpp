// Code-page conversion on Linux: UTF-8 with a decoder of our own, single-byte code pages that glibc
// lacks or decodes differently with Windows' own byte tables, every other code page through iconv
// with the glibc charset that decodes it as Windows does. Bytes a charset cannot decode get
// what Windows gives them (see Fallback); the consistency test of this seam lists the code pages
// where the two still differ. Code pages without a charset or table here fail with ENOTSUP;
// those Windows itself refuses (UTF-16 and UTF-32 in either byte order) convert to nothing, as there.
#include "platform/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <iterator>
#include <string>

#include "platform/posix/utf8_decoder.h"
#include "platform/posix/windows_byte_tables.h"

namespace platform {
namespace {

constexpr int32_t kAnsiCodePage = 1252;
constexpr int32_t kUtf7 = 65000;
constexpr int32_t kUtf8 = 65001;
constexpr int32_t kAscii = 20127;
constexpr char16_t kReplacement = 0xFFFD;

struct CharsetOf {
  int32_t codePage;
  const char* charset;
};

// Sorted by code page.
// clang-format off
constexpr CharsetOf kCharsets[] = {
    {154, "PT154"},          {437, "IBM437"},         {500, "IBM500"},
    {737, "CP737"},          {775, "CP775"},          {850, "CP850"},
    {852, "CP852"},          {855, "CP855"},          {858, "CP858"},
    {860, "CP860"},          {861, "CP861"},          {862, "CP862"},
    {863, "CP863"},          {865, "CP865"},          {866, "CP866"},
    {869, "CP869"},          {932, "CP932"},          {936, "CP936"},
    {949, "CP949"},          {950, "CP950"},          {1125, "CP1125"},
    {1133, "CP1133"},        {1250, "CP1250"},        {1251, "CP1251"},
    {1252, "CP1252"},        {1254, "CP1254"},        {1256, "CP1256"},
    {1258, "CP1258"},        {1361, "JOHAB"},         {10017, "MACUKRAINIAN"},
    {10029, "MAC-CENTRALEUROPE"}, {20127, "ANSI_X3.4-1968"}, {20261, "T.61-8BIT"},
    {20269, "ISO_6937"},     {20866, "KOI8-R"},       {20932, "EUC-JP"},
    {20936, "GB2312"},       {20949, "EUC-KR"},       {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"},   {28594, "ISO-8859-4"},   {28595, "ISO-8859-5"},
    {28599, "ISO-8859-9"},   {28603, "ISO-8859-13"},  {28605, "ISO-8859-15"},
    {38598, "ISO-8859-8"},   {50220, "ISO-2022-JP"},  {50221, "ISO-2022-JP-3"},
    {50222, "ISO-2022-JP-3"}, {50225, "ISO-2022-KR"},  {50227, "ISO-2022-CN"},
    {51932, "EUC-JP-MS"},    {51936, "GBK"},          {51949, "EUC-KR"},
    {54936, "GB18030"},      {65000, "UTF-7"},
};
// clang-format on

// A unit count as the seam returns it: 0 when it does not fit its type.
int32_t ToUnits(size_t units) { return units <= INT32_MAX ? static_cast<int32_t>(units) : 0; }

const char* CharsetOfCodePage(int32_t codePage) {
  const auto* end = std::end(kCharsets);
  const auto* found =
      std::lower_bound(std::begin(kCharsets), end, codePage,
                       [](const CharsetOf& entry, int32_t page) { return entry.codePage < page; });
  return found != end && found->codePage == codePage ? found->charset : nullptr;
}

bool IsDoubleByte(int32_t codePage) {
  constexpr int32_t kDoubleByte[] = {932,   936,   949,   950,   1361,  20932,
                                     20936, 20949, 51932, 51936, 51949, 54936};
  return std::find(std::begin(kDoubleByte), std::end(kDoubleByte), codePage) != std::end(kDoubleByte);
}

// What Windows makes of bytes that the charset cannot decode, starting with byte: the unit it
// gives and how many bytes that unit stands for. Double-byte code pages give their default
// character for a whole pair; single-byte ones give the C1 control of the same number for an
// undefined byte from 0x80 to 0x9F; US-ASCII strips the eighth bit; UTF-7 passes the byte through.
struct Fallback {
  char16_t unit;
  size_t bytes;
};

Fallback FallbackFor(int32_t codePage, uint8_t byte, size_t available) {
  if (IsDoubleByte(codePage)) {
    const bool japanese = codePage == 932 || codePage == 20932 || codePage == 51932;
    const bool lead = byte >= 0x81 && byte <= 0xFE && available >= 2;
    return {japanese ? u'\u30FB' : u'?', lead ? size_t{2} : size_t{1}};
  }
  if (codePage == kAscii) return {static_cast<char16_t>(byte & 0x7F), 1};
  if (codePage == kUtf7) return {static_cast<char16_t>(byte), 1};
  return {byte >= 0x80 && byte <= 0x9F ? static_cast<char16_t>(byte) : kReplacement, 1};
}

// Collects converted units: into the destination, or only counted.
class Output {
 public:
  Output(char16_t* destination, size_t capacity) : m_destination(destination), m_capacity(capacity) {}

  bool Counting() const { return !m_destination; }
  char16_t* Next() { return m_destination ? m_destination + m_produced : m_scratch.data(); }
  size_t Room() const { return m_destination ? m_capacity - m_produced : m_scratch.size(); }
  void Advance(size_t units) { m_produced += units; }
  size_t Produced() const { return m_produced; }
  bool Append(char16_t unit) {
    if (m_destination) {
      if (m_produced >= m_capacity) return false;
      m_destination[m_produced] = unit;
    }
    ++m_produced;
    return true;
  }

 private:
  char16_t* m_destination;
  size_t m_capacity;
  size_t m_produced = 0;
  std::array<char16_t, 4096> m_scratch;
};

// One iconv conversion to UTF-16 in machine byte order.
class IconvConverter {
 public:
  IconvConverter(int32_t codePage, const char* charset)
      : m_codePage(codePage),
        m_cd(iconv_open(std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE", charset)) {}
  ~IconvConverter() {
    if (IsOpen()) iconv_close(m_cd);
  }
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

  // False when the units do not fit the output.
  bool Run(const char* bytes, size_t count, Output& output) {
    char* in = const_cast<char*>(bytes);
    size_t inLeft = count;
    while (inLeft > 0) {
      const int error = Step(&in, &inLeft, output);
      if (error == 0 || (error == E2BIG && output.Counting())) continue;
      if (error != EILSEQ && error != EINVAL) return false;
      // glibc's UHC decoder may already have passed the bad sequence when it reports it.
      if (inLeft == 0) return output.Append(kReplacement);
      const Fallback fallback = FallbackFor(m_codePage, static_cast<uint8_t>(*in), inLeft);
      if (!output.Append(fallback.unit)) return false;
      const size_t skip = error == EINVAL ? inLeft : fallback.bytes;
      in += skip;
      inLeft -= skip;
    }
    // Stateful charsets (ISO-2022, UTF-7) may still hold output until their state is reset.
    int error;
    while ((error = Step(nullptr, nullptr, output)) == E2BIG && output.Counting()) {
    }
    return error == 0;
  }

 private:
  // One iconv call; the error number, or 0 when all the input was converted.
  int Step(char** in, size_t* inLeft, Output& output) {
    const size_t room = output.Room();
    char* out = reinterpret_cast<char*>(output.Next());
    size_t outLeft = room * sizeof(char16_t);
    const size_t result = iconv(m_cd, in, inLeft, &out, &outLeft);
    const int error = result == static_cast<size_t>(-1) ? errno : 0;
    output.Advance(room - outLeft / sizeof(char16_t));
    return error;
  }

  int32_t m_codePage;
  iconv_t m_cd;
};

// UTF-8 with our own decoder: Windows' replacement rules, and faster than iconv.
int32_t ConvertUtf8(const char* bytes, size_t count, char16_t* destination, size_t capacity) {
  if (!destination) return ToUnits(posix::CountUtf8AsUtf16(bytes, count));
  if (capacity < count && posix::CountUtf8AsUtf16(bytes, count) > capacity) return 0;
  if (capacity >= count) return ToUnits(posix::Utf8ToUtf16(bytes, count, destination));
  // The destination is smaller than the bytes but large enough for their units: go through a
  // buffer of full size, which cannot overrun.
  std::u16string units(count, u'\0');
  units.resize(posix::Utf8ToUtf16(bytes, count, units.data()));
  std::copy(units.begin(), units.end(), destination);
  return ToUnits(units.size());
}

// One unit per byte, from Windows' table.
int32_t ConvertByTable(const posix::ByteTable& table, const char* bytes, size_t count, char16_t* destination,
                       size_t capacity) {
  if (!destination) return ToUnits(count);
  if (capacity < count) return 0;
  for (size_t i = 0; i < count; ++i) destination[i] = table.Decode(static_cast<uint8_t>(bytes[i]));
  return ToUnits(count);
}

}  // namespace

int32_t AnsiCodePage() { return kAnsiCodePage; }

int32_t MultiByteToUtf16(int32_t codePage, const char* bytes, int32_t count, char16_t* destination,
                         int32_t capacity) {
  if (count <= 0 || (destination && capacity <= 0)) return 0;
  if (codePage == 0) codePage = kAnsiCodePage;
  const auto size = static_cast<size_t>(count);
  const size_t room = destination ? static_cast<size_t>(capacity) : 0;
  if (codePage == kUtf8) return ConvertUtf8(bytes, size, destination, room);
  if (const posix::ByteTable* table = posix::WindowsByteTable(codePage))
    return ConvertByTable(*table, bytes, size, destination, room);
  const char* charset = CharsetOfCodePage(codePage);
  if (!charset) {
    errno = ENOTSUP;  // the error a reader reports for text it cannot decode here
    return 0;
  }
  IconvConverter converter(codePage, charset);
  Output output(destination, room);
  return converter.IsOpen() && converter.Run(bytes, size, output) ? ToUnits(output.Produced()) : 0;
}

}  // namespace platform
