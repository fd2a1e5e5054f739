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

[[noreturn]] void Raise(const char* format, const std::string& name) { throw AppError(FormatText(format, name)); }

// The stored size counts the terminating zero when there is one; values written by other
// programs may lack it, or carry more after it. Never trust a size larger than the buffer.
std::string TextOf(const uint8_t* data, uint32_t got, uint32_t room) {
  if (got > room) got = room;
  const void* zero = std::memchr(data, 0, got);
  const size_t length = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : got;
  return std::string(reinterpret_cast<const char*>(data), length);
}

// "\" first: the rest below the root; otherwise below the open key, or the root when none is.
struct Target {
  HKey base;
  std::string subKey;
};
Target TargetOf(const std::string& path, HKey root, HKey current) {
  if (!path.empty() && path[0] == '\\') return {root, path.substr(1)};
  return {current != 0 ? current : root, path};
}

// The names of a key's subkeys or of its values, index 0 upward.
void ListNames(RegistryApi& api, HKey key, bool subKeys, std::vector<std::string>& list) {
  list.clear();
  if (key == 0) return;
  uint32_t count = 0;
  const long info = subKeys ? api.RegQueryInfoKeyA(key, &count, nullptr, nullptr, nullptr)
                            : api.RegQueryInfoKeyA(key, nullptr, nullptr, &count, nullptr);
  if (info != reg::kErrorSuccess) return;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    const long rc = subKeys ? api.RegEnumKeyExA(key, i, &name) : api.RegEnumValueA(key, i, &name);
    // The key shrank since its count was read: the rest are gone.
    if (rc == reg::kErrorNoMoreItems) break;
    // One entry that cannot be read is left out rather than shown as a blank line that the
    // pages would then try to act on; the others are still listed.
    if (rc != reg::kErrorSuccess) continue;
    list.push_back(name);
  }
}

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
  const Target target = TargetOf(path, root_, current_);
  HKey opened = 0;
  bool readOnly = false;
  // A failed open leaves the object where it was, so that a page which ignores the failure goes
  // on at the last key that did open.
  if (create && !target.subKey.empty()) {
    if (api_.RegCreateKeyExA(target.base, target.subKey, access_, &opened) != reg::kErrorSuccess) return false;
  } else if (!OpenExisting(target.base, target.subKey, opened, readOnly)) {
    return false;
  }
  TakeKey(opened, readOnly);
  return true;
}

bool RegistryAccess::OpenKeyBelow(const RegistryAccess& holder, const std::string& subKey) {
  // With nothing held there is nothing to be below: opening from the root instead would find a
  // key of the same name somewhere else entirely. A handle of another registry means nothing here.
  if (holder.current_ == 0 || &holder.api_ != &api_) return false;
  HKey opened = 0;
  bool readOnly = false;
  if (!OpenExisting(holder.current_, subKey, opened, readOnly)) return false;
  TakeKey(opened, readOnly);
  return true;
}

bool RegistryAccess::OpenExisting(HKey base, const std::string& subKey, HKey& opened, bool& readOnly) {
  long rc = api_.RegOpenKeyExA(base, subKey, access_, &opened);
  // Full access includes the rights to change the key's permissions and owner and to delete it,
  // which an account without administrator rights on the NT family is refused for every key
  // under HKEY_LOCAL_MACHINE\SOFTWARE, though it may read them. Asked for reading, those keys
  // open, and the pages show what is there instead of empty fields.
  readOnly = rc == reg::kErrorAccessDenied && access_ != reg::kKeyRead;
  if (readOnly) rc = api_.RegOpenKeyExA(base, subKey, reg::kKeyRead, &opened);
  return rc == reg::kErrorSuccess;
}

void RegistryAccess::TakeKey(HKey opened, bool readOnly) {
  CloseKey();
  current_ = opened;
  readOnly_ = readOnly;
}

void RegistryAccess::CloseKey() {
  if (current_ == 0) return;
  api_.RegCloseKey(current_);
  current_ = 0;
  readOnly_ = false;
}

bool RegistryAccess::ValueExists(const std::string& name) {
  if (current_ == 0) return false;
  uint32_t type = 0;
  uint32_t size = 0;
  return api_.RegQueryValueExA(current_, name, &type, nullptr, &size) == reg::kErrorSuccess;
}

std::string RegistryAccess::ReadString(const std::string& name) {
  std::string text;
  ReadText(name, text);
  return text;
}

