#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>

#include "startup/appended_data.h"
#include "startup/run_log.h"
#include "startup/stub_size.h"

namespace bw {
namespace {

// A fresh folder in the temporary folder for one test.
class TestFolder {
 public:
  TestFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "bw-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter_++) +
            "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TestFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileA((path_ + found.cFileName).c_str());
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
  }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  static inline int counter_ = 0;
  std::string path_;
};

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Utf16(const std::string& ascii) {
  std::string bytes;
  for (char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

TEST(ModuleStubSize, MatchesTheArithmeticOnTheFile) {
  const std::string bytes = Read(ModulePath(nullptr));
  const auto fromFile =
      StubSizeFromHeaders(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  ASSERT_TRUE(fromFile);
  EXPECT_EQ(ModuleStubSize(nullptr), fromFile);
  EXPECT_EQ(ModuleStubSize(GetModuleHandleA("kernel32.dll")).has_value(), true);
}

TEST(ReadAppendedData, DistinguishesNoDataFromDataAndFromATruncatedImage) {
  TestFolder folder;
  Write(folder / "image", std::string(100, 'x') + "script");
  EXPECT_EQ(ReadAppendedData(folder / "image", 106), std::nullopt);
  EXPECT_EQ(ReadAppendedData(folder / "image", 100), std::optional<std::string>("script"));
  EXPECT_THROW(ReadAppendedData(folder / "image", 107), std::runtime_error);
  EXPECT_THROW(ReadAppendedData(folder / "missing", 0), std::runtime_error);
}

TEST(RunLog, WritesUtf16LinesTruncatingOnlyOnTheFirstAndFollowsThePath) {
  TestFolder folder;
  Write(folder / "a.log", "old content");
  std::string path = folder / "a.log";
  RunLog log([&] { return path; });
  log.Write("<Brightwarden>");
  log.Write("  <SetupSplash>");
  EXPECT_EQ(Read(folder / "a.log"), Utf16("<Brightwarden>\r\n  <SetupSplash>\r\n"));
  path = folder / "b.log";  // a script that changes the log path moves the log
  Write(folder / "b.log", Utf16("kept\r\n"));
  log.Write("x");
  EXPECT_EQ(Read(folder / "b.log"), Utf16("kept\r\nx\r\n"));
  path.clear();
  log.Write("nothing");
  EXPECT_EQ(Read(folder / "b.log"), Utf16("kept\r\nx\r\n"));
  path = folder / "no such folder\\c.log";
  EXPECT_NO_THROW(log.Write("lost"));
}

TEST(BuildRunnableSetup, PutsTheRunningEngineInFrontAndKeepsTheScriptAsNox) {
  TestFolder folder;
  const std::string script = folder / "light.txt";
  Write(script, "the script\r\n");
  ASSERT_TRUE(BuildRunnableSetup(script));
  const std::string engine = Read(ModulePath(nullptr));
  const std::size_t stubSize = static_cast<std::size_t>(*ModuleStubSize(nullptr));
  EXPECT_EQ(Read(script), engine.substr(0, stubSize) + "the script\r\n");
  EXPECT_EQ(Read(script + ".nox"), "the script\r\n");
  EXPECT_FALSE(Exists(script + ".to"));

  EXPECT_FALSE(BuildRunnableSetup(folder / "missing.txt"));
  EXPECT_FALSE(Exists(folder / "missing.txt.to"));
}

}  // namespace
}  // namespace bw
