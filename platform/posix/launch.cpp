// The launch seam on Linux, where it serves the tests: the file is started directly, with the
// parameters as its one argument (there is no shell verb to honour), and waited for with waitpid.
#include "platform/launch.h"

#include <spawn.h>
#include <sys/wait.h>

#include <string>

#include "platform/posix/native_path.h"
#include "platform/utf.h"

extern char** environ;

namespace platform {

struct Process {
  pid_t pid;
};

void ProcessCloser::operator()(Process* process) const { delete process; }

ProgramLaunch OpenProgram(const std::u16string& path, const std::u16string& parameters) {
  const std::string file = posix::NativePath(path);
  const std::string argument = ToUtf8(parameters);
  char* argv[] = {const_cast<char*>(file.c_str()), parameters.empty() ? nullptr : const_cast<char*>(argument.c_str()),
                  nullptr};
  ProgramLaunch launch;
  pid_t pid = 0;
  const int error = posix_spawn(&pid, file.c_str(), nullptr, nullptr, argv, environ);
  if (error != 0) {
    launch.error = static_cast<uint32_t>(error);
    return launch;
  }
  launch.started = true;
  launch.process.reset(new Process{pid});
  return launch;
}

std::optional<uint32_t> WaitForExit(Process& process) {
  int status = 0;
  if (waitpid(process.pid, &status, 0) != process.pid || !WIFEXITED(status)) return std::nullopt;
  return static_cast<uint32_t>(WEXITSTATUS(status));
}

}  // namespace platform
