// Parsing and loading real documents, ours against pugixml, and malformed markup against
// well-formed text, in processor time. Ours parses the UTF-16 text with SetText and loads the file with LoadFile;
// pugixml parses the UTF-8 bytes with load_buffer and loads the file with load_file. The two run
// alternately, each run long enough to time, and the table gives the medians' ratios (above 1:
// ours is faster). Without file arguments the files come from the Debian packages
// shared-mime-info, iso-codes, xkb-data and packagekit (whose policy file is mostly translations,
// UTF-8 that is largely not ASCII); a default file that is not installed is skipped with a note.
// The malformed-markup comparison follows.
//   torvin_xml_real_files [--runs N] [file...]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "platform/utf.h"
#include "xml/xml_document.h"

namespace {

struct DefaultFile {
  const char* path;
  const char* package;
};

const DefaultFile kDefaultFiles[] = {
    {"/usr/share/mime/packages/freedesktop.org.xml", "shared-mime-info"},
    {"/usr/share/xml/iso-codes/iso_639-3.xml", "iso-codes"},
    {"/usr/share/X11/xkb/rules/base.xml", "xkb-data"},
    {"/usr/share/xml/iso-codes/iso_3166-2.xml", "iso-codes"},
    {"/usr/share/polkit-1/actions/org.freedesktop.packagekit.policy", "packagekit"},
};

// Wide enough for the longest default file's name.
constexpr int kNameWidth = 34;

double ThreadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds of this thread's processor time (the file reads' system time included) for one call
// of `work`: on a busy machine the time others take between the calls does not count.
double Time(const std::function<void()>& work) {
  const double start = ThreadSeconds();
  work();
  return ThreadSeconds() - start;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// How often each timed run repeats the work, so that a run lasts about 20 ms.
int RepeatsFor(const std::function<void()>& work) {
  const double once = std::max(Time(work), 1e-6);
  return std::clamp(static_cast<int>(0.02 / once), 1, 10000);
}

// The medians of `runs` alternating runs of a and b, in seconds per call.
std::pair<double, double> AlternatingMedians(const std::function<void()>& a, const std::function<void()>& b,
                                             int runs) {
  const int repeatsA = RepeatsFor(a), repeatsB = RepeatsFor(b);
  std::vector<double> timesA, timesB;
  for (int run = 0; run < runs; ++run) {
    timesA.push_back(Time([&] {
                       for (int i = 0; i < repeatsA; ++i) a();
                     }) /
                     repeatsA);
    timesB.push_back(Time([&] {
                       for (int i = 0; i < repeatsB; ++i) b();
                     }) /
                     repeatsB);
  }
  return {Median(timesA), Median(timesB)};
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void CompareRealFile(const std::string& path, int runs) {
  const std::string bytes = ReadBytes(path);
  if (bytes.empty()) {
    std::printf("%-*s (missing or empty)\n", kNameWidth, std::filesystem::path(path).filename().c_str());
    return;
  }
  const std::u16string text = platform::FromUtf8(bytes);
  const std::u16string path16 = platform::FromUtf8(path);
  // A comparison is only fair when both sides read the whole document.
  CXmlDocument parsed, loaded;
  if (!parsed.SetText(text) || !loaded.LoadFile(path16) || loaded.Text() != text) {
    std::printf("%-*s ours does not read it as a whole document: %s\n", kNameWidth,
                std::filesystem::path(path).filename().c_str(), platform::ToUtf8(loaded.Result()).c_str());
    return;
  }
  const auto [oursParse, pugiParse] = AlternatingMedians(
      [&] {
        CXmlDocument document;
        document.SetText(text);
      },
      [&] {
        pugi::xml_document document;
        document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
      },
      runs);
  const auto [oursLoad, pugiLoad] = AlternatingMedians(
      [&] {
        CXmlDocument document;
        document.LoadFile(path16);
      },
      [&] {
        pugi::xml_document document;
        document.load_file(path.c_str());
      },
      runs);
  std::printf("%-*s %9zu %8.2f %8.2f %7.2f %8.2f %8.2f %7.2f\n", kNameWidth,
              std::filesystem::path(path).filename().c_str(), text.size(), oursParse * 1e3, pugiParse * 1e3,
              pugiParse / oursParse, oursLoad * 1e3, pugiLoad * 1e3, pugiLoad / oursLoad);
}

std::u16string Repeated(std::u16string_view piece, size_t count) {
  std::u16string text;
  text.reserve(piece.size() * count + 7);
  text += u"<r>";
  for (size_t i = 0; i < count; ++i) text += piece;
  text += u"</r>";
  return text;
}

// Malformed markup of about 2 M characters, in characters per second against a well-formed text
// of the same size made of small elements.
void CompareMalformedMarkup(int runs) {
  const std::u16string wellFormed = Repeated(u"<a/>", 500'000);
  const std::pair<const char*, std::u16string> cases[] = {
      {"\"<>\" x 1 M", Repeated(u"<>", 1'000'000)},
      {"\"<!x>\" x 500 k", Repeated(u"<!x>", 500'000)},
      {"\"</x>\" x 500 k", Repeated(u"</x>", 500'000)},
      {"\"<a>\" x 700 k (unended)", Repeated(u"<a>", 700'000)},
  };
  std::printf("\n%-*s %9s %14s %14s %9s\n", kNameWidth, "malformed markup", "chars", "malformed MB/s", "well-formed",
              "slower by");
  for (const auto& [name, text] : cases) {
    const auto [malformed, reference] = AlternatingMedians(
        [&] {
          CXmlDocument document;
          document.SetText(text);
        },
        [&] {
          CXmlDocument document;
          document.SetText(wellFormed);
        },
        runs);
    const double malformedSpeed = static_cast<double>(text.size()) / malformed / 1e6;
    const double wellFormedSpeed = static_cast<double>(wellFormed.size()) / reference / 1e6;
    std::printf("%-*s %9zu %14.1f %14.1f %9.2f\n", kNameWidth, name, text.size(), malformedSpeed, wellFormedSpeed,
                wellFormedSpeed / malformedSpeed);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 15;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      files.emplace_back(argv[i]);
    }
  }
  const bool defaults = files.empty();
  std::printf(
      "medians of %d alternating runs; thread processor time in ms; ratio = pugixml time / ours (above 1: ours faster)\n",
      runs);
  if (defaults) {
    for (const DefaultFile& file : kDefaultFiles) {
      if (std::filesystem::exists(file.path)) {
        files.emplace_back(file.path);
      } else {
        std::printf("skipped %s: not installed here (Debian package %s)\n", file.path, file.package);
      }
    }
  }
  std::printf("%-*s %9s %8s %8s %7s %8s %8s %7s\n", kNameWidth, "file", "chars", "parse", "pugixml", "ratio", "load",
              "pugixml", "ratio");
  for (const std::string& file : files) CompareRealFile(file, runs);
  if (defaults) CompareMalformedMarkup(runs);
  return 0;
}
