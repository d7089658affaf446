// Prints the code-page dump of this build as the lines of codepage_reference.inc; run the Windows
// build under Wine to refresh that file.
#include <cstdio>

#include "tests/platform/codepage_dump.h"

int main() {
  for (int32_t codePage : codepage_dump::kTableCodePages)
    for (const std::string& line : codepage_dump::Lines(codePage)) std::printf("\"%s\",\n", line.c_str());
  return 0;
}
