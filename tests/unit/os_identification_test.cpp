#include "pages/osinfo/os_identification.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fakes/fake_system.h"

namespace {

constexpr uint16_t kPersonal = 0x0200, kDataCenter = 0x0080, kEnterprise = 0x0002, kTerminal = 0x0010;

OsVersionInfo Version(uint32_t platform, uint32_t major, uint32_t minor, uint8_t productType = 0,
                      uint16_t suite = 0, const char* servicePack = "", uint32_t build = 42) {
  OsVersionInfo v{};
  v.dwOSVersionInfoSize = kOsVersionInfoExSize;
  v.dwPlatformId = platform;
  v.dwMajorVersion = major;
  v.dwMinorVersion = minor;
  v.wProductType = productType;
  v.wSuiteMask = suite;
  v.dwBuildNumber = build;
  std::strncpy(v.szCSDVersion, servicePack, sizeof v.szCSDVersion - 1);
  return v;
}

struct Identified {
  int family;
  std::string display, build;
};

// The whole table, as Wine reports each version: with the extended record everywhere.
Identified Identify(const OsVersionInfo& v) {
  FakeSystem sys;
  sys.extendedRecordEverywhere = true;
  sys.version = v;
  Identified r{};
  r.display = r.build = "sentinel";
  r.family = IdentifyOperatingSystem(sys, &r.display, &r.build);
  return r;
}

// Every row of the version table, each with an edition that platform allows.
TEST(OsIdentificationTable, NameAndFamilyForEachVersion) {
  struct {
    OsVersionInfo v;
    const char* display;
    int family;
  } cases[] = {
      {Version(0, 3, 10), "Windows 3.1 (WIN32)", os_family::kWin32s},
      {Version(0, 9, 9, 1, kPersonal), "Windows 3.1 (WIN32)", os_family::kWin32s},  // no edition off platform 2
      {Version(1, 4, 0), "Windows 95", os_family::kWin9x},
      {Version(1, 4, 10, 1, kPersonal), "Windows 98", os_family::kWin9x},
      {Version(1, 4, 90), "Windows ME", os_family::kWin9x},
      {Version(1, 4, 20), "Windows", os_family::kWin9x},
      {Version(1, 5, 0), "Windows", os_family::kWin9x},
      {Version(1, 3, 95), "Windows", os_family::kWin9x},
      {Version(2, 4, 0, 1), "Windows NT Professional", os_family::kWinNt4},
      {Version(2, 3, 51, 3), "Windows NT Server", os_family::kWinNt4},
      {Version(2, 0, 0, 2), "Windows NT", os_family::kWinNt4},
      {Version(2, 5, 0, 1), "Windows 2000 Professional", os_family::kWin2000},
      {Version(2, 5, 1, 1), "Windows XP Professional", os_family::kWinXp},
      {Version(2, 5, 2, 2), "Windows 2003", os_family::kWin2003},
      {Version(2, 5, 3, 1), " Professional", os_family::kUnknown},
      {Version(2, 6, 0, 1), " Professional", os_family::kUnknown},
      {Version(2, 10, 0, 2), "", os_family::kUnknown},
      {Version(3, 5, 1), "Windows", os_family::kUnknown},
      {Version(0xFFFFFFFF, 5, 1, 1), "Windows", os_family::kUnknown},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "platform " << c.v.dwPlatformId << " version " << c.v.dwMajorVersion << "."
                                      << c.v.dwMinorVersion << " type " << int(c.v.wProductType));
    Identified r = Identify(c.v);
    EXPECT_EQ(c.family, r.family);
    EXPECT_EQ(c.display, r.display);
    EXPECT_EQ("Build : 42", r.build);
  }
}

