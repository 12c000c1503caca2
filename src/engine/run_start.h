#pragma once
// The variables a run starts with, and the engine cache folders, computed from
// facts of the machine and the run that start-up gathers.
#include <string>
#include <string_view>

#include "path_text.h"
#include "script_package.h"
#include "variable_store.h"

namespace bw {

// Shell folders that decide where the engine cache lives.
struct ShellFolders {
  std::string commonAppData;  // shell folder 35
  std::string localAppData;   // shell folder 28
  std::string appData;        // shell folder 26
  std::string desktopParent;  // the folder above the desktop (shell folder 0)
  std::string commonFiles;    // shell folder 43
};

// The engine cache base folder with a trailing backslash: common application
// data for all users on NT, else local application data (or application data);
// the folder above the desktop + "Application Data\" when that gives nothing;
// common files on Windows 9x whatever the flag.
std::string EngineCacheBase(bool allUsers, bool ntFamily, const ShellFolders& folders);

struct RunFacts {
  std::string enginePath;       // full path of the engine executable
  std::string engineFolder;     // with trailing backslash
  std::string temporaryFolder;  // with trailing backslash
  std::string supportFolder;
  std::string databasePath;
  std::string logPath;
  std::string commandLineText;
  std::string sfxPath;  // the "/m=" value
  std::string gpoPath;  // the "/g=" value
  bool silent = false;
  bool ntFamily = true;
  bool administrator = false;
  std::string registeredOwner;
  std::string registeredOrganization;
  ShellFolders shellFolders;
};

// Creates TARGETDIR, STARTMENU and ALLUSERS ("Pre-Initialization").
void DefinePreInitializationVariables(VariableStore& store, const ScriptPackage& package, const RunFacts& facts);
// Creates the variables that maintenance detection sets, with the values of
// a first installation ("Bootstrap"); maintenance detection is not built yet.
void DefineBootstrapVariables(VariableStore& store, const ScriptPackage& package, const RunFacts& facts);
// Creates the "Initialization" variables in their order; date and time are
// given so the caller can format them in the user's locale.
void DefineInitializationVariables(VariableStore& store, const ScriptPackage& package, const RunFacts& facts,
                                   std::string_view date, std::string_view time);
// ENGINECACHE and UNINSTALLLINK for the current ALLUSERS (ordinary builds).
void RefreshCacheVariables(VariableStore& store, const ScriptPackage& package, const RunFacts& facts);
// The same for a patch build, from the installed product's "UninstallString":
// UNINSTALLLINK is the text between its first two double quotes (empty
// without them), ENGINECACHE that path's folder.
void RefreshPatchCacheVariables(VariableStore& store, std::string_view uninstallString);

}  // namespace bw
