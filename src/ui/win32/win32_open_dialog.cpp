#include "ui/win32/win32_open_dialog.h"

#include <commdlg.h>

#include <vector>

#include "platform/win32/system_dll.h"

bool Win32OpenDialog::Execute(const OpenDialogOptions& options, std::string& fileName) {
  // "Name|pattern|Name|pattern" becomes the double-zero-terminated list the dialog takes.
  std::string filter = options.filter;
  for (char& ch : filter) {
    if (ch == '|') ch = '\0';
  }
  filter.push_back('\0');
  filter.push_back('\0');

  std::vector<char> file(4096, '\0');
  OPENFILENAMEA ofn = {};
  // Systems before Windows 2000 refuse the record with the fields that came later.
  const DWORD version = GetVersion();
  const bool nt5 = !(version & 0x80000000u) && LOBYTE(LOWORD(version)) >= 5;
  ofn.lStructSize = nt5 ? sizeof ofn : OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(options.filterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = options.initialDir.empty() ? nullptr : options.initialDir.c_str();
  ofn.lpstrTitle = options.title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  if (options.pathMustExist) ofn.Flags |= OFN_PATHMUSTEXIST;
  if (options.fileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
  if (options.noDereferenceLinks) ofn.Flags |= OFN_NODEREFERENCELINKS;
  using GetOpenFileNameFunction = BOOL(WINAPI*)(OPENFILENAMEA*);
  static const auto getOpenFileName = SystemFunction<GetOpenFileNameFunction>("comdlg32.dll", "GetOpenFileNameA");
  if (!getOpenFileName || !getOpenFileName(&ofn)) return false;
  fileName.assign(file.data());
  return true;
}
