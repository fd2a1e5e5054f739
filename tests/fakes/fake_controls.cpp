#include "fakes/fake_controls.h"

#include <cstdlib>
#include <cstring>

FakeForm::FakeForm() {
  MainControls c;
  c.window = &window;
  c.txtComputerName = &txtComputerName;
  c.txtUserName = &txtUserName;
  c.txtCompanyName = &txtCompanyName;
  c.txtWinInstpath = &txtWinInstpath;
  c.txtProgramFiles = &txtProgramFiles;
  c.txtWallpaperDir = &txtWallpaperDir;
  c.txtDevicePath = &txtDevicePath;
  c.txtCommonFilesPath = &txtCommonFilesPath;
  c.txtBootFrom = &txtBootFrom;
  c.lstUnInstList = &lstUnInstList;
  c.lstSendTo = &lstSendTo;
  c.OpenDlg = &OpenDlg;
  c.lblOS = &lblOS;
  c.lblBuild = &lblBuild;
  c.lblPlusVersion = &lblPlusVersion;
  c.lblPlusProductID = &lblPlusProductID;
  c.lblProductID = &lblProductID;
  c.lblProductKey = &lblProductKey;
  c.lblIE = &lblIE;
  c.lblDirectX = &lblDirectX;
  c.lblDirectXVersion = &lblDirectXVersion;
  c.Label11 = &Label11;
  c.Label12 = &Label12;
  c.Label13 = &Label13;
  c.imgTweety = &imgTweety;
  c.imgSmile = &imgSmile;
  c.imgNormal = &imgNormal;
  inputBox.AttachView(&inputView);
  form = std::make_unique<TfrmMain>(registry, system, objects, c, inputBox);
}

OsVersionInfo VersionRecord(uint32_t platform, uint32_t major, uint32_t minor, uint32_t build,
                            const char* servicePack, uint8_t productType, uint16_t suite) {
  OsVersionInfo v;
  v.dwOSVersionInfoSize = kOsVersionInfoExSize;
  v.dwPlatformId = platform;
  v.dwMajorVersion = major;
  v.dwMinorVersion = minor;
  v.dwBuildNumber = build;
  std::strncpy(v.szCSDVersion, servicePack, sizeof v.szCSDVersion - 1);
  if (std::strncmp(servicePack, "Service Pack ", 13) == 0) v.wServicePackMajor = static_cast<uint16_t>(std::atoi(servicePack + 13));
  v.wProductType = productType;
  v.wSuiteMask = suite;
  return v;
}
