#include "pages/osinfo/os_identification.h"

#include <algorithm>
#include <cstdint>

#include "platform/app_error.h"

namespace {

struct NameAndFamily {
  const char* name;
  int family;
};

NameAndFamily NameOf(const OsVersionInfo& v) {
  const uint32_t major = v.dwMajorVersion;
  const uint32_t minor = v.dwMinorVersion;
  switch (v.dwPlatformId) {
    case os_platform::kWin32s:
      return {"Windows 3.1 (WIN32)", os_family::kWin32s};
    case os_platform::kWindows:
      if (major == 4 && minor == 0) return {"Windows 95", os_family::kWin9x};
      if (major == 4 && minor == 10) return {"Windows 98", os_family::kWin9x};
      if (major == 4 && minor == 90) return {"Windows ME", os_family::kWin9x};
      // Some later member of the 9x line: still the 9x registry and folders, so the family
      // stands; only the name is unknown.
      return {"Windows", os_family::kWin9x};
    case os_platform::kNt:
      if (major <= 4) return {"Windows NT", os_family::kWinNt4};
      if (major == 5 && minor == 0) return {"Windows 2000", os_family::kWin2000};
      if (major == 5 && minor == 1) return {"Windows XP", os_family::kWinXp};
      if (major == 5 && minor == 2) return {"Windows 2003", os_family::kWin2003};
      // Newer than anything we know where things live on: the caller shows nothing.
      return {"", os_family::kUnknown};
    default:
      return {"Windows", os_family::kUnknown};
  }
}

const char* EditionSuffix(const OsVersionInfo& v) {
  switch (v.wProductType) {
    case os_edition::kWorkstation:
      return (v.wSuiteMask & os_edition::kSuitePersonal) ? " Personal" : " Professional";
    case os_edition::kServer:
      if (v.wSuiteMask & os_edition::kSuiteDataCenter) return " DataCenter Server";
      if (v.wSuiteMask & os_edition::kSuiteEnterprise) return " Advanced Server";
      return " Server";
    default:  // domain controllers and anything unknown get no edition
      return "";
  }
}

// The service-pack text is only as long as its first zero, but a misbehaving system may fill all
// 128 bytes: stop at the end of the field either way.
std::string ServicePackOf(const OsVersionInfo& v) {
  const char* begin = v.szCSDVersion;
  const char* end = begin + sizeof v.szCSDVersion;
  return std::string(begin, std::find(begin, end, '\0'));
}

}  // namespace

OsIdentity ClassifyOsVersion(const OsVersionInfo& version) {
  OsIdentity id;
  NameAndFamily nf = NameOf(version);
  id.family = nf.family;

  std::string name = nf.name;
  if (version.dwPlatformId == os_platform::kNt) name += EditionSuffix(version);

  std::string servicePack = ServicePackOf(version);
  id.displayText = servicePack.empty() ? name : name + " (" + servicePack + ")";

  // The whole field, signed: the 9x line keeps the version in the high word (4.10 build 2222
  // reads 67766446), and that is what the user is shown.
  id.buildText = FormatNumber("Build : %d", static_cast<int>(static_cast<int32_t>(version.dwBuildNumber)));
  return id;
}

int IdentifyOperatingSystem(SystemApi& system, std::string* displayText, std::string* buildText) {
  if (displayText == nullptr) return os_family::kUnknown;

  // The extended record first, for the edition. Windows 95, 98, ME and NT 4.0 before Service
  // Pack 6 refuse it; they are asked again with the basic record, which lacks only the edition,
  // rather than being taken for a system we do not know.
  OsVersionInfo version{};
  version.dwOSVersionInfoSize = kOsVersionInfoExSize;
  if (!system.GetVersionExA(version)) {
    version = OsVersionInfo{};
    version.dwOSVersionInfoSize = kOsVersionInfoSize;
    if (!system.GetVersionExA(version)) return os_family::kUnknown;
  }

  OsIdentity id = ClassifyOsVersion(version);
  *displayText = id.displayText;
  if (buildText != nullptr) *buildText = id.buildText;
  return id.family;
}
