// Registry behaviour the pages rely on, run against the in-memory registry on the host and
// against the real one under Wine. Each case works inside the bed's private test key.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/app_error.h"
#include "platform/registry_access.h"
#include "shared/registry_test_bed.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::string Printable(const Bytes& bytes) {
  std::string out;
  char hex[8];
  for (uint8_t b : bytes) {
    if (b >= 0x20 && b < 0x7f && b != '\\') {
      out += static_cast<char>(b);
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02x", b);
      out += hex;
    }
  }
  return "\"" + out + "\"";
}

class RegistryCases : public ::testing::Test {
 protected:
  RegistryCases() : bed(MakeRegistryTestBed()), api(bed->Api()) {}

  // Walks to a key inside the test key the way the pages do, one piece at a time.
  void OpenInside(RegistryAccess& registry, const std::string& path) {
    ASSERT_TRUE(OpenPiecewise(registry, bed->PathOf(path), true)) << "opening " << bed->PathOf(path);
  }

  // The stored type and bytes of a value, or a note that it is missing.
  std::string Stored(const std::string& path, const std::string& name) {
    uint32_t type = 0xdeadbeef;
    Bytes data;
    if (!bed->GetValue(path, name, &type, &data)) return "missing";
    return "type " + std::to_string(type) + " " + Printable(data);
  }

  // Closing a handle that is still open succeeds; one already closed is refused. This tells
  // whether RegistryAccess let go of a key it no longer holds. Ask before the next open: Windows
  // hands a freed handle value out again.
  bool StillOpen(HKey key) { return api.RegCloseKey(key) == reg::kErrorSuccess; }

  std::unique_ptr<RegistryTestBed> bed;
  RegistryApi& api;
};

// ---- opening keys ----

TEST_F(RegistryCases, EachPieceOpensBelowThePreviousOneAndClosesIt) {
  bed->SetString("A\\B", "where", "A\\B");
  RegistryAccess registry(api);
  ASSERT_TRUE(registry.OpenKey("Software", false));
  HKey software = registry.CurrentKey();
  ASSERT_NE(0u, software);
  ASSERT_TRUE(registry.OpenKey(bed->TestKey().substr(std::strlen("Software\\")), false));
  HKey testKey = registry.CurrentKey();
  EXPECT_FALSE(StillOpen(software)) << "the handle of Software was not closed when its subkey opened";
  ASSERT_TRUE(registry.OpenKey("A", false));
  EXPECT_FALSE(StillOpen(testKey)) << "the handle of the test key was not closed";
  ASSERT_TRUE(registry.OpenKey("B", false));
  EXPECT_EQ("A\\B", registry.ReadString("where"));
}

TEST_F(RegistryCases, LeadingBackslashOpensBelowTheRootNotBelowTheOpenKey) {
  // The same path made twice: once below the root, once below the key X that is open, so the
  // value read tells which one was opened.
  bed->SetString("Y", "where", "below the root");
  bed->SetString("X\\" + bed->TestKey() + "\\Y", "where", "below the open key");
  bed->SetString("X\\Y", "where", "X\\Y");
  struct {
    std::string path;
    const char* expected;
  } cases[] = {
      {"\\" + bed->PathOf("Y"), "below the root"},
      {bed->PathOf("Y"), "below the open key"},
      {"Y", "X\\Y"},
  };
  for (const auto& c : cases) {
    RegistryAccess registry(api);
    OpenInside(registry, "X");
    ASSERT_TRUE(registry.OpenKey(c.path, false)) << "path " << c.path;
    EXPECT_EQ(c.expected, registry.ReadString("where")) << "path " << c.path;
  }
}

TEST_F(RegistryCases, NamesAreMatchedWithoutRegardToCase) {
  bed->SetString("MixedCase", "Value", "found");
  bed->SetString("Caf\xe9", "R\xe9sum\xe9", "accented");  // the ANSI code page's letters fold too
  struct {
    const char* key;
    const char* value;
    const char* expected;
  } cases[] = {{"MIXEDcase", "VALUE", "found"}, {"CAF\xc9", "R\xc9SUM\xc9", "accented"}};
  for (const auto& c : cases) {
    RegistryAccess registry(api);
    OpenInside(registry, "");
    ASSERT_TRUE(registry.OpenKey(c.key, false)) << c.key;
    EXPECT_EQ(c.expected, registry.ReadString(c.value)) << c.key;
  }
}

