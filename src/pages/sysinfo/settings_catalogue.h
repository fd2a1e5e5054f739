#pragma once
// Where the "Sys Info" settings live, and the small rules that read and write them. The loader
// and the "&Set" handler both go through this one table, so reading and writing can never
// disagree about a key or a value name.
#include <string>

#include "platform/code_page.h"
#include "platform/registry_access.h"

namespace sysinfo {

// All under HKEY_LOCAL_MACHINE.
constexpr const char* kWindowsCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kWindowsSetup = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
constexpr const char* kWindowsNtCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

constexpr const char* kRegisteredOwner = "RegisteredOwner";
constexpr const char* kRegisteredOrganization = "RegisteredOrganization";
constexpr const char* kSourcePath = "SourcePath";
constexpr const char* kWallPaperDir = "WallPaperDir";
constexpr const char* kDevicePath = "DevicePath";

// A setting stored under one of two names: older systems use the Dir name, others the Path name.
struct TwoNameSetting {
  const char* dirName;
  const char* pathName;
};
constexpr TwoNameSetting kProgramFiles{"ProgramFilesDir", "ProgramFilesPath"};
constexpr TwoNameSetting kCommonFiles{"CommonFilesDir", "CommonFilesPath"};

// The key holding "RegisteredOwner" and "RegisteredOrganization" on this family, or nullptr
// where the program does not know one (Win32s, NT 4 and unidentified systems).
const char* OwnerKeyFor(int osFamily);
// The key holding "SourcePath", or nullptr likewise.
const char* InstallerKeyFor(int osFamily);

// Walks to a settings key from HKEY_LOCAL_MACHINE, one piece at a time. When a piece does not
// open, no key is left open: the values read as absent and a write raises its error.
void OpenSettingsKey(RegistryAccess& registry, const char* path);

// The name to show: the Path name when it exists, else the Dir name when that exists; empty
// when neither does.
std::string NameToRead(RegistryAccess& registry, const TwoNameSetting& setting);
// The name to store under, given which names the key holds. Only a key that has the Dir name
// and not the Path name gets the Dir name. When both exist the Path value is the one the page
// showed, so the text goes back there and the Dir value keeps its own content.
const char* NameToWrite(bool dirExists, bool pathExists, const TwoNameSetting& setting);
const char* NameToWrite(RegistryAccess& registry, const TwoNameSetting& setting);

// The wallpaper folder as stored: always ending in exactly the backslash the user typed, or one
// added when the last character is something else (an empty text becomes "\").
std::string WallpaperDirToStore(const std::string& typed, const CodePage& codePage);

// Writes a setting into the open key. A value stored as an expandable string stays one, so
// that references such as %SystemRoot% keep being expanded by the system; everything else is
// written as a plain string. Raises "Failed to set data for '%s'" like any string write.
void WriteSetting(RegistryAccess& registry, const std::string& name, const std::string& text);

}  // namespace sysinfo
