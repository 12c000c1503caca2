#include "authoring/project.h"

#include <gtest/gtest.h>

#include "engine/scrambled_key.h"
#include "engine/script_package.h"

namespace bw::authoring {
namespace {

constexpr char kIdA[] = "{0D3E8666-30AA-4D6A-9AFC-041AF62235E3}";
constexpr char kIdB[] = "{11111111-2222-3333-4444-555555555555}";

// A project using every keyword; compiles without insertions.
std::string FullProject() {
  return std::string(
             "# every item\n"
             "product-code {AAAAAAAA-0000-0000-0000-000000000001}\n"
             "revision-code {AAAAAAAA-0000-0000-0000-000000000002}\n"
             "title  \"  Spaced Title \"\n"
             "publisher ACME \xC4G\n"
             "contact me@example.com\n"
             "help-link https://example.com/help\n"
             "update-info-link https://example.com/update\n"
             "comments Hash # is text\n"
             "version 6.2.50\n"
             "build-mode 2\n"
             "ask-language True\n"
             "default-language German\n"
             "plugin-command My Plugin\n"
             "web-block-key offline a secret\n"
             "web-block-key-scrambled web1 1g\n"
             "component KVOR-PREDEF-COMPONENT 0\n"
             "component MAIN\\SUB 12345678901\n"
             "media-file web1 0000000A\\file.txt web1\\0000000B\\0000000A\\\n"
             "command-header 0000000B 1\n"
             "build-variable BUILDMODE WEB\n"
             "build-variable BUILDMODE CD\n"
             "command Set Variable\n"
             "  id ") +
         kIdA +
         "\n"
         "  block web1\n"
         "  param NAME$KVOR$KVOR$FALSE\n"
         "  param $\n"
         "  param \"\"\n"
         "  param $DOLLAR$\n"
         "command Install Files\n"
         "  id " +
         kIdB +
         "\n"
         "  disabled\n"
         "  param \"\\tTabbed\"\n"
         "command End\n"
         "  id {CCCCCCCC-0000-0000-0000-000000000003}\n"
         "  flag X\n";
}

ScriptItems Compile(const std::string& text) {
  std::vector<Insertion> insertions;
  ScriptItems items = CompileProject(ParseProject(text), insertions);
  EXPECT_TRUE(insertions.empty());
  return items;
}

TEST(Project, CompilesEveryItemToItsScriptLines) {
  const ScriptItems items = Compile(FullProject());
  EXPECT_EQ(items.title, "  Spaced Title ");
  EXPECT_EQ(items.publisher, "ACME \xC4G");
  EXPECT_EQ(items.comments, "Hash # is text");
  EXPECT_EQ(items.buildMode, "2");
  EXPECT_EQ(items.askLanguage, "True");
  EXPECT_EQ(items.webBlockKeys, (std::vector<std::string>{"offline", ScrambleKey("a secret"), "web1", "1g"}));
  EXPECT_EQ(items.componentSizes, (std::vector<std::string>{"KVOR-PREDEF-COMPONENT", "0", "MAIN\\SUB", "12345678901"}));
  EXPECT_EQ(items.buildVariables, (std::vector<std::string>{"BUILDMODE", "WEB", "BUILDMODE", "CD"}));
  // A disabled command is written as "Comment" with the flag "C" and keeps its parameters.
  EXPECT_EQ(items.commandNames, (std::vector<std::string>{"Set Variable", "Comment", "End"}));
  EXPECT_EQ(items.commandFlags, (std::vector<std::string>{"", "C", "X"}));
  EXPECT_EQ(items.commandBlocks, (std::vector<std::string>{"web1\\", "", ""}));
  // A lone "$" is written as "$DOLLAR$"; a command without parameters has no id line.
  EXPECT_EQ(items.parameterLines,
            (std::vector<std::string>{kIdA, "NAME$KVOR$KVOR$FALSE", "$DOLLAR$", "", "$DOLLAR$", kIdB, "\tTabbed"}));
  const ScriptPackage package = ScriptPackage::Load(WriteScriptItems(items));
  EXPECT_EQ(package.Parameter(kIdA, 2), "$");
  EXPECT_EQ(package.Parameter("{CCCCCCCC-0000-0000-0000-000000000003}", 1), "");
}

TEST(Project, DumpRebuildsTheSameScriptBytes) {
  const std::string script = WriteScriptItems(Compile(FullProject()));
  const std::string dumped = DumpProject(ReadScriptItems(script));
  EXPECT_EQ(WriteScriptItems(Compile(dumped)), script);
  EXPECT_EQ(DumpProject(ReadScriptItems(script)), dumped);  // stable
  // The plain key form is used where it scrambles back exactly; lower-case digits do not.
  EXPECT_NE(dumped.find("web-block-key offline a secret\n"), std::string::npos);
  EXPECT_NE(dumped.find("web-block-key-scrambled web1 1g\n"), std::string::npos);
}

TEST(Project, MissingIdsAreGeneratedAndWrittenBackInPlace) {
  const std::string text =
      "# header comment\r\n"
      "\r\n"
      "title T\r\n"
      "command Set Variable\r\n"
      "  param A$KVOR$KVOR$FALSE\r\n"
      "  param 1\r\n"
      "command End";
  std::vector<Insertion> insertions;
  const ScriptItems first = CompileProject(ParseProject(text), insertions);
  ASSERT_EQ(insertions.size(), 4u);
  const std::string updated = ApplyInsertions(text, insertions);
  EXPECT_EQ(updated.rfind("# header comment\r\n\r\nproduct-code {", 0), 0u) << updated;
  EXPECT_NE(updated.find("command Set Variable\r\n  id " + first.commandIds[0] + "\r\n  param A"), std::string::npos);
  EXPECT_NE(updated.find("command End\r\n  id " + first.commandIds[1] + "\r\n"), std::string::npos) << updated;
  // The updated project builds the same script again, with nothing left to generate.
  EXPECT_EQ(Compile(updated), first);
  EXPECT_NE(first.commandIds[0], first.commandIds[1]);
}

TEST(Project, FaultsAreReportedWithTheirLine) {
  const std::string head = "product-code {AAAAAAAA-0000-0000-0000-000000000001}\n";
  struct FaultCase {
    std::string text;
    std::size_t line;
    std::string messagePart;
  };
  const FaultCase cases[] = {
      {head + "titel X\n", 2, "unknown keyword"},
      {head + "param X\n", 2, "before the first command"},
      {head + "title A\ntitle B\n", 3, "given twice"},
      {head + "revision-code {abc}\n", 2, "no GUID"},
      {head + "build-mode web\n", 2, "no integer"},
      {head + "component MAIN 12kB\n", 2, "no decimal number"},
      {head + "command-header 0000000b 1\n", 2, "eight upper-case"},
      {head + "plugin-command $\n", 2, "lone \"$\""},
      {head + "title \"two\\r\\nlines\"\n", 2, "line break"},
      {head + "title \"a\\x1Ab\"\n", 2, "Ctrl-Z"},
      {head + "title \"open\n", 2, "closing double quote"},
      {head + "command A\n  disabled\n  flag X\n", 4, "disabled"},
      {head + "command A\n  id " + kIdA + "\n  id " + kIdB + "\n", 4, "already has an id"},
      {head + "command A\n  id " + kIdA + "\ncommand B\n  id {0d3e8666-30aa-4d6a-9afc-041af62235e3}\n", 4, "no GUID"},
      {head + "command A\n  id " + kIdA + "\ncommand B\n  id " + kIdA + "\n", 4, "already the id"},
      {head + "command A\n  id " + kIdA + "\n  param " + kIdB + "\ncommand B\n  id " + kIdB + "\n", 2, "equals the id"},
      {head + "command\n", 2, "needs a name"},
  };
  for (const FaultCase& c : cases) {
    try {
      std::vector<Insertion> insertions;
      CompileProject(ParseProject(c.text), insertions);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ProjectError& error) {
      EXPECT_EQ(error.line(), c.line) << error.what();
      EXPECT_NE(std::string(error.what()).find(c.messagePart), std::string::npos) << error.what();
    }
  }
}

TEST(Project, KeysWhoseScrambledFormBreaksALineAreRefused) {
  // Byte 22's low digit '0' lands at position 42, and '0' ^ 42 is Ctrl-Z.
  const std::string refused = "web-block-key offline " + std::string(21, 'A') + "P\n";
  try {
    ParseProject(refused);
    ADD_FAILURE() << "accepted";
  } catch (const ProjectError& error) {
    EXPECT_NE(std::string(error.what()).find("byte 22"), std::string::npos) << error.what();
  }
  EXPECT_EQ(ParseProject("web-block-key offline " + std::string(22, 'A') + "\n").items.webBlockKeys.size(), 2u);
}

TEST(Project, ScriptsThatNoProjectBuildsExactlyAreNotDumped) {
  ScriptItems oddPairs = Compile(FullProject());
  oddPairs.componentSizes.pop_back();
  EXPECT_THROW(DumpProject(oddPairs), ProjectError);
  ScriptItems strayId = Compile(FullProject());
  strayId.parameterLines.insert(strayId.parameterLines.begin(), "{DDDDDDDD-0000-0000-0000-000000000004}");
  EXPECT_THROW(DumpProject(strayId), ProjectError);
  ScriptItems lineFeed = Compile(FullProject());
  lineFeed.title = "a\nb";
  EXPECT_THROW(DumpProject(lineFeed), ProjectError);
}

}  // namespace
}  // namespace bw::authoring
