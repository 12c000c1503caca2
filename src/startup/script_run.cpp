#include "startup/script_run.h"

#include <shlobj.h>
#include <windows.h>

#include "commands/exit_commands.h"
#include "commands/expression_commands.h"
#include "engine/engine_messages.h"
#include "engine/interpreter.h"
#include "engine/preparation.h"
#include "engine/text_utilities.h"
#include "startup/engine_caption.h"
#include "startup/registry_key.h"
#include "startup/windows_version.h"

namespace bw {

namespace {

constexpr std::int32_t kPatchBuild = 3;

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) return {};
  return path;
}

bool IsAdministrator() {
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

std::string FormattedNow(bool date) {
  char text[128] = {};
  if (date) {
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, sizeof text);
  } else {
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text, sizeof text);
  }
  return text;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The resume entry of "Reboot and Resume" is named by the product code's
// first eight digits.
void DeleteResumeEntries(const std::string& productCode) {
  if (productCode.size() < 9) return;
  const std::string valueName = productCode.substr(1, 8);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    RegistryKey run(root, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\", KEY_SET_VALUE);
    if (run) RegDeleteValueA(run.get(), valueName.c_str());
  }
}

}  // namespace

RunFacts GatherMachineFacts() {
  RunFacts facts;
  facts.ntFamily = IsNtFamily();
  facts.administrator = IsAdministrator();
  const char* ownerKey = facts.ntFamily ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\"
                                        : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
  RegistryKey owner(HKEY_LOCAL_MACHINE, ownerKey, KEY_QUERY_VALUE);
  facts.registeredOwner = owner.ReadText("RegisteredOwner");
  facts.registeredOrganization = owner.ReadText("RegisteredOrganization");
  facts.shellFolders.commonAppData = ShellFolder(CSIDL_COMMON_APPDATA);
  facts.shellFolders.localAppData = ShellFolder(CSIDL_LOCAL_APPDATA);
  facts.shellFolders.appData = ShellFolder(CSIDL_APPDATA);
  facts.shellFolders.commonFiles = ShellFolder(CSIDL_PROGRAM_FILES_COMMON);
  facts.shellFolders.desktopParent = FolderOf(ShellFolder(CSIDL_DESKTOPDIRECTORY));
  return facts;
}

ScriptRunOutcome RunScript(const ScriptPackage& package, VariableStore& store, const RunFacts& facts, RunLog& log,
                           std::string& logPath) {
  std::int32_t exitCode = 0;
  log.Write("    <Variables>");
  log.Write("    </Variables>");
  log.Write("    <CompileScript>");
  if (!Prepare(package).Passed()) return {kExitPreparationFailed, true};
  log.Write("    </CompileScript>");
  store.Clear();
  DefinePreInitializationVariables(store, package, facts);
  log.Write("    <BootStrap>");
  DefineBootstrapVariables(store, package, facts);
  log.Write("    </BootStrap>");

  CommandTable commands;
  RegisterExitCommands(commands, exitCode);
  RegisterExpressionCommands(commands);
  std::string title = package.Title;
  std::string logoSwitch;
  InterpreterHooks hooks;
  hooks.processMessages = [] {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  };
  hooks.beforeCommand = [&] {
    logPath = store.Get("LOGGED");
    store.SetSilent(ToBool(store.Get("SILENT")));
    title = store.Get("TITLE");
    logoSwitch = store.Get("KVORLOGO");
    store.Define("DATE", FormattedNow(true), "Initialization");
    store.Define("TIME", FormattedNow(false), "Initialization");
    if (package.BuildMode != kPatchBuild) {
      RefreshCacheVariables(store, package, facts);
    } else {
      const bool machine = ToBool(store.Get("ALLUSERS")) || !facts.ntFamily;
      const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title;
      const RegistryKey uninstall(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key.c_str(), KEY_QUERY_VALUE);
      RefreshPatchCacheVariables(store, uninstall.ReadText("UninstallString"));
    }
  };
  hooks.reportError = [&](std::int32_t line, const std::string& message) {
    if (store.Silent()) return;
    const std::string text =
        Message(kMsgRuntimeErrorInSetupScript) + "\r\r" + "Line " + std::to_string(line) + ": " + message;
    MessageBoxA(nullptr, text.c_str(), EngineCaption(title, logoSwitch).c_str(), MB_OK | MB_ICONERROR);
  };
  Interpreter interpreter(package, store, commands, hooks);
  interpreter.CollectLabels();

  if (!FileExists(facts.databasePath) && !FileExists(WithoutExtension(facts.databasePath) + ".msp")) return {exitCode};

  log.Write("    <kvor>");
  DefineInitializationVariables(store, package, facts, FormattedNow(true), FormattedNow(false));
  DeleteResumeEntries(package.ProductCode);
  // LANGUAGE starts empty (the last initialization variable); the language
  // selection that may set it is not built yet.
  store.InjectOverrides();
  if (interpreter.RunLoop()) {
    log.Write("    </kvor>");
    log.Write("    <ExitScript>");
    log.Write("    </ExitScript>");
  }
  return {exitCode};
}

}  // namespace bw
