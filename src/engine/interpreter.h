#pragma once
// The command loop of a setup script: control flow, conditions, the wizard
// loop, labels, "Set Variable", and dispatch of every other command by its
// exact name through a table that each command group registers into.
//
// The interpreter runs on the GUI thread. What depends on Parts of the engine
// outside the script core (message processing, engine-wide values refreshed
// from variables, language reload, progress display, cancel request,
// plug-ins) reaches it through hooks that do nothing unless set.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "script_package.h"
#include "variable_store.h"

namespace bw {

class Interpreter;

// A command: reads its parameters through the interpreter, reads and writes
// variables through the store, and reports failure by throwing (a
// ScriptError's message is what the script's run-time error shows).
using CommandHandler = std::function<void(Interpreter&)>;

// Exact command name to handler.
class CommandTable {
 public:
  void Register(std::string name, CommandHandler handler);
  const CommandHandler* Find(std::string_view name) const;

 private:
  std::unordered_map<std::string, CommandHandler> handlers_;
};

struct InterpreterHooks {
  std::function<void()> processMessages;        // every 314 commands
  std::function<void()> beforeCommand;          // refresh engine values, DATE, TIME, language, cache folders
  std::function<bool()> cancelRequested;        // the user asked to cancel on the progress dialog
  std::function<void()> refreshProgress;        // a non-modal dialog shows progress
  std::function<void()> progressVariableSet;    // "Set Variable" wrote PROGRESS or PROGRESSTEXT
  std::function<void(Interpreter&)> runPlugIn;  // a command of the plug-in list
  // A run-time error ended the loop: the line number and the message.
  std::function<void(std::int32_t line, const std::string& message)> reportError;
};

class Interpreter {
 public:
  Interpreter(const ScriptPackage& package, VariableStore& store, const CommandTable& commands,
              InterpreterHooks hooks = {});

  // Collects the labels of the script (every "Label", disabled or not).
  void CollectLabels();
  // Runs the command loop from the first command. Returns true when the run
  // ended normally (end of script, "Terminate Install"), false when a
  // run-time error ended it (after reportError).
  bool RunLoop();

  // For command handlers.
  VariableStore& Store() { return store_; }
  std::size_t CommandIndex() const { return static_cast<std::size_t>(pc_ - 1); }
  const std::string& CommandName() const { return package_.CommandName(CommandIndex()); }
  // Parameter n of the current command, as written.
  std::string Parameter(std::size_t n) const;
  // Ends the run as if the script had ended.
  void EndRun() { ended_ = true; }
  // The result of a "Display Dialog" shown by the wizard: NEXT, BACK, CANCEL.
  void ReportDialogResult(std::string_view result);

 private:
  bool IsVisible(std::size_t index) const;
  void Advance();
  void BranchSkip();
  void EndSkip();
  void WizardMove();
  void LeaveWizard();
  // The index of the first visible "Else If", "Else" or "End" at the level of
  // the chain after index (with stopAtBranches), or of its "End"; the command
  // count when there is none.
  std::size_t ScanChain(std::size_t from, bool stopAtBranches) const;
  bool ConditionHolds();
  void Dispatch();
  void RunSetVariable();
  void RunGoTo();

  const ScriptPackage& package_;
  VariableStore& store_;
  const CommandTable& commands_;
  InterpreterHooks hooks_;
  std::int32_t pc_ = 0;
  bool branchSkip_ = false;
  bool endSkip_ = false;
  bool wizardActive_ = false;
  int wizardDirection_ = 0;
  bool ended_ = false;
  std::vector<std::pair<std::string, std::size_t>> labels_;
};

}  // namespace bw
