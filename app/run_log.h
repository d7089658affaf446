// The run's log: one timestamped line of UTF-8 text for each step, in a file of the user's
// temporary folder named after the product (or where /log says). The previous run's log is kept
// beside it with ".1" added; a log stops taking steps at about 1 MB, but its last lines (the
// outcome and its code) are always written. Passwords in addresses never reach it. Writing it
// never fails the run: a log that cannot be written is skipped. Until its place is known (the
// product's name comes from the configuration) the lines wait in memory. Every line also goes to
// the debug channel. Any thread may write.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/log_file.h"
#include "platform/system.h"
#include "platform/thread.h"
#include "platform/utf.h"

class RunLog {
 public:
  // Above this size only the last lines are written.
  static constexpr size_t kStepLimit = 1000 * 1000;

  // Starts the log at `path`, moving a file already there to path + ".1", and writes the lines
  // kept so far. False when it cannot be created; the lines are dropped from then on. Only the
  // first choice of a place counts. The place is chosen on one thread (the owner's).
  bool OpenAt(const std::u16string& path);
  bool PlaceChosen() const { return m_state != State::Waiting; }
  const std::u16string& Path() const { return m_path; }

  // One step.
  void Line(std::string_view text);
  // One of the run's last lines, written even past the limit.
  void FinalLine(std::string_view text);
  // Closes the file; later lines go nowhere.
  void Close();
  // A new log with no place chosen yet, for another run in the same process (the tests make many).
  void Restart();

 private:
  void Write(std::string_view text, bool final);
  void Append(const std::string& line);

  platform::Mutex m_lock;
  enum class State { Waiting, Writing, Skipped } m_state = State::Waiting;
  std::vector<std::string> m_waiting;
  platform::LogFile m_file;
  std::u16string m_path;
  size_t m_written = 0;
  bool m_full = false;
};

// The process's log.
extern RunLog TheRunLog;
inline void LogLine(std::string_view text) { TheRunLog.Line(text); }
// A line joined from its pieces.
void LogLine(std::initializer_list<platform::TextPiece> pieces);

// The default place of the log: the temporary folder, the name (the product's) and " download.log".
std::u16string DefaultLogPath(const std::u16string& tempFolder, const std::u16string& name);

// Starts the process's log at its default place, named after the product, or after the executable
// when the product's name is no plain file name; nothing when a place was chosen already.
void OpenDefaultRunLog(const std::u16string& productName);

// "user:password@" (or "user@") in every address of `text` written as "***@".
std::string MaskAddressCredentials(std::string_view text);

// "2024-03-05 14:07:09.042 ".
std::string TimeStamp(const platform::LocalTime& time);
