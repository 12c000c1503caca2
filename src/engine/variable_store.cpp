#include "variable_store.h"

#include <algorithm>
#include <functional>
#include <queue>

#include "engine_messages.h"
#include "text_utilities.h"

namespace bw {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

constexpr std::string_view kNewlineMarker = "$NEWLINE$";

bool IsIrregularName(std::string_view name) { return name.empty() || name.find('$') != std::string_view::npos; }

std::string SubstitutedValue(const std::string& value, bool quoted) { return quoted ? "\"" + value + "\"" : value; }

}  // namespace

std::ptrdiff_t VariableStore::Find(std::string_view name) const {
  const auto found = index_.find(name);
  return found == index_.end() ? -1 : static_cast<std::ptrdiff_t>(found->second);
}

void VariableStore::IndexName(std::size_t index) {
  if (IsIrregularName(names_[index])) ++irregularNames_;
  if (!index_.emplace(names_[index], index).second) ++irregularNames_;
}

void VariableStore::Append(std::string name, std::string_view value) {
  names_.push_back(std::move(name));
  values_.emplace_back(value);
  IndexName(names_.size() - 1);
}

void VariableStore::RebuildIndex() {
  index_.clear();
  irregularNames_ = 0;
  for (std::size_t i = 0; i < names_.size(); ++i) IndexName(i);
}

bool VariableStore::IsOverridden(std::string_view upperName) const {
  for (const auto& [name, value] : overrides_) {
    if (AnsiEqualsIgnoringCase(name, upperName)) return true;
  }
  return false;
}

void VariableStore::Define(std::string_view name, std::string_view value, std::string_view label) {
  if (name.empty()) return;
  const Lock lock(lock_);
  if (Find(name) >= 0) {
    Set(name, value, label);
    return;
  }
  Append(AnsiUpper(name), value);
}

void VariableStore::Set(std::string_view name, std::string_view value, std::string_view label) {
  const std::string upperName = AnsiUpper(name);
  // In a silent run a command-line value is kept against every write but the
  // injection itself.
  if (silent_ && label != kInjectOverrideLabel && IsOverridden(upperName)) return;
  const Lock lock(lock_);
  const std::ptrdiff_t index = Find(upperName);
  if (index < 0) throw ScriptError(Message(kMsgUndefinedSet) + upperName);
  values_[static_cast<std::size_t>(index)] = value;
}

std::string VariableStore::Get(std::string_view name) const {
  const Lock lock(lock_);
  const std::ptrdiff_t index = Find(name);
  if (index < 0) throw ScriptError(Message(kMsgUndefinedGet) + std::string(name));
  return values_[static_cast<std::size_t>(index)];
}

bool VariableStore::IsDefined(std::string_view name) const {
  const Lock lock(lock_);
  return Find(name) >= 0;
}

std::string VariableStore::ExpandPassLiteral(std::string_view text, bool quoted) const {
  std::string result(text);
  for (std::size_t i = 0; i < names_.size(); ++i) {
    result = ReplaceIgnoringCase(result, "$" + names_[i] + "$", SubstitutedValue(values_[i], quoted));
  }
  return result;
}

std::string VariableStore::ExpandPass(std::string_view text, bool quoted) const {
  if (irregularNames_ > 0) return ExpandPassLiteral(text, quoted);
  // A reference to a name without "$" is the text between two neighbouring
  // dollars, so only the variables named there can change the text. They are
  // replaced in creation order; after each change the text is searched again,
  // because an inserted value may form references to variables created later.
  std::string result(text);
  std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<>> pending;
  std::ptrdiff_t replaced = -1;
  const auto collect = [&] {
    std::size_t open = result.find('$');
    while (open != std::string::npos) {
      const std::size_t close = result.find('$', open + 1);
      if (close == std::string::npos) break;
      const std::ptrdiff_t index = Find(std::string_view(result).substr(open + 1, close - open - 1));
      if (index > replaced) pending.push(static_cast<std::size_t>(index));
      open = close;
    }
  };
  collect();
  while (!pending.empty()) {
    const std::size_t index = pending.top();
    pending.pop();
    if (static_cast<std::ptrdiff_t>(index) <= replaced) continue;
    replaced = static_cast<std::ptrdiff_t>(index);
    std::string next = ReplaceIgnoringCase(result, "$" + names_[index] + "$", SubstitutedValue(values_[index], quoted));
    if (next != result) {
      result = std::move(next);
      collect();
    }
  }
  return result;
}

