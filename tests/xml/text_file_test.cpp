// Loading documents from files: encodings, byte-order marks, declarations, zero characters and
// the result records of every step.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/codepage.h"
#include "tests/support/temp_folder.h"
#include "xml/text_file_reader.h"
#include "xml/xml_document.h"

namespace {

using namespace std::string_literals;

class TextFile : public testing::Test {
 protected:
  // Loads `bytes` from a file into the document; returns what LoadFile returned.
  bool Load(const std::string& bytes) {
    return m_document.LoadFile(m_folder.Write("file.xml", bytes).u16string());
  }

  std::string Result() const { return Utf8(m_document.Result()); }
  static std::string Utf8(const std::u16string& text) { return std::string(text.begin(), text.end()); }

  TempFolder m_folder;
  CXmlDocument m_document;
};

std::string Utf16Le(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

std::string Utf16Be(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) bytes += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
  return bytes;
}

TEST_F(TextFile, Utf8WithMarkLeavesItsRecordsBeforeTheParse) {
  const std::string body = "<r>" + std::string(4997 - 7, 'x') + "</r>";
  EXPECT_TRUE(Load("\xEF\xBB\xBF" + body));
  EXPECT_EQ(Result(),
            R"(<bom/><read encoding="UTF-8" length="4997"/><converted_to encoding="UTF-16" length="4997"/>)");
  EXPECT_EQ(m_document.Text(), std::u16string(body.begin(), body.end()));
  EXPECT_EQ(m_document.Flags(), FLAG_UTF8_BOM);
  EXPECT_TRUE(m_document.FindElement(u"r"));
}

TEST_F(TextFile, EmptyFileAndMarkOnly) {
  EXPECT_FALSE(Load(""));
  EXPECT_EQ(Result(), R"(<read encoding="" length="0"/>)");
  EXPECT_EQ(m_document.Text(), u"");

  EXPECT_FALSE(Load("\xEF\xBB\xBF"));
  EXPECT_EQ(Result(), R"(<bom/><read encoding="UTF-8" length="0"/>)");
  EXPECT_FALSE(Load("\xFF\xFE"));
  EXPECT_EQ(Result(), R"(<bom/><read encoding="UTF-16LE" length="0"/>)");
}

TEST_F(TextFile, DeclaredEncodingIsUsedWithoutDetection) {
  EXPECT_TRUE(Load("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>caf\xE9</r>"));
  EXPECT_EQ(Result(),
            R"(<read encoding="ISO-8859-1" length="54"/><converted_to encoding="UTF-16" length="54"/>)");
  EXPECT_EQ(m_document.GetElementText(m_document.FindElement(u"r") ? m_document.Current() : 0), u"caf\u00E9");

  EXPECT_TRUE(Load("<?xml version=\"1.0\" encoding=\"windows-1251\"?><r>\xCF\xF0\xE8</r>"));
  EXPECT_NE(m_document.Text().find(u"<r>\u041F\u0440\u0438</r>"), std::u16string::npos);
}

TEST_F(TextFile, TextStartingWithMarkupIsUtf8WithoutDetection) {
  EXPECT_TRUE(Load("<?xml version=\"1.0\"?><r>caf\xC3\xA9</r>"));
  EXPECT_EQ(Result(), R"(<read encoding="UTF-8" length="33"/><converted_to encoding="UTF-16" length="32"/>)");
  // Not UTF-8 after all: the bytes still decode, each bad one as a replacement character.
  EXPECT_TRUE(Load("<r>caf\xE9</r>"));
  EXPECT_EQ(m_document.Text(), u"<r>caf\uFFFD</r>");
}

TEST_F(TextFile, OtherTextIsDetected) {
  EXPECT_TRUE(Load("\n<r>caf\xC3\xA9</r>"));
  EXPECT_EQ(
      Result(),
      R"(<read encoding="UTF-8" length="13"/><utf8_detection/><converted_to encoding="UTF-16" length="12"/>)");
  EXPECT_EQ(m_document.Text(), u"\n<r>caf\u00E9</r>");

  EXPECT_TRUE(Load("\n<r>caf\xE9 \x80</r>"));
  EXPECT_EQ(
      Result(),
      R"(<read encoding="" length="14"/><utf8_detection/><converted_to encoding="UTF-16" length="14"/>)");
  EXPECT_EQ(m_document.Text(), u"\n<r>caf\u00E9 \u20AC</r>");  // the ANSI code page, Windows-1252
}

TEST_F(TextFile, HtmlMetaCharset) {
  EXPECT_FALSE(
      Load("<html><head><meta http-equiv=\"CONTENT-TYPE\" content=\"text/html; charset=Shift_JIS\">"
           "</head><body>\x93\xfa\x96\x7b</body>"));  // an unended html element
  EXPECT_EQ(Result().substr(0, 41), R"(<read encoding="Shift_JIS" length="107"/>)");
  EXPECT_NE(m_document.Text().find(u"<body>\u65E5\u672C</body>"), std::u16string::npos);
}

TEST_F(TextFile, Utf16WithMarksArrivesUnchanged) {
  const std::u16string text = u"<r a=\"\u00E9\">\u65E5\U0001F600</r>";
  EXPECT_TRUE(Load("\xFF\xFE" + Utf16Le(text)));
  EXPECT_EQ(Result(), "<bom/><read encoding=\"UTF-16LE\" length=\"" + std::to_string(text.size()) + "\"/>");
  EXPECT_EQ(m_document.Text(), text);
  EXPECT_EQ(m_document.Flags(), FLAG_UTF16LE_FILE);

  EXPECT_TRUE(Load("\xFE\xFF" + Utf16Be(text)));
  EXPECT_EQ(Result(), "<bom/><read encoding=\"UTF-16BE\" length=\"" + std::to_string(text.size()) +
                          "\"/><endian_swap/>");
  EXPECT_EQ(m_document.Text(), text);
  EXPECT_EQ(m_document.Flags(), FLAG_UTF16BE_FILE);
}

TEST_F(TextFile, OddByteOfUtf16IsNoPartOfTheText) {
  EXPECT_TRUE(Load("\xFF\xFE" + Utf16Le(u"<r/>") + "\x41"));
  EXPECT_EQ(Result(), R"(<bom/><read encoding="UTF-16LE" length="4"/>)");
  EXPECT_EQ(m_document.Text(), u"<r/>");
  EXPECT_TRUE(Load("\xFE\xFF" + Utf16Be(u"<r/>") + "\x41"));
  EXPECT_EQ(m_document.Text(), u"<r/>");
}

TEST_F(TextFile, ZeroCharactersAreRemovedAndCounted) {
  // UTF-16LE without mark: the decoded top ends at its first zero, so no declaration is seen.
  const std::string bytes = Utf16Le(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>x</r>");
  EXPECT_TRUE(Load(bytes));
  EXPECT_EQ(Result(), "<read encoding=\"UTF-8\" length=\"" + std::to_string(bytes.size()) +
                          "\"/><nulls_removed count=\"" + std::to_string(bytes.size() / 2) +
                          "\"/><converted_to encoding=\"UTF-16\" length=\"" +
                          std::to_string(bytes.size() / 2) + "\"/>");
  EXPECT_EQ(m_document.Text(), u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>x</r>");

  EXPECT_TRUE(Load("\xFF\xFE" + Utf16Le(u"<r>a\0b</r>"s)));
  EXPECT_EQ(Result(), R"(<bom/><read encoding="UTF-16LE" length="10"/><nulls_removed count="1"/>)");
  EXPECT_EQ(m_document.Text(), u"<r>ab</r>");
}

TEST_F(TextFile, ZeroCharactersSpelledWithoutZeroBytesAreRemovedToo) {
  EXPECT_TRUE(
      Load("<?xml version=\"1.0\" encoding=\"us-ascii\"?><r>a\x80"
           "b</r>"));
  EXPECT_EQ(Result(), R"(<read encoding="us-ascii" length="51"/><nulls_removed count="1"/>)"
                      R"(<converted_to encoding="UTF-16" length="50"/>)");
  EXPECT_NE(m_document.Text().find(u"<r>ab</r>"), std::u16string::npos);

  EXPECT_TRUE(Load("<?xml version=\"1.0\" encoding=\"utf-7\"?><r>\0a+AAA-b</r>"s));
  EXPECT_EQ(Result().substr(0, 76),
            R"(<read encoding="utf-7" length="53"/><nulls_removed count="2"/><converted_to )");
  EXPECT_NE(m_document.Text().find(u"<r>ab</r>"), std::u16string::npos);
}

TEST_F(TextFile, Utf32AndUtf16DeclaredForBytes) {
  EXPECT_FALSE(Load("<?xml version=\"1.0\" encoding=\"UTF-32\"?><r/>"));  // garbled, but read
  EXPECT_EQ(m_document.Text().size(), 20u);  // ten 32-bit units, each beyond U+FFFF
  EXPECT_FALSE(Load("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r/>"));
  EXPECT_EQ(Result(), R"(<read encoding="UTF-16" length="43"/><converted_to encoding="UTF-16" length="0"/>)");
  EXPECT_EQ(m_document.Text(), u"");
}

TEST_F(TextFile, UnknownEncodingIsRecordedAndReadAsAnsi) {
  EXPECT_TRUE(Load("<?xml version=\"1.0\" encoding=\"klingon\"?><r>\xE9</r>"));
  EXPECT_EQ(Result().substr(0, 40), R"(<read encoding="klingon" length="48"/><c)");
  EXPECT_NE(m_document.Text().find(u"<r>\u00E9</r>"), std::u16string::npos);
}

TEST_F(TextFile, CodePagesThisSystemLacksFailTheLoadWithAFileError) {
  // Each name stands for a code page of the encoding table that not every system decodes.
  for (const char* name : {"cp853",           "x-mac-japanese",    "x-mac-chinesetrad",
                           "x-mac-korean",    "x-mac-chinesesimp", "x-mac-thai",
                           "x-chinese-cns",   "x-cp20001",         "x-chinese-eten",
                           "x-cp20003",       "x-cp20004",         "x-cp20005",
                           "x-ia5",           "x-ia5-german",      "x-ia5-swedish",
                           "x-ia5-norwegian", "x-europa",          "hz-gb-2312",
                           "x-iscii-de",      "x-iscii-be",        "x-iscii-ta",
                           "x-iscii-te",      "x-iscii-as",        "x-iscii-or",
                           "x-iscii-ka",      "x-iscii-ma",        "x-iscii-gu",
                           "x-iscii-pa"}) {
    SCOPED_TRACE(name);
    if (Load("<?xml version=\"1.0\" encoding=\""s + name + "\"?><r>A</r>")) {
      EXPECT_NE(m_document.Text().find(u"<r>A</r>"), std::u16string::npos);
      continue;
    }
    EXPECT_NE(Result().find("<file_error msg=\""), std::string::npos) << Result();
    EXPECT_EQ(Result().find("converted_to"), std::string::npos) << Result();
    EXPECT_EQ(m_document.Text(), u"");
  }
  EXPECT_TRUE(Load("<?xml version=\"1.0\" encoding=\"x-mac-thai\"?><r>\xA1</r>"));
  EXPECT_NE(m_document.Text().find(u"<r>\u0E01</r>"), std::u16string::npos);
}

TEST_F(TextFile, DeclarationBeyondTheTopIsNotSeen) {
  const std::string declaration =
      "<?xml version=\"1.0\"" + std::string(1100, ' ') + "encoding=\"ISO-8859-1\"?>";
  EXPECT_TRUE(Load(declaration + "<r>\xE9</r>"));
  EXPECT_EQ(Result().substr(0, 17), R"(<read encoding="U)");
  EXPECT_NE(m_document.Text().find(u"<r>\uFFFD</r>"), std::u16string::npos);
}

TEST_F(TextFile, FilesThatCannotBeReadGiveTheSystemsMessage) {
  EXPECT_FALSE(m_document.LoadFile((m_folder / "missing.xml").u16string()));
  const std::string missing = Result();
  EXPECT_EQ(missing.rfind("<file_error msg=\"", 0), 0u) << missing;
  EXPECT_NE(missing.find("\" n=\"2\"/>"), std::string::npos) << missing;  // ENOENT, ERROR_FILE_NOT_FOUND
  EXPECT_EQ(missing.find_first_of("\r\n"), std::string::npos);
  EXPECT_GT(missing.size(), std::string("<file_error msg=\"\" n=\"2\"/>").size());

  EXPECT_FALSE(m_document.LoadFile(m_folder.Path().u16string()));
  EXPECT_EQ(Result().rfind("<file_error msg=\"", 0), 0u) << Result();
}

TEST_F(TextFile, FilesOfAGigabyteOrMoreAreRefused) {
  const std::filesystem::path huge = m_folder.Write("huge.xml", "<r>");
  std::filesystem::resize_file(huge, kMaxTextFileSize);  // sparse: no disk space is used
  EXPECT_FALSE(m_document.LoadFile(huge.u16string()));
  EXPECT_EQ(Result().rfind("<file_error msg=\"", 0), 0u) << Result();
  EXPECT_EQ(m_document.Text(), u"");
}

// UTF-8 files are read a piece at a time; each of these, several pieces long, must read as one
// conversion of the whole file (its zero bytes removed) would. In the first, lead bytes followed by
// fewer ASCII bytes than they announce are everywhere, so a piece that ends in the wrong place
// changes the text; runs of three ASCII bytes are rare. The second has no ASCII to end a piece at.
TEST_F(TextFile, LargeUtf8FilesReadAsOneConversionOfTheWholeFile) {
  // Lead bytes followed by the ASCII "a" or "ab" (0x61, 0x62), sequences of every length, malformed
  // bytes and zeros.
  const std::string pieces[] = {"\xE4\x61",     "\xF0\x61\x62",     "\xF4\x90\x61", "\xD0\x98",
                                "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\x80",         "\xC2",
                                "\xE0\x80",     "\xED\xA0\x80",     "\xFF",         "\0"s};
  uint32_t state = 12345;
  std::string mixed = "<r>";
  while (mixed.size() < 300'000) {
    state = state * 1103515245u + 12345u;
    mixed += (state >> 16) % 100 == 0 ? "xyz" : pieces[(state >> 16) % std::size(pieces)];
  }
  std::string wide = "<r>";
  while (wide.size() < 200'000) wide += "\xE4\xB8\xAD";
  for (const std::string& bytes : {mixed, wide}) {
    std::string withoutZeros = bytes;
    const size_t zeros = std::erase(withoutZeros, '\0');
    const std::u16string whole = platform::ToUtf16(65001, withoutZeros);
    Load(bytes);
    EXPECT_EQ(m_document.Text(), whole);
    const std::string records =
        "<read encoding=\"UTF-8\" length=\"" + std::to_string(bytes.size()) + "\"/>" +
        (zeros > 0 ? "<nulls_removed count=\"" + std::to_string(zeros) + "\"/>" : "") +
        "<converted_to encoding=\"UTF-16\" length=\"" + std::to_string(whole.size()) + "\"/>";
    EXPECT_EQ(Result().substr(0, records.size()), records);
  }
}

TEST_F(TextFile, ALaterLoadStartsAfresh) {
  EXPECT_TRUE(Load("\xFE\xFF" + Utf16Be(u"<a><b/></a>")));
  ASSERT_TRUE(m_document.FindElement(u"a"));
  EXPECT_TRUE(Load("<c/>"));
  EXPECT_EQ(m_document.Flags(), 0u);  // neither the old mark nor the reading mode remain
  EXPECT_EQ(m_document.Text(), u"<c/>");

  EXPECT_FALSE(m_document.LoadFile((m_folder / "missing.xml").u16string()));
  EXPECT_EQ(m_document.Text(), u"");
  EXPECT_EQ(m_document.Used(), 1);  // nothing of the previous index is left to navigate
  EXPECT_FALSE(m_document.FindElement());
}

}  // namespace
