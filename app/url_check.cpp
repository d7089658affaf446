// Link validation through the HTTP layer's canonicalise-and-split.
#include "app/url_check.h"

#include "platform/http.h"

namespace {

bool ParsesOrParsesWithScheme(std::u16string& link) {
  if (platform::http::CanonicalizeAndSplit(link)) return true;
  link = u"http://" + link;
  return platform::http::CanonicalizeAndSplit(link);
}

}  // namespace

bool ValidateInstallerUrls(InstallerConfig& config) {
  return ParsesOrParsesWithScheme(config.strInstallerUrl) || ParsesOrParsesWithScheme(config.strDefaultUrl);
}
