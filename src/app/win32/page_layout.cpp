#include "app/win32/page_layout.h"

#include "app/win32/resource.h"

#include "app/win32/memo_texts.inc"

const PageSpec kPages[kPageCount] = {
    {"Sys Info", IDC_PAGE_SYSINFO}, {"Uninstall", IDC_PAGE_UNINSTALL}, {"Send to", IDC_PAGE_SENDTO},
    {"Optimise", IDC_PAGE_OPTIMISE}, {"OS Info", IDC_PAGE_OSINFO},     {"About...", IDC_PAGE_ABOUT},
};

namespace {
constexpr const char* kRestartHint = "You must restart Windows for changes to take effect";
constexpr const char* kDocsHint = "Press to clear the recent documents list";
using K = ControlKind;
}  // namespace

// Pages are 306 by 294 pixels. Each field's label stands right before it, so that the tab order
// and screen readers name the field by its label.
const ControlSpec kControls[] = {
    // "Sys Info": six fields on the left, three on the right above the help memo.
    {kPageSysInfo, K::Label, IDC_SYSINFO_LABEL_FIRST + 0, "Computer name :", 8, 6, 140, 13, nullptr, 0},
    {kPageSysInfo, K::Edit, IDC_SYSINFO_COMPUTERNAME, "", 8, 20, 140, 21, kRestartHint, 0},
    {kPageSysInfo, K::Label, IDC_SYSINFO_LABEL_FIRST + 1, "Registered to : ", 8, 44, 140, 13, nullptr, 0},
    {kPageSysInfo, K::Edit, IDC_SYSINFO_USERNAME, "", 8, 58, 140, 21, nullptr, 0},
    {kPageSysInfo, K::Label, IDC_SYSINFO_LABEL_FIRST + 2, "Company name : ", 8, 82, 140, 13, nullptr, 0},
    {kPageSysInfo, K::Edit, IDC_SYSINFO_COMPANY, "", 8, 96, 140, 21, nullptr, 0},
    {kPageSysInfo, K::Label, IDC_SYSINFO_LABEL_FIRST + 3, "Windows installer path : ", 8, 120, 140, 13, nullptr, 0},
    {kPageSysInfo, K::Edit, IDC_SYSINFO_WININSTPATH, "", 8, 134, 140, 21, nullptr, 0},
    {kPageSysInfo, K::Label, IDC_SYSINFO_LABEL_FIRST + 4, "Program files path :", 8, 158, 140, 13, nullptr, 0},
    {kPageSysInfo, K::Edit, IDC_SYSINFO_PROGRAMFILES, "", 8, 172, 140, 21, nullptr, 0},
    {kPageSysInfo, K::Label, IDC_SYSINFO_LABEL_FIRST + 5, "Wallpaper directory :", 8, 196, 140, 13, nullptr, 0},
    {kPageSysInfo, K::Edit, IDC_SYSINFO_WALLPAPER, "", 8, 210, 140, 21, nullptr, 0},
    {kPageSysInfo, K::Label, IDC_SYSINFO_LABEL_FIRST + 6, "Device path : ", 158, 6, 140, 13, nullptr, 0},
    {kPageSysInfo, K::Edit, IDC_SYSINFO_DEVICEPATH, "", 158, 20, 140, 21, nullptr, 0},
    {kPageSysInfo, K::Label, IDC_SYSINFO_LABEL_FIRST + 7, "Common files path : ", 158, 44, 140, 13, nullptr, 0},
    {kPageSysInfo, K::Edit, IDC_SYSINFO_COMMONFILES, "", 158, 58, 140, 21, nullptr, 0},
    {kPageSysInfo, K::Label, IDC_SYSINFO_LABEL_FIRST + 8, "Windows Directory :", 158, 82, 140, 13, nullptr, 0},
    {kPageSysInfo, K::ReadOnlyEdit, IDC_SYSINFO_BOOTFROM, "", 158, 96, 140, 21, nullptr, 0},
    {kPageSysInfo, K::Button, IDC_SYSINFO_SET, "&Set", 158, 262, 68, 25, nullptr, IDB_SET},
    {kPageSysInfo, K::DefaultButton, IDC_SYSINFO_EXIT, "&Exit", 230, 262, 68, 25, nullptr, IDB_EXIT},
    {kPageSysInfo, K::Memo, IDC_SYSINFO_MEMO, kMemo3, 158, 124, 140, 130, nullptr, 0},
    {kPageSysInfo, K::Picture, IDC_SYSINFO_IMAGE, nullptr, 8, 252, 121, 32, nullptr, IDB_SYSINFO_DECOR},

    // "Uninstall": the three buttons of a row need 96 pixels each for caption and picture, so
    // this page keeps 6-pixel margins.
    {kPageUninstall, K::Label, IDC_UNINSTALL_LABEL, "Installed programs :", 6, 6, 174, 13, nullptr, 0},
    {kPageUninstall, K::ListBox, IDC_UNINSTALL_LIST, nullptr, 6, 22, 174, 198, nullptr, 0},
    {kPageUninstall, K::Button, IDC_UNINSTALL_UNINSTALL, "&Uninstall", 6, 228, 96, 25, nullptr, IDB_UNINSTALL},
    {kPageUninstall, K::Button, IDC_UNINSTALL_SYNC, "&Sync list", 105, 228, 96, 25, nullptr, IDB_SYNC},
    {kPageUninstall, K::Button, IDC_UNINSTALL_DELETE, "&Delete entry", 204, 228, 96, 25, kDocsHint, IDB_CANCEL},
    {kPageUninstall, K::Button, IDC_UNINSTALL_CLEARRUN, "Clear &runlist", 6, 260, 96, 25, kDocsHint, IDB_CLEARRUN},
    {kPageUninstall, K::Button, IDC_UNINSTALL_CLEARDOCS, "&Clear docs", 105, 260, 96, 25, kDocsHint, IDB_CLEARDOCS},
    {kPageUninstall, K::Memo, IDC_UNINSTALL_MEMO, kMemo2, 186, 22, 114, 198, nullptr, 0},
    {kPageUninstall, K::Picture, IDC_UNINSTALL_IMAGE, nullptr, 236, 257, 32, 32, nullptr, IDB_UNINSTALL_DECOR},

    // "Send to": tab order list, Add, Remove, Edit, memo.
    {kPageSendTo, K::Label, IDC_SENDTO_LABEL, "Send to list :", 8, 6, 180, 13, nullptr, 0},
    {kPageSendTo, K::FileDropList, IDC_SENDTO_LIST, nullptr, 8, 22, 180, 264, nullptr, 0},
    {kPageSendTo, K::Button, IDC_SENDTO_ADD, "&Add...", 196, 198, 102, 25, nullptr, IDB_ADD},
    {kPageSendTo, K::Button, IDC_SENDTO_REMOVE, "&Remove", 196, 228, 102, 25, nullptr, IDB_NO},
    {kPageSendTo, K::Button, IDC_SENDTO_EDIT, "&Edit...", 196, 258, 102, 25, nullptr, IDB_EDIT},
    {kPageSendTo, K::Memo, IDC_SENDTO_MEMO, kMemo1, 196, 22, 102, 168, nullptr, 0},

    // "Optimise"
    {kPageOptimise, K::BorderedMemo, IDC_OPTIMISE_MEMO, kMemo4, 8, 8, 290, 200, nullptr, 0},
    {kPageOptimise, K::Button, IDC_OPTIMISE_WINALIGN, "&WinAlign", 8, 218, 94, 25, nullptr, IDB_WINALIGN},
    {kPageOptimise, K::Button, IDC_OPTIMISE_SCANDISK, "&ScanDisk", 106, 218, 94, 25, nullptr, IDB_SCANDISK},
    {kPageOptimise, K::Button, IDC_OPTIMISE_DEFRAG, "&Defragment", 204, 218, 94, 25, nullptr, IDB_DEFRAG},
    {kPageOptimise, K::Picture, IDC_OPTIMISE_IMG_WINALIGN, nullptr, 8, 254, 32, 32, nullptr, IDI_OPT_WINALIGN},
    {kPageOptimise, K::Picture, IDC_OPTIMISE_IMG_SCANDISK, nullptr, 48, 254, 32, 32, nullptr, IDI_OPT_SCANDISK},
    {kPageOptimise, K::Picture, IDC_OPTIMISE_IMG_DEFRAG, nullptr, 88, 254, 32, 32, nullptr, IDI_OPT_DEFRAG},

    // "OS Info": five groups divided by separator lines, the four pictures below.
    {kPageOsInfo, K::Label, IDC_OSINFO_OS, "Operating system : ", 8, 8, 290, 14, nullptr, 0},
    {kPageOsInfo, K::Label, IDC_OSINFO_BUILD, "Build : ", 8, 24, 290, 14, nullptr, 0},
    {kPageOsInfo, K::Bevel, IDC_OSINFO_BEVEL1, nullptr, 8, 44, 290, 2, nullptr, 0},
    {kPageOsInfo, K::Label, IDC_OSINFO_PLUSVERSION, "Ms Plus version : ", 8, 52, 290, 14, nullptr, 0},
    {kPageOsInfo, K::Label, IDC_OSINFO_PLUSPRODUCTID, "Plus product ID : ", 8, 68, 290, 14, nullptr, 0},
    {kPageOsInfo, K::Bevel, IDC_OSINFO_BEVEL2, nullptr, 8, 88, 290, 2, nullptr, 0},
    {kPageOsInfo, K::Label, IDC_OSINFO_PRODUCTID, "Windows ID : ", 8, 96, 290, 14, nullptr, 0},
    {kPageOsInfo, K::Label, IDC_OSINFO_PRODUCTKEY, "Product key : ", 8, 112, 290, 14, nullptr, 0},
    {kPageOsInfo, K::Bevel, IDC_OSINFO_BEVEL4, nullptr, 8, 132, 290, 2, nullptr, 0},
    {kPageOsInfo, K::Label, IDC_OSINFO_IE, "Internet explorer version : ", 8, 140, 290, 14, nullptr, 0},
    {kPageOsInfo, K::Bevel, IDC_OSINFO_BEVEL5, nullptr, 8, 160, 290, 2, nullptr, 0},
    {kPageOsInfo, K::Label, IDC_OSINFO_DIRECTX, "DirectX installed : ", 8, 168, 290, 14, nullptr, 0},
    {kPageOsInfo, K::Label, IDC_OSINFO_DIRECTXVER, "DirectX version : ", 8, 184, 290, 14, nullptr, 0},
    {kPageOsInfo, K::Picture, IDC_OSINFO_IMAGE1, nullptr, 8, 250, 32, 32, nullptr, IDI_WINFLAG},
    {kPageOsInfo, K::Picture, IDC_OSINFO_IMAGE2, nullptr, 48, 250, 32, 32, nullptr, IDI_PLUS},
    {kPageOsInfo, K::Picture, IDC_OSINFO_IMAGE3, nullptr, 88, 250, 32, 32, nullptr, IDI_IE},
    {kPageOsInfo, K::Picture, IDC_OSINFO_IMAGE4, nullptr, 128, 250, 32, 32, nullptr, IDI_DIRECTX},

    // "About...": the positions are fixed.
    {kPageAbout, K::Picture, IDC_ABOUT_IMAGE8, nullptr, 22, 16, 32, 32, nullptr, IDI_KEELBROOK},
    {kPageAbout, K::Label, IDC_ABOUT_LABEL11, "Keelbrook 2003", 88, 16, 200, 13, nullptr, 0},
    {kPageAbout, K::Label, IDC_ABOUT_LABEL12, "Written by the Keelbrook team", 88, 29, 200, 13, nullptr, 0},
    {kPageAbout, K::Label, IDC_ABOUT_LABEL13, "1998 - 2003", 87, 43, 200, 13, nullptr, 0},
    {kPageAbout, K::Picture, IDC_ABOUT_IMAGE9, nullptr, 21, 74, 32, 32, nullptr, IDI_MAIL},
    {kPageAbout, K::Label, IDC_ABOUT_LABEL14, "Questions and suggestions :", 92, 76, 200, 13, nullptr, 0},
    {kPageAbout, K::Label, IDC_ABOUT_LABEL15, "keelbrook@example.org", 120, 90, 170, 13, nullptr, 0},
    {kPageAbout, K::Picture, IDC_ABOUT_IMAGE10, nullptr, 20, 130, 32, 32, nullptr, IDI_WEB},
    {kPageAbout, K::Label, IDC_ABOUT_LABEL16, "www.example.org/keelbrook", 88, 138, 200, 13, nullptr, 0},
    {kPageAbout, K::Picture, IDC_ABOUT_TWEETY, nullptr, 20, 186, 32, 32, nullptr, IDI_NORMAL},
    {kPageAbout, K::Label, IDC_ABOUT_LABEL17, "For everyone who keeps an old computer running well.", 88, 188, 210, 28, nullptr, 0},
    {kPageAbout, K::HiddenPicture, IDC_ABOUT_SMILE, nullptr, 52, 248, 32, 32, nullptr, IDI_SMILE},
    {kPageAbout, K::HiddenPicture, IDC_ABOUT_NORMAL, nullptr, 92, 248, 32, 32, nullptr, IDI_NORMAL},
    {kPageAbout, K::Button, IDC_ABOUT_CLOSE, "&Close", 201, 258, 96, 25, nullptr, IDB_CLOSE},
};

const int kControlCount = static_cast<int>(sizeof kControls / sizeof kControls[0]);
