// The kit's entry: the arguments as UTF-16 (wide on Windows, UTF-8 on Linux), then the command.
#include <iostream>
#include <string>
#include <vector>

#include "kit/check_command.h"
#include "kit/command_line.h"
#include "kit/pack_command.h"
#include "kit/preview_command.h"
#include "platform/utf.h"

namespace {

int Run(const std::vector<std::u16string>& args) {
  std::string error;
  const std::optional<kit::Command> command = kit::ParseCommandLine(args, error);
  if (!command) {
    std::cerr << "torvin-kit: " << error << "\n" << kit::kUsage;
    return 2;
  }
  switch (command->kind) {
    case kit::Command::Kind::Check:
      return kit::RunCheck(*command, std::cout, std::cerr);
    case kit::Command::Kind::Preview:
      return kit::RunPreview(*command, std::cout, std::cerr);
    case kit::Command::Kind::Pack:
      return kit::RunPack(*command, std::cout, std::cerr);
    case kit::Command::Kind::Unpack:
      return kit::RunUnpack(*command, std::cout, std::cerr);
  }
  return 2;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  return Run(args);
}
#else
int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(platform::FromUtf8(argv[i]));
  return Run(args);
}
#endif
