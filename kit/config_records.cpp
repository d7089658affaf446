// The XML library's result records of a loaded configuration, told as findings in the words the
// installer's log uses too.
#include "kit/config_records.h"

#include "app/config_problem.h"
#include "kit/vendor_folder.h"
#include "platform/utf.h"
#include "xml/text_position.h"
#include "xml/xml_document.h"

namespace kit {

void ReportResultRecords(const CXmlDocument& document, Findings& findings) {
  const std::string file = platform::ToUtf8(kConfigFileName);
  for (ResultRecordNote& note : DescribeResultRecords(document)) {
    if (note.offset < 0) {
      findings.Add(file, std::move(note.sentence));
    } else {
      const TextPosition at = PositionOf(document.Text(), note.offset);
      findings.Add(file, at.line, at.column, std::move(note.sentence));
    }
  }
}

}  // namespace kit
