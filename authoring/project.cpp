#include "project.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <map>
#include <random>
#include <string_view>
#include <unordered_map>

#include "authoring/field_syntax.h"
#include "engine/ansi_case.h"
#include "engine/integer_text.h"
#include "engine/scrambled_key.h"

namespace bw::authoring {

namespace {

using Fields = std::vector<std::string>;
// A check throws std::invalid_argument with a message about the fields.
using FieldCheck = void (*)(const Fields&);

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

bool IsRegistryGuid(std::string_view text) {
  static constexpr std::string_view kShape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (text.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kShape[i] == 'X' ? !IsUpperHex(text[i]) : text[i] != kShape[i]) return false;
  }
  return true;
}

bool IsDecimal(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

void CheckGuid(const Fields& fields) {
  if (!IsRegistryGuid(fields[0])) {
    throw std::invalid_argument("\"" + fields[0] +
                                "\" is no GUID of the form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} "
                                "with upper-case digits");
  }
}
void CheckInteger(const Fields& fields) {
  if (!ParseIntegerText(fields[0])) throw std::invalid_argument("\"" + fields[0] + "\" is no integer");
}
void CheckComponentSize(const Fields& fields) {
  // A decimal 64-bit size; 19 digits always fit.
  if (!IsDecimal(fields[1], 19)) throw std::invalid_argument("the size \"" + fields[1] + "\" is no decimal number");
}
void CheckCommandHeader(const Fields& fields) {
  if (fields[0].size() != 8 || !std::all_of(fields[0].begin(), fields[0].end(), IsUpperHex)) {
    throw std::invalid_argument("the command header \"" + fields[0] + "\" is not eight upper-case hexadecimal digits");
  }
  if (!IsDecimal(fields[1], 9))
    throw std::invalid_argument("the command index \"" + fields[1] + "\" is no decimal number");
}

// A key's stored form is scrambled, and the XOR with the position can turn a
// digit into a character that would break the line for a text reader.
std::string ScrambleForStorage(const std::string& key) {
  const std::string stored = ScrambleKey(key);
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const char c = stored[i];
    if (c == '\r' || c == '\n' || c == '\0' || c == '\x1A') {
      throw std::invalid_argument(
          "this key cannot be stored: its scrambled form would hold a line break, NUL or "
          "Ctrl-Z at byte " +
          std::to_string(i / 2 + 1) + " of the key; change that byte or shorten the key");
    }
  }
  return stored;
}

// The top-level keywords: the one statement of which project line fills which
// script item. A single item takes one field; a list appends its fields.
struct Keyword {
  std::string_view name;
  std::size_t fieldCount;
  std::string ScriptItems::*single;
  std::vector<std::string> ScriptItems::*list;
  FieldCheck check;
};

constexpr std::array<Keyword, 19> kKeywords{{
    {"product-code", 1, &ScriptItems::productCode, nullptr, CheckGuid},
    {"revision-code", 1, &ScriptItems::revisionCode, nullptr, CheckGuid},
    {"title", 1, &ScriptItems::title, nullptr, nullptr},
    {"publisher", 1, &ScriptItems::publisher, nullptr, nullptr},
    {"contact", 1, &ScriptItems::contact, nullptr, nullptr},
    {"help-link", 1, &ScriptItems::helpLink, nullptr, nullptr},
    {"update-info-link", 1, &ScriptItems::updateInfoLink, nullptr, nullptr},
    {"comments", 1, &ScriptItems::comments, nullptr, nullptr},
    {"version", 1, &ScriptItems::version, nullptr, nullptr},
    {"build-mode", 1, &ScriptItems::buildMode, nullptr, CheckInteger},
    {"ask-language", 1, &ScriptItems::askLanguage, nullptr, nullptr},
    {"default-language", 1, &ScriptItems::defaultLanguage, nullptr, nullptr},
    {"plugin-command", 1, nullptr, &ScriptItems::plugInCommands, nullptr},
    {"web-block-key", 2, nullptr, &ScriptItems::webBlockKeys, nullptr},
    {"web-block-key-scrambled", 2, nullptr, &ScriptItems::webBlockKeys, nullptr},
    {"component", 2, nullptr, &ScriptItems::componentSizes, CheckComponentSize},
    {"media-file", 3, nullptr, &ScriptItems::mediaFiles, nullptr},
    {"command-header", 2, nullptr, &ScriptItems::commandHeaders, CheckCommandHeader},
    {"build-variable", 2, nullptr, &ScriptItems::buildVariables, nullptr},
}};

const Keyword* FindKeyword(std::string_view name) {
  for (const Keyword& keyword : kKeywords) {
    if (keyword.name == name) return &keyword;
  }
  return nullptr;
}

// A script line must survive any text reader: no line break, NUL or Ctrl-Z.
void CheckLineText(const std::string& text) {
  for (char c : text) {
    if (c == '\r' || c == '\n') throw std::invalid_argument("a value cannot hold a line break (use $NEWLINE$)");
    if (c == '\0') throw std::invalid_argument("a value cannot hold NUL");
    if (c == '\x1A') throw std::invalid_argument("a value cannot hold Ctrl-Z");
  }
}

void TrimLineEnd(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    TrimLineEnd(lines.back());
    start = end + 1;
  }
  return lines;
}