TEST_F(RegistryCases, FailedOpenKeepsThePreviousKeyCurrent) {
  bed->SetString("Microsoft", "where", "Microsoft");
  RegistryAccess registry(api);
  OpenInside(registry, "Microsoft");
  HKey before = registry.CurrentKey();
  EXPECT_FALSE(registry.OpenKey("Windows", false));
  EXPECT_EQ(before, registry.CurrentKey());
  EXPECT_EQ("Microsoft", registry.ReadString("where")) << "a read after the failed open looks at the last key";
  EXPECT_FALSE(bed->KeyExists("Microsoft\\Windows")) << "an open without create made the key";
}

TEST_F(RegistryCases, OpenKeyBelowAHeldKeyFailsOnceThatKeyIsDeletedEvenWhenMadeAgain) {
  bed->SetString("Held\\Entry", "where", "first");
  RegistryAccess holder(api), reader(api), other(api);
  EXPECT_FALSE(reader.OpenKeyBelow(holder, "Software")) << "nothing held, and a key below the root opened";
  OpenInside(holder, "Held");
  ASSERT_TRUE(reader.OpenKeyBelow(holder, "ENTRY"));
  EXPECT_FALSE(reader.OpenKeyBelow(holder, "Missing"));
  EXPECT_EQ("first", reader.ReadString("where")) << "a failed open let go of the key open before";
  ASSERT_TRUE(other.DeleteKey(bed->PathOf("Held")));
  HKey opened = 0;
  EXPECT_EQ(1018, api.RegOpenKeyExA(holder.CurrentKey(), "Entry", reg::kKeyAllAccess, &opened)) << "ERROR_KEY_DELETED";
  bed->SetString("Held\\Entry", "where", "second");
  EXPECT_FALSE(reader.OpenKeyBelow(holder, "Entry")) << "below the deleted key, made again under its name";
}

TEST_F(RegistryCases, OpenPiecewiseStopsOrGoesOnAfterAMissingPiece) {
  bed->SetString("A", "where", "A");
  bed->SetString("A\\C", "where", "A\\C");
  struct {
    const char* path;
    bool stopAtFailure;
    bool result;
    const char* where;
  } cases[] = {
      {"A\\C", false, true, "A\\C"},
      {"A\\Missing\\C", true, false, "A"},     // the walk ends where it failed
      {"A\\Missing\\C", false, false, "A\\C"}, // the next piece is tried below the last key that opened
      {"A\\Missing", false, false, "A"},
      {"A\\\\C\\", true, true, "A\\C"},        // doubled and trailing backslashes name nothing
  };
  for (const auto& c : cases) {
    RegistryAccess registry(api);
    ASSERT_TRUE(OpenPiecewise(registry, bed->TestKey(), true));
    EXPECT_EQ(c.result, OpenPiecewise(registry, c.path, c.stopAtFailure))
        << c.path << " stopAtFailure=" << c.stopAtFailure;
    EXPECT_EQ(c.where, registry.ReadString("where")) << c.path << " stopAtFailure=" << c.stopAtFailure;
  }
}

TEST_F(RegistryCases, OpenWithCreateMakesTheMissingKeys) {
  RegistryAccess registry(api);
  OpenInside(registry, "");
  ASSERT_TRUE(registry.OpenKey("New\\Deeper", true));
  registry.WriteString("v", "x");
  EXPECT_TRUE(bed->KeyExists("New\\Deeper"));
  EXPECT_EQ("type 1 \"x\\x00\"", Stored("New\\Deeper", "v"));
}

TEST_F(RegistryCases, SettingTheSameRootKeepsTheKeyAndAnotherRootClosesIt) {
  bed->SetString("", "where", "test key");
  RegistryAccess registry(api);
  EXPECT_EQ(reg::kHkeyCurrentUser, registry.RootKey());
  OpenInside(registry, "");
  HKey open = registry.CurrentKey();

  registry.SetRootKey(reg::kHkeyCurrentUser);
  EXPECT_EQ(open, registry.CurrentKey());
  EXPECT_EQ("test key", registry.ReadString("where"));

  registry.SetRootKey(reg::kHkeyLocalMachine);
  EXPECT_EQ(reg::kHkeyLocalMachine, registry.RootKey());
  EXPECT_EQ(0u, registry.CurrentKey());
  EXPECT_FALSE(StillOpen(open)) << "the key open before the root changed was not closed";
  EXPECT_EQ("", registry.ReadString("where"));
}

