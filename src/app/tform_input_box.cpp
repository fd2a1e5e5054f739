#include "app/tform_input_box.h"

int TFormInputBox::ShowModal() {
  // Without a view there is nobody to answer: that is a cancelled question.
  if (!view_) return kResultCancel;
  return view_->ShowModal() == kResultOk ? kResultOk : kResultCancel;
}

void TFormInputBox::FormActivate() {
  if (!view_) return;
  view_->SetMessage(MessageText);
  view_->SetEditText(DefaultText);
  view_->SetCaption(CaptionText);
}

void TFormInputBox::txtGetInfoChange(const std::string& editText) { ResultText = editText; }
