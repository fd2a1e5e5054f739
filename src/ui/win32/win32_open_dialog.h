#pragma once
// The file-open dialog over GetOpenFileNameA, owned by the main window.
#include <windows.h>

#include "ui/controls.h"

class Win32OpenDialog : public OpenDialogControl {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  bool Execute(const OpenDialogOptions& options, std::string& fileName) override;

 private:
  HWND owner_ = nullptr;
};
