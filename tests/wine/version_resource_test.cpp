// What Windows itself reads from keelbrook.exe without running it: the version resource that
// Explorer's file properties show (through version.dll, as Explorer does) and the embedded
// application manifest (common controls 6, no elevation, DPI awareness).
//
// The program is the keelbrook.exe built beside this test, or the one $KB_EXE names.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/win32/version.h"

namespace {

std::string KeelbrookExe() {
  if (const char* named = std::getenv("KB_EXE")) {
    if (*named) return named;
  }
  char self[MAX_PATH] = "";
  const DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  std::string path(self, n < sizeof self ? n : 0);
  const size_t slash = path.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "keelbrook.exe";
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// version.dll, loaded by hand so that the test programs link no more than the program does.
class VersionDll {
 public:
  VersionDll() : dll_(LoadLibraryA("version.dll")) {
    if (!dll_) return;
    size_ = reinterpret_cast<SizeFn>(reinterpret_cast<void*>(GetProcAddress(dll_, "GetFileVersionInfoSizeA")));
    info_ = reinterpret_cast<InfoFn>(reinterpret_cast<void*>(GetProcAddress(dll_, "GetFileVersionInfoA")));
    query_ = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(dll_, "VerQueryValueA")));
  }
  ~VersionDll() {
    if (dll_) FreeLibrary(dll_);
  }
  VersionDll(const VersionDll&) = delete;
  VersionDll& operator=(const VersionDll&) = delete;
  bool Loaded() const { return size_ && info_ && query_; }

  // The whole version block of the file, or empty.
  std::string Read(const std::string& file) const {
    DWORD ignored = 0xdeadbeef;
    const DWORD size = size_(file.c_str(), &ignored);
    if (size == 0) return std::string();
    std::string block(size, '\xbd');
    if (!info_(file.c_str(), 0, size, &block[0])) return std::string();
    return block;
  }

  // One value of the block: the raw bytes VerQueryValueA points at.
  bool Query(const std::string& block, const std::string& path, const void** at, UINT* length) const {
    *at = nullptr;
    *length = 0;
    return query_(block.data(), path.c_str(), const_cast<void**>(at), length) && *at;
  }

  // A text of the string table, without its terminating zero; "(none)" when absent.
  std::string Text(const std::string& block, const std::string& table, const std::string& name) const {
    const void* at = nullptr;
    UINT length = 0;
    if (!Query(block, "\\StringFileInfo\\" + table + "\\" + name, &at, &length)) return "(none)";
    const char* text = static_cast<const char*>(at);
    return std::string(text, strnlen(text, length));
  }

 private:
  using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
  HMODULE dll_;
  SizeFn size_ = nullptr;
  InfoFn info_ = nullptr;
  QueryFn query_ = nullptr;
};

class VersionResource : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = KeelbrookExe();
    ASSERT_TRUE(Exists(exe_)) << exe_ << " is missing: build keelbrook before its tests";
    ASSERT_TRUE(version_.Loaded()) << "version.dll lacks the version functions";
    block_ = version_.Read(exe_);
    ASSERT_FALSE(block_.empty()) << exe_ << " has no version resource readable by GetFileVersionInfoA";
  }
  std::string exe_;
  VersionDll version_;
  std::string block_;
};

TEST_F(VersionResource, NamesTheProductItsVersionAndWhatTheFileIs) {
  // Explorer looks the strings up in the table of the first language the block declares.
  const void* at = nullptr;
  UINT length = 0;
  ASSERT_TRUE(version_.Query(block_, "\\VarFileInfo\\Translation", &at, &length));
  ASSERT_GE(length, 4u);
  const WORD* translation = static_cast<const WORD*>(at);
  char table[16];
  snprintf(table, sizeof table, "%04X%04X", translation[0], translation[1]);
  EXPECT_STREQ("040904E4", table) << "US English in the Windows ANSI code page 1252";

  EXPECT_EQ("Keelbrook 2003", version_.Text(block_, table, "ProductName"));
  EXPECT_EQ(KB_VERSION_TEXT, version_.Text(block_, table, "FileVersion"));
  EXPECT_EQ(KB_VERSION_TEXT, version_.Text(block_, table, "ProductVersion"));
  EXPECT_EQ("keelbrook.exe", version_.Text(block_, table, "OriginalFilename"));
  const std::string description = version_.Text(block_, table, "FileDescription");
  EXPECT_NE("(none)", description);
  EXPECT_NE(std::string::npos, description.find("Keelbrook")) << "got " << description;
}

// The numbers Explorer shows as "File version" agree with the text, and the file says it is a
// Windows application rather than a driver or a library.
TEST_F(VersionResource, FixedPartAgreesWithTheText) {
  const void* at = nullptr;
  UINT length = 0;
  ASSERT_TRUE(version_.Query(block_, "\\", &at, &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(at);
  EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(KB_VERSION_MINOR, KB_VERSION_MAJOR)), fixed->dwFileVersionMS);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, KB_VERSION_PATCH)), fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
  EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
  EXPECT_EQ(0u, fixed->dwFileFlags & fixed->dwFileFlagsMask & (VS_FF_DEBUG | VS_FF_PRERELEASE))
      << "a release build is marked neither debug nor pre-release";
  char text[32];
  snprintf(text, sizeof text, "%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
           HIWORD(fixed->dwFileVersionLS));
  EXPECT_STREQ(KB_VERSION_TEXT, text);
}

// The processor the manifest names is the one the program is built for, or Windows refuses to
// load the common controls it asks for.
#ifdef _WIN64
constexpr const char* kManifestArch = "processorArchitecture=\"amd64\"";
#else
constexpr const char* kManifestArch = "processorArchitecture=\"x86\"";
#endif

// The loader reads resource 1 of type RT_MANIFEST of an .exe: visual styles (common controls
// 6), no elevation prompt, and DPI awareness, without which Windows would stretch the window.
TEST(ApplicationManifest, AsksForCommonControls6AsInvokerAndDpiAwareness) {
  const std::string exe = KeelbrookExe();
  ASSERT_TRUE(Exists(exe)) << exe << " is missing";
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(module) << "cannot read the resources of " << exe;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_TRUE(found) << "no manifest resource 1";
  const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
  const std::string manifest(data ? data : "", data ? SizeofResource(module, found) : 0);
  FreeLibrary(module);
  for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                           "publicKeyToken=\"6595b64144ccf1df\"", "level=\"asInvoker\"", "uiAccess=\"false\"",
                           ">true</dpiAware>", kManifestArch})
    EXPECT_NE(std::string::npos, manifest.find(part)) << "the manifest lacks " << part;
}

}  // namespace
