#include "platform/registry_access.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "platform/app_error.h"

namespace {

// Nothing the pages read comes anywhere near this: they read names, paths and version texts.
// A value that claims more is damaged or hostile, and is reported as a failed read instead of
// being handed to the allocator (a 32-bit process cannot hold gigabytes anyway).
constexpr uint32_t kMaxValueBytes = 16u * 1024u * 1024u;

bool IsStringType(uint32_t type) { return type == reg::kRegSz || type == reg::kRegExpandSz; }

}  // namespace

RegistryAccess::RegistryAccess(RegistryApi& api) : api_(api) {}

RegistryAccess::~RegistryAccess() { CloseKey(); }

void RegistryAccess::SetRootKey(HKey root) {
  // Pages set the root they already have without thinking about it; that must not drop the
  // key they are standing in.
  if (root == root_) return;
  CloseKey();
  root_ = root;
}

bool RegistryAccess::OpenKey(const std::string& path, bool create) {
  const bool absolute = !path.empty() && path[0] == '\\';
  const std::string subKey = absolute ? path.substr(1) : path;
  const HKey base = (absolute || current_ == 0) ? root_ : current_;

  HKey opened = 0;
  long rc;
  if (create && !subKey.empty())
    rc = api_.RegCreateKeyExA(base, subKey, access_, &opened);
  else
    rc = api_.RegOpenKeyExA(base, subKey, access_, &opened);
  // A failed open leaves the object where it was, so that a page which ignores the failure goes
  // on at the last key that did open.
  if (rc != reg::kErrorSuccess) return false;

  CloseKey();
  current_ = opened;
  return true;
}

void RegistryAccess::CloseKey() {
  if (current_ == 0) return;
  api_.RegCloseKey(current_);
  current_ = 0;
}

bool RegistryAccess::ValueExists(const std::string& name) {
  if (current_ == 0) return false;
  uint32_t type = 0;
  uint32_t size = 0;
  return api_.RegQueryValueExA(current_, name, &type, nullptr, &size) == reg::kErrorSuccess;
}

std::string RegistryAccess::ReadString(const std::string& name) {
  if (current_ == 0) return std::string();

  // A value that is not there, or holds nothing, reads as empty whatever its type: the pages
  // read optional settings and show a blank field for them.
  uint32_t type = 0;
  uint32_t size = 0;
  if (api_.RegQueryValueExA(current_, name, &type, nullptr, &size) != reg::kErrorSuccess || size == 0)
    return std::string();

  const std::string failedRead = FormatText("Failed to get data for '%s'", name);
  if (size > kMaxValueBytes) throw AppError(failedRead);
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size]);
  if (!buffer) throw AppError(failedRead);

  uint32_t got = size;
  if (api_.RegQueryValueExA(current_, name, &type, buffer.get(), &got) != reg::kErrorSuccess)
    throw AppError(failedRead);
  if (!IsStringType(type)) throw AppError(FormatText("Invalid data type for '%s'", name));

  // The stored size counts the terminating zero when there is one; values written by other
  // programs may lack it, or carry more after it. Never trust a size larger than the buffer.
  if (got > size) got = size;
  const void* zero = std::memchr(buffer.get(), 0, got);
  const size_t length = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - buffer.get()) : got;
  return std::string(reinterpret_cast<const char*>(buffer.get()), length);
}

void RegistryAccess::WriteText(const std::string& name, const std::string& text, uint32_t type) {
  const std::string failedWrite = FormatText("Failed to set data for '%s'", name);
  if (current_ == 0) throw AppError(failedWrite);
  if (text.size() >= std::numeric_limits<uint32_t>::max()) throw AppError(failedWrite);
  // The text and its terminating zero: c_str() guarantees the zero is there.
  const uint32_t size = static_cast<uint32_t>(text.size() + 1);
  if (api_.RegSetValueExA(current_, name, type, reinterpret_cast<const uint8_t*>(text.c_str()), size) !=
      reg::kErrorSuccess)
    throw AppError(failedWrite);
}

void RegistryAccess::WriteString(const std::string& name, const std::string& text) {
  WriteText(name, text, reg::kRegSz);
}

