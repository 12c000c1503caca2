#include "startup/command_line.h"

#include <gtest/gtest.h>

#include "startup/engine_caption.h"

namespace bw {
namespace {

TEST(CommandLine, SilentAndUpdateSwitchesTakeEitherPrefixAndAnyCase) {
  struct SwitchCase {
    std::vector<std::string> arguments;
    bool silent;
    bool noStartupForms;
  };
  const SwitchCase cases[] = {
      {{"/s"}, true, false},        {{"-S"}, true, false},           {{"/QN"}, true, false},
      {{"-qn"}, true, false},       {{"s"}, false, false},           {{"/silent"}, false, false},
      {{"/sx"}, false, false},      {{"/update"}, false, true},      {{"-UpdateSetup"}, false, true},
      {{"/updates"}, false, false}, {{"/s", "/update"}, true, true}, {{}, false, false},
  };
  for (const SwitchCase& c : cases) {
    const CommandLineOptions options = ParseCommandLine(c.arguments);
    EXPECT_EQ(options.silent, c.silent) << testing::PrintToString(c.arguments);
    EXPECT_EQ(options.noStartupForms, c.noStartupForms) << testing::PrintToString(c.arguments);
  }
}

TEST(CommandLine, ValueSwitchesAreLowerCasedAndTheFirstMatchWins) {
  const CommandLineOptions options =
      ParseCommandLine({"/L=C:\\Logs\\Setup.LOG", "-l=second.log", "/G=\\\\Server\\Policy\\x.msi",
                        "/M=D:\\Sfx\\Pack.EXE", "-P=E:\\Sources"});
  EXPECT_EQ(options.logPath, "c:\\logs\\setup.log");
  EXPECT_EQ(options.gpoPath, "\\\\server\\policy\\x.msi");
  EXPECT_EQ(options.sfxPath, "d:\\sfx\\pack.exe");
  EXPECT_EQ(options.sourcesFolder, "e:\\sources");
  // "/g=" and "/m=" have no "-" form.
  const CommandLineOptions dashes = ParseCommandLine({"-g=a", "-m=b"});
  EXPECT_EQ(dashes.gpoPath, "");
  EXPECT_EQ(dashes.sfxPath, "");
  // The switch may stand anywhere in the argument; the value still drops the first three characters.
  EXPECT_EQ(ParseCommandLine({"xx/l=abc"}).logPath, "l=abc");
}

TEST(CommandLine, OverridesAreNameValueArgumentsWithoutAPrefix) {
  const CommandLineOptions options =
      ParseCommandLine({"TargetDir=D:\\App", "/TARGETDIR=X", "-a=b", "EMPTY=", "a=b=c", "=v", "plain"});
  const std::vector<std::pair<std::string, std::string>> expected{
      {"TARGETDIR", "D:\\App"}, {"EMPTY", ""}, {"A", "b=c"}, {"", "v"}};
  EXPECT_EQ(options.overrides, expected);
}

TEST(CommandLine, CommandLineTextDropsTheExecutablePath) {
  struct TextCase {
    const char* raw;
    const char* text;
  };
  const TextCase cases[] = {
      {"\"C:\\Setup Files\\setup.exe\" /s A=1", "/s A=1"},
      {"\"C:\\Setup Files\\setup.exe\"", ""},
      {"\"C:\\setup.exe\"x/s", "/s"},
      {"C:\\setup.exe /s  A=1", "/s  A=1"},
      {"setup.exe", ""},
      {"", ""},
      {"\"unclosed", ""},
  };
  for (const TextCase& c : cases) EXPECT_EQ(CommandLineText(c.raw), c.text) << c.raw;
}

TEST(EngineCaption, FollowsTitleAndLogoSwitch) {
  EXPECT_EQ(EngineCaption("My App", ""), "My App - Brightwarden Wizard");
  EXPECT_EQ(EngineCaption("", "FALSE"), "Brightwarden Wizard");
  EXPECT_EQ(EngineCaption("My App", "TRUE"), "My App");
  EXPECT_EQ(EngineCaption("My App", "true"), "My App - Brightwarden Wizard");
}

}  // namespace
}  // namespace bw
