#include "engine/run_start.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

TEST(RunStart, EngineCacheBaseFollowsTheSystemAndTheAllUsersFlag) {
  const ShellFolders all{"C:\\ProgramData", "C:\\Users\\u\\AppData\\Local", "C:\\Users\\u\\AppData\\Roaming",
                         "C:\\Users\\u\\", "C:\\Program Files\\Common Files"};
  ShellFolders noLocal = all;
  noLocal.localAppData.clear();
  const ShellFolders none{"", "", "", "C:\\Users\\u\\", "x"};
  struct CacheCase {
    bool allUsers;
    bool nt;
    const ShellFolders* folders;
    const char* base;
  };
  const CacheCase cases[] = {
      {true, true, &all, "C:\\ProgramData\\"},
      {false, true, &all, "C:\\Users\\u\\AppData\\Local\\"},
      {false, true, &noLocal, "C:\\Users\\u\\AppData\\Roaming\\"},
      {true, true, &none, "C:\\Users\\u\\Application Data\\"},
      {false, true, &none, "C:\\Users\\u\\Application Data\\"},
      {true, false, &all, "C:\\Program Files\\Common Files\\"},
      {false, false, &all, "C:\\Program Files\\Common Files\\"},
  };
  for (const CacheCase& c : cases) EXPECT_EQ(EngineCacheBase(c.allUsers, c.nt, *c.folders), c.base);
}

TEST(RunStart, PredefinedVariablesComeInTheirOrderWithTheRunsFacts) {
  ScriptItems items;
  items.buildMode = "0";
  items.title = "My App";
  items.publisher = "ACME";
  items.version = "2.1";
  items.revisionCode = "{REV}";
  const ScriptPackage package = ScriptPackage::Load(WriteScriptItems(items));
  RunFacts facts;
  facts.enginePath = "C:\\Down\\setup.exe";
  facts.engineFolder = "C:\\Down\\";
  facts.sfxPath = "d:\\sfx\\pack.exe";
  facts.gpoPath = "\\\\srv\\gpo\\x.msi";
  facts.administrator = true;
  facts.shellFolders.commonAppData = "C:\\ProgramData";
  VariableStore store;
  DefinePreInitializationVariables(store, package, facts);
  DefineBootstrapVariables(store, package, facts);
  DefineInitializationVariables(store, package, facts, "12/11/2026", "12:00:00");
  const std::vector<std::string> names = store.Names();
  ASSERT_GE(names.size(), 14u);
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 4),
            (std::vector<std::string>{"TARGETDIR", "STARTMENU", "ALLUSERS", "PRODUCTCODE"}));
  EXPECT_EQ(names.back(), "LANGUAGE");
  EXPECT_EQ(store.Get("STARTMENU"), "My App");
  EXPECT_EQ(store.Get("ALLUSERS"), "TRUE");
  EXPECT_EQ(store.Get("ENGINECACHE"), "C:\\ProgramData\\{REV}\\");
  EXPECT_EQ(store.Get("UNINSTALLLINK"), "C:\\ProgramData\\{REV}\\setup.exe");
  EXPECT_EQ(store.Get("SFXPATH"), "d:\\sfx\\");
  EXPECT_EQ(store.Get("SFXFILE"), "pack.exe");
  EXPECT_EQ(store.Get("GPOPATH"), "\\\\srv\\gpo\\");
  EXPECT_EQ(store.Get("COMPANY"), "ACME");
  EXPECT_EQ(store.Get("VERSION"), "2.1");
  EXPECT_EQ(store.Get("NEWLINE"), "\r\n");
  EXPECT_EQ(store.Get("SILENT"), "FALSE");
  EXPECT_EQ(store.Get("DATE"), "12/11/2026");
  // A non-administrator installs per user.
  store.Set("ALLUSERS", "FALSE", "Test");
  facts.shellFolders.localAppData = "C:\\Users\\u\\Local";
  RefreshCacheVariables(store, package, facts);
  EXPECT_EQ(store.Get("ENGINECACHE"), "C:\\Users\\u\\Local\\{REV}\\");
  // A patch build finds the installed engine through its uninstall entry.
  RefreshPatchCacheVariables(store, "\"C:\\ProgramData\\{OLD}\\setup.exe\" /remove");
  EXPECT_EQ(store.Get("UNINSTALLLINK"), "C:\\ProgramData\\{OLD}\\setup.exe");
  EXPECT_EQ(store.Get("ENGINECACHE"), "C:\\ProgramData\\{OLD}\\");
  RefreshPatchCacheVariables(store, "no quotes");
  EXPECT_EQ(store.Get("UNINSTALLLINK"), "");
}

}  // namespace
}  // namespace bw
