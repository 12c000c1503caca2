#include "preparation.h"

#include <array>
#include <functional>
#include <optional>
#include <unordered_set>

#include "ansi_case.h"
#include "expression.h"
#include "text_utilities.h"
#include "variable_store.h"

namespace bw {

namespace {

constexpr std::string_view kPersistSeparator = "$KVOR$KVOR$";
constexpr std::string_view kLabel = "Compilation";

// The names the engine defines before any command runs, in creation order;
// from PROGRESSMODE on they belong to the initialization stage.
constexpr std::array<std::string_view, 52> kPredefinedNames = {
    "KVORLOGO",     "TIME",          "DATE",        "NEWINSTANCE",  "SELECTED",       "WINDOWHANDLE", "EXEDIR",
    "EXEFILE",      "UNINSTALLLINK", "ENGINECACHE", "COPYWEBLOCK",  "ABORT",          "SILENT",       "LOGGED",
    "CMDLINE",      "REBOOTNOW",     "SFXPATH",     "SFXFILE",      "LASTERROR",      "PROGRESSMODE", "PROGRESSTEXT",
    "PROGRESS",     "LICENSE",       "USERNAME",    "USERCOMPANY",  "REBOOTCOMPUTER", "RUNAPP",       "WIZARD",
    "VERSION",      "TARGETDIR",     "STARTMENU",   "ADVERTISE",    "ALLUSERS",       "COMPLETE",     "MINIMUM",
    "PERSONALIZED", "MODIFY",        "REPAIR",      "REMOVE",       "DATADIR",        "PRODUCTCODE",  "REVISIONCODE",
    "ROOTDIR",      "MAINTENANCE",   "NEWLINE",     "NEEDSUPGRADE", "TITLE",          "COMPANY",      "TEMPDIR",
    "SUPPORTDIR",   "MSIFILE",       "LANGUAGE",
};
constexpr std::size_t kFirstInitializationName = 19;  // PROGRESSMODE

constexpr std::string_view kNestedLabel = "LABEL statements cannot be nested inside loops/conditionals";
constexpr std::string_view kInsufficientEnd = "Insufficient END statements";
constexpr std::string_view kTooManyEnd = "Too many END statements";
constexpr std::string_view kLabelRedefined = "LABEL re-defined: ";
constexpr std::string_view kIllegalBlockName = "Web Media Block name must be a legal file name";
constexpr std::string_view kNoDownloadUrl = "Web Media Block must have at least one download URL";
constexpr std::string_view kVariableRequired = "Variable required";
constexpr std::string_view kNoDeleteMode = "At least one delete mode must be selected";
constexpr std::string_view kNoTargetFolder =
    "A target folder must be specified for files that are being installed.\r"
    "The value $TARGETDIR$ represents the destination folder chosen by the user.";
constexpr std::string_view kVariableNotDefined = "Variable not defined: ";
constexpr std::string_view kExpressionSyntax =
    "Syntax error in expression. Please review the help topic \"Evaluate Expression\" for the correct syntax.";
constexpr std::string_view kNoDialogName = "Dialog name not specified";
constexpr std::string_view kWizardStatements = "Statements other than DISPLAY DIALOG not allowed inside WIZARD LOOP";
constexpr std::string_view kCompiled = "Script compiled successfully";

using Failure = std::optional<std::string>;

// What a rule's check sees of the command being checked.
struct CheckedCommand {
  std::function<std::string(std::size_t)> parameter;  // a missing one is empty
  const VariableStore& store;
  const std::unordered_set<std::string>& labels;
};

using Check = Failure (*)(const CheckedCommand&);

bool NameIsDefined(const VariableStore& store, const std::string& text) {
  const std::string stripped = StripDollars(text);
  return store.IsDefined(stripped.empty() ? text : stripped);
}

bool ValueIsDefined(const VariableStore& store, const std::string& text) {
  const std::string stripped = StripDollars(text);
  return stripped.empty() || store.IsDefined(stripped);
}

// Only the part after the last backslash or colon is a file name.
bool LegalFileName(std::string_view text) {
  const std::size_t separator = text.find_last_of("\\:");
  const std::string_view name = separator == std::string_view::npos ? text : text.substr(separator + 1);
  return name.find_first_of("/*?\"<>|") == std::string_view::npos;
}

Failure Fail(std::string_view message, std::string_view detail = {}) { return std::string(message).append(detail); }

Failure CheckWebMediaBlock(const CheckedCommand& command) {
  const std::string name = command.parameter(1);
  if (!LegalFileName(name)) return Fail(kIllegalBlockName);
  if (!name.empty() && command.parameter(2).empty()) return Fail(kNoDownloadUrl);
  return {};
}

template <std::size_t N>
Failure CheckRequired(const CheckedCommand& command) {
  return command.parameter(N).empty() ? Fail(kVariableRequired) : Failure();
}

Failure CheckDeleteMode(const CheckedCommand& command) {
  return ToBool(command.parameter(3)) || ToBool(command.parameter(4)) ? Failure() : Fail(kNoDeleteMode);
}

Failure CheckTargetFolder(const CheckedCommand& command) {
  return command.parameter(3).empty() ? Fail(kNoTargetFolder) : Failure();
}

// The name exactly as written: "$NAME$" is a variable of that literal name.
Failure CheckVariableExists(const CheckedCommand& command) {
  const std::string name = command.parameter(1);
  return command.store.IsDefined(name) ? Failure() : Fail(kVariableNotDefined, name);
}

Failure CheckExpression(const CheckedCommand& command) {
  return IsValidExpression(command.parameter(1)) ? Failure() : Fail(kExpressionSyntax);
}

Failure CheckLabelDefined(const CheckedCommand& command) {
  const std::string label = command.parameter(1);
  return command.labels.count(AnsiUpper(label)) ? Failure() : Fail(kLabelUndefinedMessage, label);
}

Failure CheckCondition(const CheckedCommand& command) {
  const std::string variable = command.parameter(1);
  if (variable.empty()) return Fail(kVariableRequired);
  const std::string value = command.parameter(3);
  if (!ValueIsDefined(command.store, value)) return Fail(kVariableNotDefined, value);
  if (!NameIsDefined(command.store, variable)) return Fail(kVariableNotDefined, variable);
  return {};
}

Failure CheckDialog(const CheckedCommand& command) {
  if (command.parameter(1).empty()) return Fail(kNoDialogName);
  const std::string condition = command.parameter(4);
  if (!condition.empty() && !NameIsDefined(command.store, condition)) return Fail(kVariableNotDefined, condition);
  return {};
}

// A command's rule: the parameters naming variables it writes (0 for none),
// created before its check runs, and the check.
struct CommandRule {
  std::string_view name;
  std::array<std::size_t, 2> creates;
  Check check;
};

constexpr CommandRule kRules[] = {
    {"Web Media Block", {0, 0}, CheckWebMediaBlock},
    {"Get Folder Location", {1, 0}, nullptr},
    {"Mathematics", {4, 0}, nullptr},
    {"Is MSI Setup Installed", {2, 0}, CheckRequired<2>},
    {"Get INI File Settings", {1, 0}, nullptr},
    {"Extract 7Zip Archive", {3, 0}, nullptr},
    {"Run Light Mode Setup", {2, 0}, nullptr},
    {"Read from Text File", {2, 3}, nullptr},
    {"Parse String", {3, 4}, nullptr},
    {"Check File Version", {1, 0}, nullptr},
    {"Delete Files", {0, 0}, CheckDeleteMode},
    {"Install Files", {0, 0}, CheckTargetFolder},
    {"Convert Path", {0, 0}, CheckVariableExists},
    {"Convert Case", {0, 0}, CheckVariableExists},
    {"Extract Path", {0, 0}, CheckVariableExists},
    {"Replace String", {0, 0}, CheckVariableExists},
    {"Get System Settings", {1, 0}, nullptr},
    {"Get OS or SP Level", {1, 0}, nullptr},
    {"Read Registry", {1, 0}, nullptr},
    {"Check Registry", {1, 0}, nullptr},
    {"Does File/Folder Exist", {1, 0}, nullptr},
    {"Localization Variable", {1, 0}, nullptr},
    {"Get Temporary File", {1, 0}, nullptr},
    {"Get IIS Site List", {1, 0}, nullptr},
    {"IIS Anonymous User", {1, 0}, nullptr},
    {"Apply Patch", {1, 0}, nullptr},
    {"Evaluate Expression", {2, 0}, CheckExpression},
    {"Run Program", {5, 0}, nullptr},
    {"Get IIS Property", {6, 0}, nullptr},
    {"Run Program As", {8, 0}, nullptr},
    {"Set Variable", {1, 0}, nullptr},  // the name before the persist flag
    {"Get File Version", {2, 0}, nullptr},
    {"Get Environment", {2, 0}, nullptr},
    {"Get IIS Site Index", {2, 0}, nullptr},
    {"Check Process", {2, 0}, nullptr},
    {"Apply Changes", {2, 0}, nullptr},
    {"Get Component State", {2, 0}, nullptr},
    {"Get Component Space", {2, 0}, nullptr},
    {"Check Service", {3, 0}, nullptr},
    {"Register Library", {3, 0}, nullptr},
    {"MessageBox", {5, 0}, nullptr},
    {"GoTo Label", {0, 0}, CheckLabelDefined},
    {"Find All Files", {4, 0}, CheckRequired<4>},
    {"Check Disk Space", {1, 0}, CheckRequired<1>},
    {"If", {0, 0}, CheckCondition},
    {"Else If", {0, 0}, CheckCondition},
    {"Display Dialog", {2, 0}, CheckDialog},
};

const CommandRule* RuleOf(std::string_view name) {
  for (const CommandRule& rule : kRules) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

// The variable name of a "Set Variable" parameter 1: the text before the
// persist flag.
std::string_view NameBeforePersistFlag(std::string_view text) { return text.substr(0, text.find(kPersistSeparator)); }

class Preparation {
 public:
  explicit Preparation(const ScriptPackage& package) : package_(package) {}

  PreparationResult Run() {
    DefinePredefinedNames();
    if (auto failure = BlockPass()) return *failure;
    if (auto failure = LabelPass()) return *failure;
    PersistedVariablePass();
    if (auto failure = CommandPass()) return *failure;
    if (auto failure = WizardPass()) return *failure;
    return {-1, std::string(kCompiled)};
  }

 private:
  using Outcome = std::optional<PreparationResult>;

  static Outcome FailAt(std::size_t index, std::string message) {
    return PreparationResult{static_cast<std::int32_t>(index), std::move(message)};
  }

  std::size_t Count() const { return package_.CommandCount(); }
  const std::string& Name(std::size_t index) const { return package_.CommandName(index); }
  bool Disabled(std::size_t index) const { return package_.CommandFlag(index) == "C"; }

  // A parameter past the script's parameter lines reads as empty.
  std::string Parameter(std::size_t index, std::size_t n) const {
    try {
      return package_.Parameter(package_.CommandId(index), n);
    } catch (const std::exception&) {
      return {};
    }
  }

  void Create(std::string_view name) {
    if (!name.empty() && !store_.IsDefined(name)) store_.Define(name, "", kLabel);
  }

  void DefinePredefinedNames() {
    for (std::size_t i = 0; i < kPredefinedNames.size(); ++i) {
      store_.Define(kPredefinedNames[i], "", i < kFirstInitializationName ? kLabel : "Initialization");
    }
  }

  Outcome BlockPass() const {
    std::int64_t openers = 0;
    std::int64_t closers = 0;
    for (std::size_t i = 0; i < Count(); ++i) {
      if (Disabled(i)) continue;
      const std::string& name = Name(i);
      if (name == "If" || name == "Wizard Loop") {
        ++openers;
      } else if (name == "End") {
        ++closers;
      } else if (name == "Label" && openers != closers) {
        return FailAt(i, std::string(kNestedLabel));
      }
    }
    if (closers < openers) return PreparationResult{kNoCommandIndex, std::string(kInsufficientEnd)};
    if (closers > openers) return PreparationResult{kNoCommandIndex, std::string(kTooManyEnd)};
    return {};
  }

  Outcome LabelPass() {
    for (std::size_t i = 0; i < Count(); ++i) {
      if (Name(i) != "Label") continue;
      const std::string label = Parameter(i, 1);
      if (!labels_.insert(AnsiUpper(label)).second) return FailAt(i, std::string(kLabelRedefined) + label);
    }
    return {};
  }

  void PersistedVariablePass() {
    for (std::size_t i = 0; i < Count(); ++i) {
      if (Name(i) != "Set Variable") continue;
      const std::string text = Parameter(i, 1);
      const std::size_t separator = text.find(kPersistSeparator);
      if (separator != std::string::npos && text.substr(separator + kPersistSeparator.size()) == "TRUE") {
        Create(std::string_view(text).substr(0, separator));
      }
    }
  }

  Outcome CommandPass() {
    for (std::size_t i = 0; i < Count(); ++i) {
      if (Disabled(i)) continue;
      const CommandRule* rule = RuleOf(Name(i));
      if (!rule) continue;
      for (std::size_t n : rule->creates) {
        if (n == 0) continue;
        const std::string text = Parameter(i, n);
        Create(rule->name == "Set Variable" ? NameBeforePersistFlag(text) : std::string_view(text));
      }
      if (!rule->check) continue;
      const CheckedCommand command{[&](std::size_t n) { return Parameter(i, n); }, store_, labels_};
      if (Failure failure = rule->check(command)) return FailAt(i, std::move(*failure));
    }
    return {};
  }

  // Inside a wizard loop, up to its first enabled "End", only dialogs,
  // comments, disabled and "Ignore" commands may stand.
  Outcome WizardPass() const {
    bool inside = false;
    for (std::size_t i = 0; i < Count(); ++i) {
      if (Disabled(i)) continue;
      const std::string& name = Name(i);
      if (!inside) {
        inside = name == "Wizard Loop";
      } else if (name == "End") {
        inside = false;
      } else if (name != "Display Dialog" && name != "Comment" && name != "Ignore") {
        return FailAt(i, std::string(kWizardStatements));
      }
    }
    return {};
  }

  const ScriptPackage& package_;
  VariableStore store_;
  std::unordered_set<std::string> labels_;
};

}  // namespace

PreparationResult Prepare(const ScriptPackage& package) { return Preparation(package).Run(); }

}  // namespace bw
