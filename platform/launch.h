// The launch seam: a program file started the way the shell opens it, and waiting for its end.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// A started program, held until its owner lets it go; waiting on it gives its exit code.
struct Process;
struct ProcessCloser {
  void operator()(Process* process) const;
};
using ProcessHandle = std::unique_ptr<Process, ProcessCloser>;

struct ProgramLaunch {
  bool started = false;
  uint32_t error = 0;     // the system's code when it did not start
  ProcessHandle process;  // empty when the system gave no process to wait for
};

// Starts the program file at `path` with the verb "open", the default show mode and `parameters`
// as its command line (already quoted for the program), without the system's error dialogs.
ProgramLaunch OpenProgram(const std::u16string& path, const std::u16string& parameters);

// Waits for the program's end; its exit code, or nothing when the system cannot tell it.
std::optional<uint32_t> WaitForExit(Process& process);

}  // namespace platform
