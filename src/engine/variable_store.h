#pragma once
// The process-wide table of script variables: text values under unique names
// compared ignoring case, with the set rule that keeps command-line values in
// a silent run, and the expansion of variable references in parameter text.
//
// Every operation is safe from any thread: names and values are guarded by
// one re-entrant lock.
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ansi_case.h"
#include "text_utilities.h"

namespace bw {

// A failure the script sees: the message is what the run-time error shows.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The label of the write that lets a command-line value replace itself.
inline constexpr std::string_view kInjectOverrideLabel = "Inject Override Command Line";

class VariableStore {
 public:
  explicit VariableStore(ExpansionBounds bounds = {}) : bounds_(bounds) {}

  // Creates the variable (name upper-cased) or, when it exists, Sets it. An
  // empty name does nothing.
  void Define(std::string_view name, std::string_view value, std::string_view label);
  // Writes an existing variable, following the set rule. Throws ScriptError
  // for a missing one.
  void Set(std::string_view name, std::string_view value, std::string_view label);
  // Throws ScriptError for a missing variable.
  std::string Get(std::string_view name) const;
  bool IsDefined(std::string_view name) const;

  // Replaces "$NEWLINE$" (any case) by CR LF and every "$NAME$" by the value
  // of NAME, variable by variable in creation order, repeating while the text
  // still holds "$" and changed. Unknown references stay as written.
  std::string Expand(std::string_view text) const;
  // Expand with each substituted value in double quotes (for expressions).
  std::string ExpandQuoted(std::string_view text) const;
  // The reference algorithm of Expand, scanning the text once per variable;
  // kept for tests and benchmarks of the indexed one.
  std::string ExpandLiteral(std::string_view text) const;
  // Expand(Get(name)) after StripDollars of the name, or missing.
  std::string GetExpanded(std::string_view name, std::string_view missing) const;
  // Expand, then doubled backslashes collapsed, keeping a leading "\\".
  std::string NormalisedPath(std::string_view text) const;

  // All variables as the comma text NAME1,VALUE1,... in creation order.
  std::string ExportText() const;
  // Replaces every variable by those of a comma text; names keep their case,
  // a last unpaired item is ignored. Persisted names and overrides stay.
  void ImportText(std::string_view text);
  // Removes every variable and the persisted names.
  void Clear();

  void AddPersisted(std::string_view name);
  std::vector<std::string> PersistedNames() const;

  // NAME (upper-cased) and VALUE pairs from the command line, in order.
  void SetOverrides(std::vector<std::pair<std::string, std::string>> overrides);
  const std::vector<std::pair<std::string, std::string>>& Overrides() const { return overrides_; }
  // Defines or Sets every override with the injection label.
  void InjectOverrides();

  void SetSilent(bool silent) { silent_ = silent; }
  bool Silent() const { return silent_; }

  // The names in creation order (for logs and tests).
  std::vector<std::string> Names() const;

 private:
  bool IsOverridden(std::string_view upperName) const;
  std::ptrdiff_t Find(std::string_view name) const;  // under the lock
  void Append(std::string name, std::string_view value);
  // Adds names_[index] to the index and counts it when it defeats the index.
  void IndexName(std::size_t index);
  void RebuildIndex();
  // One pass of the expansion over text, in creation order; quoted wraps each
  // value in double quotes. Indexed unless the names defeat the index.
  std::string ExpandPass(std::string_view text, bool quoted) const;
  std::string ExpandPassLiteral(std::string_view text, bool quoted) const;
  std::string ExpandRepeated(std::string_view text, bool literal) const;

  mutable std::recursive_mutex lock_;
  std::vector<std::string> names_;
  std::vector<std::string> values_;
  // First index of each name, ignoring case.
  std::unordered_map<std::string, std::size_t, AnsiCaseInsensitiveHash, AnsiCaseInsensitiveEqual> index_;
  // Names that the indexed expansion cannot find from the text between two
  // dollars: empty names, names holding "$", names repeated ignoring case.
  std::size_t irregularNames_ = 0;
  std::vector<std::string> persisted_;
  std::vector<std::pair<std::string, std::string>> overrides_;
  bool silent_ = false;
  ExpansionBounds bounds_;
};

}  // namespace bw
