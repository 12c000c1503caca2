#pragma once
// Setup executables as files: an engine stub with a script behind it.
#include <string>

namespace bw::authoring {

std::string ReadFile(const std::string& path);
// Writes through a temporary file beside the target, so a failed write never
// leaves a half-written target behind.
void WriteFile(const std::string& path, const std::string& bytes);

// The engine image at the start of a file's bytes (a bare stub or a setup).
// Throws std::runtime_error when the bytes are no PE image.
std::string StubOf(const std::string& fileBytes, const std::string& path);

// The script bytes behind the engine image; empty when there is none.
std::string ScriptOf(const std::string& fileBytes, const std::string& path);

}  // namespace bw::authoring
