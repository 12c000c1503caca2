#pragma once
// Functions of system DLLs that older Windows versions may lack, looked up by
// name at run time.
#include <windows.h>

namespace bw {

// The function of an already loaded system module, or null when the module or
// the function is missing. Function is the pointer type to call it through.
template <class Function>
Function SystemFunction(const char* module, const char* name) {
  const HMODULE handle = GetModuleHandleA(module);
  if (handle == nullptr) return nullptr;
  // Through void*: FARPROC has no parameters, so a direct cast draws a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

}  // namespace bw
