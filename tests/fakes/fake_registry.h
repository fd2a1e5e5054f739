#pragma once
// An in-memory registry behind the RegistryApi port: keys with case-insensitive names, values
// with their type and raw bytes, handles that must be closed, and faults a test can inject on
// chosen keys and values (refused opens, reads, writes and deletes).
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/registry_api.h"

class FakeRegistry : public RegistryApi {
 public:
  FakeRegistry();
  ~FakeRegistry() override;

  // RegistryApi
  long RegOpenKeyExA(HKey parent, const std::string& subKey, uint32_t access, HKey* result) override;
  long RegCreateKeyExA(HKey parent, const std::string& subKey, uint32_t access, HKey* result) override;
  long RegCloseKey(HKey key) override;
  long RegQueryValueExA(HKey key, const std::string& name, uint32_t* type, uint8_t* data, uint32_t* size) override;
  long RegSetValueExA(HKey key, const std::string& name, uint32_t type, const uint8_t* data, uint32_t size) override;
  long RegQueryInfoKeyA(HKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen, uint32_t* values,
                        uint32_t* maxValueNameLen) override;
  long RegEnumKeyExA(HKey key, uint32_t index, std::string* name) override;
  long RegEnumValueA(HKey key, uint32_t index, std::string* name) override;
  long RegDeleteKeyA(HKey key, const std::string& subKey) override;
  long RegDeleteValueA(HKey key, const std::string& name) override;

  // Test set-up and inspection. Paths are backslash-separated below a predefined root and are
  // created as needed by the setters.
  void CreateKey(HKey root, const std::string& path);
  void SetValue(HKey root, const std::string& path, const std::string& name, uint32_t type,
                const std::vector<uint8_t>& data);
  void SetString(HKey root, const std::string& path, const std::string& name, const std::string& text,
                 uint32_t type = reg::kRegSz);  // stores text plus one zero byte
  void SetDword(HKey root, const std::string& path, const std::string& name, uint32_t value);
  void DeleteTree(HKey root, const std::string& path);
  bool KeyExists(HKey root, const std::string& path) const;
  bool ValueExists(HKey root, const std::string& path, const std::string& name) const;
  // False when the value is missing.
  bool GetValue(HKey root, const std::string& path, const std::string& name, uint32_t* type,
                std::vector<uint8_t>* data) const;
  // The value's bytes up to the first zero byte; empty when missing.
  std::string GetString(HKey root, const std::string& path, const std::string& name) const;
  uint32_t GetType(HKey root, const std::string& path, const std::string& name) const;  // kRegNone if missing
  std::vector<std::string> SubKeyNames(HKey root, const std::string& path) const;  // enumeration order
  std::vector<std::string> ValueNames(HKey root, const std::string& path) const;

  // Faults. A refused open fails RegOpenKeyExA/RegCreateKeyExA of exactly that key with
  // ERROR_ACCESS_DENIED. An empty value name in RefuseRead/RefuseWrite/RefuseDeleteValue means
  // the key's default value; "*" means every value of the key.
  void RefuseOpen(HKey root, const std::string& path);
  void RefuseRead(HKey root, const std::string& path, const std::string& name);   // data read fails
  void RefuseWrite(HKey root, const std::string& path, const std::string& name);
  void RefuseDeleteKey(HKey root, const std::string& path);
  void RefuseDeleteValue(HKey root, const std::string& path, const std::string& name);
  // An account without administrator rights on the NT family: below HKEY_LOCAL_MACHINE every
  // open that asks for more than reading, every creation and every deletion of a key is refused.
  // Independently of this, a handle opened without the right to set values refuses every change.
  void ActAsStandardUser() { standardUser_ = true; }
  // The system's code page, for the names it splits at backslashes: the registry reads them in
  // Unicode, so 表 (0x95 0x5C) in code page 932 is no separator.
  CodePage codePage;

  // Bookkeeping for tests and benchmarks.
  int OpenHandleCount() const;  // handles opened and not yet closed
  long CallCount() const { return calls_; }
  void ResetCallCount() { calls_ = 0; }

  struct Node;

 private:
  Node* Find(HKey root, const std::string& path) const;
  Node* Make(HKey root, const std::string& path);
  Node* NodeOf(HKey key) const;
  HKey NewHandle(Node* node, uint32_t access);
  // The refusal a standard user gets for asking `access` of `node`, or ERROR_SUCCESS.
  long StandardUserRefusal(const Node* node, uint32_t access) const;
  // ERROR_ACCESS_DENIED when the key may not be changed through this handle.
  long ChangeRefusal(HKey key) const;

  std::map<HKey, std::unique_ptr<Node>> roots_;
  std::map<HKey, Node*> handles_;
  std::set<HKey> readOnlyHandles_;
  bool standardUser_ = false;
  HKey nextHandle_ = 0x1000;
  long calls_ = 0;
};
