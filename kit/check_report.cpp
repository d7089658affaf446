// The two printed forms of a check.
#include "kit/check_report.h"

#include <cstdio>

#include "platform/utf.h"

namespace kit {
namespace {

std::string Place(const Finding& f) {
  if (f.line == 0) return f.file;
  return f.file + ":" + std::to_string(f.line) + ":" + std::to_string(f.column);
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string JsonString(std::u16string_view text) { return JsonString(platform::ToUtf8(text)); }

// Writes `items` as a JSON array, one element per line, each made by `write`.
template <typename Items, typename Write>
void JsonArray(std::ostream& out, const char* name, const Items& items, Write write) {
  out << "  \"" << name << "\": [";
  const char* separator = "\n";
  for (const auto& item : items) {
    out << separator << "    {";
    write(item);
    out << "}";
    separator = ",\n";
  }
  out << (items.empty() ? "]" : "\n  ]");
}

// One probed link's fields: the reply (or the refusal), every redirect hop, the file check.
void WriteLinkJson(const LinkProbeReport& l, std::ostream& out) {
  const ProbeReply& probe = l.probe;
  const std::string refusal = RefusalKind(probe);
  const bool replied = probe.outcome == platform::http::SendResult::Replied;
  out << "\"url\": " << JsonString(l.link.url) << ", \"line\": " << l.link.line
      << ", \"replied\": " << (replied ? "true" : "false")
      << ", \"refused\": " << (refusal.empty() ? "null" : JsonString(refusal))
      << ", \"status\": " << probe.status << ", \"size\": " << probe.size << ", \"redirects\": [";
  const char* separator = "";
  for (const std::u16string& hop : probe.redirects) {
    out << separator << JsonString(hop);
    separator = ", ";
  }
  out << "], \"final_url\": " << (replied ? JsonString(FinalAddress(l)) : "null")
      << ", \"seconds\": " << l.seconds;
  if (l.fileChecked) {
    out << ", \"file_check\": {\"passed\": " << (l.file.passed ? "true" : "false")
        << ", \"signer_checked\": " << (l.file.signerUnchecked ? "false" : "true")
        << ", \"report\": " << JsonString(l.file.report) << "}";
  }
}

}  // namespace

void PrintFindings(const Findings& findings, std::ostream& out) {
  for (const Finding& f : findings.Items()) out << Place(f) << ": " << f.message << "\n";
}

void PrintText(const CheckReport& report, std::ostream& out) {
  PrintFindings(report.findings, out);
  if (!report.findings.Empty()) out << "\n";
  if (report.config.readable) {
    out << "What each system downloads (installed: the product's registry key exists):\n";
    for (const std::string& line : DescribeTable(report.systems, report.config)) out << "  " << line << "\n";
    out << "\n";
  }
  out << "Texts file: "
      << (report.textsEncoding.empty() ? "none, the window shows its English texts"
                                       : "read as " + report.textsEncoding)
      << "\n";
  if (report.online) {
    out << "\nLinks:\n";
    for (const LinkProbeReport& l : report.links) out << "  " << DescribeProbe(l) << "\n";
  }
  const size_t count = report.findings.Items().size();
  out << "\n"
      << (count == 0 ? "No findings: nothing to fix."
                     : std::to_string(count) + (count == 1 ? " finding." : " findings."))
      << "\n";
}

void PrintJson(const CheckReport& report, std::ostream& out) {
  out << "{\n  \"folder\": " << JsonString(report.folder) << ",\n";
  JsonArray(out, "findings", report.findings.Items(), [&](const Finding& f) {
    out << "\"file\": " << JsonString(f.file) << ", \"line\": " << f.line << ", \"column\": " << f.column
        << ", \"message\": " << JsonString(f.message);
  });
  out << ",\n";
  JsonArray(out, "systems", report.systems, [&](const SystemOutcome& s) {
    out << "\"system\": " << JsonString(s.system) << ", \"installed\": " << (s.installed ? "true" : "false");
    if (!s.message.empty()) {
      out << ", \"message\": " << JsonString(s.message);
    } else {
      out << ", \"own_entry\": " << (s.ownEntry ? "true" : "false")
          << ", \"download\": " << JsonString(s.patch ? "patch" : "full installer")
          << ", \"first\": " << JsonString(s.first) << ", \"fallback\": " << JsonString(s.fallback);
    }
  });
  out << ",\n  \"texts_encoding\": " << JsonString(report.textsEncoding);
  if (report.online) {
    out << ",\n";
    JsonArray(out, "links", report.links, [&](const LinkProbeReport& l) { WriteLinkJson(l, out); });
  }
  out << "\n}\n";
}

}  // namespace kit
