// "OS Info": product and component labels and their highlights. (Being built.)
#include "app/tfrm_main.h"

void TfrmMain::LoadProductLabels(RegistryAccess&) {}
void TfrmMain::LoadComponentLabels(RegistryAccess&) {}
void TfrmMain::Image1MouseDown() {}
void TfrmMain::Image1MouseUp() {}
void TfrmMain::Image2MouseDown() {}
void TfrmMain::Image2MouseUp() {}
void TfrmMain::Image3MouseDown() {}
void TfrmMain::Image3MouseUp() {}
void TfrmMain::Image4MouseDown() {}
void TfrmMain::Image4MouseUp() {}
void TfrmMain::lblIEMouseUp() {}
void TfrmMain::lblDirectXMouseUp() {}
