// The kit's command line: `check FOLDER|FILE.exe [--online] [--json]`,
// `preview FOLDER|FILE.exe --out DIR [--scale 1|1.5|2] [--lang TAG|all] [--high-contrast]`,
// `pack FOLDER --out FILE.exe [--stub INSTALLER.exe] [--force]` and `unpack FILE.exe --out DIR`.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kit {

struct Command {
  enum class Kind { Check, Preview, Pack, Unpack };
  Kind kind = Kind::Check;
  std::u16string input;  // the vendor's folder, or a packed installer
  bool online = false;
  bool json = false;
  std::u16string out;  // the folder (preview, unpack) or file (pack) written
  double scale = 1.0;
  std::u16string stub;  // empty: the installer beside the kit
  bool force = false;
  std::u16string language;  // empty: the texts of [UISTRING]; "all": every language of the texts file
  bool highContrast = false;  // the face as a dark high-contrast theme shows it
};

// The command the arguments (without the program name) ask for; nullopt for bad usage, with the
// reason in `error`.
std::optional<Command> ParseCommandLine(const std::vector<std::u16string>& args, std::string& error);

extern const char kUsage[];

}  // namespace kit
