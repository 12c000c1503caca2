#include "authoring/resource_archive.h"

#include <zlib.h>

#include <codecvt>
#include <filesystem>
#include <locale>
#include <stdexcept>

#include "authoring/run_program.h"
#include "authoring/setup_file.h"
#include "entry_path.h"

namespace bw::authoring {

namespace {

namespace fs = std::filesystem;

// A 7z archive without entries: the signature header pointing at no header.
std::string EmptySevenZipArchive() {
  std::string archive = {'7', 'z', '\xBC', '\xAF', '\x27', '\x1C', '\x00', '\x04'};
  const std::string startHeader(20, '\0');
  const auto crc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(startHeader.data()), static_cast<uInt>(startHeader.size())));
  for (int b = 0; b < 4; ++b) archive += static_cast<char>(crc >> (8 * b));
  return archive + startHeader;
}

void CheckEntryName(const std::string& name) {
  std::u16string wide;
  try {
    wide = std::wstring_convert<std::codecvt_utf8_utf16<char16_t>, char16_t>().from_bytes(name);
  } catch (const std::range_error&) {
    throw std::runtime_error("support file name is not UTF-8: " + name);
  }
  if (!qor::SafeEntryComponents(wide)) {
    throw std::runtime_error("the engine would refuse the support file name \"" + name +
                             "\" (absolute, \"..\", \":\", a device name, a trailing dot or blank, or a character "
                             "Windows forbids)");
  }
}

}  // namespace

void WriteResourceArchive(const std::string& baseFolder, const std::vector<std::string>& supportPaths,
                          const std::string& archivePath) {
  if (supportPaths.empty()) {
    WriteFile(archivePath, EmptySevenZipArchive());
    return;
  }
  const fs::path base = baseFolder.empty() ? fs::path(".") : fs::path(baseFolder);
  for (const std::string& path : supportPaths) {
    CheckEntryName(path);
    const fs::path full = base / path;
    if (!fs::exists(full)) throw std::runtime_error("support file not found: " + full.string());
    if (fs::is_directory(full)) {
      for (const auto& entry : fs::recursive_directory_iterator(full)) {
        CheckEntryName(fs::relative(entry.path(), base).generic_string());
      }
    }
  }
  const std::string temporary = fs::absolute(archivePath).string() + ".tmp";
  fs::remove(temporary);
  std::vector<std::string> arguments = {"7z", "a", "-t7z", "-bd", "-y", temporary, "--"};
  arguments.insert(arguments.end(), supportPaths.begin(), supportPaths.end());
  if (!RunProgram(arguments, base.string())) {
    fs::remove(temporary);
    throw std::runtime_error("7z could not make the resource archive " + archivePath + " (install p7zip-full)");
  }
  fs::rename(temporary, archivePath);
}

}  // namespace bw::authoring
