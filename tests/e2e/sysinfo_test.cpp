// "Sys Info" on the real program: the fields filled from registry fixtures under Windows 98 and
// XP, "&Set" storing into Wine's registry (the computer name included), the "Save ?" question
// on closing, and a number where a text belongs.
#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "e2e/driver.h"
#include "e2e/window_search.h"

namespace {

using e2e::KeelbrookDriver;

const char kCv[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kSetup[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
const char kNt[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
// Where Wine keeps the name that SetComputerNameA asks for until the next start.
const char kPendingName[] = "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
const char kSaveText[] =
    "Certain changes were made, quitting now\n"
    "will not update those changes.\n"
    "Do you want to save the changes made ?";

// The nine fields, in the order of the page.
const int kFields[] = {IDC_SYSINFO_COMPUTERNAME, IDC_SYSINFO_USERNAME,    IDC_SYSINFO_COMPANY,
                       IDC_SYSINFO_WININSTPATH,  IDC_SYSINFO_PROGRAMFILES, IDC_SYSINFO_WALLPAPER,
                       IDC_SYSINFO_DEVICEPATH,   IDC_SYSINFO_COMMONFILES, IDC_SYSINFO_BOOTFROM};

std::string ThisComputerName() {
  char name[260] = {};
  DWORD size = sizeof name;
  GetComputerNameA(name, &size);
  return name;
}


using window_search::FindById;

// The value as stored: "<missing>", or the text with its type.
std::string Stored(const char* key, const char* name) {
  auto v = e2e::ReadValue(HKEY_LOCAL_MACHINE, key, name);
  if (!v) return "<missing>";
  const char* type = v->type == REG_SZ ? "SZ" : v->type == REG_EXPAND_SZ ? "EXPAND_SZ" : "other";
  return std::string(type) + ":" + v->Text();
}

class SysInfoPage : public ::testing::Test {
 protected:
  SysInfoPage() {
    // Every value the page reads or writes starts from a known state and is put back afterwards,
    // the pending computer name included, so the prefix keeps its own settings.
    const char* cvNames[] = {"RegisteredOwner", "RegisteredOrganization", "SourcePath",     "ProgramFilesDir",
                             "ProgramFilesPath", "WallPaperDir",          "DevicePath",     "CommonFilesDir",
                             "CommonFilesPath"};
    for (const char* name : cvNames) Own(kCv, name);
    for (const char* name : {"RegisteredOwner", "RegisteredOrganization", "SourcePath"}) Own(kNt, name);
    Own(kSetup, "SourcePath");
    reg.SetString(HKEY_LOCAL_MACHINE, kPendingName, "ComputerName", ThisComputerName());
  }

  // Recorded by the fixture, then removed, so that only what a test sets is there.
  void Own(const char* key, const char* name) {
    reg.SetString(HKEY_LOCAL_MACHINE, key, name, "");
    e2e::DeleteValue(HKEY_LOCAL_MACHINE, key, name);
  }
  void Set(const char* key, const char* name, const std::string& text, DWORD type = REG_SZ) {
    reg.SetString(HKEY_LOCAL_MACHINE, key, name, text, type);
  }

  void Windows98Fixture() {
    Set(kCv, "RegisteredOwner", "Nina Eight");
    Set(kCv, "RegisteredOrganization", "Ninety-Eight Ltd");
    Set(kSetup, "SourcePath", "D:\\WIN98\\");
    Set(kCv, "ProgramFilesDir", "C:\\Program Files");
    Set(kCv, "WallPaperDir", "C:\\WINDOWS\\Web\\Wallpaper");
    Set(kCv, "DevicePath", "C:\\WINDOWS\\INF");
    Set(kCv, "CommonFilesDir", "C:\\Program Files\\Common Files");
    // The NT locations hold other texts, which the 98 page must not show or change.
    Set(kNt, "RegisteredOwner", "not for 98");
    Set(kNt, "SourcePath", "not for 98");
  }

  void WindowsXpFixture() {
    Set(kNt, "RegisteredOwner", "Xavier Pike");
    Set(kNt, "RegisteredOrganization", "XP Works");
    Set(kNt, "SourcePath", "D:\\I386");
    Set(kCv, "ProgramFilesDir", "C:\\Program Files");
    Set(kCv, "ProgramFilesPath", "%ProgramFiles%", REG_EXPAND_SZ);
    Set(kCv, "WallPaperDir", "%SystemRoot%\\Web\\Wallpaper", REG_EXPAND_SZ);
    Set(kCv, "DevicePath", "%SystemRoot%\\inf", REG_EXPAND_SZ);
    Set(kCv, "CommonFilesDir", "C:\\Program Files\\Common Files");
    Set(kCv, "RegisteredOwner", "not for XP");
    Set(kSetup, "SourcePath", "not for XP");
  }

  std::vector<std::string> FieldTexts() {
    std::vector<std::string> texts;
    for (int id : kFields) texts.push_back(kb.Text(id));
    return texts;
  }

  // "&Set" is posted; its last write is the Common Files value.
  void PressSetAndWait(const char* lastName, const std::string& lastStored) {
    kb.Click(IDC_SYSINFO_SET);
    const bool done = e2e::WaitUntil([&] { return Stored(kCv, lastName) == lastStored; }, 5000);
    ASSERT_TRUE(done) << lastName << " is " << Stored(kCv, lastName) << ", expected " << lastStored;
    kb.Sync();
  }

  e2e::RegistryFixture reg;  // before the driver: the program is gone before the registry is put back
  KeelbrookDriver kb;
};

TEST_F(SysInfoPage, Windows98ShowsAndStoresEveryField) {
  Windows98Fixture();
  kb.SetWindowsVersion("win98");
  kb.Start();
  EXPECT_EQ((std::vector<std::string>{ThisComputerName(), "Nina Eight", "Ninety-Eight Ltd", "D:\\WIN98\\",
                                      "C:\\Program Files", "C:\\WINDOWS\\Web\\Wallpaper", "C:\\WINDOWS\\INF",
                                      "C:\\Program Files\\Common Files", e2e::WindowsDir()}),
            FieldTexts());

  kb.TypeInto(IDC_SYSINFO_COMPUTERNAME, "KBTEST98");
  kb.TypeInto(IDC_SYSINFO_USERNAME, "Bea Nouvelle");
  kb.SetText(IDC_SYSINFO_COMPANY, "Caf\xe9 & Co");
  kb.SetText(IDC_SYSINFO_WININSTPATH, "E:\\SETUP");
  kb.SetText(IDC_SYSINFO_PROGRAMFILES, "D:\\Programs");
  kb.SetText(IDC_SYSINFO_WALLPAPER, "D:\\Walls");
  kb.SetText(IDC_SYSINFO_DEVICEPATH, "D:\\Drivers");
  kb.SetText(IDC_SYSINFO_COMMONFILES, "D:\\Programs\\Shared");
  PressSetAndWait("CommonFilesDir", "SZ:D:\\Programs\\Shared");

  EXPECT_EQ("KBTEST98", e2e::ReadString(HKEY_LOCAL_MACHINE, kPendingName, "ComputerName")->Text());
  EXPECT_EQ("SZ:Bea Nouvelle", Stored(kCv, "RegisteredOwner"));
  EXPECT_EQ("SZ:Caf\xe9 & Co", Stored(kCv, "RegisteredOrganization"));
  EXPECT_EQ("SZ:E:\\SETUP", Stored(kSetup, "SourcePath"));
  EXPECT_EQ("SZ:D:\\Programs", Stored(kCv, "ProgramFilesDir")) << "the only Program Files name the key had";
  EXPECT_EQ("<missing>", Stored(kCv, "ProgramFilesPath"));
  EXPECT_EQ("SZ:D:\\Walls\\", Stored(kCv, "WallPaperDir"));
  EXPECT_EQ("SZ:D:\\Drivers", Stored(kCv, "DevicePath"));
  EXPECT_EQ("<missing>", Stored(kCv, "CommonFilesPath"));
  EXPECT_EQ("SZ:not for 98", Stored(kNt, "RegisteredOwner"));
  EXPECT_EQ("SZ:not for 98", Stored(kNt, "SourcePath"));
  EXPECT_EQ("<missing>", Stored(kCv, "SourcePath"));
  // The page keeps what was typed; only the stored folder has its backslash.
  EXPECT_EQ("D:\\Walls", kb.Text(IDC_SYSINFO_WALLPAPER));
  EXPECT_TRUE(kb.NoMessageBoxFor(200)) << "\"&Set\" says nothing when it worked";

  // Everything is saved, so closing ends at once.
  kb.Click(IDC_SYSINFO_EXIT);
  EXPECT_EQ(0u, kb.WaitForExit(5000));
}

TEST_F(SysInfoPage, WindowsXpShowsUnexpandedAndKeepsExpandableValues) {
  WindowsXpFixture();
  kb.SetWindowsVersion("winxp");
  kb.Start();
  EXPECT_EQ((std::vector<std::string>{ThisComputerName(), "Xavier Pike", "XP Works", "D:\\I386", "%ProgramFiles%",
                                      "%SystemRoot%\\Web\\Wallpaper", "%SystemRoot%\\inf",
                                      "C:\\Program Files\\Common Files", e2e::WindowsDir()}),
            FieldTexts());
  kb.Screenshot("sysinfo-fixtures");

  kb.TypeInto(IDC_SYSINFO_USERNAME, "Yvonne Pike");
  kb.SetText(IDC_SYSINFO_COMPANY, "");
  kb.SetText(IDC_SYSINFO_WININSTPATH, "E:\\I386");
  kb.SetText(IDC_SYSINFO_PROGRAMFILES, "%ProgramFiles%\\Apps");
  kb.SetText(IDC_SYSINFO_WALLPAPER, "%SystemRoot%\\Web\\Wallpaper\\");
  kb.SetText(IDC_SYSINFO_DEVICEPATH, "%SystemRoot%\\inf;D:\\Drivers");
  kb.SetText(IDC_SYSINFO_COMMONFILES, "D:\\Common");
  PressSetAndWait("CommonFilesDir", "SZ:D:\\Common");

  EXPECT_EQ("SZ:Yvonne Pike", Stored(kNt, "RegisteredOwner"));
  EXPECT_EQ("SZ:", Stored(kNt, "RegisteredOrganization"));
  EXPECT_EQ("SZ:E:\\I386", Stored(kNt, "SourcePath"));
  // Both Program Files names exist: the text goes back to the one the page showed.
  EXPECT_EQ("EXPAND_SZ:%ProgramFiles%\\Apps", Stored(kCv, "ProgramFilesPath"));
  EXPECT_EQ("SZ:C:\\Program Files", Stored(kCv, "ProgramFilesDir"));
  EXPECT_EQ("EXPAND_SZ:%SystemRoot%\\Web\\Wallpaper\\", Stored(kCv, "WallPaperDir"));
  EXPECT_EQ("EXPAND_SZ:%SystemRoot%\\inf;D:\\Drivers", Stored(kCv, "DevicePath"));
  EXPECT_EQ("SZ:not for XP", Stored(kCv, "RegisteredOwner"));
  EXPECT_EQ("SZ:not for XP", Stored(kSetup, "SourcePath"));
  // The computer name is written back as it was shown.
  EXPECT_EQ(ThisComputerName(), e2e::ReadString(HKEY_LOCAL_MACHINE, kPendingName, "ComputerName")->Text());
}

TEST_F(SysInfoPage, ClosingWithEditsAsksAndYesStores) {
  WindowsXpFixture();
  kb.SetWindowsVersion("winxp");
  kb.Start();
  kb.TypeInto(IDC_SYSINFO_COMPUTERNAME, "KBTESTXP");
  kb.TypeInto(IDC_SYSINFO_USERNAME, "Zoe Saved");
  kb.CloseByTitleBar();
  e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  EXPECT_EQ("Save ?", box.caption);
  EXPECT_EQ(kSaveText, box.text);
  EXPECT_EQ(kb.MainWindow(), box.owner);
  EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.ButtonIds());
  EXPECT_TRUE(box.hasIcon);
  EXPECT_FALSE(IsWindowEnabled(kb.MainWindow())) << "the question is modal to the main window";
  kb.Answer(box, IDYES);
  EXPECT_EQ(0u, kb.WaitForExit(5000));
  EXPECT_EQ("SZ:Zoe Saved", Stored(kNt, "RegisteredOwner"));
  EXPECT_EQ("KBTESTXP", e2e::ReadString(HKEY_LOCAL_MACHINE, kPendingName, "ComputerName")->Text());
  EXPECT_EQ("EXPAND_SZ:%SystemRoot%\\inf", Stored(kCv, "DevicePath"));
}

TEST_F(SysInfoPage, ClosingWithEditsAndNoStoresNothing) {
  WindowsXpFixture();
  kb.SetWindowsVersion("winxp");
  kb.Start();
  // Letters typed once the window is activated again go into the field that had the focus, not
  // to the mnemonics of "&Set" and "&Exit" ("se" would store the settings and close).
  kb.Focus(IDC_SYSINFO_WALLPAPER);
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(SetForegroundWindow(other) && e2e::WaitUntil([&] { return GetForegroundWindow() == other; }, 3000));
  kb.PressKey('S');
  kb.PressKey('E');
  DestroyWindow(other);
  EXPECT_TRUE(e2e::WaitUntil([&] { return kb.Text(IDC_SYSINFO_WALLPAPER).find("se") != std::string::npos; }, 3000));
  // So do they after the window was minimised and restored, with the focus moved meanwhile.
  kb.Focus(IDC_SYSINFO_DEVICEPATH);
  kb.MinimiseAndRestore();
  kb.PressKey('Q');
  EXPECT_TRUE(e2e::WaitUntil([&] { return kb.Text(IDC_SYSINFO_DEVICEPATH).find('q') != std::string::npos; }, 3000));
  kb.TypeInto(IDC_SYSINFO_COMPUTERNAME, "KBTESTNO");
  kb.TypeInto(IDC_SYSINFO_USERNAME, "Not Saved");
  kb.SetText(IDC_SYSINFO_WALLPAPER, "D:\\Walls");
  kb.Click(IDC_SYSINFO_EXIT);
  e2e::MessageBoxInfo box = kb.WaitForMessageBox();
  EXPECT_EQ("Save ?", box.caption);
  EXPECT_EQ(kSaveText, box.text);
  kb.Answer(box, IDNO);
  EXPECT_EQ(0u, kb.WaitForExit(5000));
  EXPECT_EQ("SZ:Xavier Pike", Stored(kNt, "RegisteredOwner"));
  EXPECT_EQ("EXPAND_SZ:%SystemRoot%\\Web\\Wallpaper", Stored(kCv, "WallPaperDir"));
  EXPECT_EQ(ThisComputerName(), e2e::ReadString(HKEY_LOCAL_MACHINE, kPendingName, "ComputerName")->Text());
}

TEST_F(SysInfoPage, ClosingWithoutEditsEndsAtOnce) {
  Windows98Fixture();
  kb.SetWindowsVersion("win98");
  kb.Start();
  // Typing a field and putting its text back is no edit either.
  kb.TypeInto(IDC_SYSINFO_USERNAME, "Someone Else");
  kb.TypeInto(IDC_SYSINFO_USERNAME, "Nina Eight");
  kb.CloseByTitleBar();
  EXPECT_EQ(0u, kb.WaitForExit(5000)) << "no question was expected";
  EXPECT_EQ("SZ:Nina Eight", Stored(kCv, "RegisteredOwner"));
}

// The error box comes up while the window is being created, before it is shown, so the driver
// is started on the box instead of the main window; the main window is found by its class.
TEST_F(SysInfoPage, NumberAsDevicePathIsReportedAndTheWindowStillOpens) {
  WindowsXpFixture();
  reg.SetDword(HKEY_LOCAL_MACHINE, kCv, "DevicePath", 0x1234);
  KeelbrookDriver boxFirst("", "#32770");
  boxFirst.SetWindowsVersion("winxp");
  boxFirst.Start();
  e2e::MessageBoxInfo report = boxFirst.WaitForMessageBox();
  EXPECT_EQ("Keelbrook 2003", report.caption);
  EXPECT_EQ("Invalid data type for 'DevicePath'", report.text);
  EXPECT_EQ((std::vector<int>{IDOK}), report.ButtonIds());
  boxFirst.Answer(report, IDOK);

  HWND main = nullptr;
  const bool shown = e2e::WaitUntil(
      [&] {
        main = FindWindowA("TfrmMain", nullptr);
        DWORD pid = 0;
        if (main) GetWindowThreadProcessId(main, &pid);
        return main && pid == boxFirst.ProcessId() && IsWindowVisible(main);
      },
      10000);
  ASSERT_TRUE(shown) << "the main window did not open after the report";
  // Rows 7 and 8 and everything after them in the creation were not filled; the rows before were.
  EXPECT_EQ("Xavier Pike", KeelbrookDriver::WindowText(FindById(main, IDC_SYSINFO_USERNAME)));
  EXPECT_EQ("%SystemRoot%\\Web\\Wallpaper", KeelbrookDriver::WindowText(FindById(main, IDC_SYSINFO_WALLPAPER)));
  EXPECT_EQ("", KeelbrookDriver::WindowText(FindById(main, IDC_SYSINFO_DEVICEPATH)));
  EXPECT_EQ("", KeelbrookDriver::WindowText(FindById(main, IDC_SYSINFO_COMMONFILES)));
  EXPECT_TRUE(IsWindowEnabled(main)) << "the window is usable after the report";

  // Nothing was edited after the report, so closing asks nothing and no Yes can write the
  // fields creation never filled over the stored values: the number stays where it was.
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, boxFirst.WaitForExit(5000));
  auto devicePath = e2e::ReadValue(HKEY_LOCAL_MACHINE, kCv, "DevicePath");
  ASSERT_TRUE(devicePath.has_value());
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), devicePath->type);
  EXPECT_EQ(0x1234u, devicePath->Dword());
}

}  // namespace
