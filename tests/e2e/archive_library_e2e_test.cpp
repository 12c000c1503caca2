// qor.lib under Wine through the engine's binding (tests/support/qorcall):
// archives made by Debian's 7z and hostile ones made by hand.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive_fixture.h"
#include "archive_writer.h"
#include "authoring/setup_file.h"
#include "engine_harness.h"

namespace bw::e2e {
namespace {

namespace fs = std::filesystem;

// Runs qorcall with the arguments; its report without CRs.
std::string QorCall(const std::vector<std::string>& arguments) {
  std::string command = std::string(BW_WINE_RUN) + " '" + (fs::path(BW_WINDOWS_BIN) / "qorcall.exe").string() + "'";
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  while (pipe && fgets(buffer, sizeof buffer, pipe)) output += buffer;
  if (pipe) pclose(pipe);
  std::erase(output, '\r');
  return output;
}

TEST(ArchiveLibrary, ExtractsWhat7zWritesUnderTheTrueNames) {
  const qor::test::SourceTree tree;
  const fs::path archive = tree.MakeArchive("plain", {});
  TestFolder folder;
  EXPECT_EQ(QorCall({"extract", WinePath(archive), WinePath(folder.path() / "out")}), "ok\n");
  // Names the code page lacks are written under their true (UTF-16) names.
  const qor::test::Extracted extracted = qor::test::ExtractWithLibarchive(archive);
  for (const auto& [name, bytes] : extracted.files) {
    EXPECT_TRUE(qor::test::ReadBytes(folder.path() / "out" / name) == bytes) << name;
  }
  for (const std::string& name : extracted.folders) EXPECT_TRUE(fs::is_directory(folder.path() / "out" / name)) << name;
  const std::string listing = QorCall({"list", WinePath(archive)});
  EXPECT_NE(listing.find("entry: sub\\deeper\\code.exe\n"), std::string::npos) << listing;
  EXPECT_TRUE(listing.ends_with("ok\n")) << listing;
}

TEST(ArchiveLibrary, EncryptedArchivesNeedTheRightPassword) {
  const qor::test::SourceTree tree;
  const fs::path archive = tree.MakeArchive("secret", {"-pSesame", "-mhe=on"});
  TestFolder folder;
  const std::string refused = "error: The archive cannot be opened: unsupported archive or incorrect password\n";
  EXPECT_EQ(QorCall({"list", WinePath(archive), "sesame"}), refused);
  EXPECT_EQ(QorCall({"list", WinePath(archive)}), refused);
  EXPECT_EQ(QorCall({"extract", WinePath(archive), WinePath(folder.path() / "out"), "wrong"}), refused);
  EXPECT_EQ(QorCall({"extract", WinePath(archive), WinePath(folder.path() / "out"), "Sesame"}), "ok\n");
  EXPECT_EQ(qor::test::ReadBytes(folder.path() / "out" / "a.txt"), "hello\n");
  // Data encrypted, names not: the listing works, the extraction fails.
  const fs::path dataOnly = tree.MakeArchive("data-only", {"-pSesame"});
  EXPECT_TRUE(QorCall({"list", WinePath(dataOnly)}).ends_with("ok\n"));
  EXPECT_EQ(QorCall({"extract", WinePath(dataOnly), WinePath(folder.path() / "data"), "wrong"}), "error: #1003\n");
}

TEST(ArchiveLibrary, RefusesBadArchivesWithTheirTexts) {
  TestFolder folder;
  const auto write = [&](const std::string& name, const std::string& bytes) {
    authoring::WriteFile((folder.path() / name).string(), bytes);
    return WinePath(folder.path() / name);
  };
  const struct {
    const char* name;
    std::string archive;
    const char* listing;
    const char* extraction;
  } cases[] = {
      {"escaping entry", qor::test::CraftArchive({{u"fine.txt", "fine"}, {u"..\\evil.txt", "evil"}}),
       "error: Illegal path used in a wildcard expression\n", "error: Illegal path used in a wildcard expression\n"},
      {"device name", qor::test::CraftArchive({{u"fine.txt", "fine"}, {u"sub/aux.txt", "x"}}),
       "error: Illegal path used in a wildcard expression\n", "error: Illegal path used in a wildcard expression\n"},
      {"bad CRC", qor::test::CraftArchive({{u"fine.txt", "fine"}, {u"bad.txt", "bad", 1}}),
       "entry: fine.txt\nentry: bad.txt\nok\n", "error: #1003\n"},
      {"not an archive", "plain text",
       "error: The archive cannot be opened: unsupported archive or incorrect password\n",
       "error: The archive cannot be opened: unsupported archive or incorrect password\n"},
  };
  for (const auto& c : cases) {
    const std::string archive = write("bad.7z", c.archive);
    EXPECT_EQ(QorCall({"list", archive}), c.listing) << c.name;
    const fs::path out = folder.path() / "out";
    EXPECT_EQ(QorCall({"extract", archive, WinePath(out)}), c.extraction) << c.name;
    // Refused archives write nothing; a file failing its CRC is removed.
    EXPECT_FALSE(fs::exists(out / "bad.txt")) << c.name;
    EXPECT_FALSE(fs::exists(folder.path() / "evil.txt")) << c.name;
    if (std::string(c.name) != "bad CRC") {
      EXPECT_FALSE(fs::exists(out / "fine.txt")) << c.name;
    }
    fs::remove_all(out);
  }
  EXPECT_EQ(QorCall({"list", WinePath(folder.path() / "missing.7z")}), "error: The archive file was not found\n");
}

}  // namespace
}  // namespace bw::e2e
