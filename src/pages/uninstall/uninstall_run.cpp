// "&Uninstall": run a program's registered uninstaller, wait until it has ended, then re-read
// the list, which the uninstaller has usually changed.
#include "app/tfrm_main.h"
#include "pages/uninstall/uninstall_page.h"

using namespace uninstall_page;

void TfrmMain::btnUninstallClick() {
  RegistryAccess registry(Registry);
  registry.SetRootKey(reg::kHkeyLocalMachine);
  const int line = FindSelectedLine(lstUnInstList);

  const std::string question = ComposeQuestion("Are you sure you want to\nuninstall ", lstUnInstList.Items(line), " ?");
  if (System.MessageBoxA(BoxOwner::MainWindow, question, "Keelbrook", mb::kQuestion) != mb::kIdYes) return;

  // The line's own subkey, by position: display names need not be unique.
  const size_t index = static_cast<size_t>(line);
  const std::string keyName = index < UnInstKeyNames.size() ? UnInstKeyNames[index] : std::string();
  if (!OpenRegistration(registry, keyName, CodePage(System))) {
    ShowRegistryError(System);
    return;
  }

  // Run whole, whatever its length: a shortened command would be another command. A command
  // stored as an expandable string ("%SystemRoot%\...\x.exe" /u) names its program through the
  // environment, which the system reads only once it is expanded.
  std::string commandLine = registry.ReadString(kUninstallString);
  if (registry.GetDataType(kUninstallString) == reg::kRegExpandSz)
    commandLine = System.ExpandEnvironmentStringsA(commandLine);
  bool started = false;
  {
    const WaitCursor busy(Window);
    const uint32_t processId = LaunchProgram(commandLine);
    started = processId != 0 || startedWithoutThread_ != 0;
    if (started) WaitForProcessExit(processId);
  }
  if (!started) {
    // The user answered Yes and must learn that nothing ran; the command says what was tried.
    System.MessageBoxA(BoxOwner::MainWindow,
                       ComposeQuestion("There was a problem while starting\n", commandLine, " !"),
                       "Keelbrook", mb::kError);
  }
  FillUnInstList();
  registry.CloseKey();
}

uint32_t TfrmMain::LaunchProgram(const std::string& commandLine) {
  StartupInfo startup;
  startup.cb = 68;
  startup.dwFlags = kStartfUseShowWindow;
  startup.wShowWindow = sw::kRestore;
  startup.cbReserved2 = 0;

  // A 16-bit uninstaller on the NT family gets a 16-bit machine of its own, which ends when the
  // uninstaller does; the shared one outlives it, and a wait for it would never end. 32-bit
  // programs and Windows 9x ignore the flag.
  ProcessInformation info;
  if (!System.CreateProcessA(commandLine, true, kNormalPriorityClass | kCreateSeparateWowVdm, startup, info)) return 0;

  if (info.hThread == 0) {
    // A 16-bit program in the shared machine after all: no thread, and a process handle that
    // only the waits understand, while its id may be the shared machine's. That handle is
    // what the end is waited on.
    System.WaitForInputIdle(info.hProcess, kInfinite);
    startedWithoutThread_ = info.hProcess;
    return info.dwProcessId;
  }
  // Only a start that went through cleanly is worth waiting on for its first input. The
  // process handle is ours either way and is not kept: the end is waited for by id.
  if (System.CloseHandle(info.hThread)) System.WaitForInputIdle(info.hProcess, kInfinite);
  System.CloseHandle(info.hProcess);
  return info.dwProcessId;
}

void TfrmMain::WaitForProcessExit(uint32_t processId) {
  if (startedWithoutThread_ != 0) {
    const SysHandle process = startedWithoutThread_;
    startedWithoutThread_ = 0;
    System.WaitForSingleObject(process, kInfinite);
    System.CloseHandle(process);
    return;
  }
  // No handle means no such process any more: nothing to wait for.
  const SysHandle process = System.OpenProcess(kSynchronize, false, processId);
  if (process == 0) return;
  System.WaitForSingleObject(process, kInfinite);
  System.CloseHandle(process);
}
