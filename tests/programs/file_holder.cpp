// Holds a file open without sharing it, the way an editor or a virus scanner may lock a file
// while another program wants to delete or rename it.
//
//   file_holder.exe <path> <event>   opens <path> for reading and writing with share mode 0,
//                                    then sets the named event <event> and waits to be killed
//
// Exit code 2 for wrong arguments, 3 when the file cannot be opened (the event is not set).
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: file_holder <path> <event>\n");
    return 2;
  }
  HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "file_holder: cannot open %s: error %lu\n", argv[1], GetLastError());
    return 3;
  }
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
  if (ready) {
    SetEvent(ready);
    CloseHandle(ready);
  }
  Sleep(INFINITE);
  CloseHandle(file);
  return 0;
}
