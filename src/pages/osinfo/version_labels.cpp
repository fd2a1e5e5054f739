// "OS Info": the Windows product, Plus!, Internet Explorer and DirectX labels, read once while the
// window is created, and the pictures that colour their label groups while pressed.
#include "app/tfrm_main.h"

namespace {

constexpr const char* kCurrentVersionPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kInternetExplorerPath = "SOFTWARE\\Microsoft\\Internet Explorer";
constexpr const char* kDirectXPath = "SOFTWARE\\Microsoft\\DirectX";
constexpr const char* kNotInstalled = "Not installed";

// Each label keeps its laid-out caption, which ends in ": ", and the value follows it directly.
void Append(LabelControl& label, const std::string& value) { label.SetText(label.GetText() + value); }

// Walks to the key from HKEY_LOCAL_MACHINE. When a piece of the path is missing the values are
// taken as absent: reading them from whichever key above did open would show, say, a "Version"
// of SOFTWARE\Microsoft as the Internet Explorer version.
bool OpenFromRoot(RegistryAccess& registry, const std::string& path) {
  registry.CloseKey();
  if (OpenPiecewise(registry, path, true)) return true;
  registry.CloseKey();
  return false;
}

}  // namespace

void TfrmMain::LoadProductLabels(RegistryAccess& registry) {
  // With the key missing every read below gives the empty text, as for absent values.
  OpenFromRoot(registry, kCurrentVersionPath);
  Append(lblProductID, registry.ReadString("ProductID"));
  Append(lblProductKey, registry.ReadString("ProductKey"));
  // The product ID is what tells that the Plus! pack is installed; its version alone does not.
  if (registry.ValueExists("Plus! ProductId")) {
    Append(lblPlusVersion, registry.ReadString("Plus! VersionNumber"));
    Append(lblPlusProductID, registry.ReadString("Plus! ProductId"));
  } else {
    Append(lblPlusVersion, kNotInstalled);
    Append(lblPlusProductID, kNotInstalled);
  }
  registry.CloseKey();
}

void TfrmMain::LoadComponentLabels(RegistryAccess& registry) {
  OpenFromRoot(registry, kInternetExplorerPath);
  Append(lblIE, registry.ReadString("Version"));
  registry.CloseKey();

  OpenFromRoot(registry, kDirectXPath);
  if (registry.ValueExists("Version")) {
    Append(lblDirectX, "Yes");
    Append(lblDirectXVersion, registry.ReadString("Version"));
  } else {
    // The version label keeps its bare caption; the presence line says what was looked for.
    Append(lblDirectX, "not found");
  }
  registry.CloseKey();
}

// While a button is held on a picture its labels are blue; the release, which the picture
// receives wherever the pointer is by then, gives them back the colour of the program's font.

void TfrmMain::Image1MouseDown() {
  lblOS.SetColor(colour::clBlue);
  lblBuild.SetColor(colour::clBlue);
  lblProductID.SetColor(colour::clBlue);
  lblProductKey.SetColor(colour::clBlue);
}

void TfrmMain::Image1MouseUp() {
  lblOS.SetColor(Objects.FontColor);
  lblBuild.SetColor(Objects.FontColor);
  lblProductID.SetColor(Objects.FontColor);
  lblProductKey.SetColor(Objects.FontColor);
}

void TfrmMain::Image2MouseDown() {
  lblPlusVersion.SetColor(colour::clBlue);
  lblPlusProductID.SetColor(colour::clBlue);
}

void TfrmMain::Image2MouseUp() {
  lblPlusVersion.SetColor(Objects.FontColor);
  lblPlusProductID.SetColor(Objects.FontColor);
}

void TfrmMain::Image3MouseDown() { lblIE.SetColor(colour::clBlue); }

void TfrmMain::Image3MouseUp() { lblIE.SetColor(Objects.FontColor); }

void TfrmMain::Image4MouseDown() {
  lblDirectX.SetColor(colour::clBlue);
  lblDirectXVersion.SetColor(colour::clBlue);
}

void TfrmMain::Image4MouseUp() {
  lblDirectX.SetColor(Objects.FontColor);
  lblDirectXVersion.SetColor(Objects.FontColor);
}

void TfrmMain::lblIEMouseUp() { lblIE.SetColor(Objects.FontColor); }

void TfrmMain::lblDirectXMouseUp() {
  lblDirectX.SetColor(Objects.FontColor);
  lblDirectXVersion.SetColor(Objects.FontColor);
}

std::string TfrmMain::OsInfoReport() const {
  std::string report;
  for (const LabelControl* label : {&lblOS, &lblBuild, &lblPlusVersion, &lblPlusProductID, &lblProductID,
                                    &lblProductKey, &lblIE, &lblDirectX, &lblDirectXVersion}) {
    report += label->GetText() + "\r\n";
  }
  return report;
}
