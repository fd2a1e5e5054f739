#pragma once
// The registry access object every page uses: a root key, at most one open key, key paths
// opened one piece at a time relative to the last open key. Pages create one per handler and
// let it go before returning; the destructor closes whatever is still open.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry_api.h"

class RegistryAccess {
 public:
  explicit RegistryAccess(RegistryApi& api);
  ~RegistryAccess();
  RegistryAccess(const RegistryAccess&) = delete;
  RegistryAccess& operator=(const RegistryAccess&) = delete;

  HKey RootKey() const { return root_; }
  HKey CurrentKey() const { return current_; }  // 0 when no key is open
  // The open key was refused full access and opened for reading only: writes and deletions
  // through it fail as a refused write or deletion does, without asking the registry.
  bool CurrentKeyReadOnly() const { return readOnly_; }
  // Same root: nothing happens. Another root: the open key is closed first.
  void SetRootKey(HKey root);
  // "\" first: below the root; otherwise below the open key, or the root when none is open.
  // On success the previous key is closed; on failure nothing changes.
  bool OpenKey(const std::string& path, bool create);
  // Opens subKey below the key that another object over the same registry holds open, never
  // creating. False when that object holds no key (nothing is then opened from the root instead)
  // or the open fails, for instance because the key it holds has been deleted meanwhile. On
  // success this object's previous key is closed; on failure nothing changes.
  bool OpenKeyBelow(const RegistryAccess& holder, const std::string& subKey);
  void CloseKey();

  bool ValueExists(const std::string& name);
  // Empty text for a missing or empty value or no open key; raises "Failed to get data for '%s'"
  // or "Invalid data type for '%s'".
  std::string ReadString(const std::string& name);
  // ValueExists and then ReadString in one, with the calls of ReadString alone: false (and an
  // empty text) when the value is missing. Raises as ReadString does.
  bool ReadStringIfExists(const std::string& name, std::string& text);
  // Stores REG_SZ (text plus one zero byte); raises "Failed to set data for '%s'".
  void WriteString(const std::string& name, const std::string& text);
  // Same as WriteString, stored as REG_EXPAND_SZ so that the system keeps expanding it.
  void WriteExpandString(const std::string& name, const std::string& text);
  // The stored type of a value of the open key, or reg::kRegNone when it is missing or no key
  // is open. Never raises.
  uint32_t GetDataType(const std::string& name);

  void GetKeyNames(std::vector<std::string>& list);
  void GetValueNames(std::vector<std::string>& list);
  bool DeleteKey(const std::string& path);
  bool DeleteValue(const std::string& name);

 private:
  void WriteText(const std::string& name, const std::string& text, uint32_t type);
  bool ReadText(const std::string& name, std::string& text);
  bool ReadTextSizeFirst(const std::string& name, std::string& text);
  bool DeleteTree(HKey base, const std::string& subKey);
  // Opens subKey below base with full access or, when that is refused, for reading only.
  bool OpenExisting(HKey base, const std::string& subKey, HKey& opened, bool& readOnly);
  void TakeKey(HKey opened, bool readOnly);

  RegistryApi& api_;
  HKey root_ = reg::kHkeyCurrentUser;
  HKey current_ = 0;
  bool readOnly_ = false;
  uint32_t access_ = reg::kKeyAllAccess;
};

// Opens a backslash-separated path one piece at a time, each relative to the key opened last,
// never creating: the way every page walks to its keys.
// Returns true when every piece opened. With stopAtFailure the walk ends at the first piece that
// does not open (the pages that report a missing key); without it the next piece is tried below
// the key that did open (the pages that read whatever the deepest open key holds).
bool OpenPiecewise(RegistryAccess& registry, const std::string& path, bool stopAtFailure = false);
