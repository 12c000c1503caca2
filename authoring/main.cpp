// bwbuild: builds runnable setups from project files, and dumps the script of
// an existing setup back into a project.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "authoring/placeholder_database.h"
#include "authoring/project.h"
#include "authoring/resource_archive.h"
#include "authoring/setup_file.h"
#include "engine/preparation.h"
#include "engine/script_items.h"
#include "engine/script_package.h"

namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  bwbuild build PROJECT -o SETUP.EXE [--stub ENGINE.EXE] [--library QOR.LIB] [--no-database]\n"
    "      builds a setup folder that runs as it is: SETUP.EXE (the engine stub with the\n"
    "      project's script behind it), qor.lib (the archive library, from beside the\n"
    "      stub unless --library is given), SETUP.res (the project's support files,\n"
    "      archived with 7z) and, unless SETUP.msi exists or --no-database is given,\n"
    "      an empty installation database SETUP.msi (made with wixl)\n"
    "  bwbuild script PROJECT -o SCRIPT\n"
    "      writes only the script\n"
    "  bwbuild dump SETUP.EXE [-o PROJECT]\n"
    "      prints the script of a setup as a project\n"
    "Commands without an id, and a project without product or revision code, get new\n"
    "GUIDs, which build and script write back into the project file.\n"
    "The stub is --stub, else $BWBUILD_STUB, else brightwarden.exe beside bwbuild or\n"
    "in the windows build tree.\n";

struct Arguments {
  std::string verb;
  std::string input;
  std::string output;
  std::string stub;
  std::string library;
  bool database = true;
};

std::optional<Arguments> ParseArguments(int argc, char** argv) {
  Arguments arguments;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if ((argument == "-o" || argument == "--stub" || argument == "--library") && i + 1 < argc) {
      (argument == "-o" ? arguments.output : argument == "--stub" ? arguments.stub : arguments.library) = argv[++i];
    } else if (argument == "--no-database") {
      arguments.database = false;
    } else if (!argument.empty() && argument[0] == '-') {
      return std::nullopt;
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.size() != 2) return std::nullopt;
  arguments.verb = positional[0];
  arguments.input = positional[1];
  if (arguments.verb != "dump" && arguments.output.empty()) return std::nullopt;
  return arguments;
}

std::string DefaultStub() {
  if (const char* stub = std::getenv("BWBUILD_STUB"); stub && *stub) return stub;
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path folder = self.parent_path();
  for (const std::filesystem::path& candidate :
       {folder / "brightwarden.exe", folder / ".." / ".." / "windows" / "bin" / "brightwarden.exe"}) {
    if (std::filesystem::exists(candidate, error)) return candidate.string();
  }
  throw std::runtime_error("no engine stub found; give one with --stub");
}

// The engine checks a script before running any of it and ends with exit
// code 314, silently, when the check fails: say so while the author can act.
void WarnOfPreparationFailure(const std::string& projectPath, const bw::authoring::Project& project,
                              const std::string& script) {
  const bw::PreparationResult result = bw::Prepare(bw::ScriptPackage::Load(script));
  if (result.Passed()) return;
  std::string message = result.message;
  std::replace(message.begin(), message.end(), '\r', ' ');
  std::cerr << "bwbuild: warning: " << projectPath;
  const auto index = static_cast<std::size_t>(result.failingIndex);
  if (result.failingIndex != bw::kNoCommandIndex && index < project.commands.size()) {
    std::cerr << " line " << project.commands[index].line << " (command " << index << ", \""
              << project.commands[index].name << "\")";
  }
  std::cerr << ": " << message << "\n  the setup will end with exit code 314 before running anything\n";
}

// Compiles the project, writes back the ids it had to generate and warns of a
// script that the engine would refuse. supportPaths receives the project's
// support files.
bw::ScriptItems CompileScript(const std::string& projectPath, std::vector<std::string>* supportPaths = nullptr) {
  const std::string text = bw::authoring::ReadFile(projectPath);
  std::vector<bw::authoring::Insertion> insertions;
  const bw::authoring::Project project = bw::authoring::ParseProject(text);
  if (supportPaths) *supportPaths = project.supportPaths;
  bw::ScriptItems items = bw::authoring::CompileProject(project, insertions);
  if (insertions.empty()) {
    WarnOfPreparationFailure(projectPath, project, bw::WriteScriptItems(items));
  } else {
    const std::string written = bw::authoring::ApplyInsertions(text, insertions);
    bw::authoring::WriteFile(projectPath, written);
    std::cerr << "bwbuild: wrote " << insertions.size() << " new id(s) into " << projectPath << "\n";
    // Lines as the author now finds them in the file.
    WarnOfPreparationFailure(projectPath, bw::authoring::ParseProject(written), bw::WriteScriptItems(items));
  }
  return items;
}

int Run(const Arguments& arguments) {
  if (arguments.verb == "build") {
    const std::string stubPath = arguments.stub.empty() ? DefaultStub() : arguments.stub;
    const std::string stub = bw::authoring::StubOf(bw::authoring::ReadFile(stubPath), stubPath);
    std::vector<std::string> supportPaths;
    const bw::ScriptItems items = CompileScript(arguments.input, &supportPaths);
    const std::filesystem::path output(arguments.output);
    const std::string libraryPath = arguments.library.empty()
                                        ? (std::filesystem::path(stubPath).parent_path() / "qor.lib").string()
                                        : arguments.library;
    if (!std::filesystem::exists(libraryPath)) {
      throw std::runtime_error("no archive library " + libraryPath + "; give one with --library");
    }
    bw::authoring::WriteResourceArchive(std::filesystem::path(arguments.input).parent_path().string(), supportPaths,
                                        std::filesystem::path(output).replace_extension(".res").string());
    const std::filesystem::path libraryCopy = output.parent_path() / "qor.lib";
    if (std::filesystem::absolute(libraryCopy) != std::filesystem::absolute(libraryPath)) {
      bw::authoring::WriteFile(libraryCopy.string(), bw::authoring::ReadFile(libraryPath));
    }
    bw::authoring::WriteFile(arguments.output, stub + bw::WriteScriptItems(items));
    std::filesystem::permissions(arguments.output, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    const std::filesystem::path database = std::filesystem::path(arguments.output).replace_extension(".msi");
    if (arguments.database && !std::filesystem::exists(database)) {
      bw::authoring::WritePlaceholderDatabase(database.string(), items.productCode);
    }
    return 0;
  }
  if (arguments.verb == "script") {
    bw::authoring::WriteFile(arguments.output, bw::WriteScriptItems(CompileScript(arguments.input)));
    return 0;
  }
  if (arguments.verb == "dump") {
    const std::string bytes = bw::authoring::ReadFile(arguments.input);
    const std::string script = bw::authoring::ScriptOf(bytes, arguments.input);
    if (script.empty()) throw std::runtime_error(arguments.input + " holds no setup script");
    const std::string project = bw::authoring::DumpProject(bw::ReadScriptItems(script));
    if (arguments.output.empty()) {
      std::cout << project;
    } else {
      bw::authoring::WriteFile(arguments.output, project);
    }
    return 0;
  }
  std::cerr << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Arguments> arguments = ParseArguments(argc, argv);
  if (!arguments) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    return Run(*arguments);
  } catch (const bw::authoring::ProjectError& error) {
    std::cerr << "bwbuild: " << arguments->input << ": " << error.what() << "\n";
  } catch (const std::exception& error) {
    std::cerr << "bwbuild: " << error.what() << "\n";
  }
  return 1;
}
