// A vendor's folder written by a test: a copy of the shipped sample (configuration, texts and the
// ten skin images), then broken in one place.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "kit/png_writer.h"
#include "platform/utf.h"
#include "tests/support/temp_folder.h"
#include "ui/bitmap.h"

namespace kit::test {

inline const std::filesystem::path kSampleDir = TORVIN_SOURCE_DIR "/skin";

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline std::u16string FromUtf16(std::string_view littleEndian) {
  std::u16string text(littleEndian.size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(littleEndian[2 * i]) |
                                    static_cast<unsigned char>(littleEndian[2 * i + 1]) << 8);
  return text;
}

inline std::string ToUtf16Bytes(std::u16string_view text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

class VendorFolder {
 public:
  VendorFolder() {
    for (const auto& entry : std::filesystem::directory_iterator(kSampleDir)) {
      const std::string ext = entry.path().extension().string();
      if (ext == ".jpg" || ext == ".xml" || ext == ".ini") {
        std::filesystem::copy_file(entry.path(), m_folder / entry.path().filename().string());
      }
    }
  }

  std::u16string Path() const { return m_folder.Path().u16string(); }
  std::filesystem::path operator/(std::string_view name) const { return m_folder / name; }

  void Write(std::string_view name, std::string_view bytes) const { m_folder.Write(name, bytes); }
  void Remove(std::string_view name) const { std::filesystem::remove(m_folder / name); }
  void WriteImage(std::string_view name, const ui::Bitmap& image) const { Write(name, EncodePng(image)); }
  // Replaces the first `from` in the file by `to` (UTF-8; a UTF-16 file stays UTF-16); the test fails
  // when `from` is not there.
  void Replace(std::string_view name, std::string_view from, std::string_view to) const {
    const std::string bytes = ReadFile(m_folder / name);
    const bool utf16 = bytes.starts_with("\xFF\xFE");
    std::string text = utf16 ? platform::ToUtf8(FromUtf16(bytes.substr(2))) : bytes;
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from << " is not in " << name;
    text.replace(at, from.size(), to);
    Write(name, utf16 ? "\xFF\xFE" + ToUtf16Bytes(platform::FromUtf8(text)) : text);
  }

 private:
  TempFolder m_folder;
};

// A bitmap of one colour.
inline ui::Bitmap Plain(int32_t width, int32_t height, ui::Color color) {
  ui::Bitmap image(width, height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) image.SetPixel(x, y, color);
  return image;
}

}  // namespace kit::test
