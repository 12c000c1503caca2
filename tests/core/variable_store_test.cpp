#include "engine/variable_store.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/text_utilities.h"

namespace bw {
namespace {

constexpr char kLabel[] = "Set Variable Action";

TEST(VariableStore, NamesAreUpperCasedUniqueAndFoundIgnoringCase) {
  VariableStore store;
  store.Define("abc", "1", kLabel);
  store.Define("ABC", "2", kLabel);  // an existing name is Set, not added
  store.Define("", "x", kLabel);     // nothing
  EXPECT_EQ(store.Names(), std::vector<std::string>{"ABC"});
  EXPECT_EQ(store.Get("aBc"), "2");
  EXPECT_FALSE(store.IsDefined("$ABC$"));
  store.Define("k\xE4se", "cheese", kLabel);
  EXPECT_EQ(store.Names().back(), "K\xC4SE");
  EXPECT_EQ(store.Get("K\xE4SE"), "cheese");
}

TEST(VariableStore, MissingVariablesRaiseTheStoreMessages) {
  VariableStore store;
  try {
    store.Get("Missing");
    ADD_FAILURE();
  } catch (const ScriptError& error) {
    EXPECT_STREQ(error.what(), "Attempting to get value of undefined variable Missing");
  }
  try {
    store.Set("Missing", "1", kLabel);
    ADD_FAILURE();
  } catch (const ScriptError& error) {
    EXPECT_STREQ(error.what(), "Attempting to set value of undefined variable MISSING");
  }
}

TEST(VariableStore, CommandLineValuesWinOnlyInSilentRuns) {
  for (const bool silent : {true, false}) {
    VariableStore store;
    store.SetOverrides({{"X", "1"}, {"OTHER", "X"}});
    store.SetSilent(silent);
    store.Define("X", "0", "Initialization");  // the predefined value is written before injection
    store.Define("OTHER", "0", "Initialization");
    store.InjectOverrides();
    EXPECT_EQ(store.Get("X"), "1");
    store.Set("x", "2", kLabel);
    EXPECT_EQ(store.Get("X"), silent ? "1" : "2") << silent;
    store.Set("X", "3", kInjectOverrideLabel);
    EXPECT_EQ(store.Get("X"), "3");
    // The value line "X" of another pair does not make X overridden; OTHER is.
    store.Set("OTHER", "4", kLabel);
    EXPECT_EQ(store.Get("OTHER"), silent ? "X" : "4");
  }
  VariableStore fresh;
  fresh.SetOverrides({{"NEWVAR", "v"}});
  fresh.InjectOverrides();
  EXPECT_EQ(fresh.Get("NEWVAR"), "v");
}

TEST(VariableStore, ExpansionFollowsCreationOrderAndRepeats) {
  VariableStore store;
  store.Define("A", "$B$", kLabel);
  store.Define("B", "x", kLabel);
  store.Define("C", "$A$", kLabel);  // created after A: resolved in the second pass
  store.Define("N", "1$", kLabel);
  store.Define("PART", "$PA", kLabel);
  store.Define("PAT", "found", kLabel);
  struct ExpandCase {
    const char* text;
    const char* expanded;
  };
  const ExpandCase cases[] = {
      {"no dollar", "no dollar"},
      {"$A$", "x"},
      {"$C$", "x"},
      {"$a$-$b$", "x-x"},
      {"a$NEWLINE$b$newline$", "a\r\nb\r\n"},
      {"cost 12$", "cost 12$"},
      {"$UNKNOWN$ and $A$", "$UNKNOWN$ and x"},
      {"$N$$N$", "1$1$"},
      {"$PART$T$", "found"},  // a reference formed across an inserted value
      {"$$A$$", "$x$"},
  };
  for (const ExpandCase& c : cases) {
    EXPECT_EQ(store.Expand(c.text), c.expanded) << c.text;
    EXPECT_EQ(store.ExpandLiteral(c.text), c.expanded) << c.text;
  }
}

TEST(VariableStore, SelfReferencesStopAtThePassBound) {
  VariableStore store;
  store.Define("GROW", "x$GROW$", kLabel);
  store.Define("DOUBLE", "$DOUBLE$$DOUBLE$", kLabel);
  const ExpansionBounds bounds;
  EXPECT_EQ(store.Expand("$GROW$"), std::string(bounds.passes, 'x') + "$GROW$");
  // Doubling passes stop before a pass over more than the length bound.
  const std::size_t doubled = store.Expand("$DOUBLE$").size();
  EXPECT_GT(doubled, bounds.length);
  EXPECT_LE(doubled, 2 * bounds.length + 16);
}

TEST(VariableStore, QuotedExpansionQuotesEachValue) {
  VariableStore store;
  store.Define("A", "1", kLabel);
  store.Define("B", "$A$", kLabel);
  EXPECT_EQ(store.ExpandQuoted("$A$ = $B$"), "\"1\" = \"1\"");  // inner reference expanded unquoted
  EXPECT_EQ(store.ExpandQuoted("plain"), "plain");
  EXPECT_EQ(store.GetExpanded("$B$", "missing"), "1");
  EXPECT_EQ(store.GetExpanded("b", "missing"), "1");
  EXPECT_EQ(store.GetExpanded("C", "$KVORNX$"), "$KVORNX$");
}

TEST(VariableStore, NormalisedPathCollapsesDoubledBackslashesButKeepsAUncStart) {
  VariableStore store;
  store.Define("DIR", "C:\\\\App\\\\", kLabel);
  EXPECT_EQ(store.NormalisedPath("$DIR$\\\\bin"), "C:\\App\\\\bin");  // one collapse per pair
  EXPECT_EQ(store.NormalisedPath("$DIR$bin"), "C:\\App\\bin");
  EXPECT_EQ(store.NormalisedPath("\\\\\\\\server\\\\share"), "\\\\\\server\\share");
  EXPECT_EQ(store.NormalisedPath("\\\\server\\\\share\\\\x"), "\\\\server\\share\\x");
  EXPECT_EQ(store.NormalisedPath("a\\\\\\b"), "a\\\\b");
}

TEST(VariableStore, ExportAndImportThroughCommaText) {
  VariableStore store;
  store.Define("A", "plain", kLabel);
  store.Define("B", "with space, comma and \"quote\"", kLabel);
  store.Define("C", "", kLabel);
  store.AddPersisted("A");
  store.AddPersisted("a");
  const std::string text = store.ExportText();
  EXPECT_EQ(text, "A,plain,B,\"with space, comma and \"\"quote\"\"\",C,\"\"");
  VariableStore copy;
  copy.ImportText(text + ",Odd");
  EXPECT_EQ(copy.Names(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(copy.Get("B"), "with space, comma and \"quote\"");
  copy.ImportText("lower,1");
  EXPECT_EQ(copy.Names(), std::vector<std::string>{"lower"});  // case kept
  EXPECT_EQ(copy.Get("LOWER"), "1");
  EXPECT_EQ(store.PersistedNames(), std::vector<std::string>{"A"});
  store.Clear();
  EXPECT_TRUE(store.Names().empty());
  EXPECT_TRUE(store.PersistedNames().empty());
}

TEST(CommaText, ReadingRules) {
  struct ReadCase {
    std::string text;
    std::vector<std::string> items;
  };
  const ReadCase cases[] = {
      {"", {}},
      {"a,b", {"a", "b"}},
      {" a , b ", {"a", "b"}},
      {"a b", {"a", "b"}},  // a blank ends a bare item
      {"a,", {"a", ""}},
      {",a", {"", "a"}},
      {"\"x, \"\"y\"\"\",z", {"x, \"y\"", "z"}},
      {"\"open", {"open"}},
      {std::string("a\0b", 3), {"a"}},
      {"\t\r\na", {"a"}},
  };
  for (const ReadCase& c : cases) EXPECT_EQ(ReadCommaText(c.text), c.items) << c.text;
  const std::vector<std::string> items{"", " ", "a\"b", "c,d", "\x01", "\xE4", "plain"};
  EXPECT_EQ(ReadCommaText(WriteCommaText(items)), items);
}

TEST(TextUtilities, TruthTextsDollarNamesAndSizes) {
  for (const char* text : {"TRUE", "true", "True", "-1"}) EXPECT_TRUE(ToBool(text)) << text;
  for (const char* text : {"1", "yes", "", " TRUE", "FALSE"}) EXPECT_FALSE(ToBool(text)) << text;
  EXPECT_STREQ(BoolText(true), "TRUE");
  EXPECT_EQ(StripDollars("$NAME$"), "NAME");
  for (const char* text : {"NAME", "$$", "$A", "$A$B$", "A$"}) EXPECT_EQ(StripDollars(text), "") << text;
  struct SizeCase {
    std::int64_t bytes;
    const char* text;
  };
  const SizeCase sizes[] = {
      {512, "512 bytes"},       {0, "0 bytes"},          {1048575, "1,048,575 bytes"},
      {1048576, "1,024 KB"},    {1536000, "1,500 KB"},   {1073741823, "1,048,575 KB"},
      {5368709120, "5,120 MB"}, {-2048, "-2,048 bytes"}, {-5368709120, "-5,368,709,120 bytes"},
  };
  for (const SizeCase& c : sizes) EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
  EXPECT_EQ(SizeText(2048, {"Bytes", "Ko", "Mo"}), "2,048 Bytes");
}

TEST(TextUtilities, BuildSubstituteRepeatsOverTheTable) {
  const std::vector<std::string> table{"MODE", "#INNER#", "inner", "web", "CYCLE", "#CYCLE#x"};
  EXPECT_EQ(BuildSubstitute("#mode# build", table), "web build");
  EXPECT_EQ(BuildSubstitute("no marks", table), "no marks");
  EXPECT_EQ(BuildSubstitute("#unknown#", table), "#unknown#");
  EXPECT_EQ(BuildSubstitute("#CYCLE#", table, {4, 100}), "#CYCLE#xxxx");
}

// The indexed expansion must give what the literal algorithm gives, also for
// the names that defeat the index (holding "$", empty, repeated ignoring case).
TEST(VariableStore, IndexedExpansionEqualsTheLiteralAlgorithm) {
  std::mt19937 random(20261211);
  const std::vector<std::string> pieces{"$", "A", "b", "AB", "$A$", "$B$", "$AB$", "x", "$NEWLINE$", "$$", "C$", "$c"};
  const auto randomText = [&](int maxPieces) {
    std::string text;
    const int count = static_cast<int>(random() % maxPieces);
    for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    // Small bounds keep the self-referring cases that grow on every pass cheap.
    VariableStore store(ExpansionBounds{8, 4096});
    const bool irregular = round % 4 == 0;
    if (irregular) {
      std::vector<std::string> items;
      for (const char* name : {"a", "A", "", "B$C", "ab"}) {
        items.push_back(name);
        items.push_back(randomText(4));
      }
      store.ImportText(WriteCommaText(items));
    }
    const int variables = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < variables; ++i) {
      std::string name = randomText(3);
      if (name.empty()) name.assign(1, 'Q');
      store.Define(name, randomText(5), kLabel);
    }
    for (int text = 0; text < 4; ++text) {
      const std::string input = randomText(8);
      ASSERT_EQ(store.Expand(input), store.ExpandLiteral(input))
          << "round " << round << " text " << input << " store " << store.ExportText();
    }
  }
}

}  // namespace
}  // namespace bw
