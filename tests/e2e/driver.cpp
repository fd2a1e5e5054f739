#include "e2e/driver.h"
#include "e2e/window_search.h"

#include <fstream>
#include <sstream>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "app/win32/resource.h"

namespace e2e {

namespace {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...) {
  char buf[2048];
  va_list args;
  va_start(args, fmt);
  vsnprintf(buf, sizeof buf, fmt, args);
  va_end(args);
  return buf;
}

[[noreturn]] void Fail(const std::string& what) { throw DriverError(what); }

std::string ErrorText(DWORD code) {
  char buf[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                 sizeof buf, nullptr);
  std::string text = buf;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return Format("error %lu%s%s", code, text.empty() ? "" : ": ", text.c_str());
}

// A registry key that closes itself.
class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (h_) RegCloseKey(h_);
  }
  HKEY* Out() { return &h_; }
  HKEY Get() const { return h_; }

 private:
  HKEY h_ = nullptr;
};

LONG Open(HKEY root, const std::string& path, REGSAM access, Key& key) {
  return RegOpenKeyExA(root, path.c_str(), 0, access, key.Out());
}

LONG Create(HKEY root, const std::string& path, Key& key) {
  return RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Out(), nullptr);
}

std::string Where(HKEY root, const std::string& path, const std::string& name) {
  return RootName(root) + "\\" + path + " value " + Quote(name);
}

// The outermost key of `path` that does not exist yet ("" when the whole path exists).
std::string FirstMissingKey(HKEY root, const std::string& path) {
  size_t pos = 0;
  while (true) {
    const size_t next = path.find('\\', pos);
    const std::string prefix = path.substr(0, next);
    if (!prefix.empty() && !KeyExists(root, prefix)) return prefix;
    if (next == std::string::npos) return "";
    pos = next + 1;
  }
}

using window_search::Descendants;
using window_search::TopLevelWindowsOf;
using window_search::FindById;

LRESULT SendTimeout(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeout_ms, bool wide) {
  DWORD_PTR result = 0;
  timeout_ms = Patient(timeout_ms);
  SetLastError(0);
  const LRESULT ok = wide ? SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, timeout_ms, &result)
                          : SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_NORMAL, timeout_ms, &result);
  if (!ok) {
    const DWORD error = GetLastError();
    if (!IsWindow(hwnd)) Fail(Format("message 0x%04x: window %p is gone", msg, static_cast<void*>(hwnd)));
    Fail(Format("message 0x%04x to window %p (class %s) got no answer within %lu ms (%s); is the "
                "program busy or hung?",
                msg, static_cast<void*>(hwnd), KeelbrookDriver::ClassOf(hwnd).c_str(), timeout_ms,
                ErrorText(error).c_str()));
  }
  return static_cast<LRESULT>(result);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool MakeDirectories(const std::string& path) {
  for (size_t pos = path.find_first_of("/\\", 3); pos != std::string::npos;
       pos = path.find_first_of("/\\", pos + 1))
    CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
  CreateDirectoryA(path.c_str(), nullptr);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

const char* const kAppDefaults = "Software\\Wine\\AppDefaults\\";

// Memory in the program's address space, for messages that carry pointers to structures.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, SIZE_T size)
      : process_(process),
        p_(static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {
    if (!p_) Fail("could not get memory in the program: " + ErrorText(GetLastError()));
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  ~RemoteBuffer() { VirtualFreeEx(process_, p_, 0, MEM_RELEASE); }
  char* Get() const { return p_; }
  void Write(const void* remote, const void* data, SIZE_T size) const {
    SIZE_T done = 0;
    if (!WriteProcessMemory(process_, const_cast<void*>(remote), data, size, &done) || done != size)
      Fail("could not write to the program's memory: " + ErrorText(GetLastError()));
  }
  void Read(const void* remote, void* data, SIZE_T size) const {
    SIZE_T done = 0;
    if (!ReadProcessMemory(process_, remote, data, size, &done) || done != size)
      Fail("could not read the program's memory: " + ErrorText(GetLastError()));
  }

 private:
  HANDLE process_;
  char* p_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------

DWORD Patient(DWORD ms) {
  static const DWORD factor = std::max(1, std::atoi(Env("KB_E2E_PATIENCE", "1").c_str()));
  return ms * factor;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms, DWORD poll_ms) {
  timeout_ms = Patient(timeout_ms);
  const DWORD start = GetTickCount();
  while (true) {
    if (done()) return true;
    if (GetTickCount() - start >= timeout_ms) return done();
    Sleep(poll_ms);
  }
}

std::string Env(const char* name, const std::string& fallback) {
  char buf[4096];
  const DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return fallback;
  return std::string(buf, n);
}

std::string TestProgram(const std::string& name) {
  std::string bin = Env("KB_BIN");
  if (bin.empty()) Fail("KB_BIN is not set: it names the folder of the test programs");
  return bin + "/" + name + ".exe";
}

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const int size = static_cast<int>(text.size());
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], size)));
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  std::string text(wide.size() * 2, '\0');
  const int size = static_cast<int>(wide.size());
  text.resize(static_cast<size_t>(
      WideCharToMultiByte(CP_ACP, 0, wide.data(), size, &text[0], static_cast<int>(text.size()), nullptr, nullptr)));
  return text;
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default:
        if (c < 32 || c > 126)
          out += Format("\\x%02x", c);
        else
          out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// ---------------------------------------------------------------------------------------------
// Registry