TEST_F(RegistryCases, ClosingTwiceIsHarmless) {
  bed->SetString("", "where", "test key");
  RegistryAccess registry(api);
  OpenInside(registry, "");
  registry.CloseKey();
  registry.CloseKey();
  EXPECT_EQ(0u, registry.CurrentKey());
  EXPECT_FALSE(registry.ValueExists("where"));
  EXPECT_EQ("", registry.ReadString("where"));
}

// ---- reading ----

TEST_F(RegistryCases, ReadStringByStoredTypeAndBytes) {
  struct {
    const char* name;
    uint32_t type;
    Bytes data;
    const char* expected;
  } cases[] = {
      {"Plain", reg::kRegSz, BytesOf(std::string("C:\\Program Files\0", 17)), "C:\\Program Files"},
      {"EmptyText", reg::kRegSz, {0}, ""},
      {"NoBytes", reg::kRegSz, {}, ""},
      {"NoZero", reg::kRegSz, BytesOf("abc"), "abc"},
      {"EmbeddedZero", reg::kRegSz, BytesOf(std::string("ab\0cd\0", 6)), "ab"},
      {"Expand", reg::kRegExpandSz, BytesOf(std::string("%SystemRoot%\\Fonts\0", 19)), "%SystemRoot%\\Fonts"},
      {"HighBytes", reg::kRegSz, {'C', 'a', 'f', 0xe9, 0}, "Caf\xe9"},
      {"EmptyBinary", reg::kRegBinary, {}, ""},  // nothing to read, so no type to object to
      {"", reg::kRegSz, BytesOf(std::string("default\0", 8)), "default"},
  };
  for (const auto& c : cases) bed->SetValue("", c.name, c.type, c.data);
  RegistryAccess registry(api);
  OpenInside(registry, "");
  for (const auto& c : cases) {
    try {
      EXPECT_EQ(c.expected, registry.ReadString(c.name)) << "value '" << c.name << "' " << Printable(c.data);
    } catch (const AppError& e) {
      ADD_FAILURE() << "value '" << c.name << "': expected \"" << c.expected << "\", got error " << e.what();
    }
  }
  EXPECT_EQ("", registry.ReadString("Missing")) << "a missing value reads as empty";
  EXPECT_EQ("C:\\Program Files", registry.ReadString("PLAIN")) << "value names ignore case";
}

