// "About...": pointer effects and links. (Being built.)
#include "app/tfrm_main.h"

void TfrmMain::Image8MouseDown() {}
void TfrmMain::Image8MouseUp() {}
void TfrmMain::Image9Click() {}
void TfrmMain::Image10Click() {}
void TfrmMain::imgTweetyMouseDown() {}
void TfrmMain::imgTweetyMouseUp() {}
