// Parsing the kit's arguments.
#include "kit/command_line.h"

#include "platform/utf.h"

namespace kit {

const char kUsage[] =
    "usage: torvin-kit check FOLDER|FILE.exe [--online] [--json]\n"
    "       torvin-kit preview FOLDER|FILE.exe --out DIR [--scale 1|1.5|2] [--lang TAG|all] [--high-contrast]\n"
    "       torvin-kit pack FOLDER --out FILE.exe [--stub TorvinWebInstaller.exe] [--force]\n"
    "       torvin-kit unpack FILE.exe --out DIR\n";

namespace {

using Kind = Command::Kind;

std::optional<double> ParseScale(const std::u16string& text) {
  if (text == u"1") return 1.0;
  if (text == u"1.5") return 1.5;
  if (text == u"2") return 2.0;
  return std::nullopt;
}

std::optional<Kind> ParseKind(const std::u16string& name) {
  if (name == u"check") return Kind::Check;
  if (name == u"preview") return Kind::Preview;
  if (name == u"pack") return Kind::Pack;
  if (name == u"unpack") return Kind::Unpack;
  return std::nullopt;
}

// Takes the option at args[i] (and its value) into `command`; false when the command has no such
// option or its value is missing or wrong, with the reason in `error`.
bool TakeOption(const std::vector<std::u16string>& args, size_t& i, Command& command, std::string& error) {
  const std::u16string& a = args[i];
  const bool hasValue = i + 1 < args.size();
  const Kind kind = command.kind;
  if (kind == Kind::Check && a == u"--online") {
    command.online = true;
  } else if (kind == Kind::Check && a == u"--json") {
    command.json = true;
  } else if (kind != Kind::Check && a == u"--out" && hasValue) {
    command.out = args[++i];
  } else if (kind == Kind::Preview && a == u"--scale" && hasValue) {
    const std::optional<double> scale = ParseScale(args[++i]);
    if (!scale) {
      error = "--scale takes 1, 1.5 or 2";
      return false;
    }
    command.scale = *scale;
  } else if (kind == Kind::Preview && a == u"--lang" && hasValue && !args[i + 1].empty()) {
    command.language = args[++i];
  } else if (kind == Kind::Preview && a == u"--high-contrast") {
    command.highContrast = true;
  } else if (kind == Kind::Pack && a == u"--stub" && hasValue) {
    command.stub = args[++i];
  } else if (kind == Kind::Pack && a == u"--force") {
    command.force = true;
  } else {
    error = "unexpected argument \"" + platform::ToUtf8(a) + "\"";
    return false;
  }
  return true;
}

}  // namespace

std::optional<Command> ParseCommandLine(const std::vector<std::u16string>& args, std::string& error) {
  if (args.size() < 2) {
    error = "a command and a folder or file are needed";
    return std::nullopt;
  }
  Command command;
  const std::optional<Kind> kind = ParseKind(args[0]);
  if (!kind) {
    error = "unknown command \"" + platform::ToUtf8(args[0]) + "\"";
    return std::nullopt;
  }
  command.kind = *kind;
  command.input = args[1];
  for (size_t i = 2; i < args.size(); ++i) {
    if (!TakeOption(args, i, command, error)) return std::nullopt;
  }
  if (command.kind != Kind::Check && command.out.empty()) {
    error = platform::ToUtf8(args[0]) + " needs --out";
    return std::nullopt;
  }
  return command;
}

}  // namespace kit
