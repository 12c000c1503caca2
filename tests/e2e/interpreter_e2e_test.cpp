// Setups that run their scripts under Wine: control flow, command-line
// overrides and run-time errors, observed through exit codes, boxes and logs.
#include <gtest/gtest.h>

#include <filesystem>

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
            "Broken - Brightwarden Wizard | Runtime error in setup script:\r\rLine 2: "
            "Attempting to get value of undefined variable NOPE");
}

TEST(ScriptRun, NothingRunsWithoutAnInstallationDatabase) {
  TestFolder folder;
  const fs::path setup = BuildSetup(folder.path(), "nodb", "command Terminate with Exit Code\n  param 5\n");
  EXPECT_EQ(RunProgram(setup, {"/s"}, folder.path() / "temp").exitCode, 5);
  fs::remove(folder.path() / "nodb.msi");
  EXPECT_EQ(RunProgram(setup, {"/s"}, folder.path() / "temp").exitCode, 0);
}

}  // namespace
}  // namespace bw::e2e
