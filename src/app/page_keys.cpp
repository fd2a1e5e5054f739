// The keys Windows users reach for (F5 to refresh, Delete, F2 to rename, Enter or a double-click
// to open, Ctrl+C to copy) and what they press on each page. Each runs a handler the page already
// has, with its questions and messages; the keys the pages give their buttons (Enter on
// "Sys Info", Escape, the mnemonics) keep their roles.
#include "app/tfrm_main.h"
#include "platform/app_error.h"

bool TfrmMain::PageKeyPressed(int activePage, PageKey key, bool inList) {
  if (activePage == kPageUninstall) {
    if (key == PageKey::F5) {
      bntSyncClick();
      return true;
    }
    if (!inList) return false;
    if (key == PageKey::Delete) return OnSelectedLine(lstUnInstList, &TfrmMain::btnRemoveEntryClick);
    if (key == PageKey::Enter) return OnSelectedLine(lstUnInstList, &TfrmMain::btnUninstallClick);
    if (key == PageKey::Copy) CopySelectedLine(lstUnInstList);
    return key == PageKey::Copy;
  }
  if (activePage == kPageSendTo && inList) {
    if (key == PageKey::F2) return OnSelectedLine(lstSendTo, &TfrmMain::btnSendToEditClick);
    if (key == PageKey::Delete) return OnSelectedLine(lstSendTo, &TfrmMain::btnSendToRemoveClick);
    if (key == PageKey::Copy) CopySelectedLine(lstSendTo);
    return key == PageKey::Copy;
  }
  if (activePage == kPageOsInfo && key == PageKey::Copy) {
    CopyToClipboard(OsInfoReport());
    return true;
  }
  return false;
}

void TfrmMain::ListDoubleClick(int activePage, int line) {
  if (line < 0) return;  // below the last line: nothing was picked
  if (activePage == kPageUninstall) OnSelectedLine(lstUnInstList, &TfrmMain::btnUninstallClick);
  if (activePage == kPageSendTo) OnSelectedLine(lstSendTo, &TfrmMain::btnSendToEditClick);
}

bool TfrmMain::OnSelectedLine(const ListBox& list, void (TfrmMain::*handler)()) {
  // A key or double-click with no line selected has nothing to act on and does nothing, as in
  // Explorer. The buttons keep their report of the missing selection.
  if (list.ItemIndex() >= 0) (this->*handler)();
  return true;
}

void TfrmMain::CopyToClipboard(const std::string& text) {
  if (!System.SetClipboardText(text)) throw AppError("The text could not be put on the clipboard");
}

void TfrmMain::CopySelectedLine(const ListBox& list) {
  const int index = list.ItemIndex();
  if (index >= 0) CopyToClipboard(list.Items(index));
}
