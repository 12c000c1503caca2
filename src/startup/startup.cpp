#include "startup.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>

#include "engine/engine_messages.h"
#include "engine/path_text.h"
#include "engine/script_package.h"
#include "engine/variable_store.h"
#include "media/archive_library.h"
#include "startup/appended_data.h"
#include "startup/command_line.h"
#include "startup/engine_caption.h"
#include "startup/engine_language.h"
#include "startup/library_loading.h"
#include "startup/run_log.h"
#include "startup/script_run.h"
#include "startup/startup_forms.h"
#include "startup/support_folder.h"
#include "startup/system_function.h"

namespace bw {

namespace {

constexpr char kNoScriptMessage[] = "For internal use only";
constexpr char kScriptCopyName[] = "qor.tmp";
constexpr int kMsgResourceNotFound = 2;
constexpr int kMsgResourceDecompression = 3;
constexpr int kMsgDatabaseNotFound = 4;
constexpr int kMsgWizard = 23;
constexpr int kMsgPreparing = 24;

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

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file || !file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !file.flush()) {
    throw std::runtime_error("cannot write " + path);
  }
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A stage that fails: the process ends at once with the code.
struct StageFailure {
  std::string message;
  int exitCode;
};

class Startup {
 public:
  Startup(const std::vector<std::string>& arguments, const std::string& rawCommandLine)
      : options_(ParseCommandLine(arguments)),
        commandLineText_(CommandLineText(rawCommandLine)),
        log_([this] { return options_.logPath; }) {}

  int Run() {
    BindToFirstProcessor();
    enginePath_ = ModulePath(nullptr);
    engineFolder_ = FolderOf(enginePath_);
    baseName_ = WithoutExtension(FileNameOf(enginePath_));
    temporaryFolder_ = PrepareTemporaryFolder();
    LoadArchiveLibraryMessages(engineFolder_);

    log_.Write("<Brightwarden>");
    log_.Write("  <SetupSplash>");
    if (!options_.silent && !options_.noStartupForms) {
      forms_ = std::make_unique<StartupForms>(engineFolder_ + "setup.bmp", Message(kMsgWizard), Message(kMsgPreparing));
    }
    try {
      LoadScript();
      PrepareSupportFolder();
      CountDialogs();
      forms_.reset();
      log_.Write("  </SetupSplash>");
      log_.Write("  <RunScript>");
      const ScriptRunOutcome outcome = RunTheScript();
      exitCode_ = outcome.exitCode;
      if (outcome.endProcess) return exitCode_;
      log_.Write("  </RunScript>");
      log_.Write("  <Free>");
      log_.Write("  </Free>");
      CleanUp();
    } catch (const StageFailure& failure) {
      ShowError(failure.message, forms_ ? forms_->PreparingWindow() : nullptr);
      return failure.exitCode;
    } catch (const std::exception& error) {
      forms_.reset();
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

  // The script behind the engine, through its temporary copy.
  void LoadScript() {
    log_.Write("    <StubSize>");
    const auto stubSize = ModuleStubSize(nullptr);
    if (!stubSize) throw std::runtime_error("the engine's own executable headers cannot be read");
    log_.Write("    </StubSize>");
    log_.Write("    <StubData>");
    const std::optional<std::string> scriptData = ReadAppendedData(enginePath_, *stubSize);
    if (!scriptData) throw StageFailure{kNoScriptMessage, kExitNoScript};
    const std::string copy = temporaryFolder_ + kScriptCopyName;
    WriteWholeFile(copy, *scriptData);
    log_.Write("    </StubData>");
    log_.Write("    <GlobalLists>");
    std::string text;
    try {
      text = ReadWholeFile(copy);
    } catch (...) {
      DeleteFileA(copy.c_str());
      throw;
    }
    DeleteFileA(copy.c_str());
    script_ = ScriptPackage::Load(text);
    log_.Write("    </GlobalLists>");
  }

  // The support folder with the setup's resources and database in it.
  void PrepareSupportFolder() {
    log_.Write("    <SupportDir>");
    supportFolder_ = CreateSupportFolder(temporaryFolder_);
    log_.Write("    </SupportDir>");

    log_.Write("    <ExtractArchive>");
    const std::string resource = engineFolder_ + baseName_ + ".res";
    if (!IsFile(resource)) throw StageFailure{Message(kMsgResourceNotFound), kExitResourceMissing};
    const ArchiveLibrary library(LoadLibraryByPath(engineFolder_ + "qor.lib"));
    if (!library.Extract(resource, "", supportFolder_, true, true, {}).ok) {
      throw StageFailure{Message(kMsgResourceDecompression), kExitResourceDecompression};
    }
    log_.Write("    </ExtractArchive>");

    log_.Write("    <ExtractResource>");
    const std::string database = engineFolder_ + baseName_ + ".msi";
    const std::string patch = engineFolder_ + baseName_ + ".msp";
    if (!IsFile(database) && !IsFile(patch)) throw StageFailure{Message(kMsgDatabaseNotFound), kExitDatabaseMissing};
    log_.Write("    </ExtractResource>");
    log_.Write("    <ResourcePath>");
    for (const std::string& file : {database, patch}) {
      if (!IsFile(file)) continue;
      const std::string copy = supportFolder_ + FileNameOf(file);
      SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!CopyFileA(file.c_str(), copy.c_str(), FALSE)) throw std::runtime_error("cannot copy " + file);
      SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    log_.Write("    </ResourcePath>");
  }

  // The dialogs are counted on the progress bar; their forms come with the
  // dialog subsystem.
  void CountDialogs() {
    log_.Write("    <Dialogs>");
    int dialogs = 0;
    for (std::size_t i = 0; i < script_.CommandCount(); ++i) {
      if (script_.CommandName(i) == "Display Dialog" && script_.CommandFlag(i) != "C") ++dialogs;
    }
    if (forms_) {
      forms_->SetProgressRange(dialogs, 1);
      for (int i = 0; i < dialogs; ++i) forms_->StepProgress();
    }
    log_.Write("    </Dialogs>");
  }

  ScriptRunOutcome RunTheScript() {
    RunFacts facts = GatherMachineFacts();
    facts.enginePath = enginePath_;
    facts.engineFolder = engineFolder_;
    facts.temporaryFolder = temporaryFolder_;
    facts.supportFolder = supportFolder_;
    facts.databasePath = supportFolder_ + baseName_ + ".msi";
    facts.logPath = options_.logPath;
    facts.commandLineText = commandLineText_;
    facts.sfxPath = options_.sfxPath;
    facts.gpoPath = options_.gpoPath;
    facts.silent = options_.silent;
    store_.SetSilent(options_.silent);
    store_.SetOverrides(options_.overrides);
    const ScriptRunOutcome outcome = RunScript(script_, store_, facts, log_, options_.logPath);
    options_.silent = store_.Silent();
    return outcome;
  }

  void CleanUp() {
    log_.Write("  <CachedSupportDir>");
    if (!supportFolder_.empty()) RemoveFolderTree(supportFolder_);
    log_.Write("  </CachedSupportDir>");
    log_.Write("</Brightwarden>");
  }

  CommandLineOptions options_;
  std::string commandLineText_;
  RunLog log_;
  std::string enginePath_;
  std::string engineFolder_;
  std::string baseName_;
  std::string temporaryFolder_;
  std::string supportFolder_;
  std::unique_ptr<StartupForms> forms_;
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
