#pragma once
// Which Windows we run on: asked once while the main window is created. The family number it
// yields is kept by the main window and picks registry locations, the Send To folder and the
// defragmenter for the rest of the run.
#include <string>

#include "platform/os_family.h"
#include "platform/system_api.h"

// Platform ids of the version record.
namespace os_platform {
constexpr unsigned kWin32s = 0;
constexpr unsigned kWindows = 1;  // the 9x line
constexpr unsigned kNt = 2;
}  // namespace os_platform

// Product types and suite bits the edition suffix looks at.
namespace os_edition {
constexpr unsigned kWorkstation = 1;
constexpr unsigned kDomainController = 2;
constexpr unsigned kServer = 3;
constexpr unsigned kSuiteEnterprise = 0x0002;
constexpr unsigned kSuiteDataCenter = 0x0080;
constexpr unsigned kSuitePersonal = 0x0200;
}  // namespace os_edition

struct OsIdentity {
  int family = os_family::kUnknown;
  std::string displayText;  // name, edition and service pack: "Windows XP Professional (Service Pack 1)"
  std::string buildText;    // "Build : 2600"
};

// Classifies a version record as the system filled it in. Pure: no system calls.
OsIdentity ClassifyOsVersion(const OsVersionInfo& version);

// Asks the system for its extended version record, or for the basic one where the system refuses
// the extended record, and classifies it. Returns the family. When both calls fail, or when
// displayText is null, returns 0 and writes nothing.
// buildText may be null when the caller has no use for it.
int IdentifyOperatingSystem(SystemApi& system, std::string* displayText, std::string* buildText);
