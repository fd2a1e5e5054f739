// "Optimise": the tool launcher. (Being built.)
#include "app/tfrm_main.h"

void TfrmMain::btnRunWinAlignClick() {}
void TfrmMain::btnRunScanDiskClick() {}
void TfrmMain::btnRunDefragClick() {}
