// Which handler of the form each button and pointer event runs, and the dispatch of commands:
// every event reaches the form through Dispatch, which catches and reports what a handler raises.
#include "app/error_report.h"
#include "app/win32/main_window.h"
#include "platform/win32/win32_system_api.h"
#include "app/win32/resource.h"
#include "ui/win32/pointer_events.h"

namespace {

struct ButtonRoute {
  int id;
  void (TfrmMain::*handler)();
};

const ButtonRoute kButtons[] = {
    {IDC_SYSINFO_SET, &TfrmMain::btnSetClick},
    {IDC_SYSINFO_EXIT, &TfrmMain::btnSystemExitClick},
    {IDC_UNINSTALL_CLEARRUN, &TfrmMain::btnClearRunListClick},
    {IDC_UNINSTALL_CLEARDOCS, &TfrmMain::btnDelDocListClick},
    {IDC_UNINSTALL_DELETE, &TfrmMain::btnRemoveEntryClick},
    {IDC_UNINSTALL_UNINSTALL, &TfrmMain::btnUninstallClick},
    {IDC_UNINSTALL_SYNC, &TfrmMain::bntSyncClick},
    {IDC_SENDTO_ADD, &TfrmMain::btnSendToAddClick},
    {IDC_SENDTO_EDIT, &TfrmMain::btnSendToEditClick},
    {IDC_SENDTO_REMOVE, &TfrmMain::btnSendToRemoveClick},
    {IDC_OPTIMISE_WINALIGN, &TfrmMain::btnRunWinAlignClick},
    {IDC_OPTIMISE_SCANDISK, &TfrmMain::btnRunScanDiskClick},
    {IDC_OPTIMISE_DEFRAG, &TfrmMain::btnRunDefragClick},
    {IDC_ABOUT_CLOSE, &TfrmMain::btnSystemExitClick},
};

struct PointerRoute {
  int id;
  PointerEvent event;
  void (TfrmMain::*handler)();
};

const PointerRoute kPointers[] = {
    {IDC_OSINFO_IMAGE1, kPointerDown, &TfrmMain::Image1MouseDown},
    {IDC_OSINFO_IMAGE1, kPointerUp, &TfrmMain::Image1MouseUp},
    {IDC_OSINFO_IMAGE2, kPointerDown, &TfrmMain::Image2MouseDown},
    {IDC_OSINFO_IMAGE2, kPointerUp, &TfrmMain::Image2MouseUp},
    {IDC_OSINFO_IMAGE3, kPointerDown, &TfrmMain::Image3MouseDown},
    {IDC_OSINFO_IMAGE3, kPointerUp, &TfrmMain::Image3MouseUp},
    {IDC_OSINFO_IMAGE4, kPointerDown, &TfrmMain::Image4MouseDown},
    {IDC_OSINFO_IMAGE4, kPointerUp, &TfrmMain::Image4MouseUp},
    {IDC_OSINFO_IE, kPointerUp, &TfrmMain::lblIEMouseUp},
    {IDC_OSINFO_DIRECTX, kPointerUp, &TfrmMain::lblDirectXMouseUp},
    {IDC_ABOUT_IMAGE8, kPointerDown, &TfrmMain::Image8MouseDown},
    {IDC_ABOUT_IMAGE8, kPointerUp, &TfrmMain::Image8MouseUp},
    {IDC_ABOUT_IMAGE9, kPointerClick, &TfrmMain::Image9Click},
    {IDC_ABOUT_LABEL14, kPointerClick, &TfrmMain::Image9Click},
    {IDC_ABOUT_LABEL15, kPointerClick, &TfrmMain::Image9Click},
    {IDC_ABOUT_IMAGE10, kPointerClick, &TfrmMain::Image10Click},
    {IDC_ABOUT_LABEL16, kPointerClick, &TfrmMain::Image10Click},
    {IDC_ABOUT_TWEETY, kPointerDown, &TfrmMain::imgTweetyMouseDown},
    {IDC_ABOUT_TWEETY, kPointerUp, &TfrmMain::imgTweetyMouseUp},
};

}  // namespace

bool MainWindow::HasPointerRoute(int id) {
  for (const PointerRoute& r : kPointers) {
    if (r.id == id) return true;
  }
  return false;
}

void MainWindow::Dispatch(void (TfrmMain::*handler)()) {
  if (!form_) return;
  RunUserEvent([&] { (form_.get()->*handler)(); });
}

bool MainWindow::RunUserEvent(const std::function<void()>& handler) {
  return IsWindowEnabled(hwnd_) && RunHandler(system_, handler);
}

void MainWindow::OnCommand(int id, int code, HWND control) {
  if (id == IDOK && !control) {
    // Enter: a focused push button is pressed itself; otherwise the page decides.
    HWND focus = GetFocus();
    char cls[16] = {};
    if (focus && IsChild(pages_[activePage_], focus) && GetClassNameA(focus, cls, sizeof cls) &&
        lstrcmpiA(cls, "Button") == 0) {
      SendMessageA(focus, BM_CLICK, 0, 0);
      return;
    }
    if (form_) RunUserEvent([&] { form_->EnterPressed(activePage_); });
    return;
  }
  if (id == IDCANCEL && !control) {
    if (form_) RunUserEvent([&] { form_->EscapePressed(activePage_); });
    return;
  }
  const auto list = lists_.find(id);
  if (list != lists_.end() && list->second->Handle() == control) {
    if (code == LBN_DBLCLK && form_) OnListDoubleClick(control);
    return;
  }
  // A button drawn here reports the second press of a quick double-click as a double-click;
  // the system's push buttons take it as a second press, and so does every button here.
  if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return;
  for (const ButtonRoute& r : kButtons) {
    if (r.id == id) {
      Dispatch(r.handler);
      return;
    }
  }
}

void MainWindow::OnPointer(int id, int event) {
  for (const PointerRoute& r : kPointers) {
    if (r.id == id && r.event == event) Dispatch(r.handler);
  }
}
