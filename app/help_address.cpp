// Filling in the help link's placeholders.
#include "app/help_address.h"

#include <array>
#include <utility>

#include "app/address_text.h"
#include "platform/utf.h"

std::u16string FillHelpAddress(const std::u16string& address, const RunFacts& facts, const std::string& errorCode) {
  const std::array<std::pair<std::u16string_view, const std::string*>, 5> values = {{
      {u"{code}", &errorCode},
      {u"{os}", &facts.osName},
      {u"{bit}", &facts.bits},
      {u"{lang}", &facts.language},
      {u"{version}", &facts.version},
  }};
  std::u16string filled;
  for (size_t at = 0; at < address.size();) {
    bool replaced = false;
    for (const auto& [name, value] : values) {
      if (address.compare(at, name.size(), name) == 0) {
        filled += platform::FromUtf8(PercentEncode(*value));
        at += name.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) filled += address[at++];
  }
  return filled;
}
