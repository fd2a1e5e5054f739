// The registry cases under Wine run against the real registry, in a key of this process's own
// below HKEY_CURRENT_USER. Set-up and inspection call advapi32 directly, not through the adapter
// under test.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_registry_api.h"
#include "shared/registry_test_bed.h"

namespace {

// Removes a key and everything below it, deepest first (NT will not delete a key with subkeys).
void DeleteTreeRaw(HKEY parent, const std::string& path) {
  HKEY key;
  if (::RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    char name[1024];
    for (;;) {
      DWORD length = sizeof name;
      if (::RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      const std::string child(name, length);
      DeleteTreeRaw(key, child);
      // A child that would not go would be enumerated forever.
      HKEY check;
      if (::RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, &check) == ERROR_SUCCESS) {
        ::RegCloseKey(check);
        break;
      }
    }
    ::RegCloseKey(key);
  }
  ::RegDeleteKeyA(parent, path.c_str());
}

class Win32RegistryTestBed : public RegistryTestBed {
 public:
  Win32RegistryTestBed()
      : RegistryTestBed("Software\\KeelbrookTest" + std::to_string(::GetCurrentProcessId())) {
    DeleteTreeRaw(HKEY_CURRENT_USER, TestKey());  // left over from a crashed run of the same pid
    HKEY key;
    LONG rc = ::RegCreateKeyExA(HKEY_CURRENT_USER, TestKey().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr);
    EXPECT_EQ(ERROR_SUCCESS, rc) << "creating the test key " << TestKey();
    if (rc == ERROR_SUCCESS) ::RegCloseKey(key);
  }
  ~Win32RegistryTestBed() override {
    DeleteTreeRaw(HKEY_CURRENT_USER, TestKey());
    EXPECT_FALSE(KeyExists("")) << "the test key " << TestKey() << " outlived its test";
  }

  RegistryApi& Api() override { return api_; }

  void CreateKey(const std::string& path) override {
    HKEY key;
    LONG rc = ::RegCreateKeyExA(HKEY_CURRENT_USER, PathOf(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ASSERT_EQ(ERROR_SUCCESS, rc) << "creating " << PathOf(path);
    ::RegCloseKey(key);
  }

  void SetValue(const std::string& path, const std::string& name, uint32_t type,
                const std::vector<uint8_t>& data) override {
    HKEY key;
    LONG rc = ::RegCreateKeyExA(HKEY_CURRENT_USER, PathOf(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ASSERT_EQ(ERROR_SUCCESS, rc) << "creating " << PathOf(path);
    // RegSetValueExA counts a string's zero in for a caller that "forgot" it when the byte just
    // past the data is zero; a non-zero byte there keeps the data exactly as given.
    std::vector<uint8_t> padded(data);
    padded.push_back(0xbd);
    rc = ::RegSetValueExA(key, name.c_str(), 0, type, padded.data(), static_cast<DWORD>(data.size()));
    ::RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, rc) << "setting " << PathOf(path) << " value '" << name << "'";
  }

  bool KeyExists(const std::string& path) override {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, PathOf(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
  }

  bool GetValue(const std::string& path, const std::string& name, uint32_t* type,
                std::vector<uint8_t>* data) override {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, PathOf(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD gotType = 0, size = 0;
    LONG rc = ::RegQueryValueExA(key, name.c_str(), nullptr, &gotType, nullptr, &size);
    std::vector<uint8_t> bytes(size + 1);
    if (rc == ERROR_SUCCESS) rc = ::RegQueryValueExA(key, name.c_str(), nullptr, &gotType, bytes.data(), &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    bytes.resize(size);
    if (type) *type = gotType;
    if (data) *data = bytes;
    return true;
  }

 private:
  Win32RegistryApi api_;
};

}  // namespace

std::unique_ptr<RegistryTestBed> MakeRegistryTestBed() { return std::make_unique<Win32RegistryTestBed>(); }
