#pragma once
// Builds setups with bwbuild and runs them under Wine through bwlaunch.
#include <filesystem>
#include <string>
#include <vector>

namespace bw::e2e {

// A fresh folder for one test, removed afterwards.
class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The Windows form of a Unix path (Wine's drive Z: is the root).
std::string WinePath(const std::filesystem::path& path);

// Runs bwbuild with the arguments; returns its exit status and fills output
// with what it printed (both streams).
int RunBwbuild(const std::vector<std::string>& arguments, std::string* output = nullptr);

// Writes the project text to folder/name.bwproj and builds folder/name.exe.
std::filesystem::path BuildSetup(const std::filesystem::path& folder, const std::string& name,
                                 const std::string& project);

std::filesystem::path EngineStub();

struct EngineRun {
  long long exitCode = -1;         // -1: the program did not end (timeout) or did not start
  std::vector<std::string> boxes;  // "CAPTION | TEXT" of every message box shown
  std::string output;              // everything bwlaunch printed
};

// Runs program with the arguments (Windows quoting applies) with its own
// temporary folder folder/temp, answering message boxes with OK.
EngineRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                     const std::filesystem::path& temporaryFolder);

// The same with the process's command line exactly as given (the program is
// its first part).
EngineRun RunCommandLine(const std::string& commandLine, const std::filesystem::path& temporaryFolder);

// A run log written as UTF-16LE, as ASCII text (it only holds ASCII tags).
std::string ReadUtf16Log(const std::filesystem::path& path);

}  // namespace bw::e2e
