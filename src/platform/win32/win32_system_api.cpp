#include "platform/win32/win32_system_api.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/painting_wait.h"
#include "platform/win32/system_dll.h"

static_assert(sizeof(OSVERSIONINFOEXA) == kOsVersionInfoExSize, "the extended version record is 156 bytes");
// The caller's start-up record is the whole STARTUPINFOA, 68 bytes on 32-bit Windows (the size
// it gives); built for 64-bit Windows the record is larger, and the system is told its own size.
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68, "the start-up record is 68 bytes");

namespace {

HANDLE ToHandle(SysHandle h) { return reinterpret_cast<HANDLE>(h); }
SysHandle FromHandle(HANDLE h) { return reinterpret_cast<SysHandle>(h); }

// A buffer of exactly the caller's size, zeroed first. Whatever the system leaves in it, the text
// taken out ends at the first zero or at the end of the buffer, never beyond.
class TextBuffer {
 public:
  explicit TextBuffer(unsigned size) : bytes_(size == 0 ? 1 : size, '\0'), size_(size) {}
  char* data() { return bytes_.data(); }
  unsigned size() const { return size_; }
  std::string Text() {
    bytes_.back() = '\0';
    return std::string(bytes_.data());
  }

 private:
  std::vector<char> bytes_;
  unsigned size_;
};

template <size_t N>
std::string BoundedText(const char (&field)[N]) {
  return std::string(field, std::find(field, field + N, '\0'));
}

void CopyFindData(const WIN32_FIND_DATAA& from, FindData& to) {
  to.dwFileAttributes = from.dwFileAttributes;
  to.cFileName = BoundedText(from.cFileName);
}

}  // namespace

bool Win32SystemApi::GetVersionExA(OsVersionInfo& info) {
  OSVERSIONINFOEXA rec;
  std::memset(&rec, 0, sizeof rec);
  // The caller's size says which record it asks for; the system checks it, not us.
  rec.dwOSVersionInfoSize = info.dwOSVersionInfoSize;
  rec.dwMajorVersion = info.dwMajorVersion;
  rec.dwMinorVersion = info.dwMinorVersion;
  rec.dwBuildNumber = info.dwBuildNumber;
  rec.dwPlatformId = info.dwPlatformId;
  std::memcpy(rec.szCSDVersion, info.szCSDVersion, sizeof rec.szCSDVersion);
  rec.wServicePackMajor = info.wServicePackMajor;
  rec.wServicePackMinor = info.wServicePackMinor;
  rec.wSuiteMask = info.wSuiteMask;
  rec.wProductType = info.wProductType;
  rec.wReserved = info.wReserved;

  if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&rec))) return false;

  info.dwOSVersionInfoSize = rec.dwOSVersionInfoSize;
  info.dwMajorVersion = rec.dwMajorVersion;
  info.dwMinorVersion = rec.dwMinorVersion;
  info.dwBuildNumber = rec.dwBuildNumber;
  info.dwPlatformId = rec.dwPlatformId;
  std::memcpy(info.szCSDVersion, rec.szCSDVersion, sizeof info.szCSDVersion);
  info.wServicePackMajor = rec.wServicePackMajor;
  info.wServicePackMinor = rec.wServicePackMinor;
  info.wSuiteMask = rec.wSuiteMask;
  info.wProductType = rec.wProductType;
  info.wReserved = rec.wReserved;
  return true;
}

std::string Win32SystemApi::GetWindowsDirectoryA(unsigned size) {
  TextBuffer buf(size);
  ::GetWindowsDirectoryA(buf.data(), buf.size());
  return buf.Text();
}

std::string Win32SystemApi::GetSystemDirectoryA(unsigned size) {
  TextBuffer buf(size);
  ::GetSystemDirectoryA(buf.data(), buf.size());
  return buf.Text();
}

std::string Win32SystemApi::GetComputerNameA(unsigned size) {
  TextBuffer buf(size);
  DWORD n = buf.size();
  ::GetComputerNameA(buf.data(), &n);
  return buf.Text();
}

bool Win32SystemApi::SetComputerNameA(const std::string& name) { return ::SetComputerNameA(name.c_str()) != 0; }

bool Win32SystemApi::GetUserNameA(unsigned size, std::string& name) {
  TextBuffer buf(size);
  DWORD n = buf.size();
  if (!::GetUserNameA(buf.data(), &n)) return false;
  name = buf.Text();
  return true;
}

