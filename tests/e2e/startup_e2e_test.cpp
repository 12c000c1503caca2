// The engine executable under Wine: finding, loading and refusing its script.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>

#include "authoring/setup_file.h"
#include "engine_harness.h"
#include "startup/stub_size.h"

namespace bw::e2e {
namespace {

namespace fs = std::filesystem;

constexpr char kProject[] =
    "title Example\n"
    "product-code {AAAAAAAA-0000-0000-0000-000000000001}\n"
    "revision-code {AAAAAAAA-0000-0000-0000-000000000002}\n"
    "component KVOR-PREDEF-COMPONENT 0\n"
    "command Set Variable\n"
    "  id {0D3E8666-30AA-4D6A-9AFC-041AF62235E3}\n"
    "  param GREETING$KVOR$KVOR$FALSE\n"
    "  param Hello\n"
    "command Comment\n"
    "  id {0D3E8666-30AA-4D6A-9AFC-041AF62235E4}\n";

const char* const kCompleteRunLogTags[] = {"<Brightwarden>",
                                           "  <SetupSplash>",
                                           "    <StubSize>",
                                           "    </StubSize>",
                                           "    <StubData>",
                                           "    </StubData>",
                                           "    <GlobalLists>",
                                           "    </GlobalLists>",
                                           "    <SupportDir>",
                                           "    </SupportDir>",
                                           "    <ExtractArchive>",
                                           "    </ExtractArchive>",
                                           "    <ExtractResource>",
                                           "    </ExtractResource>",
                                           "    <ResourcePath>",
                                           "    </ResourcePath>",
                                           "    <Dialogs>",
                                           "    </Dialogs>",
                                           "  </SetupSplash>",
                                           "  <RunScript>",
                                           "    <Variables>",
                                           "    </Variables>",
                                           "    <CompileScript>",
                                           "    </CompileScript>",
                                           "    <BootStrap>",
                                           "    </BootStrap>",
                                           "    <kvor>",
                                           "    </kvor>",
                                           "    <ExitScript>",
                                           "    </ExitScript>",
                                           "  </RunScript>",
                                           "  <Free>",
                                           "  </Free>",
                                           "  <CachedSupportDir>",
                                           "  </CachedSupportDir>",
                                           "</Brightwarden>"};

std::string LogText(std::span<const char* const> tags) {
  std::string text;
  for (const char* tag : tags) text += std::string(tag) + "\r\n";
  return text;
}

std::vector<std::string> Files(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

TEST(EngineStub, IsStrippedSoItsFileSizeIsItsStubSize) {
  const std::string bytes = authoring::ReadFile(EngineStub().string());
  const auto stubSize =
      StubSizeFromHeaders(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  ASSERT_TRUE(stubSize);
  EXPECT_EQ(*stubSize, bytes.size());
}

TEST(EngineStub, WithoutAScriptEndsWith13AndSaysSoOnlyInteractively) {
  TestFolder folder;
  const EngineRun silent = RunProgram(EngineStub(), {"/S"}, folder.path() / "temp");
  EXPECT_EQ(silent.exitCode, 13) << silent.output;
  EXPECT_TRUE(silent.boxes.empty()) << silent.output;
  // Recognised before anything is written to the temporary folder.
  EXPECT_TRUE(Files(folder.path() / "temp").empty());

  const EngineRun interactive = RunProgram(EngineStub(), {}, folder.path() / "temp");
  EXPECT_EQ(interactive.exitCode, 13) << interactive.output;
  EXPECT_EQ(interactive.boxes, std::vector<std::string>{"Brightwarden Wizard | For internal use only"});
}

TEST(BuiltSetup, FindsParsesAndRunsItsScriptAndLeavesNoTemporaryCopy) {
  TestFolder folder;
  const fs::path setup = BuildSetup(folder.path(), "setup", kProject);
  // The log switch's value is lower-cased: "Run.LOG" becomes "run.log".
  const EngineRun run = RunProgram(setup, {"-qn", "/L=" + WinePath(folder.path() / "Run.LOG")}, folder.path() / "temp");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_EQ(ReadUtf16Log(folder.path() / "run.log"), LogText(kCompleteRunLogTags));
  EXPECT_TRUE(Files(folder.path() / "temp").empty());

  const EngineRun interactive = RunProgram(setup, {}, folder.path() / "temp");
  EXPECT_EQ(interactive.exitCode, 0) << interactive.output;
  EXPECT_TRUE(interactive.boxes.empty()) << interactive.output;
}

// The engine messages follow the language file appended to the archive
// library; a library without one keeps the English texts.
TEST(BuiltSetup, EngineMessagesComeFromTheLanguageFileBehindTheArchiveLibrary) {
  TestFolder folder;
  const fs::path setup =
      BuildSetup(folder.path(), "lang", "title Lang\ncommand Terminate with Exit Code\n  param abc\n");
  const std::string englishBox =
      "Lang - Brightwarden Wizard | Runtime error in setup script:\r\rLine 1: 'abc' is not a valid integer value";
  EXPECT_EQ(RunProgram(setup, {}, folder.path() / "temp").boxes, std::vector<std::string>{englishBox});

  const fs::path library = folder.path() / "qor.lib";
  const std::string archiveLibrary = authoring::ReadFile(library.string());
  std::string block;
  for (int line = 1; line <= 115; ++line) {
    block += (line == 20 ? std::string("Laufzeitfehler im Setup-Skript:") : "text " + std::to_string(line)) + "\r\n";
  }
  authoring::WriteFile(library.string(), archiveLibrary + block);
  EXPECT_EQ(RunProgram(setup, {}, folder.path() / "temp").boxes,
            std::vector<std::string>{
                "Lang - Brightwarden Wizard | Laufzeitfehler im Setup-Skript:\r\rLine 1: 'abc' is not a valid "
                "integer value"});
  // The language file is read where it lies; the support folder is gone.
  EXPECT_TRUE(Files(folder.path() / "temp").empty());
}

struct StageCase {
  const char* name;
  std::function<void(const fs::path& setup)> damage;
  long long exitCode;
  const char* message;
  const char* lastTag;
};

// A failing stage ends the process at once with its code: its message only
// in an interactive run, the log ending at the stage's opening tag, and the
// support folder (made before the stage) left behind.
TEST(BuiltSetup, AFailingStageEndsWithItsExitCode) {
  const StageCase cases[] = {
      {"no resource archive", [](const fs::path& setup) { fs::remove(fs::path(setup).replace_extension(".res")); }, 14,
       "Setup resource not found", "    <ExtractArchive>"},
      {"damaged resource archive",
       [](const fs::path& setup) {
         authoring::WriteFile(fs::path(setup).replace_extension(".res").string(), "7z but not really");
       },
       15, "Setup resource decompression failure", "    <ExtractArchive>"},
      {"no database", [](const fs::path& setup) { fs::remove(fs::path(setup).replace_extension(".msi")); }, 16,
       "Setup database not found", "    <ExtractResource>"},
  };
  for (const StageCase& c : cases) {
    TestFolder folder;
    const fs::path setup = BuildSetup(folder.path(), "stage", kProject);
    c.damage(setup);
    const EngineRun silent =
        RunProgram(setup, {"/s", "/l=" + WinePath(folder.path() / "stage.log")}, folder.path() / "temp");
    EXPECT_EQ(silent.exitCode, c.exitCode) << c.name << silent.output;
    EXPECT_TRUE(silent.boxes.empty()) << c.name;
    const std::string log = ReadUtf16Log(folder.path() / "stage.log");
    EXPECT_TRUE(log.ends_with("    </SupportDir>\r\n" + std::string(c.lastTag) + "\r\n") ||
                log.ends_with(std::string("    </ExtractArchive>\r\n") + c.lastTag + "\r\n"))
        << c.name << "\n"
        << log;
    EXPECT_EQ(Files(folder.path() / "temp"), std::vector<std::string>{"qor1"}) << c.name;

    const EngineRun interactive = RunProgram(setup, {}, folder.path() / "temp");
    EXPECT_EQ(interactive.exitCode, c.exitCode) << c.name;
    EXPECT_EQ(interactive.boxes, std::vector<std::string>{std::string("Example - Brightwarden Wizard | ") + c.message})
        << c.name;
  }
}

// Any other failure while loading shows "Runtime error in install: " and ends
// with 11 after the clean-up: here the temporary copy of the script cannot be
// written over a folder of its name.
TEST(BuiltSetup, AnErrorWhileLoadingEndsWith11AfterTheCleanUp) {
  TestFolder folder;
  const fs::path setup = BuildSetup(folder.path(), "setup", kProject);
  fs::create_directories(folder.path() / "temp" / "qor.tmp");
  const EngineRun silent =
      RunProgram(setup, {"/s", "/l=" + WinePath(folder.path() / "eleven.log")}, folder.path() / "temp");
  EXPECT_EQ(silent.exitCode, 11) << silent.output;
  EXPECT_TRUE(ReadUtf16Log(folder.path() / "eleven.log")
                  .ends_with("    <StubData>\r\n  <CachedSupportDir>\r\n  </CachedSupportDir>\r\n</Brightwarden>\r\n"));
  const EngineRun interactive = RunProgram(setup, {}, folder.path() / "temp");
  EXPECT_EQ(interactive.exitCode, 11);
  ASSERT_EQ(interactive.boxes.size(), 1u) << interactive.output;
  EXPECT_TRUE(interactive.boxes[0].starts_with("Brightwarden Wizard | Runtime error in install: cannot write "))
      << interactive.boxes[0];
}

// The support folder is the first qorN the creation finds free (a file of
// that name counts as taken), holds the resource archive's files during the
// run, and is gone afterwards.
TEST(BuiltSetup, TheSupportFolderIsTheFirstFreeNumberAndIsRemovedAfterTheRun) {
  TestFolder folder;
  fs::create_directories(folder.path() / "supportfiles" / "docs");
  authoring::WriteFile((folder.path() / "supportfiles" / "docs" / "readme.txt").string(), "read me\n");
  const fs::path setup = BuildSetup(folder.path(), "numbered",
                                    "support supportfiles/docs\n"
                                    "command Set Variable\n  param CODE\n  param 1\n"
                                    "command If\n  param SUPPORTDIR\n  param 3\n  param \\QOR3\\\n  param FALSE\n"
                                    "command Set Variable\n  param CODE\n  param 3\n"
                                    "command End\n"
                                    "command Terminate with Exit Code\n  param $CODE$\n");
  fs::create_directories(folder.path() / "temp" / "qor1");
  authoring::WriteFile((folder.path() / "temp" / "qor2").string(), "a file, not a folder");
  EXPECT_EQ(RunProgram(setup, {"/s"}, folder.path() / "temp").exitCode, 3);
  std::vector<std::string> left = Files(folder.path() / "temp");
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"qor1", "qor2"}));
}

// CMDLINE is the raw command line without the program, however it is quoted.
TEST(BuiltSetup, CmdlineIsTheCommandLineWithoutTheProgram) {
  TestFolder folder;
  const fs::path setup = BuildSetup(folder.path(), "cmd line",
                                    "command Set Variable\n  param CODE\n  param 1\n"
                                    "command If\n  param CMDLINE\n  param 0\n  param /s x=\"a b\"\n  param FALSE\n"
                                    "command Set Variable\n  param CODE\n  param 2\n"
                                    "command Else If\n  param CMDLINE\n  param 0\n  param \"\"\n  param FALSE\n"
                                    "command Set Variable\n  param CODE\n  param 0\n"
                                    "command End\n"
                                    "command Terminate with Exit Code\n  param $CODE$\n");
  const std::string program = "\"" + WinePath(setup) + "\"";
  EXPECT_EQ(RunCommandLine(program + " /s x=\"a b\"", folder.path() / "temp").exitCode, 2);
  // The quoted path alone: nothing is left, not even the character after it.
  EXPECT_EQ(RunCommandLine(program, folder.path() / "temp").exitCode, 0);
}

TEST(BuiltSetup, ADamagedScriptEndsWith11AndNamesTheDamage) {
  TestFolder folder;
  const fs::path setup = BuildSetup(folder.path(), "setup", kProject);
  const std::string bytes = authoring::ReadFile(setup.string());
  const std::string stub = authoring::StubOf(bytes, setup.string());
  struct DamageCase {
    const char* name;
    std::string script;
    const char* message;
  };
  const DamageCase cases[] = {
      {"cut", authoring::ScriptOf(bytes, setup.string()).substr(0, 200),
       "Runtime error in install: the setup script ends after line "},
      {"open-list", "Set Variable\r\nEnd\r\n",
       "Runtime error in install: the setup script ends after line 2, "
       "inside the command names, before its closing \"$\" line"},
  };
  for (const DamageCase& c : cases) {
    const fs::path damaged = folder.path() / (std::string(c.name) + ".exe");
    authoring::WriteFile(damaged.string(), stub + c.script);
    const EngineRun silent = RunProgram(
        damaged, {"/s", "/l=" + WinePath(folder.path() / (std::string(c.name) + ".log"))}, folder.path() / "temp");
    EXPECT_EQ(silent.exitCode, 11) << c.name << silent.output;
    EXPECT_TRUE(silent.boxes.empty()) << c.name;
    const char* const tags[] = {"<Brightwarden>",        "  <SetupSplash>", "    <StubSize>",    "    </StubSize>",
                                "    <StubData>",        "    </StubData>", "    <GlobalLists>", "  <CachedSupportDir>",
                                "  </CachedSupportDir>", "</Brightwarden>"};
    EXPECT_EQ(ReadUtf16Log(folder.path() / (std::string(c.name) + ".log")), LogText(tags)) << c.name;

    const EngineRun interactive = RunProgram(damaged, {}, folder.path() / "temp");
    EXPECT_EQ(interactive.exitCode, 11) << c.name;
    ASSERT_EQ(interactive.boxes.size(), 1u) << c.name << interactive.output;
    EXPECT_EQ(interactive.boxes[0].rfind(std::string("Brightwarden Wizard | ") + c.message, 0), 0u)
        << interactive.boxes[0];
  }
  EXPECT_TRUE(Files(folder.path() / "temp").empty());
}

TEST(Bwbuild, RoundTripThroughDumpIsByteIdentical) {
  TestFolder folder;
  const fs::path first = BuildSetup(folder.path(), "first", kProject);
  const fs::path dumped = folder.path() / "dumped.bwproj";
  std::string output;
  ASSERT_EQ(RunBwbuild({"dump", first.string(), "-o", dumped.string()}, &output), 0) << output;
  const fs::path second = folder.path() / "second.exe";
  ASSERT_EQ(RunBwbuild({"build", dumped.string(), "-o", second.string(), "--stub", EngineStub().string()}, &output), 0)
      << output;
  EXPECT_EQ(authoring::ReadFile(first.string()), authoring::ReadFile(second.string()));
  // A setup serves as a stub too: only its engine image is taken.
  const fs::path third = folder.path() / "third.exe";
  ASSERT_EQ(RunBwbuild({"build", dumped.string(), "-o", third.string(), "--stub", first.string()}, &output), 0);
  EXPECT_EQ(authoring::ReadFile(first.string()), authoring::ReadFile(third.string()));
}

TEST(Bwbuild, RefusesBadInputWithoutWritingASetup) {
  TestFolder folder;
  const fs::path project = folder.path() / "bad.bwproj";
  std::ofstream(project) << "title A\ncommand X\n  id {AAAAAAAA-0000-0000-0000-000000000001}\n"
                            "command Y\n  id {AAAAAAAA-0000-0000-0000-000000000001}\n";
  std::string output;
  EXPECT_EQ(RunBwbuild({"build", project.string(), "-o", (folder.path() / "bad.exe").string(), "--stub",
                        EngineStub().string()},
                       &output),
            1);
  EXPECT_NE(output.find("line 4: the id {AAAAAAAA-0000-0000-0000-000000000001} is already"), std::string::npos)
      << output;
  EXPECT_FALSE(fs::exists(folder.path() / "bad.exe"));
  EXPECT_EQ(RunBwbuild({"dump", EngineStub().string()}, &output), 1);
  EXPECT_NE(output.find("holds no setup script"), std::string::npos) << output;
  EXPECT_EQ(RunBwbuild({"build", project.string()}, &output), 2);  // no output named
}

}  // namespace
}  // namespace bw::e2e