struct Line {
  std::string keyword;
  std::string rest;
};

Line SplitKeyword(const std::string& line) {
  std::size_t pos = 0;
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  std::size_t end = pos;
  while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
  return {line.substr(pos, end - pos), line.substr(end)};
}

bool IsCommentOrBlank(const std::string& line) {
  const std::size_t first = line.find_first_not_of(" \t");
  return first == std::string::npos || line[first] == '#';
}

void ReadCommandLine(ProjectCommand& command, const Line& line, std::size_t number) {
  const auto value = [&] { return ParseFields(line.rest, 1)[0]; };
  if (line.keyword == "id") {
    if (command.id) throw ProjectError(number, "the command already has an id");
    command.id = value();
  } else if (line.keyword == "block") {
    command.block = value();
  } else if (line.keyword == "flag") {
    if (command.disabled) throw ProjectError(number, "a disabled command takes no other flag");
    command.flag = value();
  } else if (line.keyword == "disabled") {
    if (!ParseFields(line.rest, 1)[0].empty()) throw ProjectError(number, "\"disabled\" takes no value");
    if (command.flag) throw ProjectError(number, "a command with a flag cannot also be disabled");
    command.disabled = true;
  } else {
    command.parameters.push_back(value());
  }
}

bool IsCommandKeyword(std::string_view keyword) {
  return keyword == "id" || keyword == "block" || keyword == "flag" || keyword == "disabled" || keyword == "param";
}

}  // namespace

Project ParseProject(const std::string& text) {
  Project project;
  project.items.buildMode = "0";
  project.items.askLanguage = "FALSE";
  project.items.defaultLanguage = "English";
  std::map<std::string_view, std::size_t> singlesSeen;
  const std::vector<std::string> lines = SplitLines(text);
  bool inHeader = true;
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const std::size_t number = index + 1;
    if (IsCommentOrBlank(lines[index])) {
      if (inHeader) project.headerEnd = number;
      continue;
    }
    inHeader = false;
    const Line line = SplitKeyword(lines[index]);
    try {
      if (line.keyword == "command") {
        ProjectCommand command;
        command.line = number;
        command.name = ParseFields(line.rest, 1)[0];
        if (command.name.empty()) throw ProjectError(number, "a command needs a name");
        CheckLineText(command.name);
        project.commands.push_back(std::move(command));
        continue;
      }
      if (IsCommandKeyword(line.keyword)) {
        if (project.commands.empty()) throw ProjectError(number, "\"" + line.keyword + "\" before the first command");
        ReadCommandLine(project.commands.back(), line, number);
        continue;
      }
      if (line.keyword == "support") {
        project.supportPaths.push_back(ParseFields(line.rest, 1)[0]);
        continue;
      }
      const Keyword* keyword = FindKeyword(line.keyword);
      if (keyword == nullptr) throw ProjectError(number, "unknown keyword \"" + line.keyword + "\"");
      Fields fields = ParseFields(line.rest, keyword->fieldCount);
      for (const std::string& field : fields) CheckLineText(field);
      if (keyword->check) keyword->check(fields);
      if (keyword->name == "web-block-key") fields[1] = ScrambleForStorage(fields[1]);
      if (keyword->single) {
        if (const auto [seen, added] = singlesSeen.emplace(keyword->name, number); !added) {
          throw ProjectError(
              number, "\"" + line.keyword + "\" is given twice (first on line " + std::to_string(seen->second) + ")");
        }
        project.items.*keyword->single = fields[0];
        if (keyword->single == &ScriptItems::productCode) project.hasProductCode = true;
        if (keyword->single == &ScriptItems::revisionCode) project.hasRevisionCode = true;
      } else {
        for (std::string& field : fields) {
          if (field == "$") throw ProjectError(number, "a list value cannot be a lone \"$\"");
          (project.items.*keyword->list).push_back(std::move(field));
        }
      }
    } catch (const SyntaxError& error) {
      throw ProjectError(number, error.what());
    } catch (const std::invalid_argument& error) {
      throw ProjectError(number, error.what());
    }
  }
  return project;
}

