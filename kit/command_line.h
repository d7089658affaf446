// The kit's command line: `check FOLDER [--online] [--json]` and
// `preview FOLDER --out DIR [--scale 1|1.5|2] [--lang TAG|all]`.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kit {

struct Command {
  enum class Kind { Check, Preview };
  Kind kind = Kind::Check;
  std::u16string folder;
  bool online = false;
  bool json = false;
  std::u16string outDir;
  double scale = 1.0;
  std::u16string language;  // empty: the texts of [UISTRING]; "all": every language of the texts file
};

// The command the arguments (without the program name) ask for; nullopt for bad usage, with the
// reason in `error`.
std::optional<Command> ParseCommandLine(const std::vector<std::u16string>& args, std::string& error);

extern const char kUsage[];

}  // namespace kit
