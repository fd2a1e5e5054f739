#include "platform/win32/fatal_error.h"

#include <windows.h>

#include <csignal>

namespace {

const char* g_caption = "";
const char* g_text = "";

// abort() raises SIGABRT and ends the program with exit code 3 once the handler returns.
extern "C" void ShowFatalError(int) {
  MessageBoxA(nullptr, g_text, g_caption, MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

}  // namespace

void InstallFatalErrorBox(const char* caption, const char* text) {
  g_caption = caption;
  g_text = text;
  std::signal(SIGABRT, ShowFatalError);
}
