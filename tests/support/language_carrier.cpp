// A minimal DLL that end-to-end tests install as "qor.lib" with a language
// file appended, so start-up's loading of the engine messages can be watched
// before the archive library exists in its own right.
#include <windows.h>

extern "C" __declspec(dllexport) int LanguageCarrierVersion() { return 1; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
