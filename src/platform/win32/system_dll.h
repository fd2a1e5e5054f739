#pragma once
// Functions of the system DLLs that only some actions need (the shell for links and tools, the
// common dialogs for "&Add"). Loading those DLLs and what they bring with them costs a program
// start a sixth of its time under Wine, so they are loaded the first time they are called and
// stay loaded. Always from the system folder, never from wherever the program was started.
#include <windows.h>

// The function, or nullptr when the DLL or the function is missing.
FARPROC SystemDllFunction(const char* dll, const char* function);

template <typename F>
F SystemFunction(const char* dll, const char* function) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(SystemDllFunction(dll, function)));
}
