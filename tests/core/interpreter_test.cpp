#include "engine/interpreter.h"

#include <gtest/gtest.h>

#include <deque>

#include "test_script.h"

namespace bw {
namespace {

using test::Command;
using test::MakePackage;

Command If(std::string variable, std::string code, std::string value, std::string negation = "FALSE") {
  return {"If", {std::move(variable), std::move(code), std::move(value), std::move(negation)}};
}
Command ElseIf(std::string variable, std::string code, std::string value) {
  return {"Else If", {std::move(variable), std::move(code), std::move(value), "FALSE"}};
}
Command Record(std::string mark) { return {"Record", {std::move(mark)}}; }
Command Set(std::string name, std::string value) { return {"Set Variable", {std::move(name), std::move(value)}}; }
Command Dialog(std::string name) { return {"Display Dialog", {std::move(name)}}; }
const Command kElse{"Else"};
const Command kEnd{"End"};

struct RunResult {
  bool normal = false;
  std::string trail;  // the marks of the Record and Display Dialog commands run, in order
  std::int32_t errorLine = 0;
  std::string errorMessage;
};

RunResult RunScript(const std::vector<Command>& commands, std::deque<std::string> dialogResults = {},
                    VariableStore* storeOut = nullptr) {
  const ScriptPackage package = MakePackage(commands);
  VariableStore localStore;
  VariableStore& store = storeOut ? *storeOut : localStore;
  store.Define("TRAIL", "", "Test");
  store.Define("ONE", "1", "Test");
  CommandTable table;
  table.Register("Record", [](Interpreter& run) {
    run.Store().Set("TRAIL", run.Store().Get("TRAIL") + run.Store().Expand(run.Parameter(1)), "Record Action");
  });
  table.Register("Display Dialog", [&](Interpreter& run) {
    run.Store().Set("TRAIL", run.Store().Get("TRAIL") + "<" + run.Parameter(1) + ">", "Display Dialog");
    if (!dialogResults.empty()) {
      run.ReportDialogResult(dialogResults.front());
      dialogResults.pop_front();
    }
  });
  RunResult result;
  InterpreterHooks hooks;
  hooks.reportError = [&](std::int32_t line, const std::string& message) {
    result.errorLine = line;
    result.errorMessage = message;
  };
  Interpreter interpreter(package, store, table, hooks);
  interpreter.CollectLabels();
  result.normal = interpreter.RunLoop();
  result.trail = store.Get("TRAIL");
  return result;
}

struct FlowCase {
  const char* name;
  std::vector<Command> script;
  std::string trail;
  std::deque<std::string> dialogResults = {};
};

TEST(Interpreter, ControlFlowRunsAtMostOneBranchOfEachChain) {
  const FlowCase cases[] = {
      {"if true", {If("ONE", "0", "1"), Record("a"), kElse, Record("b"), kEnd, Record("c")}, "ac"},
      {"if false else", {If("ONE", "0", "2"), Record("a"), kElse, Record("b"), kEnd, Record("c")}, "bc"},
      {"else if taken",
       {If("ONE", "0", "2"), Record("a"), ElseIf("ONE", "0", "1"), Record("b"), kElse, Record("c"), kEnd},
       "b"},
      // A taken "If" skips a later "Else If" without reading its variable.
      {"else if not evaluated",
       {If("ONE", "0", "1"), Record("a"), ElseIf("MISSING", "0", "1"), Record("b"), kEnd, Record("z")},
       "az"},
      {"nested chain in a taken branch",
       {If("ONE", "0", "1"), If("ONE", "0", "2"), Record("x"), kElse, Record("i"), kEnd, ElseIf("ONE", "0", "1"),
        Record("outer-else-if"), kEnd, Record("z")},
       "iz"},
      {"false if then taken chain",
       {If("ONE", "0", "2"), Record("a"), kEnd, If("ONE", "0", "1"), Record("b"), ElseIf("ONE", "0", "1"), Record("c"),
        kEnd},
       "b"},
      {"nested chain inside a skipped branch",
       {If("ONE", "0", "2"), If("ONE", "0", "1"), Record("x"), kElse, Record("y"), kEnd, kElse, Record("e"), kEnd},
       "e"},
      {"disabled end does not close",
       {If("ONE", "0", "2"), Record("a"), {"End", {}, true}, Record("b"), kEnd, Record("c")},
       "c"},
      {"disabled if does not open",
       {If("ONE", "0", "2"), {"If", {"ONE", "0", "1", "FALSE"}, true}, Record("a"), kEnd, Record("c")},
       "c"},
      {"ignore is invisible", {If("ONE", "0", "2"), {"Ignore"}, Record("a"), kEnd, Record("c")}, "c"},
      {"negation", {If("ONE", "0", "2", "TRUE"), Record("ne"), kEnd}, "ne"},
      {"unlisted names are no-ops", {{"Code Folding Region", {"x"}}, {"Label", {"L"}}, Record("a")}, "a"},
      {"last command disabled", {Record("a"), {"Record", {"b"}, true}}, "a"},
      {"terminate install", {Record("a"), {"Terminate Install"}, Record("b")}, "a"},
      {"goto out of a branch",
       {Set("N", "0"),
        {"Label", {"loop"}},
        If("N", "0", "3"),
        {"GoTo Label", {"done"}},
        kEnd,
        Record("$N$"),
        Set("N", "$N$1"),
        If("N", "0", "01"),
        Set("N", "2"),
        kElse,
        Set("N", "3"),
        kEnd,
        {"GoTo Label", {"LOOP"}},
        {"Label", {"done"}},
        Record("end")},
       "02end"},
      {"wizard next next",
       {{"Wizard Loop"}, Dialog("1"), Dialog("2"), kEnd, Record("after")},
       "<1><2>after",
       {"NEXT", "NEXT"}},
      {"wizard back from the second",
       {{"Wizard Loop"}, Dialog("1"), Dialog("2"), kEnd, Record("after")},
       "<1><2><1><2>after",
       {"NEXT", "BACK", "NEXT", "NEXT"}},
      {"wizard back from the first",
       {{"Wizard Loop"}, Dialog("1"), Dialog("2"), kEnd, Record("after")},
       "<1>after",
       {"BACK"}},
      {"wizard cancel", {{"Wizard Loop"}, Dialog("1"), Dialog("2"), kEnd, Record("after")}, "<1>after", {"CANCEL"}},
      {"wizard other result keeps direction",
       {{"Wizard Loop"}, Dialog("1"), {"Comment", {"x"}}, Dialog("2"), kEnd, Record("after")},
       "<1><2>after",
       {"SKIPPED", "NEXT"}},
  };
  for (const FlowCase& c : cases) {
    const RunResult result = RunScript(c.script, c.dialogResults);
    EXPECT_TRUE(result.normal) << c.name << ": " << result.errorMessage;
    EXPECT_EQ(result.trail, c.trail) << c.name;
  }
}

TEST(Interpreter, SetVariableStripsDollarsAndPersistsOnExactTrue) {
  VariableStore store;
  RunScript(
      {Set("$A$$KVOR$KVOR$TRUE", "x$ONE$"), Set("b$KVOR$KVOR$true", "y"), Set("C", "$A$$B$"), Set("$D$E$", "odd")}, {},
      &store);
  EXPECT_EQ(store.Get("A"), "x1");
  EXPECT_EQ(store.Get("B"), "y");
  EXPECT_EQ(store.Get("C"), "x1y");
  EXPECT_EQ(store.Get("$D$E$"), "odd");  // no dollar-name: the name as written
  EXPECT_EQ(store.PersistedNames(), std::vector<std::string>{"A"});
}

TEST(Interpreter, CommandLineValuesWinInSilentRuns) {
  for (const bool silent : {true, false}) {
    VariableStore store;
    store.SetSilent(silent);
    store.SetOverrides({{"X", "cmd"}});
    store.InjectOverrides();
    RunScript({Set("X", "script")}, {}, &store);
    EXPECT_EQ(store.Get("X"), silent ? "cmd" : "script");
  }
}

TEST(Interpreter, ARunTimeErrorEndsTheRunWithItsLine) {
  const RunResult missing = RunScript({Record("a"), Record("b"), If("NOPE", "0", "1"), Record("c")});
  EXPECT_FALSE(missing.normal);
  EXPECT_EQ(missing.trail, "ab");
  EXPECT_EQ(missing.errorLine, 3);
  EXPECT_EQ(missing.errorMessage, "Attempting to get value of undefined variable NOPE");
  std::vector<Command> twelve(11, Record("."));
  twelve.push_back({"GoTo Label", {"nowhere"}});
  const RunResult label = RunScript(twelve);
  EXPECT_EQ(label.errorLine, 12);
  EXPECT_EQ(label.errorMessage, "LABEL undefined: nowhere");
  // An "Else If" evaluated by a branch skip reports its own line.
  const RunResult elseIf = RunScript({If("ONE", "0", "2"), Record("a"), ElseIf("NOPE", "0", "1"), kEnd});
  EXPECT_EQ(elseIf.errorLine, 3);
}

TEST(Interpreter, AbortMirrorsTheCancelRequestBeforeEachCommand) {
  const ScriptPackage package = MakePackage({Set("SEEN", "$ABORT$"), Set("SEEN2", "$ABORT$")});
  VariableStore store;
  CommandTable table;
  int calls = 0;
  InterpreterHooks hooks;
  hooks.cancelRequested = [&] { return ++calls > 1; };
  Interpreter interpreter(package, store, table, hooks);
  ASSERT_TRUE(interpreter.RunLoop());
  EXPECT_EQ(store.Get("SEEN"), "FALSE");
  EXPECT_EQ(store.Get("SEEN2"), "TRUE");
}

TEST(Interpreter, SettingProgressVariablesUpdatesTheProgressDisplay) {
  const ScriptPackage package = MakePackage({Set("progress", "50"), Set("OTHER", "1"), Set("$PROGRESSTEXT$", "x")});
  VariableStore store;
  CommandTable table;
  int updates = 0;
  InterpreterHooks hooks;
  hooks.progressVariableSet = [&] { ++updates; };
  Interpreter interpreter(package, store, table, hooks);
  ASSERT_TRUE(interpreter.RunLoop());
  EXPECT_EQ(updates, 2);
}

}  // namespace
}  // namespace bw
