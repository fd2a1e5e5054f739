// An uninstaller that dies half-way: it notes that it started, then faults with an access
// violation, leaving its registration behind as a crashed uninstaller does.
//
//   crash_uninstaller.exe <marker>   appends "crash started <pid>" to <marker>, then faults
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (FILE* f = std::fopen(argv[1], "a")) {
    std::fprintf(f, "crash started %lu\n", GetCurrentProcessId());
    std::fclose(f);
  }
  // A real fault, not an exit: the system's crash handling runs as for any broken program.
  volatile int* nowhere = nullptr;
  *nowhere = 1;
  return 0;
}
