// "About...": the title lines that colour while the program's icon is pressed, the mail and web
// links, and the bird that smiles while it is pressed. "&Close" is wired to btnSystemExitClick.
#include "app/tfrm_main.h"

namespace {

// Every mail control opens the same address and every web control the same page.
constexpr const char* kMailLink = "mailto:keelbrook@example.org";
constexpr const char* kWebLink = "http://www.example.org/keelbrook/";

// The shell's answer is not looked at: with no mail program or browser there is nothing more
// the page could do.
void OpenLink(SystemApi& system, const char* link) {
  system.ShellExecuteA(BoxOwner::MainWindow, "open", link, "", "C:\\", sw::kMaximize);
}

}  // namespace

void TfrmMain::Image8MouseDown() {
  Label11.SetColor(colour::clBlue);
  Label12.SetColor(colour::clBlue);
  Label13.SetColor(colour::clBlue);
}

// Always the font's colour, whatever the labels showed before the press.
void TfrmMain::Image8MouseUp() {
  Label11.SetColor(Objects.FontColor);
  Label12.SetColor(Objects.FontColor);
  Label13.SetColor(Objects.FontColor);
}

void TfrmMain::Image9Click() { OpenLink(System, kMailLink); }

void TfrmMain::Image10Click() { OpenLink(System, kWebLink); }

// The two hidden pictures hold the images; only imgTweety ever changes.
void TfrmMain::imgTweetyMouseDown() { imgTweety.SetImage(imgSmile.GetImage()); }

void TfrmMain::imgTweetyMouseUp() { imgTweety.SetImage(imgNormal.GetImage()); }
