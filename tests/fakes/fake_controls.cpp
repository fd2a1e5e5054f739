#include "fakes/fake_controls.h"

#include <cstdlib>
#include <cstring>

FakeForm::FakeForm() {
  // What the window shows before creation fills it: the labels' captions, the pictures' images.
  lblOS.text = "Operating system : ";
  lblBuild.text = "Build : ";
  lblPlusVersion.text = "Ms Plus version : ";
  lblPlusProductID.text = "Plus product ID : ";
  lblProductID.text = "Windows ID : ";
  lblProductKey.text = "Product key : ";
  lblIE.text = "Internet explorer version : ";
  lblDirectX.text = "DirectX installed : ";
  lblDirectXVersion.text = "DirectX version : ";
  Label11.text = "Keelbrook 2003";
  Label12.text = "credits";
  Label13.text = "dates";
  imgTweety.image = imgNormal.image = 146;
  imgSmile.image = 147;
  inputBox.AttachView(&inputView);
  form = std::make_unique<TfrmMain>(registry, system, objects, Controls(), inputBox);
}

MainControls FakeForm::Controls() {
  MainControls c;
  c.window = &window;
  c.OpenDlg = &OpenDlg;
#define KB_FAKE_WIRE(Port, name, id) c.name = &name;
  KB_MAIN_CONTROLS(KB_FAKE_WIRE)
#undef KB_FAKE_WIRE
  return c;
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
