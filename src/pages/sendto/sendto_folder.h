#pragma once
// Where the current user's Send To folder is: under the Windows directory on Windows 95, 98
// and ME, under "Documents and Settings" on the drive of the Windows directory everywhere else.
// Where that second folder does not exist, the shell's own record of the user's folder.
#include <cstddef>
#include <string>

#include "platform/system_api.h"

namespace sendto_buffers {
constexpr size_t kListing = 260;  // the listing's folder buffer, terminating zero included
constexpr size_t kEditing = 256;  // the editing operations' path, folder and message buffers
constexpr unsigned kWindowsDir = 260;
constexpr unsigned kUserName = 256;
}  // namespace sendto_buffers

// Composes the folder (ending with a backslash) into `out` and returns 1. Returns 0 with an
// empty `out` when the user name cannot be read, or when the folder would not fit a buffer of
// `outBuffer` characters: a cut folder text would name some other folder.
int GetSendToFolder(SystemApi& system, std::string& out, int osFamily, size_t outBuffer);
