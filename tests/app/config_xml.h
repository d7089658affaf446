// Short builders for configuration documents in tests.
#pragma once

#include <string>

namespace config_xml {

inline std::string E(const std::string& name, const std::string& text) {
  return "<" + name + ">" + text + "</" + name + ">";
}

// A download entry; `attributes` go into its start tag as written.
inline std::string Info(const std::string& attributes, const std::string& body) {
  return "<installerInfo" + (attributes.empty() ? "" : " " + attributes) + ">" + body + "</installerInfo>";
}

inline std::string Entry(const std::string& attributes, const std::string& os, const std::string& bit,
                         const std::string& rlink) {
  return Info(attributes, E("os", os) + E("bit", bit) + E("rlink", rlink));
}

inline std::string Document(const std::string& productBody) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<torvinwebinstaller>\r\n  <product>" + productBody +
         "</product>\r\n</torvinwebinstaller>\r\n";
}

}  // namespace config_xml
