#pragma once
// CDirUtil lists one folder, one level deep, one entry per call, in the order the file system
// yields them. It never descends into sub-folders and never sorts.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/system_api.h"

namespace file_attr {
constexpr uint32_t kReadOnly = 0x01;
constexpr uint32_t kHidden = 0x02;
constexpr uint32_t kSystem = 0x04;
constexpr uint32_t kDirectory = 0x10;
constexpr uint32_t kArchive = 0x20;
constexpr uint32_t kNormal = 0x80;
}  // namespace file_attr

class CDirUtil {
 public:
  static constexpr size_t kSearchBuffer = 256;  // "<folder>\<pattern>", terminating zero included
  static constexpr size_t kNameBuffer = 260;    // the callers' name buffer

  explicit CDirUtil(SystemApi& system) : system_(system) {}
  // A search still open is closed: the handle belongs to this object.
  ~CDirUtil();
  CDirUtil(const CDirUtil&) = delete;
  CDirUtil& operator=(const CDirUtil&) = delete;

  // Stores a copy of the folder and restarts the enumeration: the next GetNextEntry begins a
  // new search (one still open is closed first).
  void SetDir(const std::string& folder);
  // The folder exactly as stored, a trailing backslash included; none before SetDir.
  std::optional<std::string> GetDir() const { return folder_; }

  // One step of the enumeration. 1: one entry was taken and `name` holds its name ("\" added
  // for a folder) when its attributes share a bit with `mask`, or the empty text when they do
  // not, for "." and "..", and for a name that would not fit a buffer of `nameBuffer`
  // characters. 0: the enumeration has ended or cannot start; `name` is untouched.
  int GetNextEntry(const std::string& pattern, uint32_t mask, std::string& name, size_t nameBuffer = kNameBuffer);

 private:
  void CloseSearch();

  SystemApi& system_;
  std::optional<std::string> folder_;
  SysHandle search_ = kInvalidSysHandle;
};
