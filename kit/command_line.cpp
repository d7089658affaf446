// Parsing the kit's arguments.
#include "kit/command_line.h"

#include "platform/utf.h"

namespace kit {

const char kUsage[] =
    "usage: torvin-kit check FOLDER [--online] [--json]\n"
    "       torvin-kit preview FOLDER --out DIR [--scale 1|1.5|2] [--lang TAG|all]\n";

namespace {

std::optional<double> ParseScale(const std::u16string& text) {
  if (text == u"1") return 1.0;
  if (text == u"1.5") return 1.5;
  if (text == u"2") return 2.0;
  return std::nullopt;
}

}  // namespace

std::optional<Command> ParseCommandLine(const std::vector<std::u16string>& args, std::string& error) {
  if (args.size() < 2) {
    error = "a command and a folder are needed";
    return std::nullopt;
  }
  Command command;
  if (args[0] == u"check") {
    command.kind = Command::Kind::Check;
  } else if (args[0] == u"preview") {
    command.kind = Command::Kind::Preview;
  } else {
    error = "unknown command \"" + platform::ToUtf8(args[0]) + "\"";
    return std::nullopt;
  }
  command.folder = args[1];
  const bool check = command.kind == Command::Kind::Check;
  for (size_t i = 2; i < args.size(); ++i) {
    const std::u16string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (check && a == u"--online") {
      command.online = true;
    } else if (check && a == u"--json") {
      command.json = true;
    } else if (!check && a == u"--out" && hasValue) {
      command.outDir = args[++i];
    } else if (!check && a == u"--scale" && hasValue) {
      const std::optional<double> scale = ParseScale(args[++i]);
      if (!scale) {
        error = "--scale takes 1, 1.5 or 2";
        return std::nullopt;
      }
      command.scale = *scale;
    } else if (!check && a == u"--lang" && hasValue && !args[i + 1].empty()) {
      command.language = args[++i];
    } else {
      error = "unexpected argument \"" + platform::ToUtf8(a) + "\"";
      return std::nullopt;
    }
  }
  if (!check && command.outDir.empty()) {
    error = "preview needs --out DIR";
    return std::nullopt;
  }
  return command;
}

}  // namespace kit
