// Setups that run their scripts under Wine: control flow, command-line
// overrides and run-time errors, observed through exit codes, boxes and logs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine_harness.h"

namespace bw::e2e {
namespace {

namespace fs = std::filesystem;

// Counts to 5 in a GoTo loop, takes the middle branch of an If chain, and
// ends with the count times ten plus the branch number as exit code 52.
constexpr char kControlFlow[] =
    "title Control Flow\n"
    "command Set Variable\n  param N\n  param 0\n"
    "command Label\n  param again\n"
    "command Evaluate Later\n  param ignored: unlisted names do nothing\n"
    "command If\n  param N\n  param 0\n  param 5\n  param FALSE\n"
    "command GoTo Label\n  param counted\n"
    "command End\n"
    "command If\n  param N\n  param 0\n  param 4\n  param FALSE\n"
    "command Set Variable\n  param N\n  param 5\n"
    "command Else If\n  param N\n  param 0\n  param 3\n  param FALSE\n"
    "command Set Variable\n  param N\n  param 4\n"
    "command Else If\n  param N\n  param 0\n  param 2\n  param FALSE\n"
    "command Set Variable\n  param N\n  param 3\n"
    "command Else If\n  param N\n  param 0\n  param 1\n  param FALSE\n"
    "command Set Variable\n  param N\n  param 2\n"
    "command Else\n"
    "command Set Variable\n  param N\n  param 1\n"
    "command End\n"
    "command GoTo Label\n  param AGAIN\n"
    "command Label\n  param counted\n"
    "command If\n  param TITLE\n  param 3\n  param flow\n  param FALSE\n"
    "command Set Variable\n  param BRANCH\n  param 2\n"
    "command Else\n"
    "command Set Variable\n  param BRANCH\n  param 9\n"
    "command End\n"
    "command Terminate with Exit Code\n  param $N$$BRANCH$\n"
    "command Terminate with Exit Code\n  param 99\n";

TEST(ScriptRun, ControlFlowDecidesTheExitCode) {
  TestFolder folder;
  const fs::path setup = BuildSetup(folder.path(), "flow", kControlFlow);
  const EngineRun run = RunProgram(setup, {"/s"}, folder.path() / "temp");
  EXPECT_EQ(run.exitCode, 52) << run.output;
}

TEST(ScriptRun, CommandLineValuesWinOnlyInSilentRuns) {
  TestFolder folder;
  const fs::path setup = BuildSetup(folder.path(), "override",
                                    "command Set Variable\n  param CODE\n  param 3\n"
                                    "command Terminate with Exit Code\n  param $CODE$\n");
  EXPECT_EQ(RunProgram(setup, {"/s", "code=7"}, folder.path() / "temp").exitCode, 7);
  EXPECT_EQ(RunProgram(setup, {"code=7"}, folder.path() / "temp").exitCode, 3);
  // A prefixed argument is no override.
  EXPECT_EQ(RunProgram(setup, {"/s", "/CODE=7"}, folder.path() / "temp").exitCode, 3);
}

TEST(ScriptRun, ARunTimeErrorEndsTheRunAndKeepsTheExitCode) {
  TestFolder folder;
  const fs::path setup = BuildSetup(folder.path(), "error",
                                    "title Broken\n"
                                    "command Set Variable\n  param A\n  param 1\n"
                                    // NOPE is written in script order before it is read, which is
                                    // what the preparation pass asks, but never in run order.
                                    "command GoTo Label\n  param skip\n"
                                    "command Set Variable\n  param NOPE\n  param 1\n"
                                    "command Label\n  param skip\n"
                                    "command If\n  param NOPE\n  param 0\n  param 1\n  param FALSE\n"
                                    "command End\n"
                                    "command Terminate with Exit Code\n  param 5\n");
  const EngineRun silent =
      RunProgram(setup, {"/s", "/l=" + WinePath(folder.path() / "error.log")}, folder.path() / "temp");
  EXPECT_EQ(silent.exitCode, 0) << silent.output;
  EXPECT_TRUE(silent.boxes.empty());
  const std::string log = ReadUtf16Log(folder.path() / "error.log");
  EXPECT_NE(log.find("    <kvor>\r\n  </RunScript>\r\n"), std::string::npos) << log;  // no closing lines of the loop

  const EngineRun interactive = RunProgram(setup, {}, folder.path() / "temp");
  EXPECT_EQ(interactive.exitCode, 0);
  ASSERT_EQ(interactive.boxes.size(), 1u) << interactive.output;
  EXPECT_EQ(interactive.boxes[0],
            "Broken - Brightwarden Wizard | Runtime error in setup script:\r\rLine 5: "
            "Attempting to get value of undefined variable NOPE");
}

TEST(ScriptRun, AScriptThatFailsPreparationEndsWith314BeforeAnyCommandRuns) {
  TestFolder folder;
  const fs::path project = folder.path() / "unprepared.bwproj";
  const fs::path setup = folder.path() / "unprepared.exe";
  std::ofstream(project) << "command Terminate with Exit Code\n  param 7\n"
                            "command GoTo Label\n  param nowhere\n";
  // The author hears of it at build time, with the line as the file reads
  // after the generated codes and ids went in; the setup is built all the same.
  std::string output;
  ASSERT_EQ(RunBwbuild({"build", project.string(), "-o", setup.string(), "--stub", EngineStub().string()}, &output), 0)
      << output;
  EXPECT_NE(output.find("warning: " + project.string() +
                        " line 6 (command 1, \"GoTo Label\"): LABEL undefined: "
                        "nowhere\n  the setup will end with exit code 314"),
            std::string::npos)
      << output;
  const EngineRun silent =
      RunProgram(setup, {"/s", "/l=" + WinePath(folder.path() / "unprepared.log")}, folder.path() / "temp");
  EXPECT_EQ(silent.exitCode, 314) << silent.output;
  const std::string log = ReadUtf16Log(folder.path() / "unprepared.log");
  EXPECT_TRUE(log.ends_with("    </Variables>\r\n    <CompileScript>\r\n")) << log;

  const EngineRun interactive = RunProgram(setup, {}, folder.path() / "temp");
  EXPECT_EQ(interactive.exitCode, 314) << interactive.output;
  EXPECT_TRUE(interactive.boxes.empty()) << interactive.output;
}

// Each expression's result picks a digit of the exit code: 1 TRUE, 2 FALSE,
// 3 ERROR. References become quoted operands; a value holding a double quote
// breaks its expression at run time although the check before the run passed.
TEST(ScriptRun, EvaluateExpressionStoresTrueFalseOrError) {
  TestFolder folder;
  std::string project =
      "title Tests\n"
      "command Set Variable\n  param V\n  param abc\n"
      "command Set Variable\n  param QUOTE\n  param a\"b\n"
      "command Set Variable\n  param CODE\n  param 0\n";
  const char* const expressions[] = {
      "$V$ = \"abc\" and $TITLE$<>\"\"",
      "$V$ = \"ABC\" or \"10\" > \"9\"",
      "$QUOTE$ = \"x\"",
  };
  for (const char* expression : expressions) {
    project += std::string("command Evaluate Expression\n  param ") + expression + "\n  param R\n";
    for (const auto& [word, digit] : {std::pair{"TRUE", "1"}, {"FALSE", "2"}, {"ERROR", "3"}}) {
      project += std::string("command If\n  param R\n  param 0\n  param ") + word +
                 "\n  param FALSE\n"
                 "command Set Variable\n  param CODE\n  param $CODE$" +
                 digit + "\ncommand End\n";
    }
  }
  project += "command Terminate with Exit Code\n  param $CODE$\n";
  const fs::path setup = BuildSetup(folder.path(), "expressions", project);
  EXPECT_EQ(RunProgram(setup, {"/s"}, folder.path() / "temp").exitCode, 123);
}

}  // namespace
}  // namespace bw::e2e
