#include "engine/preparation.h"

#include <gtest/gtest.h>

#include "test_script.h"

namespace bw {
namespace {

using test::Command;

struct PreparationCase {
  const char* name;
  std::vector<Command> script;
  std::int32_t index;
  std::string message;
};

Command If(std::string variable, std::string value) {
  return {"If", {std::move(variable), "0", std::move(value), "FALSE"}};
}
Command Set(std::string name, std::string value = "x") { return {"Set Variable", {std::move(name), std::move(value)}}; }
Command Label(std::string name) { return {"Label", {std::move(name)}}; }
const Command kEnd{"End"};

const std::string kPassed = "Script compiled successfully";
const std::string kNotDefined = "Variable not defined: ";
const std::string kRequired = "Variable required";

TEST(Preparation, ReportsTheFirstFailingCommandAndItsMessage) {
  const PreparationCase cases[] = {
      {"empty script", {}, -1, kPassed},
      {"predefined names count as defined", {If("TITLE", "$SUPPORTDIR$"), kEnd}, -1, kPassed},

      // Blocks and labels.
      {"one If too many", {If("TITLE", "a"), If("TITLE", "b"), kEnd}, kNoCommandIndex, "Insufficient END statements"},
      {"one End too many", {kEnd}, kNoCommandIndex, "Too many END statements"},
      {"a disabled If opens nothing", {{"If", {"TITLE", "0", "a", "FALSE"}, false, "C"}}, -1, kPassed},
      {"a disabled End closes nothing",
       {If("TITLE", "a"), {"End", {}, false, "C"}},
       kNoCommandIndex,
       "Insufficient END statements"},
      {"label inside If",
       {If("TITLE", "a"), Label("in"), kEnd},
       1,
       "LABEL statements cannot be nested inside loops/conditionals"},
      {"label after a surplus End",
       {kEnd, Label("after")},
       1,
       "LABEL statements cannot be nested inside loops/conditionals"},
      {"label inside a wizard loop",
       {{"Wizard Loop"}, Label("in"), kEnd},
       1,
       "LABEL statements cannot be nested inside loops/conditionals"},
      {"labels differing in case", {Label("Start"), Label("START")}, 1, "LABEL re-defined: START"},
      {"GoTo a label defined later", {{"GoTo Label", {"end"}}, Label("END")}, -1, kPassed},
      {"GoTo an undefined label", {Label("a"), {"GoTo Label", {"b"}}}, 1, "LABEL undefined: b"},
      {"GoTo a disabled label", {{"Label", {"gone"}, false, "C"}, {"GoTo Label", {"gone"}}}, -1, kPassed},

      // Definitions in script order.
      {"Convert Case of a variable written later", {{"Convert Case", {"X", "TRUE"}}, Set("X")}, 0, kNotDefined + "X"},
      {"Convert Case after Set Variable", {Set("X"), {"Convert Case", {"x", "TRUE"}}}, -1, kPassed},
      {"Convert Path takes the name as written", {Set("X"), {"Convert Path", {"$X$", "TRUE"}}}, 1, kNotDefined + "$X$"},
      {"Set Variable creates its parameter as written",
       {Set("$X$"), {"Replace String", {"$X$", "a", "b"}}},
       -1,
       kPassed},
      {"Set Variable drops the persist flag", {Set("Y$KVOR$KVOR$FALSE"), {"Extract Path", {"Y", "1"}}}, -1, kPassed},
      {"a persisted name counts anywhere", {{"Convert Case", {"P", "TRUE"}}, Set("P$KVOR$KVOR$TRUE")}, -1, kPassed},
      {"a persist flag must be exactly TRUE",
       {{"Convert Case", {"P", "TRUE"}}, Set("P$KVOR$KVOR$true")},
       0,
       kNotDefined + "P"},
      {"a disabled Set Variable defines nothing",
       {{"Set Variable", {"D", "1"}, false, "C"}, {"Convert Case", {"D"}}},
       1,
       kNotDefined + "D"},
      {"Read from Text File creates two",
       {{"Read from Text File", {"f", "LINE", "EOF"}}, If("LINE", "$EOF$"), kEnd},
       -1,
       kPassed},
      {"Display Dialog creates its result before its condition",
       {{"Display Dialog", {"Welcome", "RESULT", "", "RESULT"}}},
       -1,
       kPassed},

      // Conditions.
      {"If needs a variable", {If("", "a"), kEnd}, 0, kRequired},
      {"If of an undefined variable", {If("NOPE", "a"), kEnd}, 0, kNotDefined + "NOPE"},
      {"If of an undefined reference", {If("$NOPE$", "a"), kEnd}, 0, kNotDefined + "$NOPE$"},
      {"If against an undefined reference", {If("TITLE", "$NOPE$"), kEnd}, 0, kNotDefined + "$NOPE$"},
      {"If against plain text", {If("TITLE", "NOPE"), kEnd}, -1, kPassed},
      {"both undefined names the value", {If("A", "$B$"), kEnd}, 0, kNotDefined + "$B$"},
      {"Else If is checked too",
       {If("TITLE", "a"), {"Else If", {"TITLE", "0", "$NOPE$"}}, kEnd},
       1,
       kNotDefined + "$NOPE$"},

      // The other rules.
      {"Web Media Block with a pipe",
       {{"Web Media Block", {"a|b", "http://x"}}},
       0,
       "Web Media Block name must be a legal file name"},
      {"Web Media Block with a folder", {{"Web Media Block", {"C:\\a*b\\block", "http://x"}}}, -1, kPassed},
      {"Web Media Block without URL",
       {{"Web Media Block", {"block", ""}}},
       0,
       "Web Media Block must have at least one download URL"},
      {"unnamed Web Media Block", {{"Web Media Block", {"", ""}}}, -1, kPassed},
      {"Delete Files without a mode",
       {{"Delete Files", {"a", "b", "FALSE", "FALSE"}}},
       0,
       "At least one delete mode must be selected"},
      {"Delete Files with -1", {{"Delete Files", {"a", "b", "FALSE", "-1"}}}, -1, kPassed},
      {"Install Files without target",
       {{"Install Files", {"a", "b", ""}}},
       0,
       "A target folder must be specified for files that are being installed.\rThe value $TARGETDIR$ represents the "
       "destination folder chosen by the user."},
      {"Is MSI Setup Installed without variable", {{"Is MSI Setup Installed", {"{code}", ""}}}, 0, kRequired},
      {"Find All Files without variable", {{"Find All Files", {"C:\\*", "TRUE", "FALSE", ""}}}, 0, kRequired},
      {"Check Disk Space without variable", {{"Check Disk Space", {"", "C:\\"}}}, 0, kRequired},
      {"bad expression",
       {{"Evaluate Expression", {"$A$ == \"b\"", "R"}}},
       0,
       "Syntax error in expression. Please review the help topic \"Evaluate Expression\" for the correct syntax."},
      {"good expression defines its result",
       {{"Evaluate Expression", {"$A$ = \"b\"", "R"}}, If("R", "TRUE"), kEnd},
       -1,
       kPassed},
      {"dialog without name", {{"Display Dialog", {"", "R"}}}, 0, "Dialog name not specified"},
      {"dialog condition undefined", {{"Display Dialog", {"Welcome", "R", "", "$SHOW$"}}}, 0, kNotDefined + "$SHOW$"},
      {"a missing parameter reads as empty", {{"Check Disk Space"}}, 0, kRequired},

      // Wizard loops.
      {"wizard loop of dialogs and comments",
       {{"Wizard Loop"},
        {"Display Dialog", {"A", "R", "", ""}},
        {"Comment", {"c"}},
        {"Ignore"},
        {"Set Variable", {"X"}, true},
        {"Display Dialog", {"B", "R", "", ""}},
        kEnd,
        Set("after")},
       -1,
       kPassed},
      {"Set Variable inside a wizard loop",
       {{"Wizard Loop"}, {"Display Dialog", {"A", "R", "", ""}}, Set("X"), kEnd},
       2,
       "Statements other than DISPLAY DIALOG not allowed inside WIZARD LOOP"},
      {"a raw disabled Set Variable inside a wizard loop",
       {{"Wizard Loop"}, {"Set Variable", {"X", "1"}, false, "C"}, kEnd},
       -1,
       kPassed},
  };
  for (const PreparationCase& c : cases) {
    const PreparationResult result = Prepare(test::MakePackage(c.script));
    EXPECT_EQ(result.failingIndex, c.index) << c.name;
    EXPECT_EQ(result.message, c.message) << c.name;
  }
}

}  // namespace
}  // namespace bw
