// Patch selection: the product's registry key, looked up in the views a copy of it may live in,
// and the patch link of the matching entry.
#include "app/patch_selection.h"

#include <optional>

#include "app/config_document.h"
#include "app/run_log.h"
#include "platform/registry.h"
#include "xml/xml_document.h"

namespace {

// The bitness of the installed copy: on a 64-bit system the 64-bit view is asked first, then the
// 32-bit one, so a product installed as a 32-bit program gets the patch of the "32" entry; a 32-bit
// system has only the 32-bit view. Empty when the product is not installed or the system is
// unknown.
std::optional<std::u16string> InstalledBitness(const PlatformInfo& platform, const std::u16string& key) {
  using platform::LocalMachineKeyExists;
  using platform::RegistryView;
  if (platform.strBits == u"32") {
    if (LocalMachineKeyExists(key, RegistryView::Bits32)) return u"32";
  } else if (platform.strBits == u"64") {
    if (LocalMachineKeyExists(key, RegistryView::Bits64)) return u"64";
    if (LocalMachineKeyExists(key, RegistryView::Bits32)) return u"32";
  }
  return std::nullopt;
}

}  // namespace

bool SelectPatchLink(const platform::FileSource& configFile, const PlatformInfo& platform,
                     InstallerConfig& config) {
  // Without a key there is nothing that could show an installed copy; the empty path would name
  // the hive itself, which always exists.
  if (config.strRegistryKey.empty()) {
    LogLine("no registry key in the configuration: not installed, the full installer");
    return false;
  }
  std::optional<std::u16string> bits = InstalledBitness(platform, config.strRegistryKey);
  if (!bits) {
    LogLine({"HKLM\\", config.strRegistryKey, " is in no registry view: not installed, the full installer"});
    return false;
  }
  LogLine({"HKLM\\", config.strRegistryKey, " is in the ", *bits, "-bit registry view: installed, the patch"});
  if (FindPatchLink(configFile, platform, *bits, config)) {
    LogLine({"the patch of the ", *bits, "-bit entry: ", config.strPatchUrl});
  } else {
    LogLine("patch link not found! the entry's own link is used");
  }
  return true;
}

bool FindPatchLink(const platform::FileSource& configFile, const PlatformInfo& platform, std::u16string_view bits,
                   InstallerConfig& config) {
  CXmlDocument document;
  if (!OpenProduct(document, configFile)) return false;
  // Entering once more leaves no current element, so the search starts at the product's first
  // child: every entry counts here, wherever it stands.
  document.EnterElement();
  while (document.FindElement(u"installerInfo")) {
    if (!document.FindChildElement(u"os")) continue;
    document.EnterElement();
    if (CurrentText(document) == platform.strName && document.FindElement(u"bit") &&
        CurrentText(document) == bits && document.FindElement(u"patch")) {
      config.strPatchUrl = CurrentText(document);
      config.strPatchSha256 = LinkDigest(document);
      return true;
    }
    document.LeaveElement();
  }
  return false;
}