void RegistryAccess::WriteExpandString(const std::string& name, const std::string& text) {
  WriteText(name, text, reg::kRegExpandSz);
}

uint32_t RegistryAccess::GetDataType(const std::string& name) {
  if (current_ == 0) return reg::kRegNone;
  uint32_t type = reg::kRegNone;
  uint32_t size = 0;
  if (api_.RegQueryValueExA(current_, name, &type, nullptr, &size) != reg::kErrorSuccess) return reg::kRegNone;
  return type;
}

void RegistryAccess::GetKeyNames(std::vector<std::string>& list) {
  list.clear();
  if (current_ == 0) return;
  uint32_t count = 0;
  if (api_.RegQueryInfoKeyA(current_, &count, nullptr, nullptr, nullptr) != reg::kErrorSuccess) return;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    const long rc = api_.RegEnumKeyExA(current_, i, &name);
    // The key shrank since its count was read: the rest are gone.
    if (rc == reg::kErrorNoMoreItems) break;
    // One entry that cannot be read is left out rather than shown as a blank line that the
    // pages would then try to act on; the others are still listed.
    if (rc != reg::kErrorSuccess) continue;
    list.push_back(name);
  }
}

void RegistryAccess::GetValueNames(std::vector<std::string>& list) {
  list.clear();
  if (current_ == 0) return;
  uint32_t count = 0;
  if (api_.RegQueryInfoKeyA(current_, nullptr, nullptr, &count, nullptr) != reg::kErrorSuccess) return;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    const long rc = api_.RegEnumValueA(current_, i, &name);
    if (rc == reg::kErrorNoMoreItems) break;
    if (rc != reg::kErrorSuccess) continue;
    list.push_back(name);
  }
}

bool RegistryAccess::DeleteKey(const std::string& path) {
  const bool absolute = !path.empty() && path[0] == '\\';
  const std::string subKey = absolute ? path.substr(1) : path;
  const HKey base = (absolute || current_ == 0) ? root_ : current_;
  return DeleteTree(base, subKey);
}

bool RegistryAccess::DeleteTree(HKey base, const std::string& subKey) {
  // An empty name would mean the base key itself: with no key open that is the whole root.
  // Nothing the pages delete is nameless, so refuse rather than empty HKEY_LOCAL_MACHINE.
  if (subKey.empty()) return false;

  HKey key = 0;
  if (api_.RegOpenKeyExA(base, subKey, access_, &key) == reg::kErrorSuccess) {
    uint32_t count = 0;
    if (api_.RegQueryInfoKeyA(key, &count, nullptr, nullptr, nullptr) == reg::kErrorSuccess) {
      // From the last index down, so that each deletion leaves the lower indexes in place.
      for (uint32_t i = count; i-- > 0;) {
        std::string name;
        // A subkey that cannot be named or removed is left; the final deletion then fails on it.
        if (api_.RegEnumKeyExA(key, i, &name) == reg::kErrorSuccess) DeleteTree(key, name);
      }
    }
    api_.RegCloseKey(key);
  }
  return api_.RegDeleteKeyA(base, subKey) == reg::kErrorSuccess;
}

bool RegistryAccess::DeleteValue(const std::string& name) {
  if (current_ == 0) return false;
  return api_.RegDeleteValueA(current_, name) == reg::kErrorSuccess;
}

bool OpenPiecewise(RegistryAccess& registry, const std::string& path, bool stopAtFailure) {
  bool all = true;
  bool any = false;
  size_t start = 0;
  // A leading backslash makes the first piece start from the root, as it does for OpenKey.
  const bool absolute = !path.empty() && path[0] == '\\';
  if (absolute) start = 1;
  bool first = true;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string piece = path.substr(start, end - start);
    start = end + 1;
    // Doubled or trailing backslashes name nothing; opening "" would only reopen the same key.
    if (piece.empty()) continue;
    any = true;
    const bool opened = registry.OpenKey((first && absolute ? "\\" : "") + piece, false);
    first = false;
    if (!opened) {
      all = false;
      if (stopAtFailure) break;
    }
  }
  // A path without a single piece opened nothing, which is not success.
  return any && all;
}
