// Process entry of the engine: a GUI program without a console.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "startup/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::vector<std::string> arguments;
  for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
  return bw::RunStartup(arguments, GetCommandLineA());
}
