#pragma once
// The one-line input dialog, created hidden at start-up and reused for every question. A caller
// sets DefaultText, MessageText and CaptionText, calls ShowModal and reads ResultText after OK.
#include <string>

class InputDialogView {
 public:
  virtual ~InputDialogView() = default;
  virtual void SetMessage(const std::string& text) = 0;      // lblMessage's caption
  virtual void SetEditText(const std::string& text) = 0;     // txtGetInfo's text
  virtual void SetCaption(const std::string& text) = 0;      // the dialog's caption
  // Shows the dialog modally; returns 1 (OK) or 2 (Cancel). The view calls FormActivate when the
  // dialog becomes active and txtGetInfoChange whenever the edit text changes.
  virtual int ShowModal() = 0;
};

class TFormInputBox {
 public:
  std::string DefaultText;
  std::string MessageText;
  std::string CaptionText;
  std::string ResultText;

  void AttachView(InputDialogView* view) { view_ = view; }
  int ShowModal();
  void FormActivate();
  void txtGetInfoChange(const std::string& editText);

 private:
  InputDialogView* view_ = nullptr;
};