bool RegistryAccess::ReadStringIfExists(const std::string& name, std::string& text) { return ReadText(name, text); }

bool RegistryAccess::ReadText(const std::string& name, std::string& text) {
  text.clear();
  if (current_ == 0) return false;

  // Nearly everything the pages read is a short text: one call reads it whole, where asking for
  // the size first costs a second call (under Wine a second round trip to the wineserver, for
  // every value of every listed program). The same call says whether the value is there at all.
  uint8_t room[256];
  uint32_t type = 0;
  uint32_t got = sizeof room;
  const long rc = api_.RegQueryValueExA(current_, name, &type, room, &got);
  if (rc == reg::kErrorFileNotFound) return false;
  // Anything but a plain answer that fits (a longer value, a refused or failed read, a size
  // that claims more than the room) is read again the long way, which decides all of those.
  if (rc != reg::kErrorSuccess || got > sizeof room) return ReadTextSizeFirst(name, text);

  // A value that holds nothing reads as empty whatever its type: the pages read optional
  // settings and show a blank field for them.
  if (got == 0) return true;
  if (!IsStringType(type)) Raise("Invalid data type for '%s'", name);
  text = TextOf(room, got, sizeof room);
  return true;
}

bool RegistryAccess::ReadTextSizeFirst(const std::string& name, std::string& text) {
  // A value that is not there, or holds nothing, reads as empty whatever its type.
  uint32_t type = 0;
  uint32_t size = 0;
  if (api_.RegQueryValueExA(current_, name, &type, nullptr, &size) != reg::kErrorSuccess) return false;
  if (size == 0) return true;

  const char* const failedRead = "Failed to get data for '%s'";
  if (size > kMaxValueBytes) Raise(failedRead, name);
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size]);
  if (!buffer) Raise(failedRead, name);

  // The value may have changed since its size was read: grown, it no longer fits and the read
  // fails; shrunk or retyped, the checks below see what was actually read.
  uint32_t got = size;
  if (api_.RegQueryValueExA(current_, name, &type, buffer.get(), &got) != reg::kErrorSuccess)
    Raise(failedRead, name);
  if (!IsStringType(type)) Raise("Invalid data type for '%s'", name);
  text = TextOf(buffer.get(), got, size);
  return true;
}

void RegistryAccess::WriteText(const std::string& name, const std::string& text, uint32_t type) {
  const char* const failedWrite = "Failed to set data for '%s'";
  if (current_ == 0 || readOnly_ || text.size() >= std::numeric_limits<uint32_t>::max()) Raise(failedWrite, name);
  // The text and its terminating zero: c_str() guarantees the zero is there.
  const uint32_t size = static_cast<uint32_t>(text.size() + 1);
  if (api_.RegSetValueExA(current_, name, type, reinterpret_cast<const uint8_t*>(text.c_str()), size) !=
      reg::kErrorSuccess)
    Raise(failedWrite, name);
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

void RegistryAccess::GetKeyNames(std::vector<std::string>& list) { ListNames(api_, current_, true, list); }

void RegistryAccess::GetValueNames(std::vector<std::string>& list) { ListNames(api_, current_, false, list); }

bool RegistryAccess::DeleteKey(const std::string& path) {
  const Target target = TargetOf(path, root_, current_);
  if (readOnly_ && target.base == current_) return false;
  return DeleteTree(target.base, target.subKey);
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
  if (current_ == 0 || readOnly_) return false;
  return api_.RegDeleteValueA(current_, name) == reg::kErrorSuccess;
}

bool OpenPiecewise(RegistryAccess& registry, const std::string& path, bool stopAtFailure) {
  // A leading backslash makes the first piece start from the root, as it does for OpenKey.
  std::string prefix = !path.empty() && path[0] == '\\' ? "\\" : "";
  bool any = false;
  bool all = true;
  for (size_t start = prefix.size(); start <= path.size();) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string piece = path.substr(start, end - start);
    start = end + 1;
    // Doubled or trailing backslashes name nothing; opening "" would only reopen the same key.
    if (piece.empty()) continue;
    any = true;
    if (!registry.OpenKey(prefix + piece, false)) {
      all = false;
      if (stopAtFailure) break;
    }
    prefix.clear();
  }
  // A path without a single piece opened nothing, which is not success.
  return any && all;
}
