// Reading the command line into RunOptions through a table of switches.
#include "app/run_options.h"

#include <array>
#include <vector>

#include "app/windows_arguments.h"

namespace {

enum class Switch { Quiet, Passive, Log, Wait, Lang, Help };

struct SwitchName {
  std::u16string_view name;  // lower case, without its "/" or "-"
  Switch which;
  bool takesValue;
};

constexpr std::array<SwitchName, 7> kSwitches = {{
    {u"quiet", Switch::Quiet, false},
    {u"passive", Switch::Passive, false},
    {u"log", Switch::Log, true},
    {u"wait", Switch::Wait, false},
    {u"lang", Switch::Lang, true},
    {u"?", Switch::Help, false},
    {u"help", Switch::Help, false},
}};

const SwitchName* FindSwitch(std::u16string_view word) {
  if (word.size() < 2 || (word[0] != u'/' && word[0] != u'-')) return nullptr;
  std::u16string name(word.substr(1));
  for (char16_t& c : name) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  for (const SwitchName& entry : kSwitches) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

void Apply(Switch which, const std::u16string& value, RunOptions& options) {
  switch (which) {
    case Switch::Quiet:
      options.quiet = true;
      return;
    case Switch::Passive:
      options.passive = true;
      return;
    case Switch::Log:
      options.logPath = value;
      return;
    case Switch::Wait:
      options.wait = true;
      return;
    case Switch::Lang:
      options.language = value;
      return;
    case Switch::Help:
      options.help = true;
      return;
  }
}

void NoteProblem(RunOptions& options, RunOptions::Problem problem, const std::u16string& word) {
  if (options.problem != RunOptions::Problem::None) return;  // the first one is told
  options.problem = problem;
  options.problemWord = word;
}

}  // namespace

const RunOptions kNoSwitches;

const std::u16string_view kRunOptionsHelp =
    u"/quiet\tno window and no message box; the exit code and the log tell the outcome\n"
    u"/passive\tthe window without questions; Cancel stops at once\n"
    u"/log FILE\twrite the log to FILE instead of the temporary folder\n"
    u"/wait\twait for the installer and end with its exit code\n"
    u"/lang TAG\tthe window's texts in this language (de, fr-CA) when the texts file has it\n"
    u"-- ARGUMENTS\tgive everything after -- to the installer\n"
    u"/? or /help\tthis list";

RunOptions ParseRunOptions(std::u16string_view commandLine) {
  const std::vector<std::u16string> words = SplitCommandLine(commandLine);
  RunOptions options;
  for (size_t at = 1; at < words.size(); ++at) {
    const std::u16string& word = words[at];
    if (word == u"--") {
      options.installerArguments = JoinCommandLine({words.begin() + static_cast<std::ptrdiff_t>(at) + 1, words.end()});
      break;
    }
    const SwitchName* found = FindSwitch(word);
    if (found == nullptr) {
      const bool looksLikeSwitch = word.size() > 1 && (word[0] == u'/' || word[0] == u'-');
      NoteProblem(options, looksLikeSwitch ? RunOptions::Problem::UnknownSwitch : RunOptions::Problem::StrayWord, word);
      continue;
    }
    std::u16string value;
    if (found->takesValue) {
      if (at + 1 >= words.size() || words[at + 1] == u"--") {
        NoteProblem(options, RunOptions::Problem::MissingValue, word);
        continue;
      }
      value = words[++at];
    }
    Apply(found->which, value, options);
  }
  return options;
}

std::u16string DescribeCommandLineProblem(const RunOptions& options) {
  switch (options.problem) {
    case RunOptions::Problem::None:
      return {};
    case RunOptions::Problem::UnknownSwitch:
      return u"Unknown switch: " + options.problemWord;
    case RunOptions::Problem::MissingValue:
      return u"Missing value after " + options.problemWord;
    case RunOptions::Problem::StrayWord:
      return u"Not a switch: " + options.problemWord;
  }
  return {};
}
