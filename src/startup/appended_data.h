#pragma once
// Data appended behind a PE image: the setup script behind the engine, the
// language file behind the archive library.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace bw {

// The stub size of a loaded module (the running executable for null), from its headers as mapped in memory, or
// nothing when the mapped headers are not a readable PE image.
std::optional<std::uint64_t> ModuleStubSize(HMODULE module);

// The bytes of the file from offset stubSize to its end; nothing when the file
// is exactly stubSize bytes long. Throws std::runtime_error when the file
// cannot be read or is shorter than its own image.
std::optional<std::string> ReadAppendedData(const std::string& path, std::uint64_t stubSize);

// Writes scriptFile + ".to" as the first stub-size bytes of the running engine
// followed by the whole of scriptFile, moves scriptFile to scriptFile + ".nox"
// and the ".to" file to scriptFile. False when any step fails.
bool BuildRunnableSetup(const std::string& scriptFile);

// The full path of a loaded module (the running executable for null).
std::string ModulePath(HMODULE module);

}  // namespace bw