std::string NewGuid() {
  static std::random_device device;
  static std::mt19937_64 generator(
      (static_cast<std::uint64_t>(device()) << 32) ^ device() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::array<unsigned char, 16> bytes{};
  for (auto& byte : bytes) byte = static_cast<unsigned char>(generator());
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // variant 1
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string guid = "{";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) guid += '-';
    guid += kHex[bytes[i] >> 4];
    guid += kHex[bytes[i] & 0x0F];
  }
  return guid + "}";
}

ScriptItems CompileProject(const Project& project, std::vector<Insertion>& insertions) {
  ScriptItems items = project.items;
  if (!project.hasProductCode) {
    items.productCode = NewGuid();
    insertions.push_back({project.headerEnd, "product-code " + items.productCode});
  }
  if (!project.hasRevisionCode) {
    items.revisionCode = NewGuid();
    insertions.push_back({project.headerEnd, "revision-code " + items.revisionCode});
  }
  std::unordered_map<std::string, std::size_t, AnsiCaseInsensitiveHash, AnsiCaseInsensitiveEqual> idLines;
  std::vector<std::string> ids;
  for (const ProjectCommand& command : project.commands) {
    std::string id = command.id.value_or("");
    if (!command.id) {
      id = NewGuid();
      insertions.push_back({command.line, "  id " + id});
    } else {
      try {
        CheckGuid({id});
      } catch (const std::invalid_argument& error) {
        throw ProjectError(command.line, std::string("the command's id ") + error.what());
      }
    }
    if (const auto [seen, added] = idLines.emplace(id, command.line); !added) {
      throw ProjectError(command.line, "the id " + id + " is already the id of the command on line " +
                                           std::to_string(seen->second) + "; ids must be unique");
    }
    ids.push_back(std::move(id));
  }
  for (std::size_t i = 0; i < project.commands.size(); ++i) {
    const ProjectCommand& command = project.commands[i];
    items.commandNames.push_back(command.disabled ? "Comment" : command.name);
    items.commandIds.push_back(ids[i]);
    items.commandFlags.push_back(command.disabled ? "C" : command.flag.value_or(""));
    std::string block = command.block;
    if (!block.empty() && block.back() != '\\') block += '\\';
    items.commandBlocks.push_back(std::move(block));
    if (command.parameters.empty()) continue;
    items.parameterLines.push_back(ids[i]);
    for (const std::string& parameter : command.parameters) {
      try {
        CheckLineText(parameter);
      } catch (const std::invalid_argument& error) {
        throw ProjectError(command.line, std::string("a parameter of the command: ") + error.what());
      }
      // A parameter equal to an id would move that command's parameters.
      if (const auto found = idLines.find(parameter); found != idLines.end()) {
        throw ProjectError(command.line, "a parameter of the command equals the id of the command on line " +
                                             std::to_string(found->second));
      }
      items.parameterLines.push_back(parameter == "$" ? "$DOLLAR$" : parameter);
    }
  }
  return items;
}