std::string Win32SystemApi::ExpandEnvironmentStringsA(const std::string& text) {
  // Never asked with a null buffer, which the oldest systems do not promise to take. The ANSI
  // call may want one byte more than it reports; a result that does not fit is asked for again
  // at the size reported, and a text that cannot be expanded is given back as it is.
  DWORD size = static_cast<DWORD>(text.size()) + 256;
  for (int tries = 0; tries < 3; ++tries) {
    std::vector<char> expanded(size + 1, '\0');
    const DWORD got = ::ExpandEnvironmentStringsA(text.c_str(), expanded.data(), size);
    if (got == 0) break;
    if (got < size) return std::string(expanded.data());
    size = got + 1;
  }
  return text;
}

bool Win32SystemApi::CreateProcessA(const std::string& commandLine, bool inheritHandles, uint32_t creationFlags,
                                    const StartupInfo& startup, ProcessInformation& info) {
  // CreateProcessA may write into the command line, so it gets its own copy.
  std::vector<char> command(commandLine.begin(), commandLine.end());
  command.push_back('\0');

  STARTUPINFOA si;
  std::memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = startup.dwFlags;
  si.wShowWindow = startup.wShowWindow;
  si.cbReserved2 = 0;
  si.lpReserved2 = nullptr;

  PROCESS_INFORMATION pi;
  std::memset(&pi, 0, sizeof pi);
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, inheritHandles ? TRUE : FALSE, creationFlags,
                        nullptr, nullptr, &si, &pi)) {
    return false;
  }
  info.hProcess = FromHandle(pi.hProcess);
  info.hThread = FromHandle(pi.hThread);
  info.dwProcessId = pi.dwProcessId;
  info.dwThreadId = pi.dwThreadId;
  return true;
}

uint32_t Win32SystemApi::WaitForInputIdle(SysHandle process, uint32_t milliseconds) {
  if (milliseconds == INFINITE) return WaitForInputIdlePainting(ToHandle(process));
  return ::WaitForInputIdle(ToHandle(process), milliseconds);
}

SysHandle Win32SystemApi::OpenProcess(uint32_t access, bool inherit, uint32_t processId) {
  return FromHandle(::OpenProcess(access, inherit ? TRUE : FALSE, processId));
}

uint32_t Win32SystemApi::WaitForSingleObject(SysHandle handle, uint32_t milliseconds) {
  if (milliseconds == INFINITE) return WaitPainting(ToHandle(handle));
  return ::WaitForSingleObject(ToHandle(handle), milliseconds);
}

bool Win32SystemApi::CloseHandle(SysHandle handle) { return ::CloseHandle(ToHandle(handle)) != 0; }

unsigned Win32SystemApi::WinExec(const std::string& commandLine, int show) {
  return ::WinExec(commandLine.c_str(), static_cast<UINT>(show));
}

std::intptr_t Win32SystemApi::ShellExecuteA(BoxOwner owner, const std::string& verb, const std::string& file,
                                            const std::string& parameters, const std::string& directory,
                                            int show) {
  // The shell reads an empty verb, parameter list or directory as "none given".
  auto orNull = [](const std::string& s) { return s.empty() ? nullptr : s.c_str(); };
  using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  static const auto shellExecute = SystemFunction<ShellExecuteFunction>("shell32.dll", "ShellExecuteA");
  if (!shellExecute) return SE_ERR_DLLNOTFOUND;
  HINSTANCE result = shellExecute(OwnerOf(owner), orNull(verb), file.c_str(), orNull(parameters), orNull(directory), show);
  return reinterpret_cast<std::intptr_t>(result);
}

int Win32SystemApi::CopyFileA(const std::string& source, const std::string& destination, bool failIfExists) {
  return ::CopyFileA(source.c_str(), destination.c_str(), failIfExists ? TRUE : FALSE);
}

bool Win32SystemApi::MoveFileA(const std::string& oldPath, const std::string& newPath) {
  return ::MoveFileA(oldPath.c_str(), newPath.c_str()) != 0;
}

