#pragma once
// A test bed for the file, folder, version and comparison calls of SystemApi: an empty scratch
// folder plus a way to put files in it and look at them without going through the calls under
// test. The host defines it over FakeSystem, the Wine build over the real adapter and real disk,
// and the same cases run on both so the fake cannot wander away from Windows.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/system_api.h"

class FileOpsBed {
 public:
  virtual ~FileOpsBed() = default;
  virtual SystemApi& System() = 0;
  // The scratch folder: exists, empty, no trailing backslash. Removed with the bed.
  virtual std::string Folder() = 0;
  virtual void MakeFile(const std::string& path, uint32_t attributes = 0x20) = 0;
  virtual void MakeFolder(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // Attribute bits of an existing entry, 0xFFFFFFFF when missing.
  virtual uint32_t Attributes(const std::string& path) = 0;
};

std::unique_ptr<FileOpsBed> MakeFileOpsBed();
