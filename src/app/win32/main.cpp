// Program entry: the long-lived objects, the main window and its input dialog, the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/error_report.h"
#include "app/tfrm_main.h"
#include "app/win32/main_window.h"
#include "app/win32/resource.h"
#include "platform/app_error.h"
#include "platform/win32/fatal_error.h"
#include "platform/win32/win32_registry_api.h"
#include "platform/win32/win32_system_api.h"
#include "ui/win32/win32_input_dialog.h"

namespace {

// The common controls of Windows 95 and NT 4.0 (4.00) register every class when they load and
// have only InitCommonControls; version 6 registers the tab and tooltip classes only when asked
// by InitCommonControlsEx, which the loader must not be asked for, so it is looked up.
void RegisterCommonControls() {
  InitCommonControls();
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  HMODULE comctl = GetModuleHandleA("comctl32.dll");
  const auto initEx =
      comctl ? reinterpret_cast<InitFunction>(reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")))
             : nullptr;
  if (!initEx) return;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  initEx(&controls);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  InstallFatalErrorBox(kApplicationTitle, kFatalErrorText);
  // Created before the main window and alive until the end: the two lists kept beside the
  // visible ones and the font colour the pointer effects restore.
  LongLivedObjects objects;

  Win32RegistryApi registry;
  Win32SystemApi system;
  RegisterCommonControls();

  TFormInputBox inputBox;
  Win32InputDialog inputDialog(instance, inputBox, {IDC_INPUT_EDIT, IDC_INPUT_MESSAGE, IDB_OK, IDB_CANCEL},
                               [&system](const std::function<void()>& handler) { RunHandler(system, handler); });
  MainWindow main(instance, registry, system, objects, inputBox);
  bool started = RunHandler(system, [&] {
    if (!main.Create()) throw AppError("The main window could not be created");
    // The input dialog belongs to the main window; it is made when it is first needed.
    inputDialog.SetOwner(main.Handle());
    inputBox.AttachView(&inputDialog);
    main.Show(showCommand);
  });
  if (!started || !main.Handle()) return 0;

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (main.TranslateKeys(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
