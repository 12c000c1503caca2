#pragma once
// The nineteen items of an embedded setup script, as raw lines, and the one
// statement of their order, shared by the engine's loader and the authoring
// tool's writer and dumper.
//
// The script is 8-bit text; lines end with CR LF and only CR LF (a lone CR or
// LF is part of a line). A list item is a run of lines closed by a line that is
// exactly "$"; a single item is exactly one line.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

struct ScriptItems {
  std::vector<std::string> commandNames;
  std::vector<std::string> commandIds;
  std::vector<std::string> parameterLines;  // raw: "$DOLLAR$" not yet restored
  std::vector<std::string> commandFlags;
  std::string productCode;
  std::string title;
  std::vector<std::string> plugInCommands;
  std::string publisher;
  std::string contact;
  std::string helpLink;
  std::string updateInfoLink;
  std::string comments;
  std::string version;
  std::vector<std::string> webBlockKeys;
  std::vector<std::string> commandBlocks;
  std::string buildMode;  // the line as written; the loader reads it as an integer
  std::vector<std::string> componentSizes;
  std::string revisionCode;
  std::vector<std::string> mediaFiles;
  std::string askLanguage;
  std::string defaultLanguage;
  std::vector<std::string> commandHeaders;
  std::vector<std::string> buildVariables;

  bool operator==(const ScriptItems&) const = default;
};

// Calls visitor.List(description, vector) or visitor.Single(description, text)
// for every item in file order. The description names the item in messages.
template <class Items, class Visitor>
void ForEachScriptItem(Items& items, Visitor&& visitor) {
  visitor.List("command names", items.commandNames);
  visitor.List("command ids", items.commandIds);
  visitor.List("parameter section", items.parameterLines);
  visitor.List("command flags", items.commandFlags);
  visitor.Single("product code", items.productCode);
  visitor.Single("title", items.title);
  visitor.List("plug-in command list", items.plugInCommands);
  visitor.Single("publisher", items.publisher);
  visitor.Single("contact", items.contact);
  visitor.Single("help link", items.helpLink);
  visitor.Single("update information link", items.updateInfoLink);
  visitor.Single("comments", items.comments);
  visitor.Single("version", items.version);
  visitor.List("web media block key table", items.webBlockKeys);
  visitor.List("command block list", items.commandBlocks);
  visitor.Single("build-mode number", items.buildMode);
  visitor.List("component size table", items.componentSizes);
  visitor.Single("revision code", items.revisionCode);
  visitor.List("media file table", items.mediaFiles);
  visitor.Single("language prompt flag", items.askLanguage);
  visitor.Single("default language", items.defaultLanguage);
  visitor.List("command header table", items.commandHeaders);
  visitor.List("build variable table", items.buildVariables);
}

// A script that cannot be read: the message says which item broke and why.
class MalformedScript : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Line index of a list, or the empty text past its end: the parallel command
// lists may be shorter than the command list, and a missing line reads as empty.
const std::string& LineOrEmpty(const std::vector<std::string>& lines, std::size_t index);

// Reads the items from the appended bytes. Never reads past the data: a list
// that never closes or data that ends before an item throws MalformedScript.
// Bytes after the closing line of the last item are ignored.
ScriptItems ReadScriptItems(std::string_view data);

// Writes the items as the script text. A list line that is exactly "$", or any
// line that holds CR LF, cannot be written and throws std::invalid_argument.
std::string WriteScriptItems(const ScriptItems& items);

}  // namespace bw
