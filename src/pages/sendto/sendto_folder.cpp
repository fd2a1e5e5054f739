#include "pages/sendto/sendto_folder.h"

#include "pages/osinfo/os_identification.h"
#include "pages/sendto/text_rules.h"

int GetSendToFolder(SystemApi& system, std::string& out, int osFamily, size_t outBuffer) {
  const std::string windows = system.GetWindowsDirectoryA(sendto_buffers::kWindowsDir);
  std::string folder;
  if (osFamily == os_family::kWin9x) {
    folder = windows + "\\SendTo\\";
  } else {
    // Every other family, the unidentified one included, has per-user folders. Only the drive
    // of the Windows directory is used, whatever folder Windows lives in.
    std::string user;
    if (!system.GetUserNameA(sendto_buffers::kUserName, user)) {
      out.clear();
      return 0;
    }
    folder = std::string(1, DriveLetterOf(windows)) + ":\\Documents and Settings\\" + user + "\\SendTo\\";
  }
  if (folder.size() >= outBuffer) {
    out.clear();
    return 0;
  }
  out = folder;
  return 1;
}