TEST(OsIdentificationEdition, SuffixByProductTypeAndSuite) {
  struct {
    uint8_t type;
    uint16_t suite;
    const char* display;
  } cases[] = {
      {1, 0, "Windows 2000 Professional"},
      {1, kPersonal, "Windows 2000 Personal"},
      {1, kPersonal | kDataCenter | kEnterprise, "Windows 2000 Personal"},
      {1, kDataCenter, "Windows 2000 Professional"},  // server bits mean nothing on a workstation
      {3, 0, "Windows 2000 Server"},
      {3, kTerminal, "Windows 2000 Server"},
      {3, kEnterprise, "Windows 2000 Advanced Server"},
      {3, kDataCenter, "Windows 2000 DataCenter Server"},
      {3, kDataCenter | kEnterprise, "Windows 2000 DataCenter Server"},  // datacenter wins
      {3, kPersonal, "Windows 2000 Server"},
      {2, kDataCenter | kEnterprise | kPersonal, "Windows 2000"},  // domain controller: none
      {0, kPersonal, "Windows 2000"},
      {4, kEnterprise, "Windows 2000"},
      {255, 0xFFFF, "Windows 2000"},
  };
  for (const auto& c : cases) {
    Identified r = Identify(Version(2, 5, 0, c.type, c.suite));
    EXPECT_EQ(c.display, r.display) << "type " << int(c.type) << " suite 0x" << std::hex << c.suite;
    EXPECT_EQ(os_family::kWin2000, r.family);
  }
}

