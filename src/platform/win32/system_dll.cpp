#include "platform/win32/system_dll.h"

#include <string>

FARPROC SystemDllFunction(const char* dll, const char* function) {
  HMODULE module = GetModuleHandleA(dll);
  if (!module) {
    char folder[MAX_PATH];
    const UINT n = GetSystemDirectoryA(folder, sizeof folder);
    if (n == 0 || n >= sizeof folder) return nullptr;
    std::string path(folder, n);
    if (path.back() != '\\') path += '\\';
    module = LoadLibraryA((path + dll).c_str());
    if (!module) return nullptr;
  }
  return GetProcAddress(module, function);
}
