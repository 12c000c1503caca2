#include "startup.h"

#include <windows.h>

#include <optional>
#include <stdexcept>

#include "engine/engine_messages.h"
#include "engine/path_text.h"
#include "engine/script_package.h"
#include "engine/variable_store.h"
#include "startup/appended_data.h"
#include "startup/command_line.h"
#include "startup/engine_caption.h"
#include "startup/engine_language.h"
#include "startup/run_log.h"
#include "startup/script_run.h"
#include "startup/system_function.h"

namespace bw {

namespace {

constexpr char kNoScriptMessage[] = "For internal use only";

// Binds the process to the first processor; SetProcessAffinityMask is looked
// up at run time because very old systems lack it.
void BindToFirstProcessor() {
  using SetAffinity = BOOL(WINAPI*)(HANDLE, DWORD_PTR);
  if (const auto set = SystemFunction<SetAffinity>("kernel32.dll", "SetProcessAffinityMask")) {
    set(GetCurrentProcess(), 1);
  }
}

// The system temporary folder with a trailing backslash, created if missing.
std::string PrepareTemporaryFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(MAX_PATH, buffer);
  std::string folder = WithTrailingBackslash(std::string(buffer, length <= MAX_PATH ? length : 0));
  if (!folder.empty()) CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

class Startup {
 public:
  Startup(const std::vector<std::string>& arguments, const std::string& rawCommandLine)
      : options_(ParseCommandLine(arguments)),
        commandLineText_(CommandLineText(rawCommandLine)),
        log_([this] { return options_.logPath; }) {}

  int Run() {
    BindToFirstProcessor();
    const std::string enginePath = ModulePath(nullptr);
    engineFolder_ = FolderOf(enginePath);
    temporaryFolder_ = PrepareTemporaryFolder();
    LoadArchiveLibraryMessages(engineFolder_);

    log_.Write("<Brightwarden>");
    log_.Write("  <SetupSplash>");
    try {
      log_.Write("    <StubSize>");
      const auto stubSize = ModuleStubSize(nullptr);
      if (!stubSize) throw std::runtime_error("the engine's own executable headers cannot be read");
      log_.Write("    </StubSize>");
      log_.Write("    <StubData>");
      const std::optional<std::string> scriptData = ReadAppendedData(enginePath, *stubSize);
      if (!scriptData) return FailStage(kNoScriptMessage, kExitNoScript);
      log_.Write("    </StubData>");
      log_.Write("    <GlobalLists>");
      script_ = ScriptPackage::Load(*scriptData);
      log_.Write("    </GlobalLists>");
      // Not built yet: the support folder, resource extraction, the database
      // copy and dialog preloading; the run uses the database beside the engine.
      log_.Write("  </SetupSplash>");
      log_.Write("  <RunScript>");
      RunFacts facts = GatherMachineFacts();
      facts.enginePath = enginePath;
      facts.engineFolder = engineFolder_;
      facts.temporaryFolder = temporaryFolder_;
      facts.databasePath = WithoutExtension(enginePath) + ".msi";
      facts.logPath = options_.logPath;
      facts.commandLineText = commandLineText_;
      facts.sfxPath = options_.sfxPath;
      facts.gpoPath = options_.gpoPath;
      facts.silent = options_.silent;
      store_.SetSilent(options_.silent);
      store_.SetOverrides(options_.overrides);
      const ScriptRunOutcome outcome = RunScript(script_, store_, facts, log_, options_.logPath);
      exitCode_ = outcome.exitCode;
      if (outcome.endProcess) return exitCode_;
      options_.silent = store_.Silent();
      log_.Write("  </RunScript>");
      log_.Write("  <Free>");
      log_.Write("  </Free>");
      CleanUp();
    } catch (const std::exception& error) {
      ShowError(Message(kMsgRuntimeErrorInInstall) + error.what(), nullptr);
      exitCode_ = kExitRuntimeError;
      CleanUp();
    }
    return exitCode_;
  }

 private:
  std::string Caption() const { return EngineCaption(script_.Title, ""); }

  void ShowError(const std::string& message, HWND owner) const {
    if (options_.silent) return;
    MessageBoxA(owner, message.c_str(), Caption().c_str(), MB_OK | MB_ICONERROR);
  }

  // A failing loading stage: its message, then the exit at once, without the
  // clean-up and without further log lines.
  int FailStage(const char* message, int exitCode) const {
    ShowError(message, nullptr);
    return exitCode;
  }

  void CleanUp() {
    log_.Write("  <CachedSupportDir>");
    log_.Write("  </CachedSupportDir>");
    log_.Write("</Brightwarden>");
  }

  CommandLineOptions options_;
  std::string commandLineText_;
  RunLog log_;
  std::string engineFolder_;
  std::string temporaryFolder_;
  ScriptPackage script_;
  VariableStore store_;
  int exitCode_ = 0;
};

}  // namespace

int RunStartup(const std::vector<std::string>& arguments, const std::string& rawCommandLine) {
  try {
    return Startup(arguments, rawCommandLine).Run();
  } catch (...) {
    return kExitRuntimeError;
  }
}

}  // namespace bw
