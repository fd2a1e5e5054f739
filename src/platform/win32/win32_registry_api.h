#pragma once
// RegistryApi over advapi32: each method forwards to the "A" function of the same name and
// translates between HKEY and the plain handle type; nothing here decides anything.
#include <windows.h>

#include "platform/registry_api.h"

class Win32RegistryApi : public RegistryApi {
 public:
  Win32RegistryApi() = default;

  long RegOpenKeyExA(HKey parent, const std::string& subKey, uint32_t access, HKey* result) override;
  long RegCreateKeyExA(HKey parent, const std::string& subKey, uint32_t access, HKey* result) override;
  long RegCloseKey(HKey key) override;
  long RegQueryValueExA(HKey key, const std::string& name, uint32_t* type, uint8_t* data,
                        uint32_t* size) override;
  long RegSetValueExA(HKey key, const std::string& name, uint32_t type, const uint8_t* data,
                      uint32_t size) override;
  long RegQueryInfoKeyA(HKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen, uint32_t* values,
                        uint32_t* maxValueNameLen) override;
  long RegEnumKeyExA(HKey key, uint32_t index, std::string* name) override;
  long RegEnumValueA(HKey key, uint32_t index, std::string* name) override;
  long RegDeleteKeyA(HKey key, const std::string& subKey) override;
  long RegDeleteValueA(HKey key, const std::string& name) override;
};
