#pragma once
// A setup project: the hand-written text form of an embedded setup script
// (see docs/project-format.md), and its conversions to and from the script's
// nineteen items.
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/script_items.h"

namespace bw::authoring {

// A fault in a project, with the line it was found on (0 when it belongs to no line).
class ProjectError : public std::runtime_error {
 public:
  ProjectError(std::size_t line, const std::string& message)
      : std::runtime_error(line ? "line " + std::to_string(line) + ": " + message : message), line_(line) {}
  std::size_t line() const { return line_; }

 private:
  std::size_t line_;
};

struct ProjectCommand {
  std::size_t line = 0;  // the line of its "command" keyword
  std::string name;
  std::optional<std::string> id;
  std::string block;
  std::optional<std::string> flag;
  bool disabled = false;
  std::vector<std::string> parameters;
};

// A project as read: the script items other than the four command lists and
// the parameter section, which come from the commands.
struct Project {
  ScriptItems items;
  std::vector<ProjectCommand> commands;
  // Files and folders for the setup resource archive, relative to the
  // project file's folder.
  std::vector<std::string> supportPaths;
  bool hasProductCode = false;
  bool hasRevisionCode = false;
  // The line after which generated top-level lines go: after leading comments.
  std::size_t headerEnd = 0;
};

// Reads project text (lines end with LF or CR LF). Throws ProjectError.
Project ParseProject(const std::string& text);

// What compiling changed in the project: lines to insert into its text so
// that the next build gives the same script.
struct Insertion {
  std::size_t afterLine;  // 0: before the first line
  std::string text;
};

// The script items of a project. Commands without an id, and a project
// without a product or revision code, get new GUIDs; each is returned as an
// insertion for the project file. Throws ProjectError.
ScriptItems CompileProject(const Project& project, std::vector<Insertion>& insertions);

// Project text that compiles to exactly these items. Throws ProjectError when
// the items cannot be written as a project (for a script made elsewhere).
std::string DumpProject(const ScriptItems& items);

// The project text with the insertions made, keeping its line ends.
std::string ApplyInsertions(const std::string& text, const std::vector<Insertion>& insertions);

// A new random GUID in registry form with upper-case digits.
std::string NewGuid();

}  // namespace bw::authoring
