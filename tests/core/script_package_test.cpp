#include "engine/script_package.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace bw {
namespace {

// Script text from lines, each ended with CR LF.
std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// A small complete script: two commands, the first with two parameters.
ScriptItems SampleItems() {
  ScriptItems items;
  items.commandNames = {"Set Variable", "End"};
  items.commandIds = {"{00000000-0000-0000-0000-000000000001}", "{00000000-0000-0000-0000-000000000002}"};
  items.parameterLines = {"{00000000-0000-0000-0000-000000000001}", "NAME$KVOR$KVOR$FALSE", "value"};
  items.commandFlags = {"", ""};
  items.productCode = "{11111111-1111-1111-1111-111111111111}";
  items.title = "Sample";
  items.publisher = "Publisher";
  items.version = "1.0";
  items.commandBlocks = {"", ""};
  items.buildMode = "0";
  items.componentSizes = {"KVOR-PREDEF-COMPONENT", "0"};
  items.revisionCode = "{22222222-2222-2222-2222-222222222222}";
  items.askLanguage = "FALSE";
  items.defaultLanguage = "English";
  return items;
}

TEST(ScriptItems, WriteThenReadGivesTheSameItems) {
  ScriptItems items = SampleItems();
  items.title = "lone\nLF and lone\rCR";
  items.buildVariables = {"BUILDMODE", "WEB", "BUILDMODE", "CD"};
  EXPECT_EQ(ReadScriptItems(WriteScriptItems(items)), items);
}

TEST(ScriptItems, ListsMayBeEmptyAndOnlyAnExactDollarClosesThem) {
  ScriptItems items = SampleItems();
  items.commandNames = {};
  items.commandIds = {};
  items.parameterLines = {" $", "$ ", "$$"};
  const std::string text = WriteScriptItems(items);
  EXPECT_EQ(text.substr(0, 6), "$\r\n$\r\n");
  EXPECT_EQ(ReadScriptItems(text).parameterLines, items.parameterLines);
}

TEST(ScriptItems, ToleratesAMissingFinalLineEndAndIgnoresTrailingBytes) {
  std::string text = WriteScriptItems(SampleItems());
  ASSERT_EQ(text.substr(text.size() - 3), "$\r\n");
  EXPECT_EQ(ReadScriptItems(text.substr(0, text.size() - 2)), SampleItems());
  EXPECT_EQ(ReadScriptItems(text + "junk\r\n$\r\n"), SampleItems());
}

TEST(ScriptItems, WriterRefusesLinesItCannotRepresent) {
  ScriptItems dollarInList = SampleItems();
  dollarInList.plugInCommands = {"$"};
  EXPECT_THROW(WriteScriptItems(dollarInList), std::invalid_argument);
  ScriptItems lineBreak = SampleItems();
  lineBreak.title = "two\r\nlines";
  EXPECT_THROW(WriteScriptItems(lineBreak), std::invalid_argument);
  ScriptItems dollarSingle = SampleItems();
  dollarSingle.title = "$";  // a single item may be "$"
  EXPECT_EQ(ReadScriptItems(WriteScriptItems(dollarSingle)).title, "$");
}

TEST(ScriptItems, MalformedDataStopsAtItsEndWithAMessageNamingTheItem) {
  const std::string whole = WriteScriptItems(SampleItems());
  struct MalformedCase {
    std::string data;
    std::string messagePart;
  };
  const MalformedCase cases[] = {
      {"", "command names"},
      {Lines({"Set Variable", "End"}), "command names"},
      {Lines({"$", "$", "{A}", "p1"}), "parameter section"},
      {Lines({"$", "$", "$", "$"}), "product code"},
      {Lines({"$", "$", "$", "$", "{P}", "Title"}), "plug-in command list"},
      // Everything but the closing line of the build variable table.
      {whole.substr(0, whole.size() - 3), "build variable table"},
  };
  for (const MalformedCase& c : cases) {
    try {
      ReadScriptItems(c.data);
      ADD_FAILURE() << "no error for " << c.messagePart;
    } catch (const MalformedScript& error) {
      EXPECT_NE(std::string(error.what()).find(c.messagePart), std::string::npos) << error.what();
    }
  }
}

TEST(ScriptPackage, LoadsTheItemsIntoTheirFields) {
  ScriptItems items = SampleItems();
  items.plugInCommands = {"My Plugin Command"};
  items.buildMode = "2";
  items.askLanguage = "TRUE";
  const ScriptPackage package = ScriptPackage::Load(WriteScriptItems(items));
  EXPECT_EQ(package.CommandCount(), 2u);
  EXPECT_EQ(package.CommandName(0), "Set Variable");
  EXPECT_EQ(package.CommandId(1), "{00000000-0000-0000-0000-000000000002}");
  EXPECT_EQ(package.CommandFlag(5), "");  // past the list: empty
  EXPECT_EQ(package.Title, "Sample");
  EXPECT_EQ(package.Publisher, "Publisher");
  EXPECT_EQ(package.BuildMode, 2);
  EXPECT_TRUE(package.AskLanguage);
  EXPECT_EQ(package.PlugInCommands, items.plugInCommands);
  EXPECT_EQ(package.ComponentSizes, items.componentSizes);
  EXPECT_EQ(package.RevisionCode, items.revisionCode);
  EXPECT_EQ(package.DefaultLanguage, "English");
}

TEST(ScriptPackage, LanguagePromptNeedsExactlyTrue) {
  for (const char* text : {"True", "true", "TRUE ", "-1", ""}) {
    ScriptItems items = SampleItems();
    items.askLanguage = text;
    EXPECT_FALSE(ScriptPackage::Load(WriteScriptItems(items)).AskLanguage) << '"' << text << '"';
  }
}

TEST(ScriptPackage, BuildModeMustBeAnInteger) {
  ScriptItems items = SampleItems();
  items.buildMode = "web";
  EXPECT_THROW(ScriptPackage::Load(WriteScriptItems(items)), MalformedScript);
}

TEST(ScriptPackage, DollarMarkersBecomeALoneDollarInTheParameterSectionOnly) {
  ScriptItems items = SampleItems();
  items.parameterLines = {"{ID}", "$DOLLAR$", "$wild_dollar$", "$Dollar$", "x$DOLLAR$", "$DOLLAR$ ", "$WILD_DOLLAR$"};
  items.title = "$DOLLAR$";
  const ScriptPackage package = ScriptPackage::Load(WriteScriptItems(items));
  EXPECT_EQ(package.ParameterSections.at(0).Lines(),
            (std::vector<std::string>{"{ID}", "$", "$", "$", "x$DOLLAR$", "$DOLLAR$ ", "$"}));
  EXPECT_EQ(package.Title, "$DOLLAR$");
}

TEST(ScriptPackage, ParameterFetchCountsFromTheHighestOccurrenceIgnoringCase) {
  ScriptItems items = SampleItems();
  items.parameterLines = {"{AAAA}", "a1", "a2", "{BBBB}", "b1", "{aaaa}", "a1 again", "last"};
  const ScriptPackage package = ScriptPackage::Load(WriteScriptItems(items));
  struct FetchCase {
    const char* id;
    std::size_t n;
    const char* expected;
  };
  const FetchCase cases[] = {
      {"{AAAA}", 0, "{aaaa}"},  // the id line itself, from its later occurrence
      {"{AAAA}", 1, "a1 again"}, {"{bbbb}", 1, "b1"},
      {"{BBBB}", 2, "{aaaa}"},  // past its own parameters: the next command's lines
      {"{CCCC}", 0, ""},        // no id line: every parameter is empty
      {"{CCCC}", 7, ""},
  };
  for (const FetchCase& c : cases) {
    EXPECT_EQ(package.Parameter(c.id, c.n), c.expected) << c.id << " " << c.n;
  }
  EXPECT_THROW(package.Parameter("{AAAA}", 3), std::out_of_range);
}

}  // namespace
}  // namespace bw
