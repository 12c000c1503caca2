// qorcall: the engine's archive binding from the command line, for tests of
// "qor.lib" under Wine (the library beside this program is used).
//
//   qorcall list ARCHIVE [PASSWORD]         prints "entry: PATH" lines, then "ok"
//   qorcall extract ARCHIVE FOLDER [PASSWORD]
//
// A failure prints "error: TEXT" with the text the engine would show.
#include <windows.h>

#include <cstdio>
#include <string>

#include "engine/path_text.h"
#include "media/archive_library.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: qorcall list ARCHIVE [PASSWORD] | extract ARCHIVE FOLDER [PASSWORD]\n", stderr);
    return 2;
  }
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const bw::ArchiveLibrary library(LoadLibraryA((bw::FolderOf(self) + "qor.lib").c_str()));
  const std::string verb = argv[1];
  if (verb == "list") {
    const bw::ArchiveListing listing = library.List(argv[2], argc > 3 ? argv[3] : "");
    for (const std::string& entry : listing.entries) std::printf("entry: %s\n", entry.c_str());
    std::printf(listing.ok ? "ok\n" : "error: %s\n", listing.error.c_str());
    return 0;
  }
  if (verb == "extract" && argc > 3) {
    const bw::ArchiveExtraction result = library.Extract(argv[2], argc > 4 ? argv[4] : "", argv[3], true, true, {});
    std::printf(result.ok ? "ok\n" : "error: %s\n", result.error.c_str());
    return 0;
  }
  return 2;
}
