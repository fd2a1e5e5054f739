// Resource and control identifiers of keelbrook.exe. The end-to-end driver finds every control
// through this file, so each id is fixed once given. One block and number range per page.
#ifndef KEELBROOK_RESOURCE_H
#define KEELBROOK_RESOURCE_H

// Icons and images (100-199)
#define IDI_KEELBROOK            100
#define IDB_SET                  110
#define IDB_EXIT                 111
#define IDB_SYSINFO_DECOR        112
#define IDB_CLEARRUN             113
#define IDB_CLEARDOCS            114
#define IDB_CANCEL               115
#define IDB_UNINSTALL            116
#define IDB_SYNC                 117
#define IDB_UNINSTALL_DECOR      118
#define IDB_ADD                  119
#define IDB_EDIT                 120
#define IDB_NO                   121
#define IDB_WINALIGN             122
#define IDB_SCANDISK             123
#define IDB_DEFRAG               124
#define IDB_OK                   125
#define IDB_CLOSE                126
#define IDI_WINFLAG              140
#define IDI_PLUS                 141
#define IDI_IE                   142
#define IDI_DIRECTX              143
#define IDI_MAIL                 144
#define IDI_WEB                  145
#define IDI_NORMAL               146
#define IDI_SMILE                147
#define IDI_OPT_WINALIGN         148
#define IDI_OPT_SCANDISK         149
#define IDI_OPT_DEFRAG           150

// Main window (1000-1099)
#define IDC_MAIN_TABS            1000   // MyTabs
#define IDC_PAGE_SYSINFO         1010   // the six page windows, in tab order
#define IDC_PAGE_UNINSTALL       1011
#define IDC_PAGE_SENDTO          1012
#define IDC_PAGE_OPTIMISE        1013
#define IDC_PAGE_OSINFO          1014
#define IDC_PAGE_ABOUT           1015

// "Sys Info" (1100-1199): edit fields, their labels (+50), buttons, memo
#define IDC_SYSINFO_COMPUTERNAME 1101   // txtComputerName
#define IDC_SYSINFO_USERNAME     1102   // txtUserName
#define IDC_SYSINFO_COMPANY      1103   // txtCompanyName
#define IDC_SYSINFO_WININSTPATH  1104   // txtWinInstpath
#define IDC_SYSINFO_PROGRAMFILES 1105   // txtProgramFiles
#define IDC_SYSINFO_WALLPAPER    1106   // txtWallpaperDir
#define IDC_SYSINFO_DEVICEPATH   1107   // txtDevicePath
#define IDC_SYSINFO_COMMONFILES  1108   // txtCommonFilesPath
#define IDC_SYSINFO_BOOTFROM     1109   // txtBootFrom (read-only)
#define IDC_SYSINFO_SET          1120   // btnSet "&Set"
#define IDC_SYSINFO_EXIT         1121   // btnSystemExit "&Exit", the page's default button
#define IDC_SYSINFO_MEMO         1130   // Memo3
#define IDC_SYSINFO_IMAGE        1131   // Image5
#define IDC_SYSINFO_LABEL_FIRST  1151   // label of field 1101 is 1151, of 1109 is 1159

// "Uninstall" (1200-1299)
#define IDC_UNINSTALL_LABEL      1200   // Label5
#define IDC_UNINSTALL_LIST       1201   // lstUnInstList
#define IDC_UNINSTALL_MEMO       1202   // Memo2
#define IDC_UNINSTALL_CLEARRUN   1210   // btnClearRunList "Clear &runlist"
#define IDC_UNINSTALL_CLEARDOCS  1211   // btnDelDocList "&Clear docs"
#define IDC_UNINSTALL_DELETE     1212   // btnRemoveEntry "&Delete entry" (Escape)
#define IDC_UNINSTALL_UNINSTALL  1213   // btnUninstall "&Uninstall"
#define IDC_UNINSTALL_SYNC       1214   // bntSync "&Sync list"
#define IDC_UNINSTALL_IMAGE      1220   // Image11

