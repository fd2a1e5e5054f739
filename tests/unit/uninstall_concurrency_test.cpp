// The page while other programs change the registry under it: the uninstaller it waits for, and
// registrations removed between reading the names and reading each registration.
#include <gtest/gtest.h>

#include <functional>

#include "unit/form_helpers.h"

namespace {

// The scripted system, with a step that runs while the form waits for the uninstaller to end.
class UninstallerSystem : public FakeSystem {
 public:
  std::function<void()> whileRunning;
  bool processGone = false;
  SysHandle OpenProcess(uint32_t access, bool inherit, uint32_t processId) override {
    const SysHandle h = FakeSystem::OpenProcess(access, inherit, processId);
    return processGone ? 0 : h;
  }
  uint32_t WaitForSingleObject(SysHandle handle, uint32_t ms) override {
    if (whileRunning) whileRunning();
    return FakeSystem::WaitForSingleObject(handle, ms);
  }
};

// The fake registry, with a step run just before the Nth walk from the root, or after the Nth display name read.
class ChangingRegistry : public RegistryApi {
 public:
  explicit ChangingRegistry(FakeRegistry& inner) : inner_(inner) {}
  int beforeWalk = 0;
  int afterName = 0;
  std::function<void()> change;

  long RegOpenKeyExA(HKey parent, const std::string& subKey, uint32_t access, HKey* result) override {
    if (parent == kHklm && subKey == "SOFTWARE" && ++walks_ == beforeWalk && change) change();
    return inner_.RegOpenKeyExA(parent, subKey, access, result);
  }
  long RegCreateKeyExA(HKey p, const std::string& s, uint32_t a, HKey* r) override { return inner_.RegCreateKeyExA(p, s, a, r); }
  long RegCloseKey(HKey k) override { return inner_.RegCloseKey(k); }
  long RegQueryValueExA(HKey k, const std::string& n, uint32_t* t, uint8_t* d, uint32_t* s) override {
    const long rc = inner_.RegQueryValueExA(k, n, t, d, s);
    if (d && n == "DisplayName" && ++names_ == afterName && change) change();
    return rc;
  }
  long RegSetValueExA(HKey k, const std::string& n, uint32_t t, const uint8_t* d, uint32_t s) override {
    return inner_.RegSetValueExA(k, n, t, d, s);
  }
  long RegQueryInfoKeyA(HKey k, uint32_t* a, uint32_t* b, uint32_t* c, uint32_t* d) override {
    return inner_.RegQueryInfoKeyA(k, a, b, c, d);
  }
  long RegEnumKeyExA(HKey k, uint32_t i, std::string* n) override { return inner_.RegEnumKeyExA(k, i, n); }
  long RegEnumValueA(HKey k, uint32_t i, std::string* n) override { return inner_.RegEnumValueA(k, i, n); }
  long RegDeleteKeyA(HKey k, const std::string& s) override { return inner_.RegDeleteKeyA(k, s); }
  long RegDeleteValueA(HKey k, const std::string& n) override { return inner_.RegDeleteValueA(k, n); }

 private:
  FakeRegistry& inner_;
  int walks_ = 0, names_ = 0;
};

// A form on a FakeForm's controls and registry, with the system and registry above.
struct WatchedForm {
  FakeForm base;
  UninstallerSystem system;
  ChangingRegistry registry{base.registry};
  std::unique_ptr<TfrmMain> form;

  WatchedForm() {
    form = std::make_unique<TfrmMain>(registry, system, base.objects, base.Controls(), base.inputBox);
  }
  TfrmMain* operator->() { return form.get(); }
  std::vector<std::string>& Lines() { return base.lstUnInstList.lines; }

