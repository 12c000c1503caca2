// bwlaunch: the test launcher for Windows programs under Wine.
//
//   bwlaunch [--temp DIR] [--cwd DIR] [--timeout-ms N] [--press ID]
//            (--raw "COMMAND LINE" | PROGRAM [ARGUMENTS...])
//
// Starts the program with CreateProcess, with TEMP and TMP set to DIR when
// given (so tests do not share the prefix's temporary folder), and with the
// command line exactly as given by --raw (Wine would rebuild it from argv).
// Every message box the program shows is reported on standard output as
//   box: CAPTION | TEXT
// and answered with the button ID (default 1, OK). When the program ends:
//   exit: CODE
// with the full 32-bit exit code (a Unix exit status keeps only 8 bits).
// Exit status: 0 when the program ended, 3 when it was ended after the
// timeout, 2 on a usage error, 4 when it could not be started.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

struct BoxSearch {
  DWORD processId;
  std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (owner == search->processId && std::string(className) == "#32770" && IsWindowVisible(window)) {
    search->boxes.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticTexts(HWND window, LPARAM context) {
  auto* texts = reinterpret_cast<std::string*>(context);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) == "Static") {
    char text[4096] = {};
    GetWindowTextA(window, text, sizeof text);
    if (text[0] != '\0') {
      if (!texts->empty()) *texts += " | ";
      *texts += text;
    }
  }
  return TRUE;
}

void ReportAndAnswer(HWND box, int button) {
  char caption[1024] = {};
  GetWindowTextA(box, caption, sizeof caption);
  std::string texts;
  EnumChildWindows(box, CollectStaticTexts, reinterpret_cast<LPARAM>(&texts));
  std::printf("box: %s | %s\n", caption, texts.c_str());
  std::fflush(stdout);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

}  // namespace

int main(int argc, char** argv) {
  std::string temp, cwd, commandLine;
  DWORD timeoutMs = 60000;
  int button = IDOK;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--temp" && i + 1 < argc)
      temp = argv[++i];
    else if (argument == "--cwd" && i + 1 < argc)
      cwd = argv[++i];
    else if (argument == "--timeout-ms" && i + 1 < argc)
      timeoutMs = std::strtoul(argv[++i], nullptr, 10);
    else if (argument == "--press" && i + 1 < argc)
      button = std::atoi(argv[++i]);
    else if (argument == "--raw" && i + 1 < argc)
      commandLine = argv[++i];
    else
      break;
  }
  for (; i < argc; ++i) {
    if (!commandLine.empty()) commandLine += ' ';
    commandLine += QuoteArgument(argv[i]);
  }
  if (commandLine.empty()) {
    std::fprintf(stderr,
                 "usage: bwlaunch [--temp DIR] [--cwd DIR] [--timeout-ms N] [--press ID] "
                 "(--raw \"COMMAND LINE\" | PROGRAM [ARGUMENTS...])\n");
    return 2;
  }
  if (!temp.empty()) {
    CreateDirectoryA(temp.c_str(), nullptr);
    SetEnvironmentVariableA("TEMP", temp.c_str());
    SetEnvironmentVariableA("TMP", temp.c_str());
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      cwd.empty() ? nullptr : cwd.c_str(), &startup, &process)) {
    std::printf("start failed: %lu\n", GetLastError());
    return 4;
  }
  CloseHandle(process.hThread);
  std::set<HWND> answered;
  const DWORD started = GetTickCount();
  while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
    BoxSearch search{process.dwProcessId, {}};
    EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&search));
    for (HWND box : search.boxes) {
      if (answered.insert(box).second) ReportAndAnswer(box, button);
    }
    if (GetTickCount() - started > timeoutMs) {
      TerminateProcess(process.hProcess, 259);
      WaitForSingleObject(process.hProcess, 5000);
      std::printf("timeout\n");
      return 3;
    }
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  std::printf("exit: %lu\n", exitCode);
  return 0;
}
