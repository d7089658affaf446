// Conversions built on the platform's code-page conversion.
#include "platform/codepage.h"

#include <climits>

namespace platform {

std::u16string ToUtf16(int32_t codePage, std::string_view bytes) {
  if (bytes.size() > INT32_MAX) return {};
  const auto count = static_cast<int32_t>(bytes.size());
  const int32_t units = MultiByteToUtf16(codePage, bytes.data(), count, nullptr, 0);
  std::u16string text(static_cast<size_t>(units), u'\0');
  if (units > 0)
    text.resize(static_cast<size_t>(MultiByteToUtf16(codePage, bytes.data(), count, text.data(), units)));
  return text;
}

}  // namespace platform
