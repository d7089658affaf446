// The encoding a text declares: XML declaration or HTML meta element.
#include "xml/declared_encoding.h"

#include <gtest/gtest.h>

#include "platform/utf.h"

namespace {

TEST(DeclaredEncoding, FromTheXmlDeclarationOnly) {
  const struct {
    const char16_t* text;
    const char16_t* encoding;
  } cases[] = {
      {u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r/>", u"ISO-8859-1"},
      {u"<?XML Version='1.0' ENCODING='koi8-r' ?><r/>", u"koi8-r"},
      {u"<?xml encoding=\"a&amp;b\"?>", u"a&amp;b"},  // as written, not unescaped
      {u"<?xml version=\"1.0\"?><r encoding=\"x\"/>", u""},
      {u" <?xml encoding=\"x\"?>", u""},  // a declaration only counts at the very start
      {u"<!-- x --><?xml encoding=\"x\"?><r/>", u""},
      {u"<?xml-stylesheet encoding=\"x\"?><?xml encoding=\"y\"?>", u""},
      {u"<r><?xml encoding=\"x\"?></r>", u""},
      {u"<?xml encoding=\"x\"", u""},  // cut off
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(GetDeclaredEncoding(c.text), c.encoding) << platform::ToUtf8(c.text);
}

TEST(DeclaredEncoding, FromAContentTypeMetaElementInTheHead) {
  const struct {
    const char16_t* text;
    const char16_t* encoding;
  } cases[] = {
      {u"<!DOCTYPE html><html><head><title>t</title>"
       u"<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=Shift_JIS\"></head></html>",
       u"Shift_JIS"},
      {u"<html><head><meta charset=\"utf-8\"><meta http-equiv=\"Content-Type\" content=\"text/html;charset = "
       u"koi8-r\">",
       u"koi8-r"},
      {u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html\">"
       u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">",
       u""},  // the first Content-Type meta element ends the search
      {u"<html><head></head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">",
       u""},
      {u"<body><html><head><meta http-equiv=\"Content-Type\" content=\"charset=x\">", u""},
      {u"<html><head><meta http-equiv=\"Content-Typo\" content=\"charset=x\"></head>", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(GetDeclaredEncoding(c.text), c.encoding) << platform::ToUtf8(c.text);
}

TEST(DeclaredEncoding, NamesCompareWithoutRegardToCase) {
  EXPECT_EQ(GetDeclaredEncoding(u"<HTML><HEAD><META HTTP-EQUIV=\"CONTENT-TYPE\" CONTENT=\"CHARSET=x\">"),
            u"x");
}

}  // namespace
