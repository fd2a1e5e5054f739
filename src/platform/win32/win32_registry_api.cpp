#include "platform/win32/win32_registry_api.h"

#include <vector>

namespace {

HKEY ToHkey(HKey key) { return reinterpret_cast<HKEY>(key); }
HKey FromHkey(HKEY key) { return reinterpret_cast<HKey>(key); }

// Value names may be 16383 characters, twice that in bytes in a double-byte code page; a name
// buffer never needs to grow past this.
constexpr DWORD kLongestName = 65536;

enum class NameKind { SubKey, Value };

// Key names fit 256 characters; a longer value name, or a double-byte code page, makes the call
// report ERROR_MORE_DATA, and the buffer grows until the name fits. The longest name is not
// asked for first: that would be one more call per name, and Wine answers it by looking at
// every subkey, so listing a large key cost the square of its size.
long EnumName(HKEY key, DWORD index, NameKind kind, std::string* name) {
  DWORD room = 256;
  for (;;) {
    std::vector<char> buffer(room);
    DWORD length = room;
    LONG rc = kind == NameKind::SubKey
                  ? ::RegEnumKeyExA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                  : ::RegEnumValueA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA && room < kLongestName) {
      room = room * 2 < kLongestName ? room * 2 : kLongestName;
      continue;
    }
    if (rc != ERROR_SUCCESS) return rc;
    if (length > room) length = room;
    *name = std::string(buffer.data(), length);
    return ERROR_SUCCESS;
  }
}

}  // namespace

long Win32RegistryApi::RegOpenKeyExA(HKey parent, const std::string& subKey, uint32_t access, HKey* result) {
  HKEY opened = nullptr;
  LONG rc = ::RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, access, &opened);
  if (rc == ERROR_SUCCESS && result) *result = FromHkey(opened);
  return rc;
}

long Win32RegistryApi::RegCreateKeyExA(HKey parent, const std::string& subKey, uint32_t access, HKey* result) {
  HKEY opened = nullptr;
  LONG rc = ::RegCreateKeyExA(ToHkey(parent), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                              &opened, nullptr);
  if (rc == ERROR_SUCCESS && result) *result = FromHkey(opened);
  return rc;
}

long Win32RegistryApi::RegCloseKey(HKey key) { return ::RegCloseKey(ToHkey(key)); }

long Win32RegistryApi::RegQueryValueExA(HKey key, const std::string& name, uint32_t* type, uint8_t* data,
                                        uint32_t* size) {
  DWORD gotType = 0;
  DWORD gotSize = size ? *size : 0;
  LONG rc = ::RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &gotType, data, size ? &gotSize : nullptr);
  // A short buffer still reports the type and the size the data needs.
  if (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
    if (type) *type = gotType;
    if (size) *size = gotSize;
  }
  return rc;
}

long Win32RegistryApi::RegSetValueExA(HKey key, const std::string& name, uint32_t type, const uint8_t* data,
                                      uint32_t size) {
  return ::RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
}

long Win32RegistryApi::RegQueryInfoKeyA(HKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen, uint32_t* values,
                                        uint32_t* maxValueNameLen) {
  DWORD gotSubKeys = 0, gotMaxSubKeyLen = 0, gotValues = 0, gotMaxValueNameLen = 0;
  LONG rc = ::RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &gotSubKeys, &gotMaxSubKeyLen, nullptr,
                               &gotValues, &gotMaxValueNameLen, nullptr, nullptr, nullptr);
  if (rc == ERROR_SUCCESS) {
    if (subKeys) *subKeys = gotSubKeys;
    if (maxSubKeyLen) *maxSubKeyLen = gotMaxSubKeyLen;
    if (values) *values = gotValues;
    if (maxValueNameLen) *maxValueNameLen = gotMaxValueNameLen;
  }
  return rc;
}

long Win32RegistryApi::RegEnumKeyExA(HKey key, uint32_t index, std::string* name) {
  if (!name) return ERROR_INVALID_PARAMETER;
  return EnumName(ToHkey(key), index, NameKind::SubKey, name);
}

long Win32RegistryApi::RegEnumValueA(HKey key, uint32_t index, std::string* name) {
  if (!name) return ERROR_INVALID_PARAMETER;
  return EnumName(ToHkey(key), index, NameKind::Value, name);
}

long Win32RegistryApi::RegDeleteKeyA(HKey key, const std::string& subKey) {
  return ::RegDeleteKeyA(ToHkey(key), subKey.c_str());
}

long Win32RegistryApi::RegDeleteValueA(HKey key, const std::string& name) {
  return ::RegDeleteValueA(ToHkey(key), name.c_str());
}
