#include "ui/win32/win32_input_dialog.h"

#include <cstring>
#include <vector>


namespace {

constexpr int kClientWidth = 350;
constexpr int kClientHeight = 124;
// A dialog border with a caption and nothing else in the title bar: no system menu, so no
// close, minimise or maximise buttons.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;

// The template gives the dialog its class, border and 8-point font; the controls are placed
// in pixels once the dialog exists.
static_assert(sizeof(DLGTEMPLATE) == 18, "the dialog template header is packed to words");

std::vector<WORD> DialogTemplate() {
  std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  DLGTEMPLATE header = {};
  header.style = kDialogStyle;
  header.cdit = 0;
  header.cx = 233;  // roughly the final size in dialog units; the pixel size is set afterwards
  header.cy = 76;
  std::memcpy(t.data(), &header, sizeof header);
  t.push_back(0);  // no menu
  t.push_back(0);  // the standard dialog class
  t.push_back(0);  // no caption yet
  t.push_back(8);  // point size
  for (const char* f = "MS Sans Serif"; *f; ++f) t.push_back(static_cast<WORD>(*f));
  t.push_back(0);
  return t;
}

Win32InputDialog* FromHandle(HWND hwnd) {
  return reinterpret_cast<Win32InputDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
}

}  // namespace

Win32InputDialog::~Win32InputDialog() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool Win32InputDialog::Create() {
  if (hwnd_) return true;
  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi_ <= 0) dpi_ = 96;

  std::vector<WORD> tmpl = DialogTemplate();
  CreateDialogIndirectParamA(instance_, reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), owner_, DialogProc,
                             reinterpret_cast<LPARAM>(this));
  return hwnd_ != nullptr;
}

HWND Win32InputDialog::CreateChild(const char* cls, const char* text, DWORD style, DWORD exStyle, int x, int y,
                                   int w, int h, int id) {
  HWND child = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, Scale(x), Scale(y), Scale(w),
                               Scale(h), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (child) SendMessageA(child, WM_SETFONT, SendMessageA(hwnd_, WM_GETFONT, 0, 0), FALSE);
  return child;
}

void Win32InputDialog::CreateControls() {
  // Creation order is tab order: the edit field comes first, so it has the focus on opening.
  edit_.Attach(CreateChild("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 5, 36, 340, 21,
                           resources_.editId));
  // A fixed label: room for one line and part of a second; longer prompts wrap and are cut.
  message_.Attach(CreateChild("STATIC", "", SS_LEFT, 0, 5, 8, 341, 21, resources_.messageId));
  HWND ok = CreateChild("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 190, 90, 75, 25, IDOK);
  HWND cancel = CreateChild("BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, 270, 90, 75, 25, IDCANCEL);
  const struct {
    HWND button;
    int icon;
  } pictures[] = {{ok, resources_.okPicture}, {cancel, resources_.cancelPicture}};
  for (const auto& p : pictures) pictures_.Set(p.button, p.icon, Scale(16), Scale(2));
  SendMessageA(hwnd_, DM_SETDEFID, IDOK, 0);

  RECT frame = {0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)));
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CentreOnScreen();
}

void Win32InputDialog::CentreOnScreen() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32InputDialog::SetMessage(const std::string& text) { message_.SetText(text); }

void Win32InputDialog::SetEditText(const std::string& text) {
  edit_.SetText(text);
  // The change notification normally keeps ResultText in step; setting the text the field
  // already holds sends none, and then the two must still agree.
  const std::string shown = edit_.GetText();
  if (box_.ResultText != shown) box_.txtGetInfoChange(shown);
}

void Win32InputDialog::SetCaption(const std::string& text) {
  if (hwnd_) SetWindowTextA(hwnd_, text.c_str());
}

void Win32InputDialog::Close(int result) {
  result_ = result;
  closed_ = true;
}

int Win32InputDialog::ShowModal() {
  if (showing_ || !Create()) return TFormInputBox::kResultCancel;
  showing_ = true;
  closed_ = false;
  result_ = TFormInputBox::kResultCancel;

  // The texts go in before the dialog appears, so a showing never flashes the last question.
  box_.FormActivate();
  CentreOnScreen();

  HWND owner = GetWindow(hwnd_, GW_OWNER);
  const bool ownerEnabled = owner && IsWindowEnabled(owner);
  if (ownerEnabled) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  // Focus in the edit field with the default selected, so that typing replaces it.
  SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit_.Handle()), TRUE);
  SendMessageA(edit_.Handle(), EM_SETSEL, 0, -1);

  MSG msg;
  while (!closed_ && hwnd_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The program is ending: the quit message belongs to the main loop.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (hwnd_ && IsDialogMessageA(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }

  // The owner is enabled before the dialog hides, so that activation returns to it and not
  // to some other program's window.
  if (ownerEnabled) EnableWindow(owner, TRUE);
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  if (owner) SetActiveWindow(owner);
  showing_ = false;
  return closed_ ? result_ : TFormInputBox::kResultCancel;
}

INT_PTR CALLBACK Win32InputDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    auto* self = reinterpret_cast<Win32InputDialog*>(lParam);
    self->hwnd_ = hwnd;
    self->CreateControls();
    return FALSE;  // the focus is set at each showing
  }
  Win32InputDialog* self = FromHandle(hwnd);
  return self ? self->HandleMessage(msg, wParam, lParam) : FALSE;
}

INT_PTR Win32InputDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_DRAWITEM:
      return pictures_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_SYSCOLORCHANGE:
      pictures_.Reload();  // they were blended onto the old button face
      return FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      if (id == resources_.editId && code == EN_CHANGE) {
        const std::string text = edit_.GetText();
        run_([&] { box_.txtGetInfoChange(text); });
        return TRUE;
      }
      // The buttons drawn here report the second press of a quick double-click as a
      // double-click; it is a press all the same.
      if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return FALSE;
      if (id == IDOK) {
        Close(TFormInputBox::kResultOk);
        return TRUE;
      }
      if (id == IDCANCEL) {
        Close(TFormInputBox::kResultCancel);
        return TRUE;
      }
      return FALSE;
    }
    case WM_CLOSE:
      // A close from the system (Alt+F4, the task list) is a cancelled question; the dialog
      // only hides, it lives until the program ends.
      Close(TFormInputBox::kResultCancel);
      return TRUE;
    case WM_DESTROY:
      closed_ = true;
      hwnd_ = nullptr;
      edit_.Attach(nullptr);
      message_.Attach(nullptr);
      return TRUE;
    default:
      return FALSE;
  }
}
