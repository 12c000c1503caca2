#pragma once
// The engine's command line: switches, value switches and NAME=VALUE overrides.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bw {

struct CommandLineOptions {
  bool silent = false;          // "/s" or "/qn", after "/" or "-", any letter case
  bool noStartupForms = false;  // "/update" or "/updatesetup": no splash, no preparing form
  std::string logPath;          // "/l=" or "-l=": lower-cased, like every value switch
  std::string gpoPath;          // "/g="
  std::string sfxPath;          // "/m="
  std::string sourcesFolder;    // "/p=" or "-p="
  // NAME (upper-cased) and VALUE (as written) of every NAME=VALUE argument, in order.
  std::vector<std::pair<std::string, std::string>> overrides;
};

// Reads the process arguments (without the program's own path).
CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments);

// The raw command line without the executable's path (the script's CMDLINE).
std::string CommandLineText(std::string_view rawCommandLine);

}  // namespace bw
