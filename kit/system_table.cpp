// The installer's start-up decisions for each system: configuration, patch, 64-bit gate, link check.
#include "kit/system_table.h"

#include <array>

#include "app/installer_config.h"
#include "app/patch_selection.h"
#include "app/ui_strings.h"
#include "app/url_check.h"
#include "kit/vendor_folder.h"
#include "platform/utf.h"

namespace kit {
namespace {

constexpr std::array<const char16_t*, 4> kSystems = {u"Windows XP", u"Windows Vista", u"Windows 7",
                                                     u"Windows 8"};
constexpr char kXmlMissing[] = "\"Xml file is missing!\"";
constexpr char kUnrecognizedUrl[] = "\"Unrecognized URL\"";

SystemOutcome Decide(const std::u16string& folder, const PlatformInfo& platform, bool installed) {
  SystemOutcome outcome;
  outcome.system = platform::ToUtf8(platform.strName) + " " + platform::ToUtf8(platform.strBits) + "-bit";
  outcome.installed = installed;
  const std::u16string configPath = InFolder(folder, kConfigFileName);
  InstallerConfig config;
  if (!LoadConfiguration(configPath, platform, config)) {
    outcome.message = kXmlMissing;
    return outcome;
  }
  outcome.ownEntry = !config.strInstallerUrl.empty();
  config.strPatchUrl = config.strInstallerUrl;
  // An installed copy is found in the registry view of the system's own bitness.
  if (installed) {
    outcome.patch = FindPatchLink(configPath, platform, platform.strBits, config);
    outcome.noPatch = !outcome.patch;
    config.strInstallerUrl = config.strPatchUrl;
  }
  if (platform.strBits == u"32") {
    outcome.message =
        "\"" + platform::ToUtf8(GetUIString(IDS_MESSAGE_NOT_SUPPORTED, InFolder(folder, kTextsFileName))) +
        "\"";
    return outcome;
  }
  if (!ValidateInstallerUrls(config)) {
    outcome.message = kUnrecognizedUrl;
    return outcome;
  }
  outcome.first = config.strInstallerUrl;
  outcome.fallback = config.strDefaultUrl;
  return outcome;
}

std::string DescribeLink(const std::u16string& url, const ConfigReport& config) {
  if (url.empty()) return "nothing";
  const ConfigLink* link = FindLink(config, url);
  const std::string text = platform::ToUtf8(url);
  return link ? text + " (<" + link->element + "> line " + std::to_string(link->line) + ")" : text;
}

}  // namespace

std::vector<SystemOutcome> BuildSystemTable(const std::u16string& folder) {
  std::vector<SystemOutcome> table;
  for (const char16_t* name : kSystems) {
    for (const char16_t* bits : {u"32", u"64"}) {
      const PlatformInfo platform{name, bits};
      for (bool installed : {false, true}) table.push_back(Decide(folder, platform, installed));
    }
  }
  return table;
}

std::string DescribeOutcome(const SystemOutcome& outcome, const ConfigReport& config) {
  if (!outcome.message.empty()) return "message " + outcome.message;
  // Without an entry of its own the first link is empty; the link check and the download then
  // end up at the default link.
  if (!outcome.ownEntry && !outcome.patch)
    return "no entry of its own, so the default " + DescribeLink(outcome.fallback, config);
  std::string line = (outcome.patch ? "patch " : "full installer ") + DescribeLink(outcome.first, config);
  if (outcome.noPatch && outcome.ownEntry) line += " (the entry has no <patch>)";
  return line + "; fallback " + DescribeLink(outcome.fallback, config);
}

std::vector<std::string> DescribeTable(const std::vector<SystemOutcome>& table, const ConfigReport& config) {
  std::vector<std::string> lines;
  for (size_t i = 0; i + 1 < table.size(); i += 2) {
    const std::string without = DescribeOutcome(table[i], config),
                      with = DescribeOutcome(table[i + 1], config);
    if (without == with) {
      lines.push_back(table[i].system + ": " + without);
    } else {
      lines.push_back(table[i].system + ", not installed: " + without);
      lines.push_back(table[i].system + ", installed: " + with);
    }
  }
  return lines;
}

}  // namespace kit
