// RegistryAccess against a registry that refuses, fails or lies: what a user without
// administrator rights, a damaged value or a misbehaving adapter puts in front of the pages.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "fakes/fake_registry.h"
#include "unit/form_helpers.h"
#include "platform/app_error.h"
#include "platform/registry_access.h"

namespace {

const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

class RegistryFaults : public ::testing::Test {
 protected:
  ~RegistryFaults() override { EXPECT_EQ(0, fake.OpenHandleCount()) << "handles left open"; }
  FakeRegistry fake;
};

TEST_F(RegistryFaults, RefusedSoftwareKeyReadsEmptyAndWritesRaise) {
  fake.SetString(kHklm, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
  fake.RefuseOpen(kHklm, "SOFTWARE");
  RegistryAccess registry(fake);
  registry.SetRootKey(kHklm);
  EXPECT_FALSE(OpenPiecewise(registry, kCurrentVersion));
  EXPECT_EQ(0u, registry.CurrentKey());
  EXPECT_FALSE(registry.ValueExists("ProgramFilesDir"));
  EXPECT_EQ("", registry.ReadString("ProgramFilesDir"));
  EXPECT_EQ("Failed to set data for 'ProgramFilesDir'",
            ErrorOf([&] { registry.WriteString("ProgramFilesDir", "D:\\Apps"); }));
  EXPECT_EQ("C:\\Program Files", fake.GetString(kHklm, kCurrentVersion, "ProgramFilesDir"));
}

TEST_F(RegistryFaults, RefusedDataReadRaisesBeforeTheTypeIsLookedAt) {
  fake.SetString(kHklm, "K", "Text", "secret");
  fake.SetDword(kHklm, "K", "Dw", 1);
  fake.SetString(kHklm, "K", "Empty", "");
  fake.RefuseRead(kHklm, "K", "*");
  RegistryAccess registry(fake);
  registry.SetRootKey(kHklm);
  ASSERT_TRUE(registry.OpenKey("K", false));
  EXPECT_TRUE(registry.ValueExists("Text")) << "only the data is refused, not the value's presence";
  EXPECT_EQ("Failed to get data for 'Text'", ErrorOf([&] { registry.ReadString("Text"); }));
  EXPECT_EQ("Failed to get data for 'Dw'", ErrorOf([&] { registry.ReadString("Dw"); }));
  EXPECT_EQ("Failed to get data for 'Empty'", ErrorOf([&] { registry.ReadString("Empty"); }))
      << "an empty text still has its zero byte to read";
  EXPECT_EQ(reg::kRegDword, registry.GetDataType("Dw"));
}

TEST_F(RegistryFaults, RefusedWriteRaisesAndLeavesTheValue) {
  fake.SetString(kHklm, "K", "Owner", "Anna");
  fake.RefuseWrite(kHklm, "K", "owner");
  RegistryAccess registry(fake);
  registry.SetRootKey(kHklm);
  ASSERT_TRUE(registry.OpenKey("K", false));
  EXPECT_EQ("Failed to set data for 'Owner'", ErrorOf([&] { registry.WriteString("Owner", "Bert"); }));
  EXPECT_EQ("Failed to set data for 'Owner'", ErrorOf([&] { registry.WriteExpandString("Owner", "%X%"); }));
  EXPECT_EQ("Anna", fake.GetString(kHklm, "K", "Owner"));
  EXPECT_EQ("no error", ErrorOf([&] { registry.WriteString("Company", "Acme"); })) << "other values still write";
}

TEST_F(RegistryFaults, OneHandleAtATimeAndNoneLeftAfterRelease) {
  fake.SetDword(kHklm, kCurrentVersion, "Dw", 1);
  fake.CreateKey(kHklm, "SOFTWARE\\Doomed\\Deep");
  {
    RegistryAccess registry(fake);
    registry.SetRootKey(kHklm);
    EXPECT_TRUE(OpenPiecewise(registry, kCurrentVersion));
    EXPECT_EQ(1, fake.OpenHandleCount()) << "the pieces opened before were not closed";
    EXPECT_FALSE(registry.OpenKey("Missing", false));
    EXPECT_TRUE(registry.DeleteKey("\\SOFTWARE\\Doomed"));
    std::vector<std::string> names;
    registry.GetValueNames(names);
    EXPECT_EQ(1, fake.OpenHandleCount());
    EXPECT_NE("no error", ErrorOf([&] { registry.ReadString("Dw"); }));
    // Released with the key still open, straight after an error, as a handler ends.
  }
}

TEST_F(RegistryFaults, RefusedInnerDeletionIsIgnoredAndTheResultIsTheLastDeletion) {
  fake.CreateKey(kHklm, "Doomed\\A\\Locked");
  fake.CreateKey(kHklm, "Doomed\\A\\Free");
  fake.CreateKey(kHklm, "Doomed\\B");
  fake.RefuseDeleteKey(kHklm, "Doomed\\A\\Locked");
  RegistryAccess registry(fake);
  registry.SetRootKey(kHklm);
  EXPECT_FALSE(registry.DeleteKey("Doomed"));
  EXPECT_EQ(std::vector<std::string>{"A"}, fake.SubKeyNames(kHklm, "Doomed"));
  EXPECT_EQ(std::vector<std::string>{"Locked"}, fake.SubKeyNames(kHklm, "Doomed\\A"));
}

TEST_F(RegistryFaults, EmptyDeletePathNeverEmptiesTheRoot) {
  fake.CreateKey(kHklm, "SOFTWARE\\Microsoft");
  RegistryAccess registry(fake);
  registry.SetRootKey(kHklm);
  EXPECT_FALSE(registry.DeleteKey(""));
  EXPECT_FALSE(registry.DeleteKey("\\"));
  EXPECT_TRUE(fake.KeyExists(kHklm, "SOFTWARE\\Microsoft"));
}

TEST_F(RegistryFaults, KeyDeletedUnderTheOpenHandle) {
  fake.SetString(kHklm, "Entry", "DisplayName", "Old program");
  RegistryAccess registry(fake);
  registry.SetRootKey(kHklm);
  ASSERT_TRUE(registry.OpenKey("Entry", false));
  EXPECT_TRUE(registry.DeleteKey("\\Entry"));
  EXPECT_FALSE(registry.ValueExists("DisplayName"));
  EXPECT_EQ("", registry.ReadString("DisplayName"));
  EXPECT_EQ("Failed to set data for 'DisplayName'", ErrorOf([&] { registry.WriteString("DisplayName", "x"); }));
  EXPECT_FALSE(fake.KeyExists(kHklm, "Entry")) << "a write through a stale handle brought the key back";
}

// A registry whose answers for one value, or one listing entry, are scripted.
class ScriptedRegistry : public FakeRegistry {
 public:
  uint32_t claimedSize = 0;     // reported by the size query of "Odd", with type REG_SZ
  long dataResult = reg::kErrorSuccess;
  uint32_t reportedSize = 0;    // written back by the data read of "Odd"
  long enumFailureAt = -1;      // index whose enumeration fails
  long enumFailure = reg::kErrorAccessDenied;

  long RegQueryValueExA(HKey key, const std::string& name, uint32_t* type, uint8_t* data, uint32_t* size) override {
    if (name != "Odd") return FakeRegistry::RegQueryValueExA(key, name, type, data, size);
    *type = reg::kRegSz;
    if (!data) {
      *size = claimedSize;
      return reg::kErrorSuccess;
    }
    std::memset(data, 'x', *size);
    *size = reportedSize;
    return dataResult;
  }
  long RegEnumKeyExA(HKey key, uint32_t index, std::string* name) override {
    if (static_cast<long>(index) == enumFailureAt) return enumFailure;
    return FakeRegistry::RegEnumKeyExA(key, index, name);
  }
  long RegEnumValueA(HKey key, uint32_t index, std::string* name) override {
    if (static_cast<long>(index) == enumFailureAt) return enumFailure;
    return FakeRegistry::RegEnumValueA(key, index, name);
  }
};

TEST(RegistryOddAnswers, ImplausibleSizesRaiseInsteadOfCrashing) {
  struct {
    uint32_t claimed;
    long dataResult;
    uint32_t reported;
    const char* expected;
  } cases[] = {
      {0xFFFFFFF0u, reg::kErrorSuccess, 0xFFFFFFF0u, "error Failed to get data for 'Odd'"},
      {0x80000000u, reg::kErrorSuccess, 0x80000000u, "error Failed to get data for 'Odd'"},
      {4, reg::kErrorMoreData, 9, "error Failed to get data for 'Odd'"},  // grew between the calls
      {4, reg::kErrorSuccess, 4000, "xxxx"},                              // claims more than it was given room for
      {4, reg::kErrorSuccess, 2, "xx"},                                   // shrank between the calls
  };
  for (const auto& c : cases) {
    ScriptedRegistry fake;
    fake.CreateKey(kHklm, "K");
    fake.claimedSize = c.claimed;
    fake.dataResult = c.dataResult;
    fake.reportedSize = c.reported;
    RegistryAccess registry(fake);
    registry.SetRootKey(kHklm);
    ASSERT_TRUE(registry.OpenKey("K", false));
    std::string got;
    try {
      got = registry.ReadString("Odd");
    } catch (const AppError& e) {
      got = std::string("error ") + e.what();
    }
    EXPECT_EQ(c.expected, got) << "claimed " << c.claimed << ", reported " << c.reported;
  }
}

TEST(RegistryOddAnswers, ListingSkipsAnEntryThatCannotBeReadAndStopsWhenTheKeyShrinks) {
  struct {
    long failureAt;
    long failure;
    std::vector<std::string> expected;
  } cases[] = {
      {-1, 0, {"A", "B", "C"}},
      {1, reg::kErrorAccessDenied, {"A", "C"}},
      {1, reg::kErrorNoMoreItems, {"A"}},
  };
  for (const auto& c : cases) {
    ScriptedRegistry fake;
    for (const char* n : {"A", "B", "C"}) {
      fake.CreateKey(kHklm, std::string("K\\") + n);
      fake.SetString(kHklm, "K", n, "v");
    }
    fake.enumFailureAt = c.failureAt;
    fake.enumFailure = c.failure;
    RegistryAccess registry(fake);
    registry.SetRootKey(kHklm);
    ASSERT_TRUE(registry.OpenKey("K", false));
    std::vector<std::string> keys, values;
    registry.GetKeyNames(keys);
    registry.GetValueNames(values);
    EXPECT_EQ(c.expected, keys) << "failure " << c.failure << " at " << c.failureAt;
    EXPECT_EQ(c.expected, values) << "failure " << c.failure << " at " << c.failureAt;
  }
}

}  // namespace
