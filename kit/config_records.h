// The XML library's result records of a loaded configuration, told as findings.
#pragma once

#include "kit/findings.h"

class CXmlDocument;

namespace kit {

// One finding for each record that describes a problem (a file that cannot be read, markup that is
// not well-formed, characters dropped while reading), placed at the record's offset in the text.
void ReportResultRecords(const CXmlDocument& document, Findings& findings);

}  // namespace kit
