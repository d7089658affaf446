// A Windows command line and its words, by the rules Windows programs split their command line
// with: words end at spaces and tabs outside quotes; backslashes are plain characters except
// before a quote, where each pair gives one backslash and an odd one out makes the quote plain;
// inside quotes, two quotes in a row give one. The program's own path, the first word, ends at
// the next quote when it starts with one, else at the first space or tab.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The words of `commandLine`, the program's path first.
std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

// What follows the program's path in `commandLine`, as it stands.
std::u16string_view ArgumentsOf(std::u16string_view commandLine);

// `words` as one command line that splits back into exactly them: a word with a space, a tab or a
// quote, or an empty one, is put in quotes with its quotes and the backslashes before them escaped.
std::u16string JoinCommandLine(const std::vector<std::u16string>& words);