namespace {

void DumpLine(std::string& out, std::string_view keyword, const Fields& fields, const char* indent = "") {
  out += indent;
  out += keyword;
  const std::string text = FormatFields(fields);
  if (!text.empty()) out += ' ' + text;
  out += '\n';
}

void DumpKeywords(std::string& out, const ScriptItems& items) {
  for (const Keyword& keyword : kKeywords) {
    if (keyword.single) {
      DumpLine(out, keyword.name, {items.*keyword.single});
      continue;
    }
    if (keyword.name == "web-block-key-scrambled") continue;  // written together with web-block-key
    const std::vector<std::string>& list = items.*keyword.list;
    if (list.size() % keyword.fieldCount != 0) {
      throw ProjectError(0, "the list for \"" + std::string(keyword.name) + "\" has " + std::to_string(list.size()) +
                                " lines, not a multiple of " + std::to_string(keyword.fieldCount));
    }
    for (std::size_t i = 0; i < list.size(); i += keyword.fieldCount) {
      Fields fields(list.begin() + static_cast<std::ptrdiff_t>(i),
                    list.begin() + static_cast<std::ptrdiff_t>(i + keyword.fieldCount));
      std::string_view name = keyword.name;
      if (name == "web-block-key") {
        // Plain when the key scrambles back to exactly the stored text.
        const auto key = UnscrambleKey(fields[1]);
        if (key && ScrambleKey(*key) == fields[1]) {
          fields[1] = *key;
        } else {
          name = "web-block-key-scrambled";
        }
      }
      DumpLine(out, name, fields);
    }
  }
}

// The parameter lines of each command, in order: a command's block starts at
// its id line and runs to the id line of a later command.
std::vector<Fields> SplitParameterSection(const ScriptItems& items) {
  std::vector<Fields> parameters(items.commandNames.size());
  const std::vector<std::string>& section = items.parameterLines;
  std::size_t position = 0;
  for (std::size_t i = 0; i < items.commandNames.size() && position < section.size(); ++i) {
    if (i >= items.commandIds.size() || section[position] != items.commandIds[i]) continue;
    ++position;
    while (position < section.size() &&
           std::find(items.commandIds.begin() + static_cast<std::ptrdiff_t>(i) + 1, items.commandIds.end(),
                     section[position]) == items.commandIds.end()) {
      parameters[i].push_back(section[position] == "$DOLLAR$" ? "$" : section[position]);
      ++position;
    }
  }
  return parameters;
}

}  // namespace

std::string DumpProject(const ScriptItems& items) {
  std::string out = "# Brightwarden setup project\n";
  DumpKeywords(out, items);
  const std::vector<Fields> parameters = SplitParameterSection(items);
  for (std::size_t i = 0; i < items.commandNames.size(); ++i) {
    out += '\n';
    DumpLine(out, "command", {items.commandNames[i]});
    DumpLine(out, "id", {LineOrEmpty(items.commandIds, i)}, "  ");
    const std::string& block = LineOrEmpty(items.commandBlocks, i);
    if (!block.empty()) DumpLine(out, "block", {block}, "  ");
    const std::string& flag = LineOrEmpty(items.commandFlags, i);
    if (flag == "C" && items.commandNames[i] == "Comment") {
      DumpLine(out, "disabled", {""}, "  ");
    } else if (!flag.empty()) {
      DumpLine(out, "flag", {flag}, "  ");
    }
    for (const std::string& parameter : parameters[i]) DumpLine(out, "param", {parameter}, "  ");
  }
  // Only a project that builds the very same script is a faithful dump.
  std::vector<Insertion> insertions;
  ScriptItems rebuilt;
  try {
    rebuilt = CompileProject(ParseProject(out), insertions);
  } catch (const ProjectError& error) {
    throw ProjectError(0, std::string("this script cannot be written as a project: ") + error.what());
  }
  if (rebuilt != items || !insertions.empty()) {
    throw ProjectError(0,
                       "this script cannot be written as a project that builds it exactly (it was not made by "
                       "this tool, or its lists do not match)");
  }
  return out;
}

std::string ApplyInsertions(const std::string& text, const std::vector<Insertion>& insertions) {
  if (insertions.empty()) return text;
  const std::string lineEnd = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::multimap<std::size_t, const std::string*> byLine;
  for (const Insertion& insertion : insertions) byLine.emplace(insertion.afterLine, &insertion.text);
  std::string out;
  const auto insertAfter = [&](std::size_t line) {
    const auto [first, last] = byLine.equal_range(line);
    for (auto it = first; it != last; ++it) out += *it->second + lineEnd;
  };
  insertAfter(0);
  std::size_t start = 0;
  std::size_t line = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const bool terminated = end != std::string::npos;
    if (!terminated) end = text.size();
    out.append(text, start, end - start);
    if (terminated)
      out += '\n';
    else if (byLine.upper_bound(line) != byLine.end())
      out += lineEnd;
    start = end + 1;
    insertAfter(++line);
  }
  return out;
}

}  // namespace bw::authoring
