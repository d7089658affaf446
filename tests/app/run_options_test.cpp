// The command line: Windows' splitting rules and their inverse, and the switches read from it.
#include "app/run_options.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/windows_arguments.h"

namespace {

using Words = std::vector<std::u16string>;

TEST(WindowsArguments, SplitsAsWindowsProgramsDo) {
  struct Case {
    std::u16string line;
    Words words;
  };
  const Case cases[] = {
      {u"setup.exe", {u"setup.exe"}},
      {u"\"C:\\Program Files\\setup.exe\"  a\tb ", {u"C:\\Program Files\\setup.exe", u"a", u"b"}},
      // The program's path knows no escapes: its backslash before a quote stays.
      {u"\"C:\\dir\\\" x", {u"C:\\dir\\", u"x"}},
      {u"p \"two words\" \"\"", {u"p", u"two words", u""}},
      {u"p a\\\\b a\\\"b \"a\\\\\" c", {u"p", u"a\\\\b", u"a\"b", u"a\\", u"c"}},
      {u"p \"a\"\"b\" \"x\"y", {u"p", u"a\"b", u"xy"}},
      {u"p \\\\\\\"q", {u"p", u"\\\"q"}},
      {u"p \"unclosed quote ", {u"p", u"unclosed quote "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line.begin(), c.line.end()));
    EXPECT_EQ(SplitCommandLine(c.line), c.words);
  }
  EXPECT_EQ(ArgumentsOf(u"\"C:\\a b\\setup.exe\"   /quiet -- \"x y\""), u"/quiet -- \"x y\"");
}

TEST(WindowsArguments, JoinedWordsSplitBackExactly) {
  const Words awkward = {u"plain", u"two words", u"", u"say \"hi\"", u"C:\\dir\\", u"C:\\a b\\",
                         u"back\\\\slashes\\\\\"quoted", u"\\\"", u"tab\there", u"\u00e9t\u00e9"};
  const std::u16string line = JoinCommandLine(awkward);
  Words split = SplitCommandLine(u"p.exe " + line);
  split.erase(split.begin());
  EXPECT_EQ(split, awkward);
  EXPECT_EQ(JoinCommandLine({u"a", u"b c", u"d\\"}), u"a \"b c\" d\\");  // quotes only where needed
}

TEST(RunOptions, CommandLinesAgainstTheirParse) {
  struct Case {
    std::u16string line;
    bool quiet, passive, wait, help;
    std::u16string logPath, installerArguments;
    RunOptions::Problem problem;
    std::u16string problemWord;
  };
  using P = RunOptions::Problem;
  const Case cases[] = {
      {u"i.exe", false, false, false, false, u"", u"", P::None, u""},
      {u"i.exe /quiet /wait", true, false, true, false, u"", u"", P::None, u""},
      {u"i.exe -QUIET -Passive", true, true, false, false, u"", u"", P::None, u""},
      {u"i.exe /log \"C:\\logs\\x y.log\" /passive", false, true, false, false, u"C:\\logs\\x y.log", u"", P::None,
       u""},
      {u"i.exe /? ", false, false, false, true, u"", u"", P::None, u""},
      {u"i.exe -Help /quiet", true, false, false, true, u"", u"", P::None, u""},
      {u"i.exe /quiet -- /S \"D:\\My Apps\\\\\" --", true, false, false, false, u"", u"/S \"D:\\My Apps\\\\\" --",
       P::None, u""},
      {u"i.exe -- ", false, false, false, false, u"", u"", P::None, u""},
      // Everything is read after a problem too, so that /quiet and /log hold wherever they stand.
      {u"i.exe /bogus /quiet /log x.log /nope", true, false, false, false, u"x.log", u"", P::UnknownSwitch,
       u"/bogus"},
      {u"i.exe /log", false, false, false, false, u"", u"", P::MissingValue, u"/log"},
      {u"i.exe /log -- a", false, false, false, false, u"", u"a", P::MissingValue, u"/log"},
      {u"i.exe stray /quiet", true, false, false, false, u"", u"", P::StrayWord, u"stray"},
      {u"i.exe / -", false, false, false, false, u"", u"", P::StrayWord, u"/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line.begin(), c.line.end()));
    const RunOptions options = ParseRunOptions(c.line);
    EXPECT_EQ(options.quiet, c.quiet);
    EXPECT_EQ(options.passive, c.passive);
    EXPECT_EQ(options.wait, c.wait);
    EXPECT_EQ(options.help, c.help);
    EXPECT_EQ(options.logPath, c.logPath);
    EXPECT_EQ(options.installerArguments, c.installerArguments);
    EXPECT_EQ(options.problem, c.problem);
    EXPECT_EQ(options.problemWord, c.problemWord);
  }
}

TEST(RunOptions, LangNamesTheTextsLanguage) {
  EXPECT_EQ(ParseRunOptions(u"i.exe /quiet -LANG pt-BR").language, u"pt-BR");
  EXPECT_EQ(ParseRunOptions(u"i.exe /quiet").language, u"");
  EXPECT_EQ(ParseRunOptions(u"i.exe /lang").problem, RunOptions::Problem::MissingValue);
}

TEST(RunOptions, AProblemIsToldByItsWord) {
  EXPECT_EQ(DescribeCommandLineProblem(ParseRunOptions(u"i.exe /silent")), u"Unknown switch: /silent");
  EXPECT_EQ(DescribeCommandLineProblem(ParseRunOptions(u"i.exe /LOG")), u"Missing value after /LOG");
  EXPECT_EQ(DescribeCommandLineProblem(ParseRunOptions(u"i.exe /quiet")), u"");
}

}  // namespace
