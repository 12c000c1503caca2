#include "run_start.h"

#include "text_utilities.h"

namespace bw {

namespace {
constexpr std::string_view kPreInitialization = "Pre-Initialization";
constexpr std::string_view kBootstrap = "Bootstrap";
constexpr std::string_view kInitialization = "Initialization";
}  // namespace

std::string EngineCacheBase(bool allUsers, bool ntFamily, const ShellFolders& folders) {
  if (!ntFamily) return WithTrailingBackslash(folders.commonFiles);
  std::string base =
      allUsers ? folders.commonAppData : (!folders.localAppData.empty() ? folders.localAppData : folders.appData);
  if (base.empty()) return WithTrailingBackslash(folders.desktopParent) + "Application Data\\";
  return WithTrailingBackslash(base);
}

namespace {
// ENGINECACHE and UNINSTALLLINK for the current ALLUSERS, named by the
// package's revision code (not REVISIONCODE, which a script may change).
void DefineCacheVariables(VariableStore& store, const ScriptPackage& package, const RunFacts& facts,
                          std::string_view label) {
  const bool allUsers = ToBool(store.Get("ALLUSERS"));
  const std::string cache = EngineCacheBase(allUsers, facts.ntFamily, facts.shellFolders) + package.RevisionCode + "\\";
  store.Define("UNINSTALLLINK", cache + FileNameOf(facts.enginePath), label);
  store.Define("ENGINECACHE", cache, label);
}
}  // namespace

void RefreshCacheVariables(VariableStore& store, const ScriptPackage& package, const RunFacts& facts) {
  DefineCacheVariables(store, package, facts, kInitialization);
}

void RefreshPatchCacheVariables(VariableStore& store, std::string_view uninstallString) {
  std::string link;
  if (const std::size_t open = uninstallString.find('"'); open != std::string_view::npos) {
    const std::size_t close = uninstallString.find('"', open + 1);
    if (close != std::string_view::npos) link = uninstallString.substr(open + 1, close - open - 1);
  }
  store.Define("ENGINECACHE", FolderOf(link), kInitialization);
  store.Define("UNINSTALLLINK", link, kInitialization);
}

void DefinePreInitializationVariables(VariableStore& store, const ScriptPackage& package, const RunFacts& facts) {
  store.Define("TARGETDIR", "", kPreInitialization);
  store.Define("STARTMENU", package.Title, kPreInitialization);
  store.Define("ALLUSERS", BoolText(facts.ntFamily && facts.administrator), kPreInitialization);
}

void DefineBootstrapVariables(VariableStore& store, const ScriptPackage& package, const RunFacts& facts) {
  store.Define("PRODUCTCODE", package.ProductCode, kBootstrap);
  store.Define("REVISIONCODE", package.RevisionCode, kBootstrap);
  DefineCacheVariables(store, package, facts, kBootstrap);
  store.Define("DATADIR", facts.engineFolder + "data\\", kBootstrap);
  store.Define("NEEDSUPGRADE", "FALSE", kBootstrap);
  store.Define("MAINTENANCE", "FALSE", kBootstrap);
  store.Define("NEWINSTANCE", "FALSE", kBootstrap);
}

void DefineInitializationVariables(VariableStore& store, const ScriptPackage& package, const RunFacts& facts,
                                   std::string_view date, std::string_view time) {
  const std::string sfxFolder = facts.sfxPath.empty() ? std::string() : WithTrailingBackslash(FolderOf(facts.sfxPath));
  const std::string gpoFolder = facts.gpoPath.empty() ? std::string() : WithTrailingBackslash(FolderOf(facts.gpoPath));
  const std::pair<std::string_view, std::string> table[] = {
      {"KVORLOGO", ""},
      {"SELECTED", "0"},
      {"WINDOWHANDLE", "0"},
      {"EXEFILE", facts.enginePath},
      {"EXEDIR", facts.engineFolder},
      {"PROGRESSTEXT", ""},
      {"PROGRESSMODE", ""},
      {"ABORT", "FALSE"},
      {"PROGRESS", "0"},
      {"LASTERROR", ""},
      {"LICENSE", "FALSE"},
      {"USERNAME", facts.registeredOwner},
      {"USERCOMPANY", facts.registeredOrganization},
      {"COPYWEBLOCK", ""},
      {"REBOOTCOMPUTER", "FALSE"},
      {"RUNAPP", "TRUE"},
      {"WIZARD", "NEXT"},
      {"VERSION", package.Version},
      {"SILENT", BoolText(facts.silent)},
      {"LOGGED", facts.logPath},
      {"CMDLINE", facts.commandLineText},
      {"REBOOTNOW", "OK"},
      {"SFXPATH", sfxFolder},
      {"SFXFILE", facts.sfxPath.empty() ? std::string() : FileNameOf(facts.sfxPath)},
      {"GPOPATH", gpoFolder},
      {"COMPLETE", "TRUE"},
      {"NEWLINE", "\r\n"},
      {"MINIMUM", "FALSE"},
      {"PERSONALIZED", "FALSE"},
      {"MODIFY", "TRUE"},
      {"REPAIR", "FALSE"},
      {"REMOVE", "FALSE"},
      {"ROOTDIR", facts.engineFolder},
      {"TITLE", package.Title},
      {"COMPANY", package.Publisher},
      {"ADVERTISE", "FALSE"},
      {"DATE", std::string(date)},
      {"TIME", std::string(time)},
      {"TEMPDIR", facts.temporaryFolder},
      {"SUPPORTDIR", facts.supportFolder},
      {"MSIFILE", facts.databasePath},
      {"LANGUAGE", ""},
  };
  for (const auto& [name, value] : table) store.Define(name, value, kInitialization);
}

}  // namespace bw
