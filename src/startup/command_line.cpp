#include "command_line.h"

#include <array>

#include "engine/ansi_case.h"

namespace bw {

namespace {

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool IsSwitch(std::string_view lowerArgument, std::string_view name) {
  return lowerArgument.size() == name.size() + 1 && (lowerArgument[0] == '/' || lowerArgument[0] == '-') &&
         lowerArgument.substr(1) == name;
}

struct ValueSwitch {
  std::array<std::string_view, 2> texts;  // an empty text matches nothing
  std::string CommandLineOptions::*value;
};

// Each value switch matches an argument that contains its text anywhere; the
// value is the lower-cased argument without its first three characters.
constexpr std::array<ValueSwitch, 4> kValueSwitches{{
    {{"/l=", "-l="}, &CommandLineOptions::logPath},
    {{"/g=", ""}, &CommandLineOptions::gpoPath},
    {{"/m=", ""}, &CommandLineOptions::sfxPath},
    {{"/p=", "-p="}, &CommandLineOptions::sourcesFolder},
}};

}  // namespace

CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLineOptions options;
  std::array<bool, kValueSwitches.size()> matched{};
  for (const std::string& argument : arguments) {
    const std::string lower = AsciiLower(argument);
    if (IsSwitch(lower, "s") || IsSwitch(lower, "qn")) options.silent = true;
    if (IsSwitch(lower, "update") || IsSwitch(lower, "updatesetup")) options.noStartupForms = true;
    for (std::size_t i = 0; i < kValueSwitches.size(); ++i) {
      if (matched[i]) continue;
      for (std::string_view text : kValueSwitches[i].texts) {
        if (!text.empty() && lower.find(text) != std::string::npos) {
          options.*kValueSwitches[i].value = lower.substr(std::min<std::size_t>(3, lower.size()));
          matched[i] = true;
          break;
        }
      }
    }
    const std::size_t equals = argument.find('=');
    if (!argument.empty() && argument[0] != '/' && argument[0] != '-' && equals != std::string::npos) {
      options.overrides.emplace_back(AnsiUpper(std::string_view(argument).substr(0, equals)),
                                     argument.substr(equals + 1));
    }
  }
  return options;
}

std::string CommandLineText(std::string_view rawCommandLine) {
  if (!rawCommandLine.empty() && rawCommandLine[0] == '"') {
    const std::size_t closing = rawCommandLine.find('"', 1);
    if (closing == std::string_view::npos) return {};
    // The closing quote and the one character after it (normally a blank).
    const std::size_t rest = closing + 2;
    return rest >= rawCommandLine.size() ? std::string() : std::string(rawCommandLine.substr(rest));
  }
  const std::size_t blank = rawCommandLine.find(' ');
  return blank == std::string_view::npos ? std::string() : std::string(rawCommandLine.substr(blank + 1));
}

}  // namespace bw
