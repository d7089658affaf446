// Splitting and joining Windows command lines.
#include "app/windows_arguments.h"

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The program's path: no escapes at all, as the system reads it.
size_t ReadProgramPath(std::u16string_view line, std::u16string& word) {
  size_t at = 0;
  if (!line.empty() && line[0] == u'"') {
    const size_t end = line.find(u'"', 1);
    word = line.substr(1, end == std::u16string_view::npos ? std::u16string_view::npos : end - 1);
    return end == std::u16string_view::npos ? line.size() : end + 1;
  }
  while (at < line.size() && !IsBlank(line[at])) ++at;
  word = line.substr(0, at);
  return at;
}

// One word from `at`, which is not blank; returns where the word ended.
size_t ReadWord(std::u16string_view line, size_t at, std::u16string& word) {
  bool quoted = false;
  while (at < line.size() && (quoted || !IsBlank(line[at]))) {
    size_t backslashes = 0;
    while (at < line.size() && line[at] == u'\\') ++backslashes, ++at;
    if (at < line.size() && line[at] == u'"') {
      word.append(backslashes / 2, u'\\');
      if (backslashes % 2 == 1) {
        word += u'"';
      } else if (quoted && at + 1 < line.size() && line[at + 1] == u'"') {
        word += u'"';
        ++at;
      } else {
        quoted = !quoted;
      }
      ++at;
    } else {
      word.append(backslashes, u'\\');
      if (backslashes == 0 && at < line.size()) word += line[at++];
    }
  }
  return at;
}

void AppendQuoted(std::u16string& line, const std::u16string& word) {
  if (!word.empty() && word.find_first_of(u" \t\"") == std::u16string::npos) {
    line += word;
    return;
  }
  line += u'"';
  size_t backslashes = 0;
  for (char16_t c : word) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    line.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, u'\\');  // before the closing quote
  line += u'"';
}

}  // namespace

std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine) {
  std::vector<std::u16string> words(1);
  size_t at = ReadProgramPath(commandLine, words[0]);
  for (;;) {
    while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
    if (at >= commandLine.size()) return words;
    words.emplace_back();
    at = ReadWord(commandLine, at, words.back());
  }
}

std::u16string_view ArgumentsOf(std::u16string_view commandLine) {
  std::u16string path;
  size_t at = ReadProgramPath(commandLine, path);
  while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
  return commandLine.substr(at);
}

std::u16string JoinCommandLine(const std::vector<std::u16string>& words) {
  std::u16string line;
  for (const std::u16string& word : words) {
    if (!line.empty()) line += u' ';
    AppendQuoted(line, word);
  }
  return line;
}