bool Win32SystemApi::DeleteFileA(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

SysHandle Win32SystemApi::FindFirstFileA(const std::string& pattern, FindData& data) {
  WIN32_FIND_DATAA fd;
  std::memset(&fd, 0, sizeof fd);
  HANDLE h = ::FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return kInvalidSysHandle;
  CopyFindData(fd, data);
  return FromHandle(h);
}

bool Win32SystemApi::FindNextFileA(SysHandle search, FindData& data) {
  WIN32_FIND_DATAA fd;
  std::memset(&fd, 0, sizeof fd);
  if (!::FindNextFileA(ToHandle(search), &fd)) return false;
  CopyFindData(fd, data);
  return true;
}

bool Win32SystemApi::FindClose(SysHandle search) { return ::FindClose(ToHandle(search)) != 0; }

bool Win32SystemApi::ShellFolderPathA(int csidl, std::string& path) {
  // One call from shell32 4.71 (98, 2000 and later, and 95 or NT 4.0 with Internet Explorer 4's
  // desktop update). It reads the same record as the item list below without building the list,
  // which costs Wine two thirds of the Send To page's share of the start-up.
  using PathFunction = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
  static const auto specialPath = SystemFunction<PathFunction>("shell32.dll", "SHGetSpecialFolderPathA");
  char buffer[MAX_PATH] = {};
  if (specialPath && specialPath(nullptr, buffer, csidl, FALSE) && buffer[0]) {
    path = BoundedText(buffer);
    return true;
  }
  return ShellFolderPathFromItemList(csidl, path);
}

bool Win32SystemApi::ShellFolderPathFromItemList(int csidl, std::string& path) {
  // Both are in the shell32 of Windows 95 and NT 4.0.
  using LocationFunction = HRESULT(WINAPI*)(HWND, int, LPITEMIDLIST*);
  using PathFunction = BOOL(WINAPI*)(LPCITEMIDLIST, LPSTR);
  using MallocFunction = HRESULT(WINAPI*)(LPMALLOC*);
  static const auto location = SystemFunction<LocationFunction>("shell32.dll", "SHGetSpecialFolderLocation");
  static const auto toPath = SystemFunction<PathFunction>("shell32.dll", "SHGetPathFromIDListA");
  static const auto shellMalloc = SystemFunction<MallocFunction>("shell32.dll", "SHGetMalloc");
  LPITEMIDLIST list = nullptr;
  if (!location || !toPath || FAILED(location(nullptr, csidl, &list)) || !list) return false;
  char buffer[MAX_PATH] = {};
  const bool found = toPath(list, buffer) != FALSE;
  // The item list belongs to the shell's allocator, which hands it back.
  LPMALLOC allocator = nullptr;
  if (shellMalloc && SUCCEEDED(shellMalloc(&allocator)) && allocator) {
    allocator->Free(list);
    allocator->Release();
  }
  if (!found || !buffer[0]) return false;
  path = BoundedText(buffer);
  return true;
}

int Win32SystemApi::MessageBoxA(BoxOwner owner, const std::string& text, const std::string& caption,
                                unsigned type) {
  HWND window = OwnerOf(owner);
  // Until the main window is shown (an error while it is being created), a box it owned would
  // have no taskbar button and could stay behind other programs' windows. The application's own
  // box instead: it keeps the program's windows disabled as an owner would, and comes to the front.
  if (owner == BoxOwner::MainWindow && (!window || !IsWindowVisible(window))) {
    window = nullptr;
    type |= MB_TASKMODAL | MB_SETFOREGROUND;
  }
  return ::MessageBoxA(window, text.c_str(), caption.c_str(), type);
}

int Win32SystemApi::CompareTextIgnoreCase(const std::string& a, const std::string& b) {
  int r = ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                           static_cast<int>(b.size()));
  // 0 means the call itself failed; rather than report "less", fall back to the bytes.
  if (r == 0) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  return r - CSTR_EQUAL;
}

bool Win32SystemApi::SetClipboardText(const std::string& text) {
  // The text and its zero in memory the clipboard takes over once it is set.
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
  if (!memory) return false;
  if (void* bytes = GlobalLock(memory)) {
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    // Another program may hold the clipboard for a moment (a viewer reading what was copied
    // last): it is asked again for a little while before the copy counts as failed.
    bool open = OpenClipboard(mainWindow_) != 0;
    for (int tries = 0; !open && tries < 10; ++tries) {
      Sleep(20);
      open = OpenClipboard(mainWindow_) != 0;
    }
    if (open) {
      const bool set = EmptyClipboard() && SetClipboardData(CF_TEXT, memory);
      CloseClipboard();
      if (set) return true;
    }
  }
  GlobalFree(memory);
  return false;
}
