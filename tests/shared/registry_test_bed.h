#pragma once
// What the registry behaviour cases need from the registry they run on: the RegistryApi under
// test, and a private key below HKEY_CURRENT_USER in which to make keys and values and look at
// them afterwards. The host build gives an in-memory registry, the Windows build the real one;
// the same cases run on both, so the fake cannot drift from what Windows does.
//
// Set-up and inspection go around the RegistryApi under test, so that a fault in it cannot hide
// itself. Paths are relative to the test key ("" is the test key itself), backslash-separated.
// The test key exists when the bed is made and is removed with everything below it when the bed
// goes away.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry_api.h"

class RegistryTestBed {
 public:
  virtual ~RegistryTestBed() = default;

  virtual RegistryApi& Api() = 0;
  // Root of the test key, and the test key's path below it ("Software\KeelbrookTest<pid>").
  HKey Root() const { return reg::kHkeyCurrentUser; }
  const std::string& TestKey() const { return testKey_; }
  // The test key's path followed by "\" and path: what a RegistryAccess opens below Root().
  std::string PathOf(const std::string& path) const { return path.empty() ? testKey_ : testKey_ + "\\" + path; }

  virtual void CreateKey(const std::string& path) = 0;
  // Stores exactly these bytes, without adding a terminating zero to string types.
  virtual void SetValue(const std::string& path, const std::string& name, uint32_t type,
                        const std::vector<uint8_t>& data) = 0;
  virtual bool KeyExists(const std::string& path) = 0;
  // False when the key or value is missing.
  virtual bool GetValue(const std::string& path, const std::string& name, uint32_t* type,
                        std::vector<uint8_t>* data) = 0;

  // Text plus its terminating zero.
  void SetString(const std::string& path, const std::string& name, const std::string& text,
                 uint32_t type = reg::kRegSz) {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    SetValue(path, name, type, data);
  }
  void SetDword(const std::string& path, const std::string& name, uint32_t value) {
    SetValue(path, name, reg::kRegDword,
             {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
              static_cast<uint8_t>(value >> 24)});
  }

 protected:
  explicit RegistryTestBed(std::string testKey) : testKey_(std::move(testKey)) {}

 private:
  std::string testKey_;
};

std::unique_ptr<RegistryTestBed> MakeRegistryTestBed();
