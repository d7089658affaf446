// Parsing speed of CXmlDocument against pugixml on the same documents: ours parses the UTF-16
// text (its native form), pugixml the UTF-8 bytes (its native form). Two ways each:
// - "copy": a fresh document takes a copy of the input and builds its whole structure;
// - "in place": the input already lies in memory the parser may keep (ours re-parses the text it
//   holds; pugixml parses a warm buffer in place, after refilling it from the input).
// MB/s count the document's characters (one byte each in UTF-8). The run ends with a table of
// the speeds and their ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "bench/xml/bench_documents.h"
#include "xml/xml_document.h"

namespace {

struct Prepared {
  BenchDocument document;
  std::u16string utf16;
};

std::vector<Prepared>& Documents() {
  static std::vector<Prepared> documents = [] {
    std::vector<Prepared> made;
    for (auto make : {MakeConfigurationDocument, MakeAttributeHeavyDocument, MakeTextHeavyDocument,
                      MakeDeeplyNestedDocument}) {
      BenchDocument document = make();
      std::u16string utf16(document.utf8.begin(), document.utf8.end());
      made.push_back({std::move(document), std::move(utf16)});
    }
    return made;
  }();
  return documents;
}

void ParseWithTorvin(benchmark::State& state, const Prepared* prepared) {
  for (auto _ : state) {
    CXmlDocument document;
    const bool wellFormed = document.SetText(prepared->utf16);
    if (!wellFormed) state.SkipWithError("document not well-formed");
    benchmark::DoNotOptimize(document.Used());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(prepared->document.utf8.size()));
  state.counters["elements"] = CXmlDocument(prepared->utf16).Used() - 1;
}

void ReparseWithTorvin(benchmark::State& state, const Prepared* prepared) {
  CXmlDocument document(prepared->utf16);
  for (auto _ : state) {
    if (!document.Parse()) state.SkipWithError("document not well-formed");
    benchmark::DoNotOptimize(document.Used());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(prepared->document.utf8.size()));
}

void ParseInPlaceWithPugixml(benchmark::State& state, const Prepared* prepared) {
  const std::string& bytes = prepared->document.utf8;
  std::string buffer = bytes;
  for (auto _ : state) {
    buffer.replace(0, bytes.size(), bytes);
    pugi::xml_document document;
    const pugi::xml_parse_result result =
        document.load_buffer_inplace(buffer.data(), buffer.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) state.SkipWithError("pugixml refused the document");
    benchmark::DoNotOptimize(document.first_child());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void ParseWithPugixml(benchmark::State& state, const Prepared* prepared) {
  const std::string& bytes = prepared->document.utf8;
  for (auto _ : state) {
    pugi::xml_document document;
    const pugi::xml_parse_result result =
        document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) state.SkipWithError("pugixml refused the document");
    benchmark::DoNotOptimize(document.first_child());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

// Keeps every run's speed so that the ratios can be printed after the usual console output.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // With repetitions the median stands for the benchmark; it comes after the single runs.
      const bool usable = run.run_type == Run::RT_Iteration || run.aggregate_name == "median";
      const auto bytes = run.counters.find("bytes_per_second");
      if (usable && bytes != run.counters.end() && !run.error_occurred) {
        m_speeds[run.run_name.str()] = bytes->second.value / 1e6;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintSummary() const {
    std::printf("\n%-16s %-9s %10s %13s %7s\n", "document", "mode", "ours MB/s", "pugixml MB/s", "ratio");
    for (const Prepared& prepared : Documents()) {
      const std::string name = prepared.document.name;
      PrintLine(name, "copy", Speed("torvin/copy/" + name), Speed("pugixml/copy/" + name));
      PrintLine(name, "in place", Speed("torvin/in-place/" + name), Speed("pugixml/in-place/" + name));
    }
  }

 private:
  static void PrintLine(const std::string& name, const char* mode, double ours, double theirs) {
    std::printf("%-16s %-9s %10.1f %13.1f %7.2f\n", name.c_str(), mode, ours, theirs,
                theirs > 0 ? ours / theirs : 0.0);
  }

  double Speed(const std::string& prefix) const {
    for (const auto& [name, speed] : m_speeds) {
      if (name.rfind(prefix, 0) == 0) return speed;
    }
    return 0;
  }

  std::map<std::string, double> m_speeds;
};

}  // namespace

int main(int argc, char** argv) {
  for (const Prepared& prepared : Documents()) {
    const std::string name = prepared.document.name;
    const std::pair<const char*, void (*)(benchmark::State&, const Prepared*)> cases[] = {
        {"torvin/copy/", ParseWithTorvin},
        {"pugixml/copy/", ParseWithPugixml},
        {"torvin/in-place/", ReparseWithTorvin},
        {"pugixml/in-place/", ParseInPlaceWithPugixml},
    };
    for (const auto& [prefix, function] : cases) {
      benchmark::RegisterBenchmark((prefix + name).c_str(), function, &prepared)
          ->Unit(benchmark::kMillisecond);
    }
  }
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
