#pragma once
// The one-line input dialog, created hidden at start-up and reused for every question. A caller
// sets DefaultText, MessageText and CaptionText, calls ShowModal and reads ResultText after OK.
// Nothing clears the four texts between uses, so a caller sets all three inputs every time.
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
  static constexpr int kResultOk = 1;
  static constexpr int kResultCancel = 2;

  std::string DefaultText;
  std::string MessageText;
  std::string CaptionText;
  std::string ResultText;  // always the edit field's text

  void AttachView(InputDialogView* view) { view_ = view; }
  // 1 only when the user pressed OK; every other way of closing is 2.
  int ShowModal();
  // Runs on every showing: the prompt, then the default text, then the caption.
  void FormActivate();
  void txtGetInfoChange(const std::string& editText);

 private:
  InputDialogView* view_ = nullptr;
};
