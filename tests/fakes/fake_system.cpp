#include "fakes/fake_system.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>

#include "platform/code_page.h"

// The fake answers the way Windows does wherever a caller could tell the difference; the same
// file-operation cases run against it on the host and against the real calls under Wine.

namespace {

constexpr uint32_t kBasicVersionInfoSize = 148;  // OSVERSIONINFOA, without the service-pack numbers and suite
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kWaitObject0 = 0;
constexpr uint32_t kWaitFailed = 0xFFFFFFFF;

// One process at a time is all the callers ever have, so fixed handle values are enough to tell
// which handle a close is about.
constexpr SysHandle kThreadHandle = 0x7100;
constexpr SysHandle kProcessHandle = 0x7200;
constexpr SysHandle kOpenedHandle = 0x7300;

// The capital of a CP1252 accented small letter, so that case is ignored for
// them as it is for plain letters, in names and in comparisons.
int UpperAccented(unsigned char c) {
  switch (c) {
    case 0x9A: case 0x9C: case 0x9E: return c - 0x10;
    case 0xFF: return 0x9F;
    case 0xF7: return c;
    default: return c >= 0xE0 ? c - 0x20 : c;
  }
}

char Fold(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return static_cast<char>(u >= 0x80 ? UpperAccented(u) : std::toupper(u));
}

// The file system reads "a\\b" as "a\b" and "a\" as "a"; a UNC prefix keeps its two slashes.
std::string Normalize(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    char c = path[i];
    if (c == '\\' && i >= 2 && !out.empty() && out.back() == '\\') continue;
    out += c;
  }
  while (out.size() > 1 && out.back() == '\\') out.pop_back();
  return out;
}

std::string Key(const std::string& path) {
  std::string k = Normalize(path);
  for (char& c : k) c = Fold(c);
  return k;
}

