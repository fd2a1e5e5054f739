#include "pages/sendto/dir_util.h"

CDirUtil::~CDirUtil() { CloseSearch(); }

void CDirUtil::CloseSearch() {
  if (search_ == kInvalidSysHandle) return;
  system_.FindClose(search_);
  search_ = kInvalidSysHandle;
}

void CDirUtil::SetDir(const std::string& folder) {
  CloseSearch();
  folder_ = folder;
}

int CDirUtil::GetNextEntry(const std::string& pattern, uint32_t mask, std::string& name, size_t nameBuffer) {
  FindData data;
  if (search_ == kInvalidSysHandle) {
    // Without a folder there is nothing to list: a search for "\<pattern>" would walk the root
    // of the current drive instead.
    if (!folder_) return 0;
    // The folder text usually ends with a backslash already; the doubled separator this gives
    // is read as one by the file system.
    const std::string search = *folder_ + "\\" + pattern;
    if (search.size() >= kSearchBuffer) return 0;
    const SysHandle found = system_.FindFirstFileA(search, data);
    if (found == kInvalidSysHandle) return 0;
    search_ = found;
  } else if (!system_.FindNextFileA(search_, data)) {
    CloseSearch();
    return 0;
  }

  if (data.cFileName == "." || data.cFileName == "..") {
    name.clear();
    return 1;
  }
  if ((data.dwFileAttributes & mask) == 0) {
    name.clear();
    return 1;
  }
  std::string entry = data.cFileName;
  if (data.dwFileAttributes & file_attr::kDirectory) entry += '\\';
  if (entry.size() >= nameBuffer) entry.clear();  // skipped rather than cut into another name
  name = entry;
  return 1;
}
