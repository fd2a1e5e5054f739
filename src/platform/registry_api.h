#pragma once
// The raw advapi32 subset the program uses, as plain C++ types. The Win32 adapter forwards each
// call to the "A" function of the same name; the in-memory fake behaves the same way. Every call
// returns the Win32 status (0 = ERROR_SUCCESS) and leaves its outputs untouched on failure.
#include <cstdint>
#include <string>
#include <vector>

using HKey = std::uintptr_t;

namespace reg {
constexpr HKey kHkeyClassesRoot = 0x80000000u;
constexpr HKey kHkeyCurrentUser = 0x80000001u;
constexpr HKey kHkeyLocalMachine = 0x80000002u;
constexpr HKey kHkeyUsers = 0x80000003u;

constexpr uint32_t kKeyAllAccess = 0xF003F;
constexpr uint32_t kKeyRead = 0x20019;  // query values, enumerate subkeys, be notified, read the key's rights

constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;
}  // namespace reg

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;

  virtual long RegOpenKeyExA(HKey parent, const std::string& subKey, uint32_t access, HKey* result) = 0;
  // Opens, creating the key and missing keys above it (no class, non-volatile).
  virtual long RegCreateKeyExA(HKey parent, const std::string& subKey, uint32_t access, HKey* result) = 0;
  virtual long RegCloseKey(HKey key) = 0;
  // With data == nullptr only *type and *size are reported. With data, *size is the buffer's
  // room on entry and the stored size on return; ERROR_MORE_DATA when the room is too small.
  virtual long RegQueryValueExA(HKey key, const std::string& name, uint32_t* type, uint8_t* data,
                                uint32_t* size) = 0;
  virtual long RegSetValueExA(HKey key, const std::string& name, uint32_t type, const uint8_t* data,
                              uint32_t size) = 0;
  virtual long RegQueryInfoKeyA(HKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen, uint32_t* values,
                                uint32_t* maxValueNameLen) = 0;
  virtual long RegEnumKeyExA(HKey key, uint32_t index, std::string* name) = 0;
  virtual long RegEnumValueA(HKey key, uint32_t index, std::string* name) = 0;
  virtual long RegDeleteKeyA(HKey key, const std::string& subKey) = 0;
  virtual long RegDeleteValueA(HKey key, const std::string& name) = 0;
};
