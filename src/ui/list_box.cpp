#include "ui/list_box.h"

#include "platform/app_error.h"

void ListBox::Check(int index) const {
  if (index < 0 || index >= control_.Count()) throw AppError(FormatNumber("List index out of bounds (%d)", index));
}

bool ListBox::Selected(int index) const {
  Check(index);
  return control_.IsSelected(index);
}

std::string ListBox::Items(int index) const {
  Check(index);
  return control_.GetLine(index);
}

void ListBox::SetItem(int index, const std::string& text) {
  Check(index);
  control_.SetLine(index, text);
}

void ListBox::Delete(int index) {
  Check(index);
  control_.DeleteLine(index);
}
