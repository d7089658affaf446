// Writing the run's log.
#include "app/run_log.h"

#include <mutex>

#include "app/installer_path.h"
#include "platform/utf.h"

RunLog TheRunLog;

void LogLine(std::initializer_list<platform::TextPiece> pieces) { TheRunLog.Line(platform::JoinUtf8(pieces)); }

namespace {

constexpr std::string_view kFullNote = "(the log is full: the next steps are left out)";

void AppendNumber(std::string& text, unsigned value, int digits) {
  char buffer[8];
  for (int i = digits - 1; i >= 0; --i, value /= 10) buffer[i] = static_cast<char>('0' + value % 10);
  text.append(buffer, static_cast<size_t>(digits));
}

}  // namespace

std::string TimeStamp(const platform::LocalTime& time) {
  std::string text;
  AppendNumber(text, time.year, 4);
  text += '-';
  AppendNumber(text, time.month, 2);
  text += '-';
  AppendNumber(text, time.day, 2);
  text += ' ';
  AppendNumber(text, time.hour, 2);
  text += ':';
  AppendNumber(text, time.minute, 2);
  text += ':';
  AppendNumber(text, time.second, 2);
  text += '.';
  AppendNumber(text, time.millisecond, 3);
  text += ' ';
  return text;
}

std::string MaskAddressCredentials(std::string_view text) {
  std::string masked(text);
  for (size_t scheme = masked.find("://"); scheme != std::string::npos; scheme = masked.find("://", scheme + 3)) {
    const size_t start = scheme + 3;
    // The authority ends where the path, query or fragment begins, or the address ends.
    const size_t end = masked.find_first_of("/?#\\ \t\"'<>", start);
    const size_t at = masked.rfind('@', end == std::string::npos ? std::string::npos : end - 1);
    if (at == std::string::npos || at < start) continue;
    masked.replace(start, at - start, "***");
  }
  return masked;
}

std::u16string DefaultLogPath(const std::u16string& tempFolder, const std::u16string& name) {
  return tempFolder + u"\\" + name + u" download.log";
}

void OpenDefaultRunLog(const std::u16string& productName) {
  if (TheRunLog.PlaceChosen()) return;
  const std::u16string name = IsPlainFileName(productName) ? productName : platform::ProgramName();
  const std::u16string folder = platform::TempFolder();
  if (folder.empty() || name.empty()) {
    TheRunLog.Close();
    return;
  }
  TheRunLog.OpenAt(DefaultLogPath(folder, name));
}

bool RunLog::OpenAt(const std::u16string& path) {
  std::lock_guard lock(m_lock);
  if (m_state != State::Waiting) return m_state == State::Writing;
  m_path = path;
  platform::MoveFileReplacing(path, path + u".1");
  if (path.empty() || !m_file.Create(path)) {
    m_state = State::Skipped;
    m_waiting.clear();
    return false;
  }
  m_state = State::Writing;
  for (const std::string& line : m_waiting) Append(line);
  m_waiting.clear();
  return m_state == State::Writing;
}

void RunLog::Line(std::string_view text) { Write(text, false); }

void RunLog::FinalLine(std::string_view text) { Write(text, true); }

void RunLog::Close() {
  std::lock_guard lock(m_lock);
  m_file.Close();
  m_state = State::Skipped;
}

void RunLog::Restart() {
  std::lock_guard lock(m_lock);
  m_file.Close();
  m_state = State::Waiting;
  m_waiting.clear();
  m_path.clear();
  m_written = 0;
  m_full = false;
}

void RunLog::Write(std::string_view text, bool final) {
  const std::string masked = MaskAddressCredentials(text);
  platform::DebugLine(platform::FromUtf8(masked));
  std::lock_guard lock(m_lock);
  if (m_state == State::Skipped) return;
  std::string line = TimeStamp(platform::CurrentLocalTime()) + masked + "\r\n";
  if (!final && m_written + line.size() > kStepLimit) {
    if (m_full) return;
    m_full = true;
    line = TimeStamp(platform::CurrentLocalTime()) + std::string(kFullNote) + "\r\n";
  }
  m_written += line.size();
  if (m_state == State::Waiting) {
    m_waiting.push_back(std::move(line));
  } else {
    Append(line);
  }
}

// A write that fails (a full disk, a removed drive) ends the log, never the run.
void RunLog::Append(const std::string& line) {
  if (!m_file.Append(line.data(), line.size())) {
    m_file.Close();
    m_state = State::Skipped;
  }
}
