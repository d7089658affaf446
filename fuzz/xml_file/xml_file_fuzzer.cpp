// Loads arbitrary bytes from a file into a document, then walks and reads every element. The
// first byte picks a start (a byte-order mark, a declaration, an HTML head) so that every
// encoding path is reached quickly.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/utf.h"
#include "xml/xml_document.h"

namespace {

constexpr std::string_view kStarts[] = {
    "",
    "\xEF\xBB\xBF",
    "\xFF\xFE",
    "\xFE\xFF",
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>",
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>",
    "<?xml version=\"1.0\" encoding=\"UTF-32\"?>",
    "<?xml version=\"1.0\" encoding=\"UTF-16\"?>",
    "<?xml version=\"1.0\" encoding=\"gb18030\"?>",
    "<?xml version=\"1.0\" encoding=\"iso-2022-jp\"?>",
    "<?xml version=\"1.0\" encoding=\"utf-7\"?>",
    "<?xml version=\"1.0\" encoding=\"koi8-r\"?>",
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">",
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void Walk(CXmlDocument& document, int depth) {
  while (document.FindElement()) {
    const int32_t element = document.Current();
    Check(element > 0 && element < document.Used());
    document.GetElementText(element);
    document.GetAttribute(element, u"encoding");
    if (depth < 64 && document.EnterElement()) {
      Walk(document, depth + 1);
      Check(document.LeaveElement());
    }
  }
}

// The file each input is written to; removed when the fuzzer exits.
struct InputFile {
  std::string path = "/tmp/xml_file_fuzzer." + std::to_string(getpid());
  ~InputFile() { std::remove(path.c_str()); }
};

const std::string& FilePath() {
  static const InputFile file;
  return file.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view start = kStarts[data[0] % std::size(kStarts)];
  FILE* file = std::fopen(FilePath().c_str(), "wb");
  if (!file) return 0;
  std::fwrite(start.data(), 1, start.size(), file);
  std::fwrite(data + 1, 1, size - 1, file);
  std::fclose(file);

  CXmlDocument document;
  document.LoadFile(platform::FromUtf8(FilePath()));
  Check(document.Text().find(u'\0') == std::u16string::npos);  // zero characters never reach the text
  Walk(document, 0);
  return 0;
}