// The separators are found by character in the code page the fake poses as.
std::string ParentKey(const std::string& key, const CodePage& chars) {
  size_t slash = chars.FindLast(key, '\\');
  return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

std::string LeafOf(const std::string& path, const CodePage& chars) {
  std::string n = Normalize(path);
  size_t slash = chars.FindLast(n, '\\');
  return slash == std::string::npos ? n : n.substr(slash + 1);
}

// Wildcards as the file system applies them to long names: '*' any run, '?' one character,
// case ignored, and a trailing ".*" also matching a name without any dot ("*.*" takes all).
bool Matches(const char* mask, const char* name) {
  if (*mask == '\0') return *name == '\0';
  if (mask[0] == '.' && mask[1] == '*' && mask[2] == '\0' && *name == '\0') return true;
  if (*mask == '*') {
    for (const char* n = name;; ++n) {
      if (Matches(mask + 1, n)) return true;
      if (*n == '\0') return false;
    }
  }
  if (*name == '\0') return false;
  if (*mask != '?' && Fold(*mask) != Fold(*name)) return false;
  return Matches(mask + 1, name + 1);
}

// Ordering in the spirit of the user locale's word sort (Windows CompareString with the user's
// default locale, case ignored), for the Western code page:
//   1. letters compare by their plain letter (an accented letter sits with its plain one),
//      symbols before digits before letters, hyphens and apostrophes left out;
//   2. then plain letters before accented ones;
//   3. then the text with fewer hyphens and apostrophes first.
// Bytes above 127 that are not letters follow all letters, by value.

// CP1252 letters with a mark, by their plain letter (0 for bytes that are not such letters).
char PlainLetterOf(unsigned char c) {
  static const char kHigh[] =  // 0xC0 to 0xFF, upper and lower halves alike
      "AAAAAAACEEEEIIII" "DNOOOOO\0OUUUUY\0\0";
  switch (c) {
    case 0x8A: case 0x9A: return 'S';
    case 0x8E: case 0x9E: return 'Z';
    case 0x8C: case 0x9C: return 'O';
    case 0x9F: case 0xFF: return 'Y';
    default: break;
  }
  if (c >= 0xC0) return kHigh[(c - 0xC0) & 0x1F];
  return 0;
}

struct Weight {
  int cls;       // 0 symbol, 1 digit, 2 letter, 3 other high byte
  int primary;   // the character, or its plain letter
  int accent;    // 0 for a plain character
};

Weight WeightOf(char ch) {
  unsigned char c = static_cast<unsigned char>(Fold(ch));
  if (std::isalpha(c)) return {2, c, 0};
  if (std::isdigit(c)) return {1, c, 0};
  if (c >= 0x80) {
    if (char plain = PlainLetterOf(c)) return {2, plain, c};
    return {3, c, 0};
  }
  return {0, c, 0};
}

bool IsWordMark(char c) { return c == '-' || c == '\''; }

int CompareLocale(const std::string& a, const std::string& b) {
  std::string wa, wb;
  std::copy_if(a.begin(), a.end(), std::back_inserter(wa), [](char c) { return !IsWordMark(c); });
  std::copy_if(b.begin(), b.end(), std::back_inserter(wb), [](char c) { return !IsWordMark(c); });
  const size_t n = std::min(wa.size(), wb.size());
  for (size_t i = 0; i < n; ++i) {
    Weight x = WeightOf(wa[i]), y = WeightOf(wb[i]);
    if (x.cls != y.cls) return x.cls < y.cls ? -1 : 1;
    if (x.primary != y.primary) return x.primary < y.primary ? -1 : 1;
  }
  if (wa.size() != wb.size()) return wa.size() < wb.size() ? -1 : 1;
  for (size_t i = 0; i < n; ++i) {
    Weight x = WeightOf(wa[i]), y = WeightOf(wb[i]);
    if (x.accent != y.accent) return x.accent < y.accent ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;  // fewer marks first
  for (size_t i = 0; i < a.size(); ++i) {  // as many marks, in other places
    Weight x = WeightOf(a[i]), y = WeightOf(b[i]);
    if (x.cls != y.cls) return x.cls < y.cls ? -1 : 1;
    if (x.primary != y.primary) return x.primary < y.primary ? -1 : 1;
  }
  return 0;
}

}  // namespace

void FakeSystem::AddFile(const std::string& path, uint32_t attributes) {
  // A file with no attribute bits reports "normal", as on disk.
  if (attributes == 0) attributes = kAttrNormal;
  std::string key = Key(path);
  for (FileEntry& f : files) {
    if (Key(f.path) == key) {
      f.attributes = attributes;
      return;
    }
  }
  files.push_back({Normalize(path), attributes});
}

bool FakeSystem::FileExists(const std::string& path) const {
  std::string key = Key(path);
  for (const FileEntry& f : files)
    if (Key(f.path) == key) return true;
  return false;
}

// --- System information ---

bool FakeSystem::GetVersionExA(OsVersionInfo& info) {
  lastVersionRequest = info;
  versionRequestSizes.push_back(info.dwOSVersionInfoSize);
  if (!versionOk) return false;
  const uint32_t size = info.dwOSVersionInfoSize;
  // The extended record came with NT 4.0 Service Pack 6: Win32s, Windows 95, 98 and ME and
  // earlier NT refuse its size.
  const bool takesExtended =
      extendedRecordEverywhere ||
      (version.dwPlatformId == 2 && (version.dwMajorVersion > 4 ||
                                     (version.dwMajorVersion == 4 && version.wServicePackMajor >= 6)));
  if (size == kOsVersionInfoExSize && takesExtended) {
    info = version;
  } else if (size == kBasicVersionInfoSize) {
    // The basic record ends with the service-pack text; the rest is not the system's to write.
    info.dwMajorVersion = version.dwMajorVersion;
    info.dwMinorVersion = version.dwMinorVersion;
    info.dwBuildNumber = version.dwBuildNumber;
    info.dwPlatformId = version.dwPlatformId;
    std::copy(std::begin(version.szCSDVersion), std::end(version.szCSDVersion), info.szCSDVersion);
  } else {
    return false;  // any other size is refused, as Windows does
  }
  info.dwOSVersionInfoSize = size;
  return true;
}

namespace {
// The system hands out a name only when it fits with its terminator; otherwise nothing.
std::string IfItFits(const std::string& text, unsigned size) {
  return text.size() < size ? text : std::string();
}
}  // namespace

std::string FakeSystem::GetWindowsDirectoryA(unsigned size) {
  windowsDirSizes.push_back(size);
  return IfItFits(windowsDir, size);
}

std::string FakeSystem::GetSystemDirectoryA(unsigned size) {
  systemDirSizes.push_back(size);
  return IfItFits(systemDir, size);
}

std::string FakeSystem::GetComputerNameA(unsigned size) {
  computerNameSizes.push_back(size);
  return IfItFits(computerName, size);
}

bool FakeSystem::SetComputerNameA(const std::string& name) {
  setComputerNames.push_back(name);
  if (setComputerNameOk) computerName = name;
  return setComputerNameOk;
}

bool FakeSystem::GetUserNameA(unsigned size, std::string& name) {
  userNameSizes.push_back(size);
  if (!userNameOk || userName.size() >= size) return false;
  name = userName;
  return true;
}

// --- Processes ---

bool FakeSystem::CreateProcessA(const std::string& commandLine, bool inheritHandles, uint32_t creationFlags,
                                const StartupInfo& startup, ProcessInformation& info) {
  createProcessCalls.push_back({commandLine, inheritHandles, creationFlags, startup});
  processLog.push_back("create");
  // Windows finds no program in an empty command line.
  if (!createProcessOk || commandLine.empty()) return false;
  info.hProcess = kProcessHandle;
  info.hThread = sharedSixteenBitMachine ? 0 : kThreadHandle;
  info.dwProcessId = nextProcessId;
  info.dwThreadId = nextProcessId + 1;
  return true;
}

uint32_t FakeSystem::WaitForInputIdle(SysHandle process, uint32_t) {
  processLog.push_back("input-idle");
  if (whileWaiting) whileWaiting();
  return process == kProcessHandle ? kWaitObject0 : kWaitFailed;
}

SysHandle FakeSystem::OpenProcess(uint32_t, bool, uint32_t processId) {
  processLog.push_back("open:" + std::to_string(processId));
  openedProcessIds.push_back(processId);
  return kOpenedHandle;
}

uint32_t FakeSystem::WaitForSingleObject(SysHandle handle, uint32_t) {
  processLog.push_back(handle == kProcessHandle ? "wait-process" : "wait");
  if (whileWaiting) whileWaiting();
  return handle == kOpenedHandle || handle == kProcessHandle ? kWaitObject0 : kWaitFailed;
}

bool FakeSystem::CloseHandle(SysHandle handle) {
  switch (handle) {
    case kThreadHandle:
      processLog.push_back("close-thread");
      return closeThreadOk;
    case kProcessHandle:
      processLog.push_back("close-process");
      return true;
    case kOpenedHandle:
      processLog.push_back("close");
      return true;
    default:
      processLog.push_back("close-invalid");
      return false;
  }
}

unsigned FakeSystem::WinExec(const std::string& commandLine, int show) {
  winExecCalls.emplace_back(commandLine, show);
  return winExecResult;
}

std::intptr_t FakeSystem::ShellExecuteA(BoxOwner owner, const std::string& verb, const std::string& file,
                                        const std::string& parameters, const std::string& directory, int show) {
  shellExecuteCalls.push_back({owner, verb, file, parameters, directory, show});
  return shellExecuteResult;
}

// --- Files and folders ---

int FakeSystem::CopyFileA(const std::string& source, const std::string& destination, bool failIfExists) {
  fileLog.push_back("copy " + source + " -> " + destination);
  if (failCopy) return 0;
  const FileEntry* from = nullptr;
  for (const FileEntry& f : files)
    if (Key(f.path) == Key(source)) from = &f;
  if (from == nullptr || (from->attributes & kAttrDirectory)) return 0;  // folders are not copied
  if (Key(source) == Key(destination)) return 0;                        // a file is not copied onto itself
  uint32_t attributes = from->attributes;
  for (const FileEntry& f : files) {
    if (Key(f.path) != Key(destination)) continue;
    // An existing destination is replaced only when allowed and when it is a writable file.
    if (failIfExists || (f.attributes & (kAttrDirectory | kAttrReadOnly))) return 0;
  }
  AddFile(destination, attributes);
  return 1;
}

bool FakeSystem::MoveFileA(const std::string& oldPath, const std::string& newPath) {
  fileLog.push_back("move " + oldPath + " -> " + newPath);
  if (failMove) return false;
  const std::string oldKey = Key(oldPath), newKey = Key(newPath);
  FileEntry* moved = nullptr;
  for (FileEntry& f : files)
    if (Key(f.path) == oldKey) moved = &f;
  if (moved == nullptr) return false;
  // Renaming to the same name in other letters is allowed; onto any other existing name it is not.
  if (newKey != oldKey && FileExists(newPath)) return false;
  const std::string newName = Normalize(newPath);
  if (moved->attributes & kAttrDirectory) {
    // A folder takes what is below it along.
    const std::string prefix = oldKey + "\\";
    for (FileEntry& f : files) {
      std::string k = Key(f.path);
      if (k.compare(0, prefix.size(), prefix) == 0) f.path = newName + Normalize(f.path).substr(oldKey.size());
    }
  }
  moved->path = newName;
  return true;
}

bool FakeSystem::DeleteFileA(const std::string& path) {
  fileLog.push_back("delete " + path);
  if (failDelete) return false;
  const std::string key = Key(path);
  for (auto it = files.begin(); it != files.end(); ++it) {
    if (Key(it->path) != key) continue;
    if (it->attributes & (kAttrReadOnly | kAttrDirectory)) return false;  // access denied
    files.erase(it);
    return true;
  }
  return false;
}

SysHandle FakeSystem::FindFirstFileA(const std::string& pattern, FindData& data) {
  fileLog.push_back("find " + pattern);
  const std::string normalized = Normalize(pattern);
  const size_t slash = normalized.rfind('\\');
  if (slash == std::string::npos) return kInvalidSysHandle;  // no current directory in the fake
  const std::string folderKey = Key(normalized.substr(0, slash));
  const std::string mask = normalized.substr(slash + 1);
  if (mask.empty()) return kInvalidSysHandle;

  bool folderFound = false;
  for (const FileEntry& f : files)
    if (Key(f.path) == folderKey && (f.attributes & kAttrDirectory)) folderFound = true;
  if (!folderFound) return kInvalidSysHandle;

  Search search;
  const CodePage chars(*this);
  for (const char* dots : {".", ".."})
    if (Matches(mask.c_str(), dots)) search.entries.push_back({kAttrDirectory, dots});
  for (const FileEntry& f : files) {
    std::string leaf = LeafOf(f.path, chars);
    if (ParentKey(Key(f.path), chars) == folderKey && Matches(mask.c_str(), leaf.c_str()))
      search.entries.push_back({f.attributes, leaf});
  }
  if (search.entries.empty()) return kInvalidSysHandle;

  data = search.entries[0];
  search.next = 1;
  SysHandle handle = nextSearch_++;
  searches_[handle] = std::move(search);
  ++openSearches;
  return handle;
}

bool FakeSystem::FindNextFileA(SysHandle search, FindData& data) {
  auto it = searches_.find(search);
  if (it == searches_.end() || it->second.next >= it->second.entries.size()) return false;
  data = it->second.entries[it->second.next++];
  return true;
}

bool FakeSystem::FindClose(SysHandle search) {
  if (searches_.erase(search) == 0) return false;
  --openSearches;
  return true;
}

// --- User ---

int FakeSystem::MessageBoxA(BoxOwner owner, const std::string& text, const std::string& caption, unsigned type) {
  boxes.push_back({owner, text, caption, type});
  if (whileBoxShown) whileBoxShown();
  if (!answers.empty()) {
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  const unsigned buttons = type & 0xF;
  const bool question = buttons == 3 /* MB_YESNOCANCEL */ || buttons == mb::kYesNo;
  return question ? mb::kIdNo : mb::kIdOk;
}

int FakeSystem::CompareTextIgnoreCase(const std::string& a, const std::string& b) { return CompareLocale(a, b); }
