#pragma once
// Which family of Windows the program runs on: found once while the main window is created
// (pages/osinfo), kept by the main window, and read by every page whose registry locations,
// folders or tools differ between the families. Readers compare against these numbers, so they
// never change.
namespace os_family {
constexpr int kUnknown = 0;   // the version call failed or the version is not one we know
constexpr int kWin32s = 1;    // Win32s on Windows 3.1
constexpr int kWin9x = 2;     // Windows 95, 98, ME
constexpr int kWinNt4 = 3;    // Windows NT 4 or earlier
constexpr int kWin2000 = 4;
constexpr int kWinXp = 5;
constexpr int kWin2003 = 6;
}  // namespace os_family
