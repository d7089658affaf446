// Why the installer cannot use its configuration, in the words `torvin-kit check` uses: the XML
// library's result records told as sentences, and the first step of the reading that fails.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/platform_checks.h"
#include "platform/file_source.h"

class CXmlDocument;

// One result record of a loaded document that describes a problem (a file that cannot be read,
// markup that is not well-formed, characters dropped while reading).
struct ResultRecordNote {
  std::string sentence;  // UTF-8
  int32_t offset = -1;   // where in the text; -1 when the record names no place in it
};
std::vector<ResultRecordNote> DescribeResultRecords(const CXmlDocument& document);

// Why LoadConfiguration refuses `file` on `platform`, as one line; empty when it does not.
std::string ConfigurationProblem(const platform::FileSource& file, const PlatformInfo& platform);
