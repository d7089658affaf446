// The system seam on Linux: uname for version and processor, /proc/self for the module path and
// command line, the environment for the temporary folder and the language, the C library's local
// time, standard error for debug lines.
#include "platform/system.h"

#include <sys/time.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/system_source.h"
#include "platform/utf.h"

namespace platform {
namespace {

std::mutex g_sourceLock;
std::optional<posix::SystemSource> g_source;  // guarded by g_sourceLock
std::function<void(std::u16string_view)> g_debugSink;

std::optional<posix::SystemSource> OverriddenSource() {
  std::lock_guard lock(g_sourceLock);
  return g_source;
}

uint16_t ArchitectureOfMachine(std::string_view machine) {
  if (machine == "x86_64" || machine == "amd64") return ARCHITECTURE_X64;
  if (machine == "aarch64" || machine == "arm64") return ARCHITECTURE_ARM64;
  if (machine == "ia64") return ARCHITECTURE_IA64;
  if (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86") return ARCHITECTURE_X86;
  if (machine.starts_with("arm")) return ARCHITECTURE_ARM;
  return ARCHITECTURE_UNKNOWN;
}

// "de_DE.UTF-8@euro" as the tag "de-DE"; nothing for the C locale.
std::optional<std::u16string> TagOfLocale(std::string_view locale) {
  locale = locale.substr(0, std::min(locale.find_first_of(".@"), locale.size()));
  if (locale.empty() || locale == "C" || locale == "POSIX") return std::nullopt;
  std::u16string tag = FromUtf8(locale);
  std::replace(tag.begin(), tag.end(), u'_', u'-');
  return tag;
}

std::string_view Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

namespace posix {

void SetSystemSource(const SystemSource& source) {
  std::lock_guard lock(g_sourceLock);
  g_source = source;
}

void ResetSystemSource() {
  std::lock_guard lock(g_sourceLock);
  g_source.reset();
}

void SetDebugLineSink(std::function<void(std::u16string_view)> sink) {
  std::lock_guard lock(g_sourceLock);
  g_debugSink = std::move(sink);
}

}  // namespace posix

// The kernel's release as major.minor; Linux is not of the NT family, so no Windows name applies.
std::optional<OsVersion> QueryOsVersion() {
  if (auto source = OverriddenSource()) return source->version;
  utsname names{};
  if (uname(&names) != 0) return std::nullopt;
  OsVersion version;
  std::sscanf(names.release, "%u.%u", &version.major, &version.minor);
  return version;
}

uint16_t QuerySystemArchitecture() {
  if (auto source = OverriddenSource()) return source->architecture;
  utsname names{};
  if (uname(&names) != 0) return ARCHITECTURE_UNKNOWN;
  return ArchitectureOfMachine(names.machine);
}

std::u16string ModulePath() {
  std::vector<char> buffer(4096);
  ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) return {};
  std::u16string path = FromUtf8(std::string_view(buffer.data(), static_cast<size_t>(length)));
  std::replace(path.begin(), path.end(), u'/', u'\\');
  return path;
}

std::u16string CommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string words((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!words.empty() && words.back() == '\0') words.pop_back();
  std::replace(words.begin(), words.end(), '\0', ' ');
  return FromUtf8(words);
}

std::u16string TempFolder() {
  const char* folder = std::getenv("TMPDIR");
  std::u16string path = FromUtf8(folder && *folder ? folder : "/tmp");
  while (path.size() > 1 && path.back() == u'/') path.pop_back();
  std::replace(path.begin(), path.end(), u'/', u'\\');
  return path;
}

int32_t SystemDpi() { return 96; }

LocalTime CurrentLocalTime() {
  timeval now{};
  gettimeofday(&now, nullptr);
  tm parts{};
  localtime_r(&now.tv_sec, &parts);
  return {static_cast<uint16_t>(parts.tm_year + 1900), static_cast<uint16_t>(parts.tm_mon + 1),
          static_cast<uint16_t>(parts.tm_mday),        static_cast<uint16_t>(parts.tm_hour),
          static_cast<uint16_t>(parts.tm_min),         static_cast<uint16_t>(parts.tm_sec),
          static_cast<uint16_t>(now.tv_usec / 1000)};
}

// As gettext reads the environment: the locale of messages from LC_ALL, LC_MESSAGES or LANG, the
// first one set; LANGUAGE, a list separated by colons, goes before it unless that locale is C.
std::vector<std::u16string> PreferredUILanguages() {
  std::string_view locale = Variable("LC_ALL");
  if (locale.empty()) locale = Variable("LC_MESSAGES");
  if (locale.empty()) locale = Variable("LANG");
  const std::optional<std::u16string> own = TagOfLocale(locale);
  std::vector<std::u16string> tags;
  if (!own) return tags;
  const std::string_view list = Variable("LANGUAGE");
  for (size_t start = 0; start < list.size();) {
    const size_t end = std::min(list.find(':', start), list.size());
    if (auto tag = TagOfLocale(list.substr(start, end - start))) tags.push_back(*tag);
    start = end + 1;
  }
  tags.push_back(*own);
  return tags;
}

void DebugLine(std::u16string_view line) {
  std::function<void(std::u16string_view)> sink;
  {
    std::lock_guard lock(g_sourceLock);
    sink = g_debugSink;
  }
  if (sink) {
    sink(line);
    return;
  }
  std::fprintf(stderr, "%s\n", ToUtf8(line).c_str());
}

void SleepFor(uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

int64_t UnixTimeSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

}  // namespace platform
