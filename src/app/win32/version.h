// The one place the program's version is written; the version resource and `make dist` read it.
#define KB_VERSION_MAJOR 1
#define KB_VERSION_MINOR 0
#define KB_VERSION_PATCH 0
#define KB_VERSION_TEXT "1.0.0"
