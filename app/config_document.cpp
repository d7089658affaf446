// Opening the configuration document and reading element texts.
#include "app/config_document.h"

#include "xml/xml_document.h"

bool OpenProduct(CXmlDocument& document, const std::u16string& path) {
  return document.LoadFile(path) && document.FindElement(u"torvinwebinstaller") &&
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
