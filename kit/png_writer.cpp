// PNG layout: signature, IHDR, one IDAT holding a zlib stream of stored blocks, IEND; every chunk
// ends with the CRC-32 of its type and data.
#include "kit/png_writer.h"

#include <array>
#include <cstdint>

#include "platform/file.h"

namespace kit {
namespace {

constexpr size_t kMaxStoredBlock = 65535;

const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

uint32_t Crc32(std::string_view bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (char b : bytes) c = CrcTable()[(c ^ static_cast<uint8_t>(b)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t Adler32(std::string_view bytes) {
  uint32_t a = 1, b = 0;
  for (char byte : bytes) {
    a = (a + static_cast<uint8_t>(byte)) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

void PutBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, std::string_view data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  std::string typed(type, 4);
  typed.append(data);
  out += typed;
  PutBigEndian(out, Crc32(typed));
}

// Each row: filter type 0, then red, green, blue per pixel.
std::string RawRows(const ui::Bitmap& image) {
  std::string raw;
  raw.reserve(static_cast<size_t>(image.Height()) * (1 + 3 * static_cast<size_t>(image.Width())));
  for (int32_t y = 0; y < image.Height(); ++y) {
    raw += '\0';
    for (int32_t x = 0; x < image.Width(); ++x) {
      const ui::Color c = image.GetPixel(x, y);
      raw += static_cast<char>(ui::RedOf(c));
      raw += static_cast<char>(ui::GreenOf(c));
      raw += static_cast<char>(ui::BlueOf(c));
    }
  }
  return raw;
}

std::string StoredZlib(std::string_view raw) {
  std::string z = "\x78\x01";
  size_t at = 0;
  do {
    const size_t length = std::min(kMaxStoredBlock, raw.size() - at);
    const bool last = at + length == raw.size();
    z += static_cast<char>(last ? 1 : 0);
    z += static_cast<char>(length & 0xFF);
    z += static_cast<char>(length >> 8);
    z += static_cast<char>(~length & 0xFF);
    z += static_cast<char>((~length >> 8) & 0xFF);
    z.append(raw.substr(at, length));
    at += length;
  } while (at < raw.size());
  PutBigEndian(z, Adler32(raw));
  return z;
}

}  // namespace

std::string EncodePng(const ui::Bitmap& image) {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  PutBigEndian(header, static_cast<uint32_t>(image.Width()));
  PutBigEndian(header, static_cast<uint32_t>(image.Height()));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter choice, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", StoredZlib(RawRows(image)));
  PutChunk(png, "IEND", {});
  return png;
}

bool WritePng(const ui::Bitmap& image, const std::u16string& path) {
  return platform::WriteWholeFile(path, EncodePng(image));
}

}  // namespace kit
