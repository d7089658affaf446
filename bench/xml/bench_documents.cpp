// Generation of the benchmark documents.
#include "bench/xml/bench_documents.h"

#include <random>

namespace {

const char* const kWords[] = {"installer", "product", "release", "download", "windows", "setup",  "patch",
                              "server",    "default", "version", "package",  "mirror",  "update", "x64"};

std::string Words(std::mt19937& random, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += kWords[random() % std::size(kWords)];
  }
  return text;
}

}  // namespace

BenchDocument MakeConfigurationDocument() {
  std::mt19937 random(1);
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<configuration product=\"Bench\">\n";
  for (int i = 0; text.size() < 40'000'000; ++i) {
    text += "  <download os=\"Windows " + std::to_string(7 + i % 4) + "\" bits=\"" + (i % 2 ? "64" : "32") +
            "\" id=\"" + std::to_string(i) + "\">\n";
    text += "    <installer default=\"" + std::string(i % 7 ? "no" : "yes") + "\">https://dl.example.com/" +
            Words(random, 2) + "/" + std::to_string(i) + "/setup.exe</installer>\n";
    text += "    <patch size=\"" + std::to_string(random() % 100000) + "\">https://dl.example.com/patch/" +
            std::to_string(i) + ".exe</patch>\n";
    text += "    <registry key=\"Software\\Bench\\" + std::to_string(i) + "\" view=\"64\"/>\n  </download>\n";
  }
  text += "</configuration>\n";
  return {"configuration", std::move(text)};
}

BenchDocument MakeAttributeHeavyDocument() {
  std::mt19937 random(2);
  std::string text = "<items>\n";
  for (int i = 0; text.size() < 20'000'000; ++i) {
    text += "<item";
    for (int a = 0; a < 16; ++a) {
      text += " attribute" + std::to_string(a) + "=\"" + Words(random, 1 + a % 3) +
              (a % 5 ? "" : " &amp; more") + "\"";
    }
    text += "/>\n";
  }
  text += "</items>\n";
  return {"attribute-heavy", std::move(text)};
}

BenchDocument MakeTextHeavyDocument() {
  std::mt19937 random(3);
  std::string text = "<book>\n";
  for (int i = 0; text.size() < 20'000'000; ++i) {
    text += "<p>" + Words(random, 120) + " &lt;" + Words(random, 2) + "&gt; &#169; " + Words(random, 80) +
            "</p>\n";
  }
  text += "</book>\n";
  return {"text-heavy", std::move(text)};
}

BenchDocument MakeDeeplyNestedDocument() {
  std::string text = "<root>";
  constexpr int kDepth = 1000;
  while (text.size() < 20'000'000) {
    for (int d = 0; d < kDepth; ++d) text += "<level d=\"" + std::to_string(d) + "\">";
    text += "leaf";
    for (int d = 0; d < kDepth; ++d) text += "</level>";
  }
  text += "</root>";
  return {"deeply-nested", std::move(text)};
}
