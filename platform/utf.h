// UTF-16 <-> UTF-8, for handing text to the system on Linux and for tests. Unpaired surrogates and
// malformed bytes become U+FFFD.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace platform {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

// One piece of a line of UTF-8 text: UTF-8 text as it is, UTF-16 text converted, or a whole
// number in decimal. Lines joined from pieces cost far less code than chains of string additions.
class TextPiece {
 public:
  TextPiece(std::string_view text) : m_kind(Kind::Utf8), m_text{text.data(), text.size()} {}
  // A literal's length is counted when it is appended, so that its call site stores less.
  TextPiece(const char* text) : m_kind(Kind::Terminated), m_terminated(text) {}
  TextPiece(const std::string& text) : TextPiece(std::string_view(text)) {}
  TextPiece(std::u16string_view text) : m_kind(Kind::Utf16), m_text{text.data(), text.size()} {}
  TextPiece(const std::u16string& text) : TextPiece(std::u16string_view(text)) {}
  template <std::integral Number>
  TextPiece(Number number)
      : m_kind(number < 0 ? Kind::Negative : Kind::Number),
        m_number(number < 0 ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number)) {}

  void AppendTo(std::string& out) const;

 private:
  // A piece is either text or a number, never both: each one built at a call site stores only
  // what it is.
  struct Text {
    const void* data;
    size_t size;
  };
  enum class Kind : uint8_t { Utf8, Terminated, Utf16, Number, Negative } m_kind;
  union {
    Text m_text;
    const char* m_terminated;  // ended by a zero byte
    uint64_t m_number;
  };
};

// The pieces one after the other.
std::string JoinUtf8(std::initializer_list<TextPiece> pieces);

}  // namespace platform
