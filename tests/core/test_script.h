#pragma once
// Small scripts for tests, built through the script writer so that they load
// exactly as an appended script does.
#include <string>
#include <vector>

#include "engine/script_package.h"

namespace bw::test {

// A command of a test script. disabled writes it as the authoring tool writes
// a disabled command (named "Comment", flag "C"); flag writes a raw flag line
// under the command's own name.
struct Command {
  std::string name;
  std::vector<std::string> parameters = {};
  bool disabled = false;
  std::string flag = {};
};

// Command i gets the id {00000000-0000-0000-0000-00000000000i}; a command
// without parameters has no parameter lines.
ScriptPackage MakePackage(const std::vector<Command>& commands);

}  // namespace bw::test
