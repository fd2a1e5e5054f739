// What the host tests share: the text an action raises, and registrations of the "Uninstall"
// page made in the fake registry.
#ifndef KEELBROOK_TESTS_UNIT_FORM_HELPERS_H
#define KEELBROOK_TESTS_UNIT_FORM_HELPERS_H

#include <functional>
#include <string>

#include "fakes/fake_controls.h"
#include "platform/app_error.h"

// The message of the error `action` raises, or "no error".
inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const AppError& e) {
    return e.what();
  }
  return "no error";
}

constexpr HKey kHklm = reg::kHkeyLocalMachine;
inline const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// A program registered under the Uninstall key with its display name and command.
inline void Register(FakeForm& f, const std::string& key, const std::string& display,
                     const std::string& command = "x.exe") {
  f.registry.SetString(kHklm, kUninstall + "\\" + key, "DisplayName", display);
  f.registry.SetString(kHklm, kUninstall + "\\" + key, "UninstallString", command);
}

// The page showing the registrations, with `line` selected and Yes as the next answer.
inline void Prepare(FakeForm& f, int line) {
  f->FillUnInstList();
  f.lstUnInstList.selected = line;
  f.system.answers = {mb::kIdYes};
}

#endif
