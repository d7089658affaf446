// Speed of the UTF-8 to UTF-16 conversion that LoadFile does, by script: pieces of 64 KiB as the
// file reader converts them (so they stay in the processor's cache), in GB/s of UTF-8 input.
// Plain ASCII is the reference; the others are text in one script with spaces and punctuation,
// markup with translations in many scripts, and, where packagekit is installed, its policy file.
// Each text is converted as the loader does it and, beside it, in blocks of at most 32 bytes (the
// decoder of processors with AVX2 but not AVX-512), of at most 16 bytes (with SSSE3 but not AVX2)
// and one sequence at a time (without SSSE3; the decoder that the blocks must equal).
//   torvin_utf8_conversion [google-benchmark options]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/posix/utf8_decoder.h"

namespace {

constexpr size_t kPieceSize = 64 * 1024;
constexpr const char* kTranslationsFile = "/usr/share/polkit-1/actions/org.freedesktop.packagekit.policy";

// `sample` repeated to the size of one piece, cut after a whole repetition.
std::string Piece(std::string_view sample) {
  std::string text;
  while (text.size() + sample.size() <= kPieceSize) text += sample;
  return text;
}

std::string FileBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void Convert(benchmark::State& state, const std::string* bytes) {
  std::vector<char16_t> units(bytes->size());
  const auto count = static_cast<int32_t>(bytes->size());
  for (auto _ : state) {
    const int32_t written = platform::MultiByteToUtf16(65001, bytes->data(), count, units.data(), count);
    benchmark::DoNotOptimize(written);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * count);
}

void ConvertAs(benchmark::State& state, const std::string* bytes, platform::posix::Utf8Decoding decoding) {
  std::vector<char16_t> units(bytes->size());
  for (auto _ : state) {
    const size_t written = platform::posix::Utf8ToUtf16(bytes->data(), bytes->size(), units.data(), decoding);
    benchmark::DoNotOptimize(written);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes->size()));
}

}  // namespace

int main(int argc, char** argv) {
  const std::pair<const char*, std::string> kTexts[] = {
      {"ascii", Piece("  <download os=\"Windows 7\" bits=\"64\"><installer>https://dl.example.com/setup.exe"
                      "</installer></download>\n")},
      {"latin", Piece("Ein \xC3\xBC"
                      "berm\xC3\xA4\xC3\x9Fig gro\xC3\x9F"
                      "er Download, \xC3\xA0 "
                      "r\xC3\xA9"
                      "cup\xC3\xA9rer d\xC3\xA8s que possible; \xC5\xBC\xC3\xB3\xC5\x82w. ")},
      {"cyrillic", Piece("\xD0\x97\xD0\xB0\xD0\xB3\xD1\x80\xD1\x83\xD0\xB7\xD0\xBA\xD0\xB0 "
                         "\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB\xD0\xB0 \xD0\xB7\xD0\xB0\xD0\xB2\xD0\xB5\xD1\x80"
                         "\xD1\x88\xD0\xB5\xD0\xBD\xD0\xB0. ")},
      {"cjk", Piece("\xE6\xAD\xA3\xE5\x9C\xA8\xE4\xB8\x8B\xE8\xBD\xBD\xE5\xAE\x89\xE8\xA3\x85\xE7\xA8\x8B"
                    "\xE5\xBA\x8F\xE3\x80\x82\xE3\x83\x80\xE3\x82\xA6\xE3\x83\xB3\xE3\x83\xAD\xE3\x83\xBC"
                    "\xE3\x83\x89\xE4\xB8\xAD")},
      {"devanagari", Piece("\xE0\xA4\xA1\xE0\xA4\xBE\xE0\xA4\x89\xE0\xA4\xA8\xE0\xA4\xB2\xE0\xA5\x8B\xE0"
                           "\xA4\xA1 \xE0\xA4\xAA\xE0\xA5\x82\xE0\xA4\xB0\xE0\xA4\xBE \xE0\xA4\xB9\xE0\xA5"
                           "\x81\xE0\xA4\x86\xE0\xA5\xA4 ")},
      {"markup with translations",
       Piece("    <message xml:lang=\"ru\">\xD0\x9E\xD1\x82\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB8\xD1\x82\xD1\x8C "
             "\xD0\xB7\xD0\xB0\xD0\xB4\xD0\xB0\xD1\x87\xD1\x83</message>\n"
             "    <message xml:lang=\"zh_CN\">\xE5\x8F\x96\xE6\xB6\x88\xE4\xBB\xBB\xE5\x8A\xA1</message>\n"
             "    <message xml:lang=\"sv\">Avbryt fr\xC3\xA4mmande \xC3\xA5tg\xC3\xA4rd</message>\n"
             "    <message xml:lang=\"hi\">\xE0\xA4\x95\xE0\xA4\xBE\xE0\xA4\xB0\xE0\xA5\x8D\xE0\xA4\xAF "
             "\xE0\xA4\xB0\xE0\xA4\xA6\xE0\xA5\x8D\xE0\xA4\xA6</message>\n")},
      {"packagekit policy file", FileBytes(kTranslationsFile)},
  };
  for (const auto& [name, bytes] : kTexts) {
    if (bytes.empty()) {
      std::printf("skipped %s: %s is not installed here (Debian package packagekit)\n", name,
                  kTranslationsFile);
      continue;
    }
    benchmark::RegisterBenchmark(name, Convert, &bytes);
    benchmark::RegisterBenchmark((std::string(name) + " (blocks up to 32 bytes)").c_str(), ConvertAs, &bytes,
                                 platform::posix::Utf8Decoding::kBlocksUpTo32Bytes);
    benchmark::RegisterBenchmark((std::string(name) + " (blocks up to 16 bytes)").c_str(), ConvertAs, &bytes,
                                 platform::posix::Utf8Decoding::kBlocksUpTo16Bytes);
    benchmark::RegisterBenchmark((std::string(name) + " (one sequence at a time)").c_str(), ConvertAs,
                                 &bytes, platform::posix::Utf8Decoding::kScalar);
  }
  if (!platform::posix::HasUtf8BlockDecoder())
    std::printf("this processor has no block decoder (SSSE3 and POPCNT)\n");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