std::string VariableStore::ExpandRepeated(std::string_view text, bool literal) const {
  std::string current(text);
  for (int pass = 0; pass < bounds_.passes; ++pass) {
    if (current.find('$') == std::string::npos) return current;
    if (pass > 0 && current.size() > bounds_.length) return current;
    std::string result;
    {
      const Lock lock(lock_);
      const std::string marked = ReplaceIgnoringCase(current, kNewlineMarker, "\r\n");
      result = literal ? ExpandPassLiteral(marked, false) : ExpandPass(marked, false);
    }
    if (result.find('$') == std::string::npos || result == current) return result;
    current = std::move(result);
  }
  return current;
}

std::string VariableStore::Expand(std::string_view text) const { return ExpandRepeated(text, false); }

std::string VariableStore::ExpandLiteral(std::string_view text) const { return ExpandRepeated(text, true); }

std::string VariableStore::ExpandQuoted(std::string_view text) const {
  std::string result;
  {
    const Lock lock(lock_);
    result = ExpandPass(ReplaceIgnoringCase(text, kNewlineMarker, "\r\n"), true);
  }
  if (result.find('$') != std::string::npos && result != text) return Expand(result);
  return result;
}

std::string VariableStore::GetExpanded(std::string_view name, std::string_view missing) const {
  const std::string stripped = StripDollars(name);
  const std::string_view variable = stripped.empty() ? name : std::string_view(stripped);
  const Lock lock(lock_);
  const std::ptrdiff_t index = Find(variable);
  if (index < 0) return std::string(missing);
  return Expand(values_[static_cast<std::size_t>(index)]);
}

std::string VariableStore::NormalisedPath(std::string_view text) const {
  const std::string expanded = Expand(text);
  std::string path;
  path.reserve(expanded.size() + 1);
  if (expanded.rfind("\\\\", 0) == 0) path += '\\';
  for (std::size_t i = 0; i < expanded.size(); ++i) {
    path += expanded[i];
    if (expanded[i] == '\\' && i + 1 < expanded.size() && expanded[i + 1] == '\\') ++i;
  }
  return path;
}

std::string VariableStore::ExportText() const {
  const Lock lock(lock_);
  std::vector<std::string> items;
  items.reserve(names_.size() * 2);
  for (std::size_t i = 0; i < names_.size(); ++i) {
    items.push_back(names_[i]);
    items.push_back(values_[i]);
  }
  return WriteCommaText(items);
}

void VariableStore::ImportText(std::string_view text) {
  std::vector<std::string> items = ReadCommaText(text);
  const Lock lock(lock_);
  names_.clear();
  values_.clear();
  for (std::size_t i = 0; i + 1 < items.size(); i += 2) {
    names_.push_back(std::move(items[i]));
    values_.push_back(std::move(items[i + 1]));
  }
  RebuildIndex();
}

void VariableStore::Clear() {
  const Lock lock(lock_);
  names_.clear();
  values_.clear();
  persisted_.clear();
  RebuildIndex();
}

void VariableStore::AddPersisted(std::string_view name) {
  const Lock lock(lock_);
  const bool known = std::any_of(persisted_.begin(), persisted_.end(),
                                 [&](const std::string& persisted) { return AnsiEqualsIgnoringCase(persisted, name); });
  if (!known) persisted_.emplace_back(name);
}

std::vector<std::string> VariableStore::PersistedNames() const {
  const Lock lock(lock_);
  return persisted_;
}

void VariableStore::SetOverrides(std::vector<std::pair<std::string, std::string>> overrides) {
  overrides_ = std::move(overrides);
}

void VariableStore::InjectOverrides() {
  // Define sets an existing variable and creates a missing one.
  for (const auto& [name, value] : overrides_) Define(name, value, kInjectOverrideLabel);
}

std::vector<std::string> VariableStore::Names() const {
  const Lock lock(lock_);
  return names_;
}

}  // namespace bw
