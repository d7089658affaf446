// The installer's command line: the switches an administrator gives it, read into a plain record.
// Switches are case-insensitive and start with "/" or "-"; "--" ends them, and every word after it
// is for the launched installer. A new switch is one row of the table in run_options.cpp and one
// case where its value is taken.
#pragma once

#include <string>
#include <string_view>

struct RunOptions {
  bool quiet = false;    // no window and no message box at all
  bool passive = false;  // the window, but no question and no message box
  bool wait = false;     // wait for the launched installer and end with its exit code
  bool help = false;     // show the switches and do nothing else
  std::u16string logPath;             // where the log goes; empty: its default place
  std::u16string language;            // the texts' language tag asked for; empty: the user's choose
  std::u16string installerArguments;  // the launched installer's command line (the words after "--")

  // The first word that was not understood, and why; nothing is downloaded then.
  enum class Problem { None, UnknownSwitch, MissingValue, StrayWord };
  Problem problem = Problem::None;
  std::u16string problemWord;

  // Neither a question nor a message box may be shown.
  bool AsksNothing() const { return quiet || passive; }
};

// A run without switches.
extern const RunOptions kNoSwitches;

// Reads the whole command line as the system gives it, the program's path first. Every word is
// read, also after a problem, so that /quiet and /log hold wherever they stand.
RunOptions ParseRunOptions(std::u16string_view commandLine);

// The one line that tells what went wrong with the command line (empty without a problem).
std::u16string DescribeCommandLineProblem(const RunOptions& options);

// The switches, one a line, for the help box and the box after a bad command line.
extern const std::u16string_view kRunOptionsHelp;