TEST_F(RegistryCases, ReadStringRaisesForTypesThatAreNotText) {
  struct {
    const char* name;
    uint32_t type;
    Bytes data;
  } cases[] = {
      {"Dw", reg::kRegDword, {1, 0, 0, 0}},
      {"Bin", reg::kRegBinary, {'a', 'b', 0}},
      {"Multi", reg::kRegMultiSz, {'a', 0, 'b', 0, 0}},
      {"ZeroDword", reg::kRegDword, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) bed->SetValue("", c.name, c.type, c.data);
  RegistryAccess registry(api);
  OpenInside(registry, "");
  for (const auto& c : cases) {
    const std::string expected = std::string("Invalid data type for '") + c.name + "'";
    try {
      std::string got = registry.ReadString(c.name);
      ADD_FAILURE() << "value '" << c.name << "' of type " << c.type << ": expected error " << expected
                    << ", got text \"" << got << "\"";
    } catch (const AppError& e) {
      EXPECT_EQ(expected, e.what());
    }
  }
}

TEST_F(RegistryCases, ValueExistsForAnyTypeIncludingEmpty) {
  bed->SetValue("", "EmptyBinary", reg::kRegBinary, {});
  bed->SetDword("", "Dw", 7);
  bed->SetString("", "", "default");
  RegistryAccess registry(api);
  EXPECT_FALSE(registry.ValueExists("Dw")) << "no key open";
  OpenInside(registry, "");
  EXPECT_TRUE(registry.ValueExists("EmptyBinary"));
  EXPECT_TRUE(registry.ValueExists("dw"));
  EXPECT_TRUE(registry.ValueExists(""));
  EXPECT_FALSE(registry.ValueExists("Missing"));
}

TEST_F(RegistryCases, GetDataTypeReportsTheStoredTypeOrNone) {
  bed->SetString("", "Sz", "a");
  bed->SetString("", "Expand", "%TEMP%", reg::kRegExpandSz);
  bed->SetDword("", "Dw", 1);
  bed->SetValue("", "Bin", reg::kRegBinary, {});
  bed->SetValue("", "Multi", reg::kRegMultiSz, {0, 0});
  RegistryAccess registry(api);
  EXPECT_EQ(reg::kRegNone, registry.GetDataType("Sz")) << "no key open";
  OpenInside(registry, "");
  struct {
    const char* name;
    uint32_t type;
  } cases[] = {{"Sz", reg::kRegSz},          {"Expand", reg::kRegExpandSz}, {"Dw", reg::kRegDword},
               {"Bin", reg::kRegBinary},     {"Multi", reg::kRegMultiSz},   {"Missing", reg::kRegNone}};
  for (const auto& c : cases) EXPECT_EQ(c.type, registry.GetDataType(c.name)) << "value '" << c.name << "'";
}

// ---- writing ----

TEST_F(RegistryCases, WritesStoreTheTextAndOneZeroByte) {
  bed->SetDword("", "WasDword", 0x12345678);
  bed->SetString("", "WasExpand", "%PATH%", reg::kRegExpandSz);
  RegistryAccess registry(api);
  OpenInside(registry, "");
  registry.WriteString("Text", "C:\\WINDOWS");
  registry.WriteString("Empty", "");
  registry.WriteString("WasDword", "12");
  registry.WriteString("WasExpand", "%PATH%");
  registry.WriteString("High", "Caf\xe9");
  registry.WriteExpandString("Expand", "%SystemRoot%\\Media");
  registry.WriteString("", "default");
  struct {
    const char* name;
    const char* stored;
  } cases[] = {
      {"Text", "type 1 \"C:\\x5cWINDOWS\\x00\""},
      {"Empty", "type 1 \"\\x00\""},
      {"WasDword", "type 1 \"12\\x00\""},
      {"WasExpand", "type 1 \"%PATH%\\x00\""},  // a plain write makes it plain text again
      {"High", "type 1 \"Caf\\xe9\\x00\""},
      {"Expand", "type 2 \"%SystemRoot%\\x5cMedia\\x00\""},
      {"", "type 1 \"default\\x00\""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.stored, Stored("", c.name)) << "value '" << c.name << "'";
  EXPECT_EQ("%SystemRoot%\\Media", registry.ReadString("Expand")) << "read back unexpanded";
}

TEST_F(RegistryCases, LongTextSurvivesTheRoundTrip) {
  std::string text;
  for (int i = 0; text.size() < 5000; ++i) text += "segment" + std::to_string(i) + "\\";
  RegistryAccess registry(api);
  OpenInside(registry, "");
  registry.WriteString("Long", text);
  EXPECT_EQ(text, registry.ReadString("Long"));
}

TEST_F(RegistryCases, WriteWithNoKeyOpenRaises) {
  RegistryAccess registry(api);
  for (bool expand : {false, true}) {
    try {
      if (expand)
        registry.WriteExpandString("X", "text");
      else
        registry.WriteString("X", "text");
      ADD_FAILURE() << "expected error Failed to set data for 'X', got none (expand=" << expand << ")";
    } catch (const AppError& e) {
      EXPECT_EQ(std::string("Failed to set data for 'X'"), e.what());
    }
  }
}

// ---- listing ----

TEST_F(RegistryCases, ListingsEmptyTheListThenNameEveryEntry) {
  // Made in alphabetical order, which is also the order the registry enumerates them in.
  for (const char* key : {"Alpha", "Beta", "Gamma"}) bed->CreateKey(std::string("L\\") + key);
  bed->CreateKey("L\\Beta\\Nested");
  for (const char* value : {"One", "Three", "Two"}) bed->SetString("L", value, value);
  bed->CreateKey("Empty");

  const std::vector<std::string> sentinel = {"sentinel"};
  std::vector<std::string> keys = sentinel, values = sentinel;
  RegistryAccess registry(api);
  registry.GetKeyNames(keys);
  registry.GetValueNames(values);
  EXPECT_TRUE(keys.empty()) << "no key open: " << keys.size() << " entries";
  EXPECT_TRUE(values.empty()) << "no key open: " << values.size() << " entries";

  OpenInside(registry, "L");
  keys = values = sentinel;
  registry.GetKeyNames(keys);
  registry.GetValueNames(values);
  EXPECT_EQ((std::vector<std::string>{"Alpha", "Beta", "Gamma"}), keys);
  EXPECT_EQ((std::vector<std::string>{"One", "Three", "Two"}), values);

  ASSERT_TRUE(registry.OpenKey("\\" + bed->PathOf("Empty"), false));
  keys = values = sentinel;
  registry.GetKeyNames(keys);
  registry.GetValueNames(values);
  EXPECT_TRUE(keys.empty()) << keys.size() << " entries";
  EXPECT_TRUE(values.empty()) << values.size() << " entries";
}

// ---- deleting ----

TEST_F(RegistryCases, DeleteKeyRemovesTheWholeTreeAndKeepsTheCurrentKey) {
  bed->SetString("", "where", "test key");
  bed->SetString("Doomed\\A\\B\\C", "deep", "x");
  bed->SetDword("Doomed\\A", "d", 1);
  bed->CreateKey("Doomed\\D");
  bed->CreateKey("Kept");
  RegistryAccess registry(api);
  OpenInside(registry, "");
  HKey before = registry.CurrentKey();
  EXPECT_TRUE(registry.DeleteKey("Doomed"));
  EXPECT_FALSE(bed->KeyExists("Doomed"));
  EXPECT_TRUE(bed->KeyExists("Kept"));
  EXPECT_EQ(before, registry.CurrentKey());
  EXPECT_EQ("test key", registry.ReadString("where"));
  EXPECT_FALSE(registry.DeleteKey("Doomed")) << "deleting a missing key";
}

TEST_F(RegistryCases, DeleteKeyTakesPathsLikeOpenKey) {
  bed->CreateKey("A\\Sub");
  bed->CreateKey("B\\Sub");
  bed->CreateKey("C\\Sub");
  {
    RegistryAccess registry(api);
    OpenInside(registry, "A");
    EXPECT_TRUE(registry.DeleteKey("Sub")) << "relative to the open key";
    EXPECT_TRUE(registry.DeleteKey("\\" + bed->PathOf("B"))) << "absolute while another key is open";
  }
  {
    RegistryAccess registry(api);
    EXPECT_TRUE(registry.DeleteKey(bed->PathOf("C\\Sub"))) << "relative to the root with no key open";
  }
  EXPECT_TRUE(bed->KeyExists("A"));
  EXPECT_FALSE(bed->KeyExists("A\\Sub"));
  EXPECT_FALSE(bed->KeyExists("B"));
  EXPECT_TRUE(bed->KeyExists("C"));
  EXPECT_FALSE(bed->KeyExists("C\\Sub"));
}

TEST_F(RegistryCases, DeleteKeyWithAnEmptyPathDeletesNothing) {
  bed->CreateKey("Child");
  RegistryAccess registry(api);
  OpenInside(registry, "");
  EXPECT_FALSE(registry.DeleteKey(""));
  EXPECT_FALSE(registry.DeleteKey("\\"));
  EXPECT_TRUE(bed->KeyExists("Child"));
}

TEST_F(RegistryCases, DeleteValueReportsWhetherItWasDeleted) {
  bed->SetString("", "Gone", "x");
  bed->SetString("", "Stays", "y");
  RegistryAccess registry(api);
  EXPECT_FALSE(registry.DeleteValue("Gone")) << "no key open";
  OpenInside(registry, "");
  EXPECT_TRUE(registry.DeleteValue("GONE"));
  EXPECT_FALSE(registry.DeleteValue("Gone")) << "already deleted";
  EXPECT_EQ("missing", Stored("", "Gone"));
  EXPECT_EQ("type 1 \"y\\x00\"", Stored("", "Stays"));
}

// ---- the raw calls the fake must answer as Windows does ----

TEST_F(RegistryCases, QueryValueReportsSizesAndLeavesTheRestOfTheBuffer) {
  bed->SetString("", "Text", "abcdef");
  bed->SetValue("", "NoZero", reg::kRegSz, BytesOf("abc"));
  HKey key = 0;
  ASSERT_EQ(reg::kErrorSuccess, api.RegOpenKeyExA(bed->Root(), bed->TestKey(), reg::kKeyAllAccess, &key));

  uint32_t type = 0xdeadbeef, size = 0xdeadbeef;
  EXPECT_EQ(reg::kErrorSuccess, api.RegQueryValueExA(key, "Text", &type, nullptr, &size));
  EXPECT_EQ(reg::kRegSz, type);
  EXPECT_EQ(7u, size);

  uint8_t buffer[16];
  std::memset(buffer, 0xbd, sizeof buffer);
  type = 0xdeadbeef;
  size = 3;
  EXPECT_EQ(reg::kErrorMoreData, api.RegQueryValueExA(key, "Text", &type, buffer, &size));
  EXPECT_EQ(7u, size) << "a short buffer is told the size needed";

  std::memset(buffer, 0xbd, sizeof buffer);
  size = sizeof buffer;
  EXPECT_EQ(reg::kErrorSuccess, api.RegQueryValueExA(key, "Text", &type, buffer, &size));
  EXPECT_EQ(7u, size);
  EXPECT_EQ(0, std::memcmp(buffer, "abcdef", 7));
  EXPECT_EQ(0xbd, buffer[7]) << "a byte past the data was written";

  // A string stored without its zero gets one when there is room, but its size stays.
  std::memset(buffer, 0xbd, sizeof buffer);
  size = sizeof buffer;
  EXPECT_EQ(reg::kErrorSuccess, api.RegQueryValueExA(key, "NoZero", &type, buffer, &size));
  EXPECT_EQ(3u, size);
  EXPECT_EQ(0, buffer[3]);
  EXPECT_EQ(0xbd, buffer[4]);

  size = type = 0xdeadbeef;
  EXPECT_EQ(reg::kErrorFileNotFound, api.RegQueryValueExA(key, "Missing", &type, nullptr, &size));
  EXPECT_EQ(0xdeadbeefu, size) << "outputs written on failure";
  EXPECT_EQ(reg::kErrorSuccess, api.RegCloseKey(key));
}

TEST_F(RegistryCases, RawKeyCallsMatchWindows) {
  bed->CreateKey("Parent\\Child");
  bed->SetString("Parent", "LongerName", "x");
  HKey parent = 0;
  ASSERT_EQ(reg::kErrorSuccess, api.RegOpenKeyExA(bed->Root(), bed->PathOf("Parent"), reg::kKeyAllAccess, &parent));

  uint32_t subKeys = 0xdeadbeef, maxSub = 0xdeadbeef, values = 0xdeadbeef, maxValue = 0xdeadbeef;
  EXPECT_EQ(reg::kErrorSuccess, api.RegQueryInfoKeyA(parent, &subKeys, &maxSub, &values, &maxValue));
  EXPECT_EQ(1u, subKeys);
  EXPECT_EQ(5u, maxSub);
  EXPECT_EQ(1u, values);
  EXPECT_EQ(10u, maxValue);

  std::string name = "sentinel";
  EXPECT_EQ(reg::kErrorSuccess, api.RegEnumKeyExA(parent, 0, &name));
  EXPECT_EQ("Child", name);
  name = "sentinel";
  EXPECT_EQ(reg::kErrorNoMoreItems, api.RegEnumKeyExA(parent, 1, &name));
  EXPECT_EQ(reg::kErrorNoMoreItems, api.RegEnumValueA(parent, 1, &name));
  EXPECT_EQ("sentinel", name) << "outputs written on failure";

  // An empty subkey gives a second handle to the same key, closed on its own.
  HKey again = 0;
  ASSERT_EQ(reg::kErrorSuccess, api.RegOpenKeyExA(parent, "", reg::kKeyAllAccess, &again));
  EXPECT_NE(parent, again);
  EXPECT_EQ(reg::kErrorSuccess, api.RegQueryValueExA(again, "LongerName", nullptr, nullptr, nullptr));
  EXPECT_EQ(reg::kErrorSuccess, api.RegCloseKey(again));

  HKey missing = 0xdeadbeef;
  EXPECT_EQ(reg::kErrorFileNotFound, api.RegOpenKeyExA(parent, "Missing", reg::kKeyAllAccess, &missing));
  EXPECT_EQ(0xdeadbeefu, missing) << "outputs written on failure";

  EXPECT_NE(reg::kErrorSuccess, api.RegDeleteKeyA(bed->Root(), bed->PathOf("Parent")))
      << "a key with subkeys was deleted";
  EXPECT_EQ(reg::kErrorFileNotFound, api.RegDeleteKeyA(parent, "Missing"));
  EXPECT_EQ(reg::kErrorSuccess, api.RegDeleteKeyA(parent, "CHILD"));
  EXPECT_EQ(reg::kErrorSuccess, api.RegCloseKey(parent));
  EXPECT_FALSE(bed->KeyExists("Parent\\Child"));
  EXPECT_NE(reg::kErrorSuccess, api.RegCloseKey(parent)) << "a closed handle closed again";
}

}  // namespace
