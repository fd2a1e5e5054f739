// Identifying the system from any version record the system might hand back: any platform and
// version numbers, any suite bits and product type, a service-pack text with or without its
// terminating zero, and a version call that fails. The family is always 0 to 6 and agrees with
// the table below, written independently of the code under test; the texts agree with the
// family, fit the rooms the window gives them (260 and 256), and are left alone on failure.
#include <cstring>
#include <vector>

#include "fakes/fake_system.h"
#include "fuzz/fuzz_support.h"
#include "pages/osinfo/os_identification.h"

namespace kb_fuzz {
namespace {

struct Expected {
  int family;
  const char* name;  // nullptr: no name is promised (the texts are unused or the name is ours)
};

Expected ExpectedFor(const OsVersionInfo& v) {
  const uint32_t major = v.dwMajorVersion, minor = v.dwMinorVersion;
  switch (v.dwPlatformId) {
    case 0: return {1, "Windows 3.1 (WIN32)"};
    case 1:
      if (major == 4 && minor == 0) return {2, "Windows 95"};
      if (major == 4 && minor == 10) return {2, "Windows 98"};
      if (major == 4 && minor == 90) return {2, "Windows ME"};
      return {2, nullptr};
    case 2:
      if (major <= 4) return {3, "Windows NT"};
      if (major == 5 && minor == 0) return {4, "Windows 2000"};
      if (major == 5 && minor == 1) return {5, "Windows XP"};
      if (major == 5 && minor == 2) return {6, "Windows 2003"};
      return {0, nullptr};
    default: return {0, nullptr};
  }
}

std::string SuffixFor(const OsVersionInfo& v) {
  if (v.dwPlatformId != 2) return "";
  switch (v.wProductType) {
    case 1: return (v.wSuiteMask & 0x0200) ? " Personal" : " Professional";
    case 3:
      if (v.wSuiteMask & 0x0080) return " DataCenter Server";
      if (v.wSuiteMask & 0x0002) return " Advanced Server";
      return " Server";
    default: return "";
  }
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Mostly the values real systems report, sometimes anything.
uint32_t SmallOrAny(ByteReader& in, bool any, const uint32_t* usual, size_t count) {
  if (any) return in.U32();
  return usual[in.U8() % count];
}

}  // namespace

int OsIdentificationTarget(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  const uint8_t flags = in.U8();
  static const uint32_t kPlatforms[] = {0, 1, 2, 3};
  static const uint32_t kMajors[] = {0, 3, 4, 5, 6, 10};
  static const uint32_t kMinors[] = {0, 1, 2, 3, 10, 51, 90};

  OsVersionInfo v{};
  v.dwPlatformId = SmallOrAny(in, flags & 0x01, kPlatforms, 4);
  v.dwMajorVersion = SmallOrAny(in, flags & 0x02, kMajors, 6);
  v.dwMinorVersion = SmallOrAny(in, flags & 0x04, kMinors, 7);
  v.dwBuildNumber = in.U32();
  v.wSuiteMask = in.U16();
  v.wProductType = in.U8();
  v.wReserved = in.U8();
  v.wServicePackMajor = in.U16();
  v.wServicePackMinor = in.U16();
  // The service-pack text as the system leaves it: possibly all 128 bytes without a zero.
  const std::string csd = in.Bytes(sizeof v.szCSDVersion);
  std::memcpy(v.szCSDVersion, csd.data(), csd.size());
  v.dwOSVersionInfoSize = in.U32();  // what the system writes back there is not ours to trust

  FakeSystem system;
  system.version = v;
  system.versionOk = !(flags & 0x80);

  const std::string sentinel = "\xBD\xBD untouched";
  std::string display = sentinel, build = sentinel;
  const int family = IdentifyOperatingSystem(system, &display, &build);

  // The records asked for: the extended size, and the basic size once where that is refused;
  // everything else zero.
  const std::vector<uint32_t>& sizes = system.versionRequestSizes;
  const bool basic = sizes.size() == 2;
  KB_FUZZ_CHECK(!sizes.empty() && sizes.size() <= 2 && sizes[0] == kOsVersionInfoExSize &&
                    (!basic || sizes[1] == kOsVersionInfoSize),
                "asked with sizes other than 156, then 148");
  const OsVersionInfo& asked = system.lastVersionRequest;
  OsVersionInfo blank{};
  blank.dwOSVersionInfoSize = sizes.back();
  KB_FUZZ_CHECK(std::memcmp(&asked, &blank, sizeof asked) == 0, "the record passed in was not zeroed");

  KB_FUZZ_CHECK(family >= 0 && family <= 6, "family " + std::to_string(family));
  if (!system.versionOk) {
    KB_FUZZ_CHECK(family == 0 && display == sentinel && build == sentinel, "a failed call wrote something");
    return 0;
  }

  const Expected expected = ExpectedFor(v);
  KB_FUZZ_CHECK(family == expected.family, "family " + std::to_string(family) + ", expected " +
                                               std::to_string(expected.family));

  KB_FUZZ_CHECK(build == "Build : " + std::to_string(static_cast<int32_t>(v.dwBuildNumber)), Printable(build));
  KB_FUZZ_CHECK(build.size() < 256 && display.size() < 260, "texts longer than the labels' rooms");
  KB_FUZZ_CHECK(display.find('\0') == std::string::npos, Printable(display));

  const std::string servicePack(v.szCSDVersion, strnlen(v.szCSDVersion, sizeof v.szCSDVersion));
  const std::string tail = servicePack.empty() ? std::string() : " (" + servicePack + ")";
  if (expected.name) {
    // The basic record holds no edition.
    KB_FUZZ_CHECK(display == expected.name + (basic ? std::string() : SuffixFor(v)) + tail, Printable(display));
  } else if (family != 0) {
    // A 9x version we have no name for: still a name, still the service pack.
    KB_FUZZ_CHECK(EndsWith(display, tail) && display.size() > tail.size(), Printable(display));
  }

  // Without a place for the display text nothing is identified and nothing is written.
  std::string untouched = sentinel;
  KB_FUZZ_CHECK(IdentifyOperatingSystem(system, nullptr, &untouched) == 0 && untouched == sentinel,
                "no display text destination");
  return 0;
}

}  // namespace kb_fuzz

KB_FUZZ_ENTRY(OsIdentificationTarget)
