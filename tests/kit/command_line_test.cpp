// The kit's arguments: what each command accepts, and bad usage refused with a reason.
#include "kit/command_line.h"

#include <gtest/gtest.h>

#include "platform/utf.h"

namespace kit {
namespace {

std::optional<Command> Parse(std::initializer_list<std::u16string> args) {
  std::string error;
  std::optional<Command> command = ParseCommandLine(args, error);
  EXPECT_EQ(command.has_value(), error.empty()) << error;
  return command;
}

TEST(CommandLine, CheckAndPreviewWithTheirOptions) {
  const std::optional<Command> check = Parse({u"check", u"vendor", u"--json", u"--online"});
  ASSERT_TRUE(check);
  EXPECT_EQ(check->kind, Command::Kind::Check);
  EXPECT_EQ(check->input, u"vendor");
  EXPECT_TRUE(check->json);
  EXPECT_TRUE(check->online);

  const std::optional<Command> preview =
      Parse({u"preview", u"vendor", u"--scale", u"1.5", u"--out", u"pics", u"--lang", u"pt-BR"});
  ASSERT_TRUE(preview);
  EXPECT_EQ(preview->kind, Command::Kind::Preview);
  EXPECT_EQ(preview->out, u"pics");
  EXPECT_EQ(preview->scale, 1.5);
  EXPECT_EQ(preview->language, u"pt-BR");
  EXPECT_FALSE(preview->highContrast);
  EXPECT_TRUE(Parse({u"preview", u"vendor", u"--out", u"pics", u"--high-contrast"})->highContrast);
}

TEST(CommandLine, BadUsageIsRefused) {
  const std::initializer_list<std::u16string> bad[] = {
      {},
      {u"check"},
      {u"verify", u"vendor"},
      {u"check", u"vendor", u"--out", u"pics"},  // an option of the other command
      {u"preview", u"vendor"},                   // no --out
      {u"preview", u"vendor", u"--out"},
      {u"preview", u"vendor", u"--out", u"pics", u"--scale", u"3"},
      {u"check", u"vendor", u"extra"},
      {u"preview", u"vendor", u"--out", u"pics", u"--lang"},
      {u"preview", u"vendor", u"--out", u"pics", u"--lang", u""},
      {u"check", u"vendor", u"--lang", u"de"},
      {u"check", u"vendor", u"--high-contrast"},
  };
  for (const auto& args : bad) {
    std::string error;
    EXPECT_FALSE(ParseCommandLine(args, error)) << args.size();
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace kit