// "Send to" (1300-1399)
#define IDC_SENDTO_LABEL         1300   // Label10
#define IDC_SENDTO_LIST          1301   // lstSendTo
#define IDC_SENDTO_MEMO          1302   // Memo1
#define IDC_SENDTO_ADD           1310   // btnSendToAdd "&Add..."
#define IDC_SENDTO_EDIT          1311   // btnSendToEdit "&Edit..."
#define IDC_SENDTO_REMOVE        1312   // btnSendToRemove "&Remove" (Escape)

// "Optimise" (1400-1499)
#define IDC_OPTIMISE_MEMO        1400   // Memo4
#define IDC_OPTIMISE_WINALIGN    1410   // btnRunWinAlign "&WinAlign"
#define IDC_OPTIMISE_SCANDISK    1411   // btnRunScanDisk "&ScanDisk"
#define IDC_OPTIMISE_DEFRAG      1412   // btnRunDefrag "&Defragment"
#define IDC_OPTIMISE_IMG_WINALIGN 1420  // imgWinAlign
#define IDC_OPTIMISE_IMG_SCANDISK 1421  // imgScanDisk
#define IDC_OPTIMISE_IMG_DEFRAG  1422   // Image7

// "OS Info" (1500-1599)
#define IDC_OSINFO_OS            1501   // lblOS
#define IDC_OSINFO_BUILD         1502   // lblBuild
#define IDC_OSINFO_PLUSVERSION   1503   // lblPlusVersion
#define IDC_OSINFO_PLUSPRODUCTID 1504   // lblPlusProductID
#define IDC_OSINFO_PRODUCTID     1505   // lblProductID
#define IDC_OSINFO_PRODUCTKEY    1506   // lblProductKey
#define IDC_OSINFO_IE            1507   // lblIE
#define IDC_OSINFO_DIRECTX       1508   // lblDirectX
#define IDC_OSINFO_DIRECTXVER    1509   // lblDirectXVersion
#define IDC_OSINFO_BEVEL1        1520   // Bevel1, Bevel2, Bevel4, Bevel5
#define IDC_OSINFO_BEVEL2        1521
#define IDC_OSINFO_BEVEL4        1522
#define IDC_OSINFO_BEVEL5        1523
#define IDC_OSINFO_IMAGE1        1531   // Image1 .. Image4
#define IDC_OSINFO_IMAGE2        1532
#define IDC_OSINFO_IMAGE3        1533
#define IDC_OSINFO_IMAGE4        1534

// "About..." (1600-1699)
#define IDC_ABOUT_IMAGE8         1601   // Image8, the program icon
#define IDC_ABOUT_LABEL11        1611   // Label11 .. Label17
#define IDC_ABOUT_LABEL12        1612
#define IDC_ABOUT_LABEL13        1613
#define IDC_ABOUT_LABEL14        1614
#define IDC_ABOUT_LABEL15        1615
#define IDC_ABOUT_LABEL16        1616
#define IDC_ABOUT_LABEL17        1617
#define IDC_ABOUT_IMAGE9         1602   // Image9, mail
#define IDC_ABOUT_IMAGE10        1603   // Image10, web
#define IDC_ABOUT_TWEETY         1604   // imgTweety
#define IDC_ABOUT_SMILE          1605   // imgSmile (hidden)
#define IDC_ABOUT_NORMAL         1606   // imgNormal (hidden)
#define IDC_ABOUT_CLOSE          1620   // btnAboutClose "&Close"

// Input dialog FormInputBox (1700-1799)
#define IDD_INPUTBOX             1700
#define IDC_INPUT_MESSAGE        1701   // lblMessage
#define IDC_INPUT_EDIT           1702   // txtGetInfo
#define IDC_INPUT_OK             1    // BitBtn1 (IDOK)
#define IDC_INPUT_CANCEL         2    // BitBtn2 (IDCANCEL)

#endif
