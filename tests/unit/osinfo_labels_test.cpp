// "OS Info": the product and component labels filled at creation, what a value of the wrong type
// does to the rest of the creation, and the colours the pictures give their label groups.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/error_report.h"
#include "fakes/fake_controls.h"
#include "platform/registry_access.h"

namespace {

const HKey kHklm = reg::kHkeyLocalMachine;
const char kCv[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kIe[] = "SOFTWARE\\Microsoft\\Internet Explorer";
const char kDx[] = "SOFTWARE\\Microsoft\\DirectX";
const char kNt[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

class OsInfoLabels : public ::testing::Test {
 protected:
  ~OsInfoLabels() override { EXPECT_EQ(0, f.registry.OpenHandleCount()) << "registry handles left open"; }

  void LoadProduct() {
    RegistryAccess registry(f.registry);
    registry.SetRootKey(kHklm);
    f->LoadProductLabels(registry);
    EXPECT_EQ(0u, registry.CurrentKey()) << "a key was left open";
  }
  void LoadComponents() {
    RegistryAccess registry(f.registry);
    registry.SetRootKey(kHklm);
    f->LoadComponentLabels(registry);
    EXPECT_EQ(0u, registry.CurrentKey()) << "a key was left open";
  }

  FakeForm f;
};

// A value to set up: absent when `present` is false.
struct Value {
  bool present;
  std::string text;
};
const Value kAbsent{false, ""};
Value Text(const std::string& t) { return {true, t}; }

TEST_F(OsInfoLabels, ProductAndPlusLabelsForPresentAbsentAndEmptyValues) {
  struct {
    const char* what;
    Value productId, productKey, plusId, plusVersion;
    const char *idLabel, *keyLabel, *plusVersionLabel, *plusIdLabel;
  } cases[] = {
      {"everything present", Text("12345-OEM-0000001-54321"), Text("ABCDE-FGHIJ"), Text("PLUS-0042"),
       Text("4.40.500"), "Windows ID : 12345-OEM-0000001-54321", "Product key : ABCDE-FGHIJ",
       "Ms Plus version : 4.40.500", "Plus product ID : PLUS-0042"},
      {"no product key", Text("123"), kAbsent, kAbsent, kAbsent, "Windows ID : 123", "Product key : ",
       "Ms Plus version : Not installed", "Plus product ID : Not installed"},
      {"empty product values", Text(""), Text(""), kAbsent, kAbsent, "Windows ID : ", "Product key : ",
       "Ms Plus version : Not installed", "Plus product ID : Not installed"},
      // The Plus! version alone does not make the pack installed.
      {"Plus! version without its ID", kAbsent, kAbsent, kAbsent, Text("4.40.500"), "Windows ID : ",
       "Product key : ", "Ms Plus version : Not installed", "Plus product ID : Not installed"},
      {"Plus! ID without a version", kAbsent, kAbsent, Text("PLUS-7"), kAbsent, "Windows ID : ", "Product key : ",
       "Ms Plus version : ", "Plus product ID : PLUS-7"},
      // An empty ID still exists, so the pack counts as installed.
      {"empty Plus! ID", kAbsent, kAbsent, Text(""), Text("1.0"), "Windows ID : ", "Product key : ",
       "Ms Plus version : 1.0", "Plus product ID : "},
      {"bytes above 127 kept as they are", Text("\xe9\xe8-\xff"), Text("K\xa0Y"), kAbsent, kAbsent,
       "Windows ID : \xe9\xe8-\xff", "Product key : K\xa0Y", "Ms Plus version : Not installed",
       "Plus product ID : Not installed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm g;
    auto set = [&](const char* name, const Value& v) {
      g.registry.CreateKey(kHklm, kCv);
      if (v.present) g.registry.SetString(kHklm, kCv, name, v.text);
    };
    set("ProductID", c.productId);
    set("ProductKey", c.productKey);
    set("Plus! ProductId", c.plusId);
    set("Plus! VersionNumber", c.plusVersion);
    {
      RegistryAccess registry(g.registry);
      registry.SetRootKey(kHklm);
      g->LoadProductLabels(registry);
    }
    EXPECT_EQ(c.idLabel, g.lblProductID.text);
    EXPECT_EQ(c.keyLabel, g.lblProductKey.text);
    EXPECT_EQ(c.plusVersionLabel, g.lblPlusVersion.text);
    EXPECT_EQ(c.plusIdLabel, g.lblPlusProductID.text);
    EXPECT_EQ(0, g.registry.OpenHandleCount());
  }
}

TEST_F(OsInfoLabels, AMissingKeyShowsNothingFromTheKeysAboveIt) {
  // Values of the same names one level up belong to something else.
  f.registry.SetString(kHklm, "SOFTWARE\\Microsoft\\Windows", "ProductID", "not the product ID");
  f.registry.SetString(kHklm, "SOFTWARE\\Microsoft\\Windows", "Plus! ProductId", "not Plus!");
  f.registry.SetString(kHklm, "SOFTWARE\\Microsoft", "Version", "not a version");
  LoadProduct();
  LoadComponents();
  EXPECT_EQ("Windows ID : ", f.lblProductID.text);
  EXPECT_EQ("Ms Plus version : Not installed", f.lblPlusVersion.text);
  EXPECT_EQ("Plus product ID : Not installed", f.lblPlusProductID.text);
  EXPECT_EQ("Internet explorer version : ", f.lblIE.text);
  EXPECT_EQ("DirectX installed : not found", f.lblDirectX.text);
  EXPECT_EQ("DirectX version : ", f.lblDirectXVersion.text);
}

TEST_F(OsInfoLabels, RefusedKeysReadAsAbsent) {
  // Without the right to change HKEY_LOCAL_MACHINE\SOFTWARE nothing below it opens.
  f.registry.SetString(kHklm, kCv, "ProductID", "123");
  f.registry.SetString(kHklm, kDx, "Version", "4.09.00.0904");
  f.registry.RefuseOpen(kHklm, "SOFTWARE");
  LoadProduct();
  LoadComponents();
  EXPECT_EQ("Windows ID : ", f.lblProductID.text);
  EXPECT_EQ("Plus product ID : Not installed", f.lblPlusProductID.text);
  EXPECT_EQ("DirectX installed : not found", f.lblDirectX.text);
}

TEST_F(OsInfoLabels, InternetExplorerAndDirectXLabels) {
  struct {
    const char* what;
    bool ieKey;
    Value ieVersion;
    bool dxKey;
    Value dxVersion;
    const char *ieLabel, *dxLabel, *dxVersionLabel;
  } cases[] = {
      {"both present", true, Text("6.0.2800.1106"), true, Text("4.09.00.0904"),
       "Internet explorer version : 6.0.2800.1106", "DirectX installed : Yes", "DirectX version : 4.09.00.0904"},
      {"keys without versions", true, kAbsent, true, kAbsent, "Internet explorer version : ",
       "DirectX installed : not found", "DirectX version : "},
      {"no keys at all", false, kAbsent, false, kAbsent, "Internet explorer version : ",
       "DirectX installed : not found", "DirectX version : "},
      // An empty "Version" exists: DirectX is there, its version unknown.
      {"empty versions", true, Text(""), true, Text(""), "Internet explorer version : ", "DirectX installed : Yes",
       "DirectX version : "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm g;
    g.registry.CreateKey(kHklm, "SOFTWARE\\Microsoft");
    if (c.ieKey) g.registry.CreateKey(kHklm, kIe);
    if (c.ieVersion.present) g.registry.SetString(kHklm, kIe, "Version", c.ieVersion.text);
    if (c.dxKey) g.registry.CreateKey(kHklm, kDx);
    if (c.dxVersion.present) g.registry.SetString(kHklm, kDx, "Version", c.dxVersion.text);
    {
      RegistryAccess registry(g.registry);
      registry.SetRootKey(kHklm);
      g->LoadComponentLabels(registry);
    }
    EXPECT_EQ(c.ieLabel, g.lblIE.text);
    EXPECT_EQ(c.dxLabel, g.lblDirectX.text);
    EXPECT_EQ(c.dxVersionLabel, g.lblDirectXVersion.text);
    EXPECT_EQ(0, g.registry.OpenHandleCount());
  }
}

// A value that is not text is reported and ends the creation where it was read: what was
// filled stays, everything after it stays as laid out.
class OsInfoCreation : public ::testing::Test {
 protected:
  OsInfoCreation() {
    f.system.version = VersionRecord(2, 5, 1, 2600, "Service Pack 3");  // XP
    f.registry.SetString(kHklm, kCv, "ProductID", "55274-640");
    f.registry.SetString(kHklm, kCv, "ProductKey", "ABCDE");
    f.registry.SetString(kHklm, kCv, "Plus! ProductId", "PLUS-1");
    f.registry.SetString(kHklm, kCv, "Plus! VersionNumber", "4.40");
    f.registry.SetString(kHklm, kNt, "RegisteredOwner", "Anna");
    f.registry.SetString(kHklm, kIe, "Version", "6.0");
    f.registry.SetString(kHklm, kDx, "Version", "4.09");
    f.registry.CreateKey(kHklm, kCv + std::string("\\Uninstall"));
  }
  ~OsInfoCreation() override { EXPECT_EQ(0, f.registry.OpenHandleCount()) << "registry handles left open"; }

  void Create() { created = RunHandler(f.system, [&] { f->FormCreate(); }); }
  void ExpectReported(const std::string& text) {
    EXPECT_FALSE(created);
    ASSERT_EQ(1u, f.boxes().size());
    EXPECT_EQ(text, f.boxes()[0].text);
    EXPECT_EQ("Keelbrook 2003", f.boxes()[0].caption);
    EXPECT_EQ(mb::kIconError | mb::kOk, f.boxes()[0].type);
  }

  FakeForm f;
  bool created = true;
};

TEST_F(OsInfoCreation, NumberAsProductKeyStopsBeforeTheRest) {
  f.registry.SetDword(kHklm, kCv, "ProductKey", 12345);
  Create();
  ExpectReported("Invalid data type for 'ProductKey'");
  EXPECT_EQ("Windows ID : 55274-640", f.lblProductID.text) << "read before the bad value";
  EXPECT_EQ("Product key : ", f.lblProductKey.text);
  EXPECT_EQ("Ms Plus version : ", f.lblPlusVersion.text);
  EXPECT_EQ("Plus product ID : ", f.lblPlusProductID.text);
  EXPECT_EQ("", f.txtUserName.text) << "Sys Info is loaded after the product labels";
  EXPECT_EQ("Internet explorer version : ", f.lblIE.text);
  EXPECT_EQ("DirectX installed : ", f.lblDirectX.text);
  EXPECT_EQ(0, f->SettingsChecksum) << "no snapshot was taken";
  EXPECT_EQ(-1, f.window.activePage) << "the creation ended before choosing the page";
}

TEST_F(OsInfoCreation, NumberAsDirectXVersionStopsAfterSysInfo) {
  f.registry.SetDword(kHklm, kDx, "Version", 9);
  f.registry.SetString(kHklm, kCv + std::string("\\Uninstall\\App"), "DisplayName", "App");
  Create();
  ExpectReported("Invalid data type for 'Version'");
  EXPECT_EQ("Anna", f.txtUserName.text);
  EXPECT_EQ("Internet explorer version : 6.0", f.lblIE.text);
  EXPECT_EQ("DirectX version : ", f.lblDirectXVersion.text);
  EXPECT_TRUE(f.lstUnInstList.lines.empty()) << "the program list comes after the labels";
  EXPECT_EQ(0, f->SettingsChecksum);
}

// The colour each label of the page has after an event, starting from a given colour.
class OsInfoHighlight : public ::testing::Test {
 protected:
  std::vector<FakeLabel*> All() {
    return {&f.lblOS,       &f.lblBuild, &f.lblPlusVersion, &f.lblPlusProductID,  &f.lblProductID,
            &f.lblProductKey, &f.lblIE,  &f.lblDirectX,     &f.lblDirectXVersion};
  }
  void Paint(uint32_t colour) {
    for (FakeLabel* l : All()) l->color = colour;
  }
  FakeForm f;
};

TEST_F(OsInfoHighlight, EachPictureAndLabelEventColoursExactlyItsGroup) {
  using Handler = void (TfrmMain::*)();
  struct {
    const char* event;
    Handler handler;
    bool press;
    std::vector<FakeLabel*> group;
  } cases[] = {
      {"Image1 down", &TfrmMain::Image1MouseDown, true, {&f.lblOS, &f.lblBuild, &f.lblProductID, &f.lblProductKey}},
      {"Image1 up", &TfrmMain::Image1MouseUp, false, {&f.lblOS, &f.lblBuild, &f.lblProductID, &f.lblProductKey}},
      {"Image2 down", &TfrmMain::Image2MouseDown, true, {&f.lblPlusVersion, &f.lblPlusProductID}},
      {"Image2 up", &TfrmMain::Image2MouseUp, false, {&f.lblPlusVersion, &f.lblPlusProductID}},
      {"Image3 down", &TfrmMain::Image3MouseDown, true, {&f.lblIE}},
      {"Image3 up", &TfrmMain::Image3MouseUp, false, {&f.lblIE}},
      {"lblIE up", &TfrmMain::lblIEMouseUp, false, {&f.lblIE}},
      {"Image4 down", &TfrmMain::Image4MouseDown, true, {&f.lblDirectX, &f.lblDirectXVersion}},
      {"Image4 up", &TfrmMain::Image4MouseUp, false, {&f.lblDirectX, &f.lblDirectXVersion}},
      {"lblDirectX up", &TfrmMain::lblDirectXMouseUp, false, {&f.lblDirectX, &f.lblDirectXVersion}},
  };
  const uint32_t kOther = 0x00123456;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.event);
    // A press starts from the normal colour, a release from blue; some other colour shows
    // which labels the event left alone.
    Paint(kOther);
    for (FakeLabel* l : c.group) l->color = c.press ? colour::clWindowText : colour::clBlue;
    (f.form.get()->*c.handler)();
    for (FakeLabel* l : All()) {
      bool inGroup = std::find(c.group.begin(), c.group.end(), l) != c.group.end();
      uint32_t expected = !inGroup ? kOther : c.press ? colour::clBlue : colour::clWindowText;
      EXPECT_EQ(expected, l->color) << "label with caption " << l->text;
    }
  }
}

}  // namespace