  void Register(const std::string& key, const std::string& display, const std::string& command = "x.exe") {
    base.registry.SetString(kHklm, kUninstall + "\\" + key, "DisplayName", display);
    base.registry.SetString(kHklm, kUninstall + "\\" + key, "UninstallString", command);
  }
};

TEST(UninstallWhileOthersChangeTheRegistry, TheListIsReadAgainOnlyAfterTheUninstallerHasEnded) {
  WatchedForm f;
  f.Register("a", "Stays");
  f.Register("b", "Goes", "b-uninstall.exe");
  f->FillUnInstList();
  f.base.lstUnInstList.selected = 1;
  f.system.answers = {mb::kIdYes};
  std::vector<std::string> linesWhileRunning;
  f.system.whileRunning = [&] {
    linesWhileRunning = f.Lines();
    f.base.registry.DeleteTree(kHklm, kUninstall + "\\b");  // what an uninstaller does
  };
  f->btnUninstallClick();
  EXPECT_EQ(linesWhileRunning, (std::vector<std::string>{"Stays", "Goes"})) << "refreshed before the end";
  EXPECT_EQ(f.Lines(), (std::vector<std::string>{"Stays"}));
  EXPECT_EQ(f.base.objects.UnInstKeyNames, (std::vector<std::string>{"a"}));
}

TEST(UninstallWhileOthersChangeTheRegistry, AnUninstallerAlreadyGoneIsNotWaitedFor) {
  WatchedForm f;
  f.Register("a", "Quick");
  f->FillUnInstList();
  f.base.lstUnInstList.selected = 0;
  f.system.answers = {mb::kIdYes};
  f.system.processGone = true;
  f->btnUninstallClick();
  EXPECT_EQ(f.system.processLog,
            (std::vector<std::string>{"create", "close-thread", "input-idle", "close-process", "open:4242"}))
      << "no wait on, and no close of, a handle that was never had";
  EXPECT_EQ(f.base.lstUnInstList.selected, -1) << "refreshed all the same";
}

TEST(UninstallWhileOthersChangeTheRegistry, RegistrationsGoneBeforeTheyAreReadAreSkipped) {
  struct Case {
    const char* what;
    int beforeWalk;  // walk 1 reads the names, walk 2 goes to the first name
    int afterName;   // between the nth registration read and the next
    std::function<void(FakeRegistry&)> change;
    std::vector<std::string> keys;
  } cases[] = {
      {"one registration removed", 0, 1, [](FakeRegistry& r) { r.DeleteTree(kHklm, kUninstall + "\\b"); }, {"a", "c"}},
      {"the Uninstall key made again, with b and not c", 0, 1, [](FakeRegistry& r) {
         r.DeleteTree(kHklm, kUninstall);
         r.SetString(kHklm, kUninstall + "\\b", "DisplayName", "B again");
         r.SetString(kHklm, kUninstall + "\\b", "UninstallString", "b.exe");
       }, {"a", "b"}},
      {"the Uninstall key removed, a key of a listed name one level up", 0, 1,
       [](FakeRegistry& r) {
         r.DeleteTree(kHklm, kUninstall);
         r.SetString(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\b", "DisplayName", "Decoy");
         r.SetString(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\b", "UninstallString", "decoy.exe");
       },
       {"a"}},
      {"SOFTWARE refused from then on", 2, 0, [](FakeRegistry& r) {
         r.RefuseOpen(kHklm, "SOFTWARE");
         r.SetString(kHklm, "a", "DisplayName", "Decoy at the root");
         r.SetString(kHklm, "a", "UninstallString", "decoy.exe");
       },
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WatchedForm f;
    f.Register("a", "A");
    f.Register("b", "B");
    f.Register("c", "C");
    f.registry.beforeWalk = c.beforeWalk;
    f.registry.afterName = c.afterName;
    f.registry.change = [&] { c.change(f.base.registry); };
    f->FillUnInstList();
    EXPECT_EQ(f.base.objects.UnInstKeyNames, c.keys);
    EXPECT_EQ(f.Lines().size(), c.keys.size());
    EXPECT_TRUE(f.system.boxes.empty()) << "a registration gone meanwhile is skipped silently";
    EXPECT_EQ(f.base.registry.OpenHandleCount(), 0);
  }
}

}  // namespace
