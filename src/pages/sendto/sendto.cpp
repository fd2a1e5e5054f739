// "Send to": listing and editing. (Being built.)
#include "app/tfrm_main.h"

void TfrmMain::FillSendToList() {}
void TfrmMain::btnSendToAddClick() {}
void TfrmMain::btnSendToEditClick() {}
void TfrmMain::btnSendToRemoveClick() {}
