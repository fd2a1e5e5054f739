#include "pages/sendto/sendto_folder.h"

#include "platform/os_family.h"
#include "pages/sendto/text_rules.h"

namespace {

// A folder exists when a search in it starts: every folder but a drive's root holds "." at least.
bool FolderExists(SystemApi& system, const std::string& folder) {
  FindData entry;
  const SysHandle search = system.FindFirstFileA(folder + "*", entry);
  if (search == kInvalidSysHandle) return false;
  system.FindClose(search);
  return true;
}

}  // namespace

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
    // That is where a fresh English 2000, XP or 2003 keeps it. NT 4.0 keeps profiles under
    // the Windows directory (Profiles\<user>), and so does a 2000 upgraded from it; a profile
    // folder takes a suffix when its name is taken (anna.000, anna.CORP), possibly beside a stale
    // folder of the plain name; other languages name "Documents and Settings" in their own
    // words. The folder Explorer's Send To menu shows is the one the shell records: it is taken
    // wherever it exists, or where the composed folder does not.
    std::string shell;
    if (system.ShellFolderPathA(kCsidlSendTo, shell) && !shell.empty()) {
      if (!EndsWithBackslash(shell, CodePage(system))) shell += "\\";
      if (FolderExists(system, shell) || !FolderExists(system, folder)) folder = shell;
    }
  }
  if (folder.size() >= outBuffer) {
    out.clear();
    return 0;
  }
  out = folder;
  return 1;
}
