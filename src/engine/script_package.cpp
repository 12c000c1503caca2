#include "script_package.h"

#include <stdexcept>

#include "integer_text.h"

namespace bw {

ParameterSection::ParameterSection(std::vector<std::string> lines) : lines_(std::move(lines)) {
  highest_.reserve(lines_.size());
  for (std::size_t i = 0; i < lines_.size(); ++i) highest_.insert_or_assign(lines_[i], i);
}

std::ptrdiff_t ParameterSection::HighestPosition(std::string_view text) const {
  const auto found = highest_.find(text);
  return found == highest_.end() ? -1 : static_cast<std::ptrdiff_t>(found->second);
}

void RestoreDollarLines(std::vector<std::string>& lines) {
  // Both markers are replaced by "$", which is neither marker, so one pass
  // leaves no marker line behind.
  for (std::string& line : lines) {
    if (AnsiEqualsIgnoringCase(line, "$WILD_DOLLAR$") || AnsiEqualsIgnoringCase(line, "$DOLLAR$")) {
      line.assign(1, '$');
    }
  }
}

ScriptPackage ScriptPackage::Load(std::string_view data) {
  ScriptItems items = ReadScriptItems(data);
  ScriptPackage package;
  package.CommandNames = std::move(items.commandNames);
  package.CommandIds = std::move(items.commandIds);
  package.CommandFlags = std::move(items.commandFlags);
  package.CommandBlocks = std::move(items.commandBlocks);
  RestoreDollarLines(items.parameterLines);
  package.ParameterSections.emplace_back(std::move(items.parameterLines));
  package.ProductCode = std::move(items.productCode);
  package.Title = std::move(items.title);
  package.Publisher = std::move(items.publisher);
  package.Contact = std::move(items.contact);
  package.HelpLink = std::move(items.helpLink);
  package.UpdateInfoLink = std::move(items.updateInfoLink);
  package.Comments = std::move(items.comments);
  package.Version = std::move(items.version);
  package.RevisionCode = std::move(items.revisionCode);
  package.DefaultLanguage = std::move(items.defaultLanguage);
  const auto buildMode = ParseIntegerText(items.buildMode);
  if (!buildMode) {
    throw MalformedScript("the build-mode number of the setup script is not an integer: \"" + items.buildMode + "\"");
  }
  package.BuildMode = *buildMode;
  package.AskLanguage = items.askLanguage == "TRUE";
  package.PlugInCommands = std::move(items.plugInCommands);
  package.WebBlockKeys = std::move(items.webBlockKeys);
  package.ComponentSizes = std::move(items.componentSizes);
  package.MediaFiles = std::move(items.mediaFiles);
  package.CommandHeaders = std::move(items.commandHeaders);
  package.BuildVariables = std::move(items.buildVariables);
  return package;
}

std::string ScriptPackage::Parameter(std::string_view commandId, std::size_t n) const {
  for (const ParameterSection& section : ParameterSections) {
    const std::ptrdiff_t position = section.HighestPosition(commandId);
    if (position < 0) continue;
    const std::size_t wanted = static_cast<std::size_t>(position) + n;
    if (wanted >= section.Lines().size()) {
      throw std::out_of_range("parameter " + std::to_string(n) + " of command " + std::string(commandId) +
                              " lies past the end of the parameter section");
    }
    return section.Lines()[wanted];
  }
  return {};
}

}  // namespace bw
