#pragma once
// Every control of the main window that the form logic touches, written once: the port it is
// seen through, its name on the form and its control id. Its place on its page is in
// app/win32/page_layout.cpp. The form's members, the controls handed to it, the Win32 shell's
// wiring by id and the tests' fake form all come from this list, so none of them can miss one.
// The ids are app/win32/resource.h's; they are only expanded where that file is known.
#define KB_MAIN_CONTROLS(X)                                   \
  /* "Sys Info" */                                            \
  X(TextControl, txtComputerName, IDC_SYSINFO_COMPUTERNAME)   \
  X(TextControl, txtUserName, IDC_SYSINFO_USERNAME)           \
  X(TextControl, txtCompanyName, IDC_SYSINFO_COMPANY)         \
  X(TextControl, txtWinInstpath, IDC_SYSINFO_WININSTPATH)     \
  X(TextControl, txtProgramFiles, IDC_SYSINFO_PROGRAMFILES)   \
  X(TextControl, txtWallpaperDir, IDC_SYSINFO_WALLPAPER)      \
  X(TextControl, txtDevicePath, IDC_SYSINFO_DEVICEPATH)       \
  X(TextControl, txtCommonFilesPath, IDC_SYSINFO_COMMONFILES) \
  X(TextControl, txtBootFrom, IDC_SYSINFO_BOOTFROM)           \
  /* "Uninstall", "Send to" */                                \
  X(ListBoxControl, lstUnInstList, IDC_UNINSTALL_LIST)        \
  X(ListBoxControl, lstSendTo, IDC_SENDTO_LIST)               \
  /* "OS Info" */                                             \
  X(LabelControl, lblOS, IDC_OSINFO_OS)                       \
  X(LabelControl, lblBuild, IDC_OSINFO_BUILD)                 \
  X(LabelControl, lblPlusVersion, IDC_OSINFO_PLUSVERSION)     \
  X(LabelControl, lblPlusProductID, IDC_OSINFO_PLUSPRODUCTID) \
  X(LabelControl, lblProductID, IDC_OSINFO_PRODUCTID)         \
  X(LabelControl, lblProductKey, IDC_OSINFO_PRODUCTKEY)       \
  X(LabelControl, lblIE, IDC_OSINFO_IE)                       \
  X(LabelControl, lblDirectX, IDC_OSINFO_DIRECTX)             \
  X(LabelControl, lblDirectXVersion, IDC_OSINFO_DIRECTXVER)   \
  /* "About..." */                                            \
  X(LabelControl, Label11, IDC_ABOUT_LABEL11)                 \
  X(LabelControl, Label12, IDC_ABOUT_LABEL12)                 \
  X(LabelControl, Label13, IDC_ABOUT_LABEL13)                 \
  X(PictureControl, imgTweety, IDC_ABOUT_TWEETY)              \
  X(PictureControl, imgSmile, IDC_ABOUT_SMILE)                \
  X(PictureControl, imgNormal, IDC_ABOUT_NORMAL)
