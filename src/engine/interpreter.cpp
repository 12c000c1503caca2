#include "interpreter.h"

#include <algorithm>

#include "ansi_case.h"
#include "condition.h"
#include "preparation.h"
#include "text_utilities.h"

namespace bw {

namespace {
constexpr std::int32_t kMessageInterval = 314;
constexpr std::string_view kSubFieldSeparator = "$KVOR$KVOR$";
}  // namespace

void CommandTable::Register(std::string name, CommandHandler handler) {
  handlers_.insert_or_assign(std::move(name), std::move(handler));
}

const CommandHandler* CommandTable::Find(std::string_view name) const {
  const auto found = handlers_.find(std::string(name));
  return found == handlers_.end() ? nullptr : &found->second;
}

Interpreter::Interpreter(const ScriptPackage& package, VariableStore& store, const CommandTable& commands,
                         InterpreterHooks hooks)
    : package_(package), store_(store), commands_(commands), hooks_(std::move(hooks)) {}

void Interpreter::CollectLabels() {
  labels_.clear();
  for (std::size_t i = 0; i < package_.CommandCount(); ++i) {
    if (package_.CommandName(i) == "Label") {
      labels_.emplace_back(AnsiUpper(package_.Parameter(package_.CommandId(i), 1)), i);
    }
  }
}

std::string Interpreter::Parameter(std::size_t n) const {
  return package_.Parameter(package_.CommandId(CommandIndex()), n);
}

bool Interpreter::IsVisible(std::size_t index) const {
  return package_.CommandFlag(index) != "C" && package_.CommandName(index) != "Ignore";
}

void Interpreter::Advance() {
  const auto count = static_cast<std::int32_t>(package_.CommandCount());
  ++pc_;
  while (pc_ < count && !IsVisible(CommandIndex())) ++pc_;
}

std::size_t Interpreter::ScanChain(std::size_t from, bool stopAtBranches) const {
  int level = 0;
  for (std::size_t i = from; i < package_.CommandCount(); ++i) {
    if (!IsVisible(i)) continue;
    const std::string& name = package_.CommandName(i);
    if (name == "If" || name == "Wizard Loop") {
      ++level;
    } else if (name == "End") {
      if (level == 0) return i;
      --level;
    } else if (stopAtBranches && level == 0 && (name == "Else If" || name == "Else")) {
      return i;
    }
  }
  return package_.CommandCount();
}

// A false condition: on to the next branch of the chain whose condition holds,
// its "Else", or past its "End".
void Interpreter::BranchSkip() {
  branchSkip_ = false;
  while (true) {
    const std::size_t stop = ScanChain(CommandIndex() + 1, true);
    pc_ = static_cast<std::int32_t>(stop) + 1;  // the stop becomes the current command
    if (stop >= package_.CommandCount() || package_.CommandName(stop) != "Else If") return;
    if (ConditionHolds()) return;
  }
}

// The running branch reached "Else If" or "Else": past the chain's "End".
void Interpreter::EndSkip() {
  endSkip_ = false;
  pc_ = static_cast<std::int32_t>(ScanChain(CommandIndex() + 1, false)) + 1;
}

void Interpreter::LeaveWizard() {
  wizardActive_ = false;
  // The loop's "End" is the first visible one after the current command; it
  // becomes the current command, and "End" does nothing.
  for (std::size_t i = CommandIndex() + 1; i < package_.CommandCount(); ++i) {
    if (IsVisible(i) && package_.CommandName(i) == "End") {
      pc_ = static_cast<std::int32_t>(i) + 1;
      return;
    }
  }
  pc_ = static_cast<std::int32_t>(package_.CommandCount()) + 1;
}

void Interpreter::WizardMove() {
  if (wizardDirection_ == 0) {
    LeaveWizard();
    return;
  }
  auto index = static_cast<std::int64_t>(CommandIndex());
  const auto count = static_cast<std::int64_t>(package_.CommandCount());
  while (true) {
    index += wizardDirection_;
    if (index < 0 || index >= count) {
      wizardActive_ = false;
      pc_ = static_cast<std::int32_t>(index < 0 ? 0 : count + 1);
      return;
    }
    const auto i = static_cast<std::size_t>(index);
    if (!IsVisible(i)) continue;
    const std::string& name = package_.CommandName(i);
    if (name == "Display Dialog" || name == "End") {
      pc_ = static_cast<std::int32_t>(i) + 1;
      if (name == "End") wizardActive_ = false;
      return;
    }
    if (name == "Wizard Loop") {
      pc_ = static_cast<std::int32_t>(i) + 1;
      LeaveWizard();
      return;
    }
  }
}

void Interpreter::ReportDialogResult(std::string_view result) {
  if (result == "NEXT")
    wizardDirection_ = 1;
  else if (result == "BACK")
    wizardDirection_ = -1;
  else if (result == "CANCEL")
    wizardDirection_ = 0;
}

bool Interpreter::ConditionHolds() {
  const std::string variable = Parameter(1);
  const std::string code = Parameter(2);
  const std::string comparison = Parameter(3);
  const std::string negation = Parameter(4);
  return EvaluateCondition(store_, {variable, code, comparison, negation});
}

void Interpreter::RunSetVariable() {
  const std::string value = store_.Expand(Parameter(2));
  std::string name = Parameter(1);
  bool persist = false;
  if (const std::size_t separator = name.find(kSubFieldSeparator); separator != std::string::npos) {
    persist = name.substr(separator + kSubFieldSeparator.size()) == "TRUE";
    name.resize(separator);
  }
  if (const std::string stripped = StripDollars(name); !stripped.empty()) name = stripped;
  if (!store_.IsDefined(name)) store_.Define(name, "", "Set Variable Action");
  store_.Set(name, value, "Set Variable Action");
  if (persist) store_.AddPersisted(AnsiUpper(name));
  if ((AnsiEqualsIgnoringCase(name, "PROGRESS") || AnsiEqualsIgnoringCase(name, "PROGRESSTEXT")) &&
      hooks_.progressVariableSet) {
    hooks_.progressVariableSet();
  }
}

void Interpreter::RunGoTo() {
  const std::string label = AnsiUpper(Parameter(1));
  for (const auto& [name, index] : labels_) {
    if (name == label) {
      pc_ = static_cast<std::int32_t>(index);
      branchSkip_ = endSkip_ = false;
      wizardActive_ = false;
      return;
    }
  }
  throw ScriptError(std::string(kLabelUndefinedMessage) + Parameter(1));
}

void Interpreter::Dispatch() {
  const std::string& name = CommandName();
  if (name == "If") {
    if (!ConditionHolds()) branchSkip_ = true;
  } else if (name == "Else If" || name == "Else") {
    endSkip_ = true;
  } else if (name == "Wizard Loop") {
    wizardActive_ = true;
    wizardDirection_ = 1;
  } else if (name == "GoTo Label") {
    RunGoTo();
  } else if (name == "Set Variable") {
    RunSetVariable();
  } else if (name == "Terminate Install") {
    EndRun();
  } else if (const CommandHandler* handler = commands_.Find(name)) {
    (*handler)(*this);
  }
  // "End", "Label", "Comment", "Ignore" and unlisted names do nothing.
}

bool Interpreter::RunLoop() {
  pc_ = 0;
  branchSkip_ = endSkip_ = wizardActive_ = ended_ = false;
  const auto count = static_cast<std::int32_t>(package_.CommandCount());
  try {
    while (count > pc_ && !ended_) {
      if (pc_ % kMessageInterval == 0 && hooks_.processMessages) hooks_.processMessages();
      if (hooks_.beforeCommand) hooks_.beforeCommand();
      if (branchSkip_) BranchSkip();
      if (endSkip_) EndSkip();
      if (wizardActive_) {
        WizardMove();
      } else {
        Advance();
      }
      if (pc_ > count) break;
      if (!IsVisible(CommandIndex())) continue;
      store_.Define("ABORT", BoolText(hooks_.cancelRequested && hooks_.cancelRequested()), "Cancel State");
      if (hooks_.refreshProgress) hooks_.refreshProgress();
      const std::vector<std::string>& plugIns = package_.PlugInCommands;
      if (std::find(plugIns.begin(), plugIns.end(), CommandName()) != plugIns.end()) {
        if (hooks_.runPlugIn) hooks_.runPlugIn(*this);
        continue;
      }
      Dispatch();
    }
  } catch (const std::exception& error) {
    if (hooks_.reportError) hooks_.reportError(pc_, error.what());
    return false;
  }
  return true;
}

}  // namespace bw
