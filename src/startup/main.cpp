// Process entry of the engine: a GUI program without a console.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "startup/library_loading.h"
#include "startup/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  bw::RestrictDllSearchPath();
  std::vector<std::string> arguments;
  for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
  return bw::RunStartup(arguments, GetCommandLineA());
}
