// Opening the configuration document and reading element texts and attributes.
#include "app/config_document.h"

#include <algorithm>

#include "download/sha256_text.h"
#include "xml/xml_document.h"

bool OpenProduct(CXmlDocument& document, const platform::FileSource& file) {
  return document.LoadFile(file) && document.FindElement(u"torvinwebinstaller") &&
         document.FindChildElement(u"product") && document.EnterElement();
}

std::u16string CurrentText(const CXmlDocument& document) {
  return document.GetElementText(document.Current());
}

std::u16string FoundChildText(CXmlDocument& document) {
  document.EnterElement();
  std::u16string text = CurrentText(document);
  document.LeaveElement();
  return text;
}

std::optional<std::u16string> ElementAttribute(const CXmlDocument& document, int32_t element,
                                               std::u16string_view name) {
  std::u16string value = document.GetAttribute(element, name);
  if (!value.empty()) return value;
  if (element <= 0 || element >= document.Used()) return std::nullopt;
  // An empty value and a missing attribute read alike; only the start tag tells them apart.
  const ElementRecord& record = document.GetRecord(element);
  const int32_t tagEnd =
      std::min(record.start + document.StartTagLength(element), static_cast<int32_t>(document.Text().size()));
  if (record.start + 1 > tagEnd) return std::nullopt;
  TextCursor cursor(std::u16string_view(document.Text()).substr(0, tagEnd), record.start + 1);
  if (!CXmlDocument::FindAttribute(cursor, name)) return std::nullopt;
  return value;
}

std::u16string LinkDigest(const CXmlDocument& document) {
  return document.GetAttribute(document.Current(), kDigestAttribute);
}

bool DigestsWellFormed(const CXmlDocument& document, int32_t product) {
  ElementPath entries;
  CXmlDocument::CheckPath(u"installerInfo", entries);
  for (int32_t entry = document.FindNamedSibling(product, 0, entries); entry != 0;
       entry = document.FindNamedSibling(product, entry, entries)) {
    for (std::u16string_view name : {u"rlink", u"patch"}) {
      ElementPath links;
      CXmlDocument::CheckPath(name, links);
      for (int32_t link = document.FindNamedSibling(entry, 0, links); link != 0;
           link = document.FindNamedSibling(entry, link, links)) {
        const std::optional<std::u16string> digest = ElementAttribute(document, link, kDigestAttribute);
        if (digest && !IsSha256Text(*digest)) return false;
      }
    }
  }
  return true;
}