std::string RegValue::Text() const {
  std::string text = data;
  int zeros = type == REG_MULTI_SZ ? 2 : (type == REG_SZ || type == REG_EXPAND_SZ) ? 1 : 0;
  while (zeros-- > 0 && !text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

DWORD RegValue::Dword() const {
  DWORD value = 0;
  if (data.size() >= sizeof value) memcpy(&value, data.data(), sizeof value);
  return value;
}

std::string RootName(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (root == HKEY_USERS) return "HKEY_USERS";
  return Format("HKEY(%p)", static_cast<void*>(root));
}

LONG SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const std::string& bytes) {
  Key key;
  LONG rc = Create(root, path, key);
  if (rc != ERROR_SUCCESS) return rc;
  return RegSetValueExA(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
}

LONG SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text,
               DWORD type) {
  std::string bytes = text;
  bytes.push_back('\0');
  if (type == REG_MULTI_SZ) bytes.push_back('\0');
  return SetValue(root, path, name, type, bytes);
}

LONG SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
  return SetValue(root, path, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

LONG SetBinary(HKEY root, const std::string& path, const std::string& name, const std::string& bytes) {
  return SetValue(root, path, name, REG_BINARY, bytes);
}

LONG DeleteValue(HKEY root, const std::string& path, const std::string& name) {
  Key key;
  LONG rc = Open(root, path, KEY_SET_VALUE, key);
  if (rc != ERROR_SUCCESS) return rc;
  return RegDeleteValueA(key.Get(), name.c_str());
}

LONG DeleteTree(HKEY root, const std::string& path) {
  if (path.empty()) return ERROR_INVALID_PARAMETER;  // never the whole root
  // With a subkey name, RegDeleteTree removes that key itself as well.
  return RegDeleteTreeA(root, path.c_str());
}

LONG CreateKey(HKEY root, const std::string& path) {
  Key key;
  return Create(root, path, key);
}

std::optional<RegValue> ReadValue(HKEY root, const std::string& path, const std::string& name) {
  Key key;
  if (Open(root, path, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  std::string data(size, '\0');
  if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  data.resize(size);
  return RegValue{type, data};
}

std::optional<RegValue> ReadString(HKEY root, const std::string& path, const std::string& name) {
  return ReadValue(root, path, name);
}

bool KeyExists(HKEY root, const std::string& path) {
  Key key;
  return Open(root, path, KEY_QUERY_VALUE, key) == ERROR_SUCCESS;
}

bool ValueExists(HKEY root, const std::string& path, const std::string& name) {
  return ReadValue(root, path, name).has_value();
}

std::vector<std::string> SubkeyNames(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  Key key;
  if (Open(root, path, KEY_ENUMERATE_SUB_KEYS, key) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD size = sizeof name;
    if (RegEnumKeyExA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, size);
  }
  return names;
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  Key key;
  if (Open(root, path, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD size = sizeof name;
    if (RegEnumValueA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, size);
  }
  return names;
}

// ---------------------------------------------------------------------------------------------
// RegistryFixture

struct RegistryFixture::Snapshot {
  std::vector<std::pair<std::string, RegValue>> values;
  std::vector<std::pair<std::string, Snapshot>> subkeys;

  static Snapshot Take(HKEY root, const std::string& path) {
    Snapshot s;
    for (const std::string& name : ValueNames(root, path)) {
      auto value = ReadValue(root, path, name);
      if (value) s.values.emplace_back(name, *value);
    }
    for (const std::string& sub : SubkeyNames(root, path)) s.subkeys.emplace_back(sub, Take(root, path + "\\" + sub));
    return s;
  }

  LONG Put(HKEY root, const std::string& path) const {
    LONG rc = e2e::CreateKey(root, path);
    for (const auto& value : values) {
      if (rc != ERROR_SUCCESS) return rc;
      rc = e2e::SetValue(root, path, value.first, value.second.type, value.second.data);
    }
    for (const auto& sub : subkeys) {
      if (rc != ERROR_SUCCESS) return rc;
      rc = sub.second.Put(root, path + "\\" + sub.first);
    }
    return rc;
  }
};

struct RegistryFixture::Record {
  HKEY root;
  std::string path;
  bool wholeKey;                      // a key with everything under it, or one value
  std::string name;                   // the value
  std::optional<RegValue> value;      // the value as it was, if it existed
  std::string missingKey;             // outermost key that did not exist before (deleted on restore)
  std::optional<Snapshot> key;        // the key as it was, if it existed

  LONG Undo() const {
    if (!missingKey.empty()) {
      LONG rc = e2e::DeleteTree(root, missingKey);
      return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
    }
    if (!wholeKey) {
      if (value) return e2e::SetValue(root, path, name, value->type, value->data);
      LONG rc = e2e::DeleteValue(root, path, name);
      return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
    }
    LONG rc = e2e::DeleteTree(root, path);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return rc;
    return key ? key->Put(root, path) : ERROR_SUCCESS;
  }

  std::string Describe() const {
    return wholeKey ? RootName(root) + "\\" + path : Where(root, path, name);
  }
};

RegistryFixture::RegistryFixture() = default;
RegistryFixture::~RegistryFixture() { Restore(); }

void RegistryFixture::Restore() {
  while (!records_.empty()) {
    const Record& record = records_.back();
    const LONG rc = record.Undo();
    if (rc != ERROR_SUCCESS)
      ADD_FAILURE() << "could not restore " << record.Describe() << ": " << ErrorText(rc);
    records_.pop_back();
  }
}

void RegistryFixture::RecordKey(HKEY root, const std::string& path) {
  Record record{root, path, true, "", std::nullopt, FirstMissingKey(root, path), std::nullopt};
  if (record.missingKey.empty()) record.key = Snapshot::Take(root, path);
  records_.push_back(std::move(record));
}

void RegistryFixture::SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                               const std::string& bytes) {
  Record record{root, path, false, name, ReadValue(root, path, name), FirstMissingKey(root, path), std::nullopt};
  records_.push_back(std::move(record));
  const LONG rc = e2e::SetValue(root, path, name, type, bytes);
  if (rc != ERROR_SUCCESS) Fail("could not set " + Where(root, path, name) + ": " + ErrorText(rc));
}

void RegistryFixture::SetString(HKEY root, const std::string& path, const std::string& name,
                                const std::string& text, DWORD type) {
  std::string bytes = text;
  bytes.push_back('\0');
  if (type == REG_MULTI_SZ) bytes.push_back('\0');
  SetValue(root, path, name, type, bytes);
}

void RegistryFixture::SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
  SetValue(root, path, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

void RegistryFixture::SetBinary(HKEY root, const std::string& path, const std::string& name,
                                const std::string& bytes) {
  SetValue(root, path, name, REG_BINARY, bytes);
}

void RegistryFixture::DeleteValue(HKEY root, const std::string& path, const std::string& name) {
  auto previous = ReadValue(root, path, name);
  if (!previous) return;
  records_.push_back(Record{root, path, false, name, previous, "", std::nullopt});
  const LONG rc = e2e::DeleteValue(root, path, name);
  if (rc != ERROR_SUCCESS) Fail("could not delete " + Where(root, path, name) + ": " + ErrorText(rc));
}

void RegistryFixture::DeleteTree(HKEY root, const std::string& path) {
  if (!KeyExists(root, path)) return;
  RecordKey(root, path);
  const LONG rc = e2e::DeleteTree(root, path);
  if (rc != ERROR_SUCCESS) Fail("could not delete " + RootName(root) + "\\" + path + ": " + ErrorText(rc));
}

void RegistryFixture::CreateKey(HKEY root, const std::string& path) {
  if (KeyExists(root, path)) return;
  RecordKey(root, path);
  const LONG rc = e2e::CreateKey(root, path);
  if (rc != ERROR_SUCCESS) Fail("could not create " + RootName(root) + "\\" + path + ": " + ErrorText(rc));
}

void RegistryFixture::Protect(HKEY root, const std::string& path) { RecordKey(root, path); }

// ---------------------------------------------------------------------------------------------
// Message boxes

std::vector<int> MessageBoxInfo::ButtonIds() const {
  std::vector<int> ids;
  for (const BoxButton& b : buttons) ids.push_back(b.id);
  return ids;
}

std::string MessageBoxInfo::Describe() const {
  std::string out = "box caption " + Quote(caption) + " text " + Quote(text) + " buttons [";
  for (size_t i = 0; i < buttons.size(); ++i)
    out += Format("%s%d %s", i ? ", " : "", buttons[i].id, Quote(buttons[i].text).c_str());
  out += Format("] owner %p", static_cast<void*>(owner));
  return out;
}

// ---------------------------------------------------------------------------------------------
// KeelbrookDriver

KeelbrookDriver::KeelbrookDriver(std::string exe, std::string windowClass)
    : exe_(exe.empty() ? Env("KB_EXE") : std::move(exe)), windowClass_(std::move(windowClass)) {}

KeelbrookDriver::~KeelbrookDriver() {
  if (Running()) Kill();
  if (elsewhere_) DestroyWindow(elsewhere_);
  CloseHandles();
  RestoreVersion();
}

void KeelbrookDriver::CloseHandles() {
  if (thread_) CloseHandle(thread_);
  if (process_) CloseHandle(process_);
  thread_ = process_ = nullptr;
}

void KeelbrookDriver::SetWindowsVersion(const std::string& version) {
  const std::string path = kAppDefaults + BaseName(exe_);
  if (!versionChanged_) {
    previousVersion_ = ReadValue(HKEY_CURRENT_USER, path, "Version");
    versionChanged_ = true;
  }
  const LONG rc = version.empty() ? e2e::DeleteValue(HKEY_CURRENT_USER, path, "Version")
                                  : e2e::SetString(HKEY_CURRENT_USER, path, "Version", version);
  if (rc != ERROR_SUCCESS && !(version.empty() && rc == ERROR_FILE_NOT_FOUND))
    Fail("could not set the Windows version " + Quote(version) + ": " + ErrorText(rc));
}

void KeelbrookDriver::RestoreVersion() {
  if (!versionChanged_) return;
  const std::string path = kAppDefaults + BaseName(exe_);
  if (previousVersion_)
    e2e::SetValue(HKEY_CURRENT_USER, path, "Version", previousVersion_->type, previousVersion_->data);
  else
    e2e::DeleteValue(HKEY_CURRENT_USER, path, "Version");
  versionChanged_ = false;
}

HWND KeelbrookDriver::FindMainWindow() const {
  for (HWND hwnd : TopLevelWindowsOf(pid_))
    if (ClassOf(hwnd) == windowClass_ && IsWindowVisible(hwnd)) return hwnd;
  return nullptr;
}

void KeelbrookDriver::Launch() {
  if (exe_.empty()) Fail("KB_EXE is not set: it names the keelbrook.exe to test");
  if (Running()) Fail("the program is already running; one driver runs one program at a time");
  CloseHandles();
  main_ = nullptr;
  found_.clear();
  if (GetFileAttributesA(exe_.c_str()) == INVALID_FILE_ATTRIBUTES) Fail("no program at " + exe_);

  std::string commandLine = "\"" + exe_ + "\"";
  const std::string folder = DirName(exe_);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (showCommand_ >= 0) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showCommand_);
  }
  PROCESS_INFORMATION pi = {};
  // Wine 8 now and then fails a start with ERROR_INTERNAL_ERROR before the program runs (seen once here).
  for (int tries = 1; !CreateProcessA(exe_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                      folder.empty() ? nullptr : folder.c_str(), &si, &pi); ++tries, Sleep(200))
    if (GetLastError() != ERROR_INTERNAL_ERROR || tries == 3) Fail("could not start " + exe_ + ": " + ErrorText(GetLastError()));
  process_ = pi.hProcess;
  thread_ = pi.hThread;
  pid_ = pi.dwProcessId;
  tid_ = pi.dwThreadId;
}

std::string KeelbrookDriver::EndedText() const {
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return Format("the program ended with exit code %lu", code);
}

void KeelbrookDriver::Start(DWORD timeout_ms) {
  Launch();
  WaitForMainWindow(timeout_ms);
}

MessageBoxInfo KeelbrookDriver::StartWithBox(DWORD timeout_ms) {
  Launch();
  std::optional<MessageBoxInfo> box;
  WaitUntil([&] { return (box = FindMessageBox()) || FindMainWindow() || !Running(); }, timeout_ms);
  if (!box) {
    if (FindMainWindow()) Fail("expected a message box before the main window; the window came first");
    if (!Running()) Fail("expected a message box before the main window; " + EndedText());
    Fail(Format("expected a message box before the main window; nothing appeared within %lu ms", timeout_ms));
  }
  return WaitForMessageBox(2000);
}

void KeelbrookDriver::WaitForMainWindow(DWORD timeout_ms) {
  if (!process_) Fail("the program has not been started");
  const DWORD start = GetTickCount();
  std::optional<MessageBoxInfo> box;
  const bool shown = WaitUntil([&] { return FindMainWindow() || !Running() || (box = FindMessageBox()); }, timeout_ms);
  // Creation errors are reported before the window is shown; say so instead of timing out.
  if (!FindMainWindow() && box)
    Fail("the program showed a message box before its window (use StartWithBox): " + box->Describe());
  if (!Running()) Fail(Format("%s before showing its %s window", EndedText().c_str(), windowClass_.c_str()));
  if (!shown) {
    Kill();
    Fail(Format("%s showed no %s window within %lu ms", exe_.c_str(), windowClass_.c_str(), timeout_ms));
  }
  main_ = FindMainWindow();
  const DWORD spent = GetTickCount() - start;
  WaitForInputIdle(process_, spent < timeout_ms ? timeout_ms - spent : 0);
  tid_ = GetWindowThreadProcessId(main_, nullptr);
  Sync();
}

bool KeelbrookDriver::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool KeelbrookDriver::WindowOpen() const { return IsWindow(main_) && IsWindowVisible(main_); }

LRESULT KeelbrookDriver::Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeout_ms) const {
  return SendTimeout(hwnd, msg, wp, lp, timeout_ms, false);
}

LRESULT KeelbrookDriver::SendW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeout_ms) const {
  return SendTimeout(hwnd, msg, wp, lp, timeout_ms, true);
}

void KeelbrookDriver::Post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const {
  if (!PostMessageA(hwnd, msg, wp, lp))
    Fail(Format("could not post message 0x%04x to %p: %s", msg, static_cast<void*>(hwnd),
                ErrorText(GetLastError()).c_str()));
}

void KeelbrookDriver::Sync() const {
  if (!main_) Fail("the program has not been started");
  // On a machine shared with other runs one step of the program took over 5 s: only one that
  // answers nothing for 20 s is taken for hung.
  Send(main_, WM_NULL, 0, 0, 20000);
}

// --- controls

HWND KeelbrookDriver::Find(int id) const {
  if (!main_) return nullptr;
  // The program builds its controls once, so a found window stays valid while it has its id.
  auto cached = found_.find(id);
  if (cached != found_.end() && IsWindow(cached->second) && GetDlgCtrlID(cached->second) == id) return cached->second;
  LookAtPageOf(id);
  HWND hwnd = FindById(main_, id);
  if (hwnd) found_[id] = hwnd;
  return hwnd;
}

void KeelbrookDriver::LookAtPageOf(int id) const {
  // A page is made with its first control (a list comes before its page: creation fills it).
  int page = id >= IDC_PAGE_SYSINFO && id < IDC_PAGE_SYSINFO + kPageCount ? id - IDC_PAGE_SYSINFO : -1, first = 0;
  for (int i = 0; i < kControlCount && page < 0; ++i)
    if (kControls[i].id == id) page = kControls[i].page;
  for (int i = kControlCount; i-- > 0;)
    if (kControls[i].page == page) first = kControls[i].id;
  HWND tabs = FindById(main_, IDC_MAIN_TABS);
  if (page < 0 || !tabs || FindById(main_, first)) return;
  const int shown = static_cast<int>(Send(tabs, TCM_GETCURSEL, 0, 0));
  Send(tabs, TCM_SETCURFOCUS, page, 0);
  Send(tabs, TCM_SETCURFOCUS, shown, 0);
}


HWND KeelbrookDriver::Control(int id) const {
  if (!main_) Fail("the program has not been started");
  HWND hwnd = Find(id);
  if (!hwnd) Fail(Format("the main window has no control with id %d", id));
  return hwnd;
}

std::string KeelbrookDriver::ClassOf(HWND hwnd) {
  char name[256] = "";
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

std::string KeelbrookDriver::WindowText(HWND hwnd) {
  const LRESULT length = SendTimeout(hwnd, WM_GETTEXTLENGTH, 0, 0, 5000, false);
  // Room for a double-byte answer: the length may count either characters or bytes.
  std::string text(static_cast<size_t>(length) * 2 + 2, '\0');
  const LRESULT got = SendTimeout(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), 5000, false);
  text.resize(strnlen(text.c_str(), static_cast<size_t>(got) < text.size() ? static_cast<size_t>(got) : text.size()));
  return text;
}

std::string KeelbrookDriver::Text(int id) const { return WindowText(Control(id)); }

void KeelbrookDriver::SetText(int id, const std::string& text) {
  HWND hwnd = Control(id);
  // A user cannot change a read-only field; a test that does would prove nothing.
  if (ClassOf(hwnd) == "Edit" && (GetWindowLongA(hwnd, GWL_STYLE) & ES_READONLY))
    Fail(Format("control %d is read-only; its text cannot be set", id));
  if (!Send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
    Fail(Format("control %d refused the text %s", id, Quote(text).c_str()));
  const std::string shown = WindowText(hwnd);
  if (shown != text)
    Fail(Format("control %d: set the text %s, it shows %s", id, Quote(text).c_str(), Quote(shown).c_str()));
}

void KeelbrookDriver::TypeInto(int id, const std::string& text) {
  HWND hwnd = Control(id);
  Focus(id);
  Send(hwnd, EM_SETSEL, 0, -1);
  for (unsigned char c : text) Post(hwnd, WM_CHAR, c, 1);
  const bool typed = WaitUntil([&] { return WindowText(hwnd) == text; }, 5000);
  if (!typed)
    Fail(Format("control %d: typed %s, it shows %s", id, Quote(text).c_str(), Quote(WindowText(hwnd)).c_str()));
}

void KeelbrookDriver::Click(int id) {
  HWND hwnd = Control(id);
  // A user can only press what is shown and enabled; a test that clicks a hidden page's button
  // would prove nothing.
  if (!IsWindowVisible(hwnd)) Fail(Format("control %d cannot be clicked: it is not visible", id));
  if (!IsWindowEnabled(hwnd)) Fail(Format("control %d cannot be clicked: it is disabled", id));
  Post(hwnd, BM_CLICK, 0, 0);
}

bool KeelbrookDriver::IsVisible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
bool KeelbrookDriver::IsEnabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
LONG KeelbrookDriver::Style(int id) const { return GetWindowLongA(Control(id), GWL_STYLE); }
LONG KeelbrookDriver::ExStyle(int id) const { return GetWindowLongA(Control(id), GWL_EXSTYLE); }

RECT KeelbrookDriver::ScreenRect(int id) const {
  RECT r = {};
  GetWindowRect(Control(id), &r);
  return r;
}

SIZE KeelbrookDriver::ClientSize() const {
  if (!main_) Fail("the program has not been started");
  RECT r = {};
  GetClientRect(main_, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

LONG KeelbrookDriver::MainStyle() const {
  if (!main_) Fail("the program has not been started");
  return GetWindowLongA(main_, GWL_STYLE);
}

std::optional<std::string> KeelbrookDriver::Hint(int id) const {
  HWND control = Control(id);
  Post(control, WM_MOUSEMOVE, 0, 0);  // the program makes its hint window at the pointer's first move
  WaitUntil([&] { return window_search::FindTopWindow(pid_, TOOLTIPS_CLASSA) != nullptr; }, 2000);
  const SIZE_T textSize = 1024;
  RemoteBuffer remote(process_, sizeof(TTTOOLINFOA) + textSize);
  char* remoteText = remote.Get() + sizeof(TTTOOLINFOA);
  for (HWND tips : TopLevelWindowsOf(pid_)) {
    if (ClassOf(tips) != TOOLTIPS_CLASSA) continue;
    const int tools = static_cast<int>(Send(tips, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < tools; ++i) {
      // The tool record and its text buffer live in the program; the control copies into them.
      TTTOOLINFOA info = {};
      info.cbSize = sizeof info;
      info.lpszText = remoteText;
      remote.Write(remote.Get(), &info, sizeof info);
      const char zero = 0;
      remote.Write(remoteText, &zero, 1);
      if (!Send(tips, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(remote.Get()))) continue;
      remote.Read(remote.Get(), &info, sizeof info);
      const bool isControl = (info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info.uId) == control
                                                          : info.hwnd == control;
      if (!isControl) continue;
      if (info.lpszText != remoteText) return std::string("(text supplied on request)");
      std::string text(textSize, '\0');
      remote.Read(remoteText, &text[0], textSize - 1);
      text.resize(strnlen(text.c_str(), textSize - 1));
      return text;
    }
  }
  return std::nullopt;
}

// --- list boxes

int KeelbrookDriver::ListCount(int id) const {
  return static_cast<int>(Send(Control(id), LB_GETCOUNT, 0, 0));
}

std::string KeelbrookDriver::ListItem(int id, int index) const {
  HWND hwnd = Control(id);
  // Wine 8 writes UTF-16 into the buffer of a cross-process LB_GETTEXT sent with the A form,
  // overflowing it; the W form is marshalled correctly.
  const LRESULT length = SendW(hwnd, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) Fail(Format("list %d has no line %d (it has %d)", id, index, ListCount(id)));
  std::wstring wide(static_cast<size_t>(length) + 16, L'\0');
  const LRESULT got = SendW(hwnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&wide[0]));
  if (got == LB_ERR) Fail(Format("list %d: line %d could not be read", id, index));
  wide.resize(static_cast<size_t>(got));
  return Narrow(wide);
}

std::vector<std::string> KeelbrookDriver::ListItems(int id) const {
  std::vector<std::string> items;
  const int count = ListCount(id);
  for (int i = 0; i < count; ++i) items.push_back(ListItem(id, i));
  return items;
}

int KeelbrookDriver::ListSelection(int id) const {
  return static_cast<int>(Send(Control(id), LB_GETCURSEL, 0, 0));
}

void KeelbrookDriver::SelectListItem(int id, int index) {
  HWND hwnd = Control(id);
  if (!IsWindowVisible(hwnd)) Fail(Format("list %d cannot be used: it is not visible", id));
  if (Send(hwnd, LB_SETCURSEL, index, 0) == LB_ERR && index != -1)
    Fail(Format("list %d has no line %d (it has %d)", id, index, ListCount(id)));
  // LB_SETCURSEL is silent; a click would also have told the page.
  Post(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hwnd));
  Sync();
}

void KeelbrookDriver::DoubleClickListItem(int id, int index) {
  HWND hwnd = Control(id);
  const int height = static_cast<int>(Send(hwnd, LB_GETITEMHEIGHT, 0, 0));
  const int top = static_cast<int>(Send(hwnd, LB_GETTOPINDEX, 0, 0));
  DoubleClickAt(hwnd, {4, (index - top) * height + height / 2});
}

void KeelbrookDriver::DoubleClick(int id) {
  RECT r;
  GetClientRect(Control(id), &r);
  DoubleClickAt(Control(id), {r.right / 2, r.bottom / 2});
}

void KeelbrookDriver::DoubleClickAt(HWND hwnd, POINT at) {
  // The pointer goes there first, as a user's would: the program may ask where the double-click
  // was from the message's position rather than from its coordinates.
  POINT screen = at;
  ClientToScreen(hwnd, &screen);
  SetCursorPos(screen.x, screen.y);
  for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    Post(hwnd, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(at.x, at.y));
}

void KeelbrookDriver::DropFiles(int id, const std::vector<std::string>& paths) {
  // DROPFILES, then the names one after the other, each ending in a zero, and one zero more.
  std::string record(sizeof(DROPFILES), '\0');
  DROPFILES header = {};
  header.pFiles = sizeof header;
  std::memcpy(&record[0], &header, sizeof header);
  for (const std::string& path : paths) record += path + '\0';
  record += '\0';
  // As the shell does, the drop goes to the nearest window that accepts files, with the point
  // where it landed (the control's middle) in that window's client area.
  HWND target = Control(id);
  RECT r;
  GetWindowRect(target, &r);
  POINT at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  while (target && !(GetWindowLongA(target, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) target = GetParent(target);
  if (!target) Fail(Format("no window takes files dropped on control %d", id));
  ScreenToClient(target, &at);
  DROPFILES placed = header;
  placed.pt = at;
  std::memcpy(&record[0], &placed, sizeof placed);
  // The program's DragFinish hands the record back to its heap, which refuses memory it never
  // gave out, so the record stays until the program ends.
  void* remote = VirtualAllocEx(process_, nullptr, record.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote || !WriteProcessMemory(process_, remote, record.data(), record.size(), nullptr))
    Fail("could not write the dropped names into the program");
  Post(target, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

// --- tabs

int KeelbrookDriver::TabCount() const {
  return static_cast<int>(Send(Control(IDC_MAIN_TABS), TCM_GETITEMCOUNT, 0, 0));
}

std::vector<std::string> KeelbrookDriver::TabTexts() const {
  HWND tabs = Control(IDC_MAIN_TABS);
  const int count = TabCount();
  std::vector<std::string> texts;
  // TCM_GETITEMA carries a structure with a buffer pointer, so both must live in the program.
  const SIZE_T textSize = 512;
  RemoteBuffer remote(process_, sizeof(TCITEMA) + textSize);
  char* remoteText = remote.Get() + sizeof(TCITEMA);
  const std::string zeros(textSize, '\0');
  for (int i = 0; i < count; ++i) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = remoteText;
    item.cchTextMax = static_cast<int>(textSize);
    remote.Write(remote.Get(), &item, sizeof item);
    remote.Write(remoteText, zeros.data(), zeros.size());
    if (!Send(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(remote.Get()))) Fail(Format("tab %d could not be read", i));
    remote.Read(remote.Get(), &item, sizeof item);
    // The control may point pszText at its own copy instead of filling the buffer.
    std::string text(textSize, '\0');
    remote.Read(item.pszText, &text[0], textSize - 1);
    text.resize(strnlen(text.c_str(), textSize - 1));
    texts.push_back(text);
  }
  return texts;
}

int KeelbrookDriver::CurrentTab() const {
  return static_cast<int>(Send(Control(IDC_MAIN_TABS), TCM_GETCURSEL, 0, 0));
}

void KeelbrookDriver::SwitchTab(int index) {
  HWND tabs = Control(IDC_MAIN_TABS);
  // TCM_SETCURFOCUS notifies the window (TCN_SELCHANGING, TCN_SELCHANGE) as a click does;
  // TCM_SETCURSEL would not.
  Send(tabs, TCM_SETCURFOCUS, index, 0);
  WaitForPage(index);
}

void KeelbrookDriver::ClickTab(int index) {
  HWND tabs = Control(IDC_MAIN_TABS);
  RemoteBuffer remote(process_, sizeof(RECT));
  if (!Send(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote.Get())))
    Fail(Format("the tab strip has no tab %d (it has %d)", index, TabCount()));
  RECT r = {};
  remote.Read(remote.Get(), &r, sizeof r);
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Post(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
  Post(tabs, WM_LBUTTONUP, 0, at);
  WaitForPage(index);
}

void KeelbrookDriver::WaitForPage(int index) {
  const int page = IDC_PAGE_SYSINFO + index;
  const bool switched =
      WaitUntil([&] { return CurrentTab() == index && Find(page) && IsWindowVisible(Find(page)); }, 5000);
  if (!switched)
    Fail(Format("switching to tab %d: the tab strip shows tab %d and page %d is %s (focus %d)", index, CurrentTab(), page,
                !Find(page) ? "missing" : IsWindowVisible(Find(page)) ? "visible" : "hidden", FocusedId()));
  Sync();
}

// --- keyboard

HWND KeelbrookDriver::FocusedWindow() const {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(tid_, &info)) return nullptr;
  return info.hwndFocus;
}

int KeelbrookDriver::FocusedId() const {
  HWND focus = FocusedWindow();
  return focus ? GetDlgCtrlID(focus) : 0;
}

void KeelbrookDriver::Focus(int id) {
  HWND hwnd = Control(id);
  if (!IsWindowVisible(hwnd)) Fail(Format("control %d cannot take the focus: it is not visible", id));
  // As a user's click: the control's window comes to the front and the control takes the focus.
  // SetFocus only works on windows of the caller's input queue; joining the program's queue for
  // the call makes it so. Both again while waiting: a dialog that just closed hands the activation
  // on a moment later, and under load that came after the first call.
  const DWORD self = GetCurrentThreadId();
  HWND top = GetAncestor(hwnd, GA_ROOT);
  const auto focus = [&] {
    if (GetForegroundWindow() != top) SetForegroundWindow(top);
    AttachThreadInput(self, tid_, TRUE);
    SetFocus(hwnd);
    AttachThreadInput(self, tid_, FALSE);
  };
  focus();
  Sync();
  if (!WaitUntil([&] { return FocusedWindow() == hwnd || (focus(), false); }, 3000, 100))
    Fail(Format("control %d did not take the focus (the focus is on id %d)", id, FocusedId()));
}

bool KeelbrookDriver::BringToForeground() {
  // The keyboard goes to the foreground window: the one holding the program's focus (a box, the
  // input dialog, or the window a box without owner leaves usable), or the one the user left for
  // another window; else a box or the input dialog in front of the window.
  // Chosen afresh while it waits: a box that comes up meanwhile takes the activation, and the keys.
  HWND left = IsWindow(backTo_) ? backTo_ : nullptr;
  backTo_ = nullptr;
  return WaitUntil([&] {
    HWND target = left ? left : GetAncestor(FocusedWindow(), GA_ROOT);
    if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
      target = main_;
      if (auto box = FindMessageBox()) target = box->hwnd; else if (HWND input = ShownInputDialog(*this)) target = input;
    }
    if (GetForegroundWindow() == target) return true;
    SetForegroundWindow(target);
    return false;
  }, 3000);
}

namespace {

// One key going down or up: a virtual key, or with `ch` a character of its own (VK_PACKET).
INPUT KeyInput(WORD vk, bool down, wchar_t ch = 0) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = ch ? 0 : vk;
  in.ki.wScan = ch ? ch : static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (down ? 0 : KEYEVENTF_KEYUP) | (ch ? KEYEVENTF_UNICODE : 0);
  // The keys of the middle block are extended keys; Shift+Home or Shift+Left would else be read
  // as the number pad's 7 or 4 on some layouts.
  if (!ch && ((vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE))
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return in;
}

// `vk` pressed and let go while `modifier` (none when 0) is held.
void AddChord(std::vector<INPUT>& keys, WORD modifier, WORD vk) {
  if (modifier) keys.push_back(KeyInput(modifier, true));
  keys.push_back(KeyInput(vk, true));
  keys.push_back(KeyInput(vk, false));
  if (modifier) keys.push_back(KeyInput(modifier, false));
}

// Takes what the system sent to this thread's own windows.
void TakeMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace

void KeelbrookDriver::SendInputs(const std::vector<INPUT>& given, const char* what) {
  if (!main_) Fail("the program has not been started");
  Sync();
  if (!BringToForeground()) Fail(Format("the program's window could not be brought to the foreground for %s", what));
  std::vector<INPUT> inputs = given;
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) Fail("SendInput refused the input: " + ErrorText(GetLastError()));
}

void KeelbrookDriver::PressKey(WORD vk) {
  if (!main_) Fail("the program has not been started");
  Sync();
  if (!BringToForeground()) {
    PostKey(vk);
    return;
  }
  std::vector<INPUT> keys;
  AddChord(keys, 0, vk);
  SendInputs(keys, "a key");
}

void KeelbrookDriver::PressKeyWith(WORD modifier, WORD vk) {
  std::vector<INPUT> keys;
  AddChord(keys, modifier, vk);
  SendInputs(keys, modifier == VK_MENU ? "Alt+key" : modifier == VK_CONTROL ? "Ctrl+key" : "Shift+key");
}

void KeelbrookDriver::TypeText(const std::string& text) {
  std::vector<INPUT> keys;
  for (wchar_t ch : Wide(text)) {
    const SHORT key = VkKeyScanW(ch);
    // Shift is the only state a plain character may need; one that needs Ctrl or AltGr, or has
    // no key, is typed as itself.
    if (key != -1 && (HIBYTE(key) & ~1) == 0) {
      AddChord(keys, (HIBYTE(key) & 1) ? VK_SHIFT : 0, LOBYTE(key));
    } else {
      keys.push_back(KeyInput(0, true, ch));
      keys.push_back(KeyInput(0, false, ch));
    }
  }
  if (!keys.empty()) SendInputs(keys, "typing");
}

void KeelbrookDriver::ClickInto(int id) {
  HWND hwnd = Control(id);
  if (!IsWindowVisible(hwnd)) Fail(Format("control %d cannot take the focus: it is not visible", id));
  if (!PressMouseOn(hwnd)) Fail(Format("control %d cannot take the focus: it is covered", id));
  if (WaitUntil([&] { return FocusedWindow() == hwnd; }, 3000)) return;
  // Keys pressed before may have pressed a button whose box now takes the click.
  const bool blocked = !IsWindowEnabled(main_) || FindMessageBox();
  Fail(Format("control %d %s (the focus is on id %d)", id,
              blocked ? "cannot take the focus: a box came" : "did not take the focus", FocusedId()));
}

bool KeelbrookDriver::PressMouseOn(HWND hwnd) {
  // Where the window shows: a box without owner may cover part of it.
  RECT r;
  GetWindowRect(hwnd, &r);
  POINT at = {0, (r.top + r.bottom) / 2};
  bool shown = false;
  for (int quarter : {2, 1, 3}) {
    at.x = r.left + (r.right - r.left) * quarter / 4;
    if ((shown = WindowFromPoint(at) == hwnd)) break;
  }
  if (!shown) return false;
  // The pointer moves there with the press, in the same input, so that the press is where it is.
  std::vector<INPUT> click(2);
  for (INPUT& in : click) {
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  }
  click[0].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  // Two clicks in one place within the double-click time are a double-click, which selects a
  // word in a field rather than focusing it.
  const DWORD since = GetTickCount() - clickedAt_, wait = GetDoubleClickTime() + 50;
  if (since < wait) Sleep(wait - since);
  SendInputs(click, "a click");
  clickedAt_ = GetTickCount();
  return true;
}

void KeelbrookDriver::MinimiseAndRestore() {
  for (WPARAM command : {SC_MINIMIZE, SC_RESTORE}) {
    Post(main_, WM_SYSCOMMAND, command, 0);
    if (!WaitUntil([&] { return (IsIconic(main_) != FALSE) == (command == SC_MINIMIZE); }, 3000))
      Fail(command == SC_MINIMIZE ? "the window was not minimised" : "the window was not restored");
  }
  Sync();
}

void KeelbrookDriver::ActivateElsewhere() {
  if (!main_) Fail("the program has not been started");
  // In a corner, away from the program's window, which stays in sight.
  if (!elsewhere_)
    elsewhere_ = CreateWindowExA(0, "STATIC", "Elsewhere", WS_POPUP | WS_CAPTION, 0, 0, 160, 80, nullptr, nullptr,
                                 nullptr, nullptr);
  if (!elsewhere_) Fail("could not make a window to switch to: " + ErrorText(GetLastError()));
  Sync();
  backTo_ = GetForegroundWindow();
  // What the system told the window since it last lost the activation comes first: taken later,
  // a late "focus out" would hand the activation to the desktop.
  TakeMessages();
  ShowWindow(elsewhere_, SW_SHOW);
  SetForegroundWindow(elsewhere_);
  int held = 0;
  const bool away = WaitUntil([&] {
    TakeMessages();
    if (GetForegroundWindow() == elsewhere_) return ++held >= 3;
    held = 0;
    SetForegroundWindow(elsewhere_);
    return false;
  }, 3000);
  if (!away)
    Fail(Format("another window could not take the activation from the program (in front: %s)",
                ClassOf(GetForegroundWindow()).c_str()));
  Sync();
}

void KeelbrookDriver::PostKey(WORD vk) {
  Sync();
  HWND target = FocusedWindow();
  if (!target) target = main_;
  const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
  // Posted to the focused control, the key still goes through the program's GetMessage and
  // IsDialogMessage, but the keyboard state (GetKeyState) does not see it.
  Post(target, WM_KEYDOWN, vk, 1 | (scan << 16));
  Post(target, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

// --- message boxes

std::optional<MessageBoxInfo> KeelbrookDriver::FindMessageBox() const {
  std::vector<MessageBoxInfo> boxes = MessageBoxes();
  if (boxes.empty()) return std::nullopt;
  return boxes.front();
}

std::vector<MessageBoxInfo> KeelbrookDriver::MessageBoxes() const {
  std::vector<MessageBoxInfo> boxes;
  if (!pid_) return boxes;
  for (HWND hwnd : TopLevelWindowsOf(pid_)) {
    if (ClassOf(hwnd) != "#32770" || !IsWindowVisible(hwnd)) continue;
    MessageBoxInfo box;
    box.hwnd = hwnd;
    box.owner = GetWindow(hwnd, GW_OWNER);
    bool hasEdit = false;
    try {
      for (HWND child : Descendants(hwnd)) {
        const std::string cls = ClassOf(child);
        if (cls == "Edit") hasEdit = true;
        if (!IsWindowVisible(child)) continue;
        if (cls == "Static") {
          if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            box.hasIcon = true;
          else if (box.text.empty())
            box.text = WindowText(child);
        } else if (cls == "Button") {
          box.buttons.push_back(BoxButton{GetDlgCtrlID(child), WindowText(child), child});
        }
      }
      if (hasEdit) continue;  // an input dialog, not a message box
      box.caption = WindowText(hwnd);
    } catch (const DriverError&) {
      if (IsWindow(hwnd) && IsWindowVisible(hwnd)) throw;
      continue;  // answered and closed, or hidden and losing its controls, while it was read
    }
    boxes.push_back(box);
  }
  return boxes;
}

MessageBoxInfo KeelbrookDriver::WaitForMessageBox(DWORD timeout_ms) const {
  std::optional<MessageBoxInfo> box;
  WaitUntil([&] { return (box = FindMessageBox()).has_value() || !Running(); }, timeout_ms);
  if (!box) box = FindMessageBox();
  if (!box) {
    if (!Running()) Fail("expected a message box, but " + EndedText());
    Fail(Format("expected a message box; none appeared within %lu ms", timeout_ms));
  }
  // A box appears before its buttons are laid out; wait until it has at least one.
  WaitUntil([&] { return !(box = FindMessageBox()) || !box->buttons.empty(); }, 2000);
  if (!box) Fail("a message box appeared and went away by itself");
  return *box;
}

void KeelbrookDriver::Answer(const MessageBoxInfo& box, int id, DWORD timeout_ms) {
  HWND button = nullptr;
  for (const BoxButton& b : box.buttons)
    if (b.id == id) button = b.hwnd;
  if (!button) Fail(Format("cannot answer %d: the %s", id, box.Describe().c_str()));
  Post(button, BM_CLICK, 0, 0);
  if (!WaitUntil([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); }, timeout_ms))
    Fail(Format("answered %d, but the box is still open after %lu ms: %s", id, timeout_ms, box.Describe().c_str()));
}

::testing::AssertionResult KeelbrookDriver::NoMessageBoxFor(DWORD ms) const {
  std::optional<MessageBoxInfo> box;
  WaitUntil([&] { return (box = FindMessageBox()).has_value() || !Running(); }, ms);
  if (box) return ::testing::AssertionFailure() << "expected no message box, got the " << box->Describe();
  if (!Running()) {
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return ::testing::AssertionFailure() << "expected the program to keep running, it ended with exit code " << code;
  }
  return ::testing::AssertionSuccess();
}

// --- closing

void KeelbrookDriver::CloseByTitleBar() {
  if (!main_) Fail("the program has not been started");
  Post(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void KeelbrookDriver::PostClose() {
  if (!main_) Fail("the program has not been started");
  Post(main_, WM_CLOSE, 0, 0);
}

DWORD KeelbrookDriver::WaitForExit(DWORD timeout_ms) {
  if (!process_) Fail("the program has not been started");
  timeout_ms = Patient(timeout_ms);
  if (WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) {
    std::string what = Format("expected the program to end within %lu ms; it is still running", timeout_ms);
    if (auto box = FindMessageBox()) what += " and shows the " + box->Describe();
    Kill();
    Fail(what + " (killed)");
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

void KeelbrookDriver::Kill() {
  if (!process_) return;
  TerminateProcess(process_, 0xDEAD);
  WaitForSingleObject(process_, 10000);
}

// --- screenshots

std::string KeelbrookDriver::Screenshot(const std::string& name) {
  if (!main_) Fail("the program has not been started");
  // Have every window of the program painted before the screen is read.
  SetWindowPos(main_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sync();
  Sleep(150);
  Sync();

  RECT r = {};
  GetWindowRect(main_, &r);
  std::string file;
  const std::string failure = ShootScreen(r, name, &file);
  if (!failure.empty()) Fail(failure);
  return file;
}

}  // namespace e2e

namespace e2e {

std::string ShootScreen(RECT r, const std::string& name, std::string* file) {
  const std::string folder = Env("KB_SCREENS", "screens");
  if (!MakeDirectories(folder)) return "could not create the screenshot folder " + folder;
  const std::string path = folder + "/" + name + ".bmp";
  if (file) *file = path;

  r.left = r.left < 0 ? 0 : r.left;
  r.top = r.top < 0 ? 0 : r.top;
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  if (r.right > screenW) r.right = screenW;
  if (r.bottom > screenH) r.bottom = screenH;
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return "the area to shoot is not on the screen";

  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = w;
  header.biHeight = h;  // bottom-up, as BMP files are stored
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const BOOL copied = BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
  const DWORD copyError = copied ? 0 : GetLastError();
  GdiFlush();
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  const DWORD imageSize = stride * static_cast<DWORD>(h);
  header.biSizeImage = imageSize;
  BITMAPFILEHEADER fileHeader = {};
  fileHeader.bfType = 0x4D42;  // "BM"
  fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
  fileHeader.bfSize = fileHeader.bfOffBits + imageSize;

  bool written = false;
  if (copied && bits) {
    if (FILE* f = fopen(path.c_str(), "wb")) {
      written = fwrite(&fileHeader, sizeof fileHeader, 1, f) == 1 && fwrite(&header, sizeof header, 1, f) == 1 &&
                fwrite(bits, imageSize, 1, f) == 1;
      written = (fclose(f) == 0) && written;
    }
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) return "could not read the screen: " + ErrorText(copyError);
  if (!written) return "could not write " + path;
  return "";
}

std::string ShootWindows(const KeelbrookDriver& kb, const std::vector<HWND>& windows, const std::string& name) {
  kb.Sync();
  RECT all = {0, 0, 0, 0};
  for (HWND w : windows) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    GetWindowRect(w, &r);
    if (IsRectEmpty(&all)) all = r;
    else UnionRect(&all, &all, &r);
  }
  Sleep(250);
  kb.Sync();
  return ShootScreen(all, name);
}

std::string WindowsDir() {
  char dir[MAX_PATH] = "";
  GetWindowsDirectoryA(dir, sizeof dir);
  return dir;
}

std::string UserName() {
  char buf[256] = "";
  DWORD n = sizeof buf;
  if (!GetUserNameA(buf, &n)) throw DriverError("GetUserNameA failed");
  return buf;
}

std::string XpSendToFolder() {
  char path[MAX_PATH] = "";
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_SENDTO, FALSE)) throw DriverError("the shell records no Send To folder");
  return path;
}

HWND FindInputDialog(const KeelbrookDriver& kb) {
  for (HWND hwnd : TopLevelWindowsOf(kb.ProcessId()))
    if (KeelbrookDriver::ClassOf(hwnd) == "#32770" && GetDlgItem(hwnd, IDC_INPUT_EDIT)) return hwnd;
  return nullptr;
}

HWND ShownWindow(const KeelbrookDriver& kb, const std::string& caption) {
  char text[256];
  for (HWND hwnd : TopLevelWindowsOf(kb.ProcessId()))
    if (hwnd != kb.MainWindow() && IsWindowVisible(hwnd) && GetWindowTextA(hwnd, text, sizeof text) >= 0 &&
        caption == text)
      return hwnd;
  return nullptr;
}

HWND ShownInputDialog(const KeelbrookDriver& kb) {
  for (HWND hwnd : TopLevelWindowsOf(kb.ProcessId()))
    if (IsWindowVisible(hwnd) && GetDlgItem(hwnd, IDC_INPUT_EDIT) && KeelbrookDriver::ClassOf(hwnd) == "#32770")
      return hwnd;
  return nullptr;
}

HWND WaitForShownWindow(const KeelbrookDriver& kb, const std::string& caption, DWORD timeout_ms) {
  HWND found = nullptr;
  if (!WaitUntil([&] { return (found = ShownWindow(kb, caption)) != nullptr; }, timeout_ms))
    Fail("no window \"" + caption + "\" appeared");
  return found;
}

HWND WaitForInputDialog(const KeelbrookDriver& kb) {
  HWND found = nullptr;
  if (!WaitUntil([&] { return (found = ShownInputDialog(kb)) != nullptr; }, 5000)) Fail("the input dialog did not appear");
  return found;
}

HWND FileNameField(HWND dialog) {
  constexpr int kFileNameField = 0x47C;  // cmb13
  HWND field = nullptr;
  WaitUntil([&] { return (field = GetDlgItem(dialog, kFileNameField)) != nullptr; }, 3000);
  // The field is an Edit inside a ComboBox inside a ComboBoxEx32, all with the same id; an older
  // dialog has the Edit straight under the dialog.
  for (int depth = 0; field && KeelbrookDriver::ClassOf(field) != "Edit" && depth < 3; ++depth)
    field = FindWindowExA(field, nullptr, nullptr, nullptr);
  return field;
}

void ChooseFile(const KeelbrookDriver& kb, HWND dialog, const std::string& path) {
  HWND field = FileNameField(dialog);
  if (!field) Fail("the file dialog has no file-name field");
  kb.Send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  kb.Post(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  if (!WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000)) {
    // What holds it: the name as it now reads, and a box it opened over itself.
    const auto box = kb.FindMessageBox();
    Fail("the file dialog did not close after Open; its name field holds " + Quote(KeelbrookDriver::WindowText(field)) +
         (box ? ", over it " + box->Describe() : ""));
  }
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ScratchFolder::ScratchFolder(const std::string& path) : path_(path) {
  for (size_t pos = 0; pos != std::string::npos;) {
    pos = path.find('\\', pos + 1);
    const std::string sofar = path.substr(0, pos);
    if (sofar.size() <= 3 || Exists(sofar)) continue;
    if (!CreateDirectoryA(sofar.c_str(), nullptr)) throw DriverError("cannot create " + sofar);
    made_.push_back(sofar);
  }
  before_ = Names();
}

ScratchFolder::~ScratchFolder() {
  for (const std::string& name : Names()) {
    if (std::find(before_.begin(), before_.end(), name) != before_.end()) continue;
    const std::string file = Path(name);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(file.c_str())) RemoveDirectoryA(file.c_str());
  }
  for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDirectoryA(it->c_str());
}

std::string ScratchFolder::Add(const std::string& name, const std::string& bytes) {
  const std::string file = Path(name);
  if (Exists(file)) throw DriverError(file + " is in the way; the test does not touch it");
  std::ofstream(file, std::ios::binary) << bytes;
  if (!Exists(file)) throw DriverError("cannot create " + file);
  return file;
}

std::vector<std::string> ScratchFolder::Names() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path_ + "\\*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string n = fd.cFileName;
    if (n != "." && n != "..") names.push_back(n);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

std::vector<ControlSpec> AboutLayout() {
  std::vector<ControlSpec> about;
  for (int i = 0; i < kControlCount; ++i)
    if (kControls[i].page == kPageAbout) about.push_back(kControls[i]);
  return about;
}

CopyWithoutManifest::CopyWithoutManifest() {
  const std::string exe = Env("KB_EXE");
  folder_ = exe.substr(0, exe.find_last_of("\\/")) + "\\classic";
  path_ = folder_ + "\\keelbrook.exe";
  CreateDirectoryA(folder_.c_str(), nullptr);
  if (!CopyFileA(exe.c_str(), path_.c_str(), FALSE)) throw DriverError("cannot copy " + exe);
  static const char kPlain[] =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>\n";
  HANDLE update = BeginUpdateResourceA(path_.c_str(), FALSE);
  if (!update || !UpdateResourceA(update, RT_MANIFEST, MAKEINTRESOURCEA(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                  const_cast<char*>(kPlain), sizeof kPlain - 1) ||
      !EndUpdateResourceA(update, FALSE))
    throw DriverError("cannot replace the manifest of " + path_);
}

CopyWithoutManifest::~CopyWithoutManifest() {
  DeleteFileA(path_.c_str());
  RemoveDirectoryA(folder_.c_str());
}

std::vector<uint32_t> ScreenPixels(const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<uint32_t> out;
  if (w <= 0 || h <= 0) return out;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const auto* px = static_cast<const uint32_t*>(bits);
  if (px) out.assign(px, px + w * h);
  for (uint32_t& p : out) p &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out;
}

std::vector<std::vector<std::string>> ReadRecords(const std::string& path, size_t fields) {
  std::vector<std::vector<std::string>> records;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return records;
  std::string text;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
  CloseHandle(h);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> f;
    std::istringstream parts(line);
    for (std::string p; std::getline(parts, p, '|');) f.push_back(p);
    if (f.size() == fields) records.push_back(f);
  }
  return records;
}

}  // namespace e2e

namespace e2e {

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace e2e
