#include "engine_harness.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "authoring/setup_file.h"

namespace bw::e2e {

namespace {

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

int RunCommand(const std::string& command, std::string* output) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("cannot run " + command);
  std::string text;
  std::array<char, 4096> buffer{};
  while (std::size_t read = std::fread(buffer.data(), 1, buffer.size(), pipe)) text.append(buffer.data(), read);
  const int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TestFolder::TestFolder() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() / ("bw-e2e-" + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TestFolder::~TestFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string WinePath(const std::filesystem::path& path) {
  std::string text = "Z:" + std::filesystem::absolute(path).string();
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return text;
}

std::filesystem::path EngineStub() { return std::filesystem::path(BW_WINDOWS_BIN) / "brightwarden.exe"; }

int RunBwbuild(const std::vector<std::string>& arguments, std::string* output) {
  std::string command = ShellQuote(BW_BWBUILD);
  for (const std::string& argument : arguments) command += " " + ShellQuote(argument);
  return RunCommand(command, output);
}

std::filesystem::path BuildSetup(const std::filesystem::path& folder, const std::string& name,
                                 const std::string& project) {
  const std::filesystem::path projectPath = folder / (name + ".bwproj");
  const std::filesystem::path setupPath = folder / (name + ".exe");
  std::ofstream(projectPath, std::ios::binary) << project;
  std::string output;
  if (RunBwbuild({"build", projectPath.string(), "-o", setupPath.string(), "--stub", EngineStub().string()}, &output) !=
      0) {
    throw std::runtime_error("bwbuild failed: " + output);
  }
  return setupPath;
}

namespace {

// Runs bwlaunch with the launch arguments and reads its report.
EngineRun RunLauncher(const std::string& launchArguments, const std::filesystem::path& temporaryFolder) {
  std::filesystem::create_directories(temporaryFolder);
  const std::string command =
      ShellQuote(BW_WINE_RUN) + " " + ShellQuote((std::filesystem::path(BW_WINDOWS_BIN) / "bwlaunch.exe").string()) +
      " --timeout-ms 60000 --temp " + ShellQuote(WinePath(temporaryFolder)) + " " + launchArguments;
  EngineRun run;
  RunCommand(command, &run.output);
  std::istringstream lines(run.output);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("box: ", 0) == 0) run.boxes.push_back(line.substr(5));
    if (line.rfind("exit: ", 0) == 0) run.exitCode = std::stoll(line.substr(6));
  }
  return run;
}

}  // namespace

EngineRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                     const std::filesystem::path& temporaryFolder) {
  std::string launch = ShellQuote(WinePath(program));
  for (const std::string& argument : arguments) launch += " " + ShellQuote(argument);
  return RunLauncher(launch, temporaryFolder);
}

EngineRun RunCommandLine(const std::string& commandLine, const std::filesystem::path& temporaryFolder) {
  return RunLauncher("--raw " + ShellQuote(commandLine), temporaryFolder);
}

std::string ReadUtf16Log(const std::filesystem::path& path) {
  const std::string bytes = authoring::ReadFile(path.string());
  std::string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (bytes[i + 1] != 0) throw std::runtime_error("the log holds a character beyond ASCII");
    text += bytes[i];
  }
  if (bytes.size() % 2 != 0) throw std::runtime_error("the log has an odd number of bytes");
  return text;
}

}  // namespace bw::e2e
