// Loading a large configuration-like file from disk: our LoadFile (one read, UTF-8 detection
// skipped by the declaration, count and write passes to UTF-16, then the parse) beside pugixml's
// load_file (one read, in-place parse of UTF-8). The file is written once, in the system's
// temporary folder, and read from the page cache in every iteration.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <pugixml.hpp>
#include <string>

#include "xml/xml_document.h"

namespace {

// About 24 MB: download entries with attributes and a little text, some of it not ASCII.
std::string ConfigurationText(std::string_view declaration) {
  std::string text(declaration);
  text += "<TorvinWebInstaller>\n";
  for (int i = 0; i < 120000; ++i) {
    text += "  <Entry os=\"Windows 7\" bits=\"64\" default=\"" + std::string(i % 7 ? "false" : "true") +
            "\" id=\"" + std::to_string(i) + "\">\n    <Link kind=\"full\">https://dl.example.com/product/" +
            std::to_string(i) +
            "/setup.exe</Link>\n    <Note>Caf\xC3\xA9 r\xC3\xA9sum\xC3\xA9 &amp; more</Note>\n  </Entry>\n";
  }
  text += "</TorvinWebInstaller>\n";
  return text;
}

class ConfigurationFile {
 public:
  explicit ConfigurationFile(std::string_view name) : m_path(std::filesystem::temp_directory_path() / name) {
    const std::string text = ConfigurationText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    std::ofstream(m_path, std::ios::binary) << text;
    m_size = static_cast<int64_t>(text.size());
  }
  ~ConfigurationFile() { std::filesystem::remove(m_path); }

  const std::filesystem::path& Path() const { return m_path; }
  int64_t Size() const { return m_size; }

 private:
  std::filesystem::path m_path;
  int64_t m_size = 0;
};

const ConfigurationFile& File() {
  static const ConfigurationFile file("torvin-load-file-bench.xml");
  return file;
}

void BM_LoadFile(benchmark::State& state) {
  const std::u16string path = File().Path().u16string();
  for (auto _ : state) {
    CXmlDocument document;
    if (!document.LoadFile(path)) state.SkipWithError("the file did not load");
    benchmark::DoNotOptimize(document.Used());
  }
  state.SetBytesProcessed(state.iterations() * File().Size());
}

void BM_PugixmlLoadFile(benchmark::State& state) {
  const std::string path = File().Path().string();
  for (auto _ : state) {
    pugi::xml_document document;
    if (!document.load_file(path.c_str())) state.SkipWithError("the file did not load");
    benchmark::DoNotOptimize(document.first_child());
  }
  state.SetBytesProcessed(state.iterations() * File().Size());
}

BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PugixmlLoadFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
