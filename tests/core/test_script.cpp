#include "test_script.h"

#include "engine/script_items.h"

namespace bw::test {

ScriptPackage MakePackage(const std::vector<Command>& commands) {
  ScriptItems items;
  items.buildMode = "0";
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const std::string number = std::to_string(i);
    const std::string id = "{00000000-0000-0000-0000-" + std::string(12 - number.size(), '0') + number + "}";
    items.commandNames.push_back(commands[i].disabled ? "Comment" : commands[i].name);
    items.commandIds.push_back(id);
    items.commandFlags.push_back(commands[i].disabled ? "C" : commands[i].flag);
    items.commandBlocks.emplace_back();
    if (commands[i].parameters.empty()) continue;
    items.parameterLines.push_back(id);
    for (const std::string& parameter : commands[i].parameters) items.parameterLines.push_back(parameter);
  }
  return ScriptPackage::Load(WriteScriptItems(items));
}

}  // namespace bw::test
