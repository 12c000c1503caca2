#pragma once
// The loaded setup script: read-only after loading, owned by start-up for the
// whole run.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ansi_case.h"
#include "script_items.h"

namespace bw {

// A list of parameter lines with a lookup from a line, compared ignoring case,
// to the highest position at which it occurs.
class ParameterSection {
 public:
  explicit ParameterSection(std::vector<std::string> lines);

  const std::vector<std::string>& Lines() const { return lines_; }
  // The highest position of a line equal to text ignoring case, or -1.
  std::ptrdiff_t HighestPosition(std::string_view text) const;

 private:
  std::vector<std::string> lines_;
  std::unordered_map<std::string, std::size_t, AnsiCaseInsensitiveHash, AnsiCaseInsensitiveEqual> highest_;
};

class ScriptPackage {
 public:
  // Builds the package from the appended script bytes. Throws MalformedScript.
  static ScriptPackage Load(std::string_view data);

  std::vector<std::string> CommandNames, CommandIds, CommandFlags, CommandBlocks;
  std::vector<ParameterSection> ParameterSections;
  std::string ProductCode, Title, Publisher, Contact, HelpLink, UpdateInfoLink, Comments, Version, RevisionCode,
      DefaultLanguage;
  std::int32_t BuildMode = 0;
  bool AskLanguage = false;
  std::vector<std::string> PlugInCommands, WebBlockKeys, ComponentSizes, MediaFiles, CommandHeaders, BuildVariables;

  std::size_t CommandCount() const { return CommandNames.size(); }
  // Name, id, flag and block line of a command; a missing line reads as empty.
  const std::string& CommandName(std::size_t index) const { return LineOrEmpty(CommandNames, index); }
  const std::string& CommandId(std::size_t index) const { return LineOrEmpty(CommandIds, index); }
  const std::string& CommandFlag(std::size_t index) const { return LineOrEmpty(CommandFlags, index); }
  const std::string& CommandBlock(std::size_t index) const { return LineOrEmpty(CommandBlocks, index); }

  // Parameter n of the command with this id: the line n places after the id
  // line's highest position in the first section that holds the id; the empty
  // text when no section holds it. Parameter 0 is the id line itself. Throws
  // std::out_of_range when the line would lie past the end of the section.
  std::string Parameter(std::string_view commandId, std::size_t n) const;
};

// Restores parameter lines that stand for a lone "$": every line equal to
// "$WILD_DOLLAR$" or "$DOLLAR$" ignoring case becomes "$".
void RestoreDollarLines(std::vector<std::string>& lines);

}  // namespace bw
