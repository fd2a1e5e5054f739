#pragma once
// Tab indexes of the pages, in the order of the tabs.
enum PageIndex { kPageSysInfo = 0, kPageUninstall, kPageSendTo, kPageOptimise, kPageOsInfo, kPageAbout, kPageCount };