TEST(OsIdentificationServicePack, AppendedInParenthesesWhenFirstByteIsNotZero) {
  struct {
    OsVersionInfo v;
    const char* display;
  } cases[] = {
      {Version(2, 5, 1, 1, 0, "Service Pack 1"), "Windows XP Professional (Service Pack 1)"},
      {Version(2, 5, 1, 1, kPersonal, ""), "Windows XP Personal"},
      {Version(1, 4, 10, 0, 0, " A "), "Windows 98 ( A )"},  // as 98 SE reports it
      {Version(1, 4, 90, 0, 0, " "), "Windows ME ( )"},
      {Version(2, 4, 0, 1, 0, "Service Pack 6a"), "Windows NT Professional (Service Pack 6a)"},
      {Version(0, 3, 10, 0, 0, "\xE9t\xE9"), "Windows 3.1 (WIN32) (\xE9t\xE9)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.display, Identify(c.v).display);
  }
}

TEST(OsIdentificationServicePack, TextAfterAnEarlyZeroIsIgnored) {
  OsVersionInfo v = Version(2, 5, 1, 1);
  std::memcpy(v.szCSDVersion, "SP2\0junk", 8);
  EXPECT_EQ("Windows XP Professional (SP2)", Identify(v).display);

  OsVersionInfo empty = Version(2, 5, 1, 1);
  std::memcpy(empty.szCSDVersion, "\0junk", 5);
  EXPECT_EQ("Windows XP Professional", Identify(empty).display);
}

TEST(OsIdentificationServicePack, UnterminatedTextStopsAtTheEndOfTheField) {
  // All 128 bytes used, no zero: what follows in the record (the service-pack numbers) must not
  // leak into the text. ASan would also catch a read past the record.
  OsVersionInfo v = Version(2, 5, 2, 3, kEnterprise);
  std::memset(v.szCSDVersion, 'x', sizeof v.szCSDVersion);
  v.wServicePackMajor = 0x4141;
  v.wServicePackMinor = 0x4141;
  Identified r = Identify(v);
  EXPECT_EQ("Windows 2003 Advanced Server (" + std::string(128, 'x') + ")", r.display);
  EXPECT_EQ(os_family::kWin2003, r.family);
  EXPECT_LT(r.display.size(), 260u) << "fits the caller's room";
}

TEST(OsIdentificationBuild, WholeFieldPrintedSigned) {
  struct {
    uint32_t build;
    const char* text;
  } cases[] = {
      {42, "Build : 42"},
      {0, "Build : 0"},
      {2600, "Build : 2600"},
      {67766446, "Build : 67766446"},  // 98: 4.10 in the high word, 2222 in the low
      {67109814, "Build : 67109814"},  // 95
      {0x00010000, "Build : 65536"},
      {0x7FFFFFFF, "Build : 2147483647"},
      {0x80000000, "Build : -2147483648"},
      {0xC0000A28, "Build : -1073739224"},
      {0xFFFFFFFF, "Build : -1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.text, Identify(Version(1, 4, 10, 0, 0, "", c.build)).build);
  }
}

TEST(OsIdentificationCall, AsksOnceWithAZeroedExtendedRecord) {
  FakeSystem sys;
  sys.version = Version(2, 5, 1, 1);
  std::string display, build;
  IdentifyOperatingSystem(sys, &display, &build);

  OsVersionInfo expected{};
  expected.dwOSVersionInfoSize = 156;
  EXPECT_EQ(0, std::memcmp(&expected, &sys.lastVersionRequest, sizeof expected));
  EXPECT_TRUE(sys.windowsDirSizes.empty());
  EXPECT_TRUE(sys.boxes.empty()) << "identification never speaks to the user";
}

TEST(OsIdentificationCall, FailedVersionCallWritesNothing) {
  FakeSystem sys;
  sys.versionOk = false;
  sys.version = Version(2, 5, 1, 1, 0, "Service Pack 3", 2600);
  std::string display = "Operating system : ", build = "Build : ";
  EXPECT_EQ(os_family::kUnknown, IdentifyOperatingSystem(sys, &display, &build));
  EXPECT_EQ("Operating system : ", display);
  EXPECT_EQ("Build : ", build);
  EXPECT_EQ(sys.versionRequestSizes, (std::vector<uint32_t>{156, 148})) << "the basic record is asked for once";
  EXPECT_TRUE(sys.boxes.empty());
}

// The real systems before NT 4.0 Service Pack 6 refuse the extended record: they are identified
// through the basic one, without an edition.
TEST(OsIdentificationCall, OlderSystemsAnswerTheBasicRecord) {
  struct {
    OsVersionInfo v;
    const char* display;
    int family;
  } cases[] = {
      {Version(1, 4, 0, 0, 0, "", 67109814), "Windows 95", 2},
      {Version(1, 4, 10, 0, 0, " A ", 67766446), "Windows 98 ( A )", 2},
      {Version(1, 4, 90, 0, 0, " ", 73010104), "Windows ME ( )", 2},
      {Version(0, 3, 10), "Windows 3.1 (WIN32)", 1},
      {Version(2, 4, 0, 1, 0, "Service Pack 5", 1381), "Windows NT (Service Pack 5)", 3},
  };
  for (const auto& c : cases) {
    FakeSystem sys;
    sys.version = c.v;
    std::string display, build;
    EXPECT_EQ(c.family, IdentifyOperatingSystem(sys, &display, &build));
    EXPECT_EQ(c.display, display);
    EXPECT_EQ(sys.versionRequestSizes, (std::vector<uint32_t>{156, 148}));
  }
}

TEST(OsIdentificationCall, DestinationsMayBeMissing) {
  FakeSystem sys;
  sys.version = Version(2, 5, 1, 1);
  std::string build = "untouched";
  EXPECT_EQ(0, IdentifyOperatingSystem(sys, nullptr, &build));
  EXPECT_EQ("untouched", build);

  std::string display;
  EXPECT_EQ(os_family::kWinXp, IdentifyOperatingSystem(sys, &display, nullptr));
  EXPECT_EQ("Windows XP Professional", display);
}

// The records Wine hands out for each emulated version, so the page reads right on each.
TEST(OsIdentificationRealRecords, WhatEachEmulatedVersionShows) {
  struct {
    OsVersionInfo v;
    const char* display;
    const char* build;
    int family;
  } cases[] = {
      {Version(1, 4, 0, 0, 0, "", 67109814), "Windows 95", "Build : 67109814", 2},
      {Version(1, 4, 10, 0, 0, " A ", 67766446), "Windows 98 ( A )", "Build : 67766446", 2},
      {Version(1, 4, 90, 0, 0, " ", 73010104), "Windows ME ( )", "Build : 73010104", 2},
      {Version(2, 4, 0, 1, 0, "Service Pack 6a", 1381), "Windows NT Professional (Service Pack 6a)", "Build : 1381",
       3},
      {Version(2, 5, 0, 1, 0, "Service Pack 4", 2195), "Windows 2000 Professional (Service Pack 4)",
       "Build : 2195", 4},
      {Version(2, 5, 1, 1, 0x100, "Service Pack 3", 2600), "Windows XP Professional (Service Pack 3)",
       "Build : 2600", 5},
      {Version(2, 5, 2, 3, 0x100, "Service Pack 2", 3790), "Windows 2003 Server (Service Pack 2)", "Build : 3790",
       6},
  };
  for (const auto& c : cases) {
    Identified r = Identify(c.v);
    EXPECT_EQ(c.display, r.display);
    EXPECT_EQ(c.build, r.build);
    EXPECT_EQ(c.family, r.family);
  }
}

}  // namespace
