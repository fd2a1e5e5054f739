#pragma once
// The Win32 window of the input dialog: a dialog made at its first question, hidden between
// questions, and shown modally by ShowModal for each. Client area 350 by 124 pixels (at 96 dpi), centred on
// the screen at each showing, with a dialog border and no title-bar buttons.
#include <windows.h>

#include <functional>

#include "app/tform_input_box.h"
#include "ui/win32/win32_controls.h"

// What the dialog is made of that the program decides: the ids of its field and prompt and the
// pictures of its two buttons.
struct InputDialogResources {
  int editId;
  int messageId;
  int okPicture;
  int cancelPicture;
};

// Runs one event handler to its end, so that nothing raised crosses a window procedure.
using HandlerRunner = std::function<void(const std::function<void()>& handler)>;

class Win32InputDialog : public InputDialogView {
 public:
  Win32InputDialog(HINSTANCE instance, TFormInputBox& box, const InputDialogResources& resources, HandlerRunner run)
      : instance_(instance), box_(box), resources_(resources), run_(std::move(run)) {}
  ~Win32InputDialog() override;
  Win32InputDialog(const Win32InputDialog&) = delete;
  Win32InputDialog& operator=(const Win32InputDialog&) = delete;

  // The window that owns the dialog (the main window, which it disables while shown). The
  // dialog itself is made by the first ShowModal: no start-up pays for a window that most runs
  // never show.
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND Handle() const { return hwnd_; }

  // InputDialogView
  void SetMessage(const std::string& text) override;
  void SetEditText(const std::string& text) override;
  void SetCaption(const std::string& text) override;
  int ShowModal() override;

 private:
  bool Create();
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  HWND CreateChild(const char* cls, const char* text, DWORD style, DWORD exStyle, int x, int y, int w, int h,
                   int id);
  void Close(int result);
  void CentreOnScreen();
  int Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }

  HINSTANCE instance_;
  TFormInputBox& box_;
  InputDialogResources resources_;
  HandlerRunner run_;
  HWND owner_ = nullptr;
  HWND hwnd_ = nullptr;
  Win32Text message_;
  Win32Text edit_;
  Win32ButtonPictures pictures_;
  int dpi_ = 96;
  bool showing_ = false;
  bool closed_ = false;
  int result_ = TFormInputBox::kResultCancel;
};
