#include "ui/list_box.h"

#include "platform/app_error.h"

void ListBox::Check(int index) const {
  if (index < 0 || index >= Count()) throw AppError(FormatNumber("List index out of bounds (%d)", index));
}

bool ListBox::Selected(int index) const {
  Check(index);
  return control_.IsSelected(index);
}

std::string ListBox::Items(int index) const {
  Check(index);
  return lines_[static_cast<size_t>(index)];
}

bool ListBox::SetItem(int index, const std::string& text) {
  Check(index);
  if (!control_.SetLine(index, text)) return false;
  lines_[static_cast<size_t>(index)] = text;
  return true;
}

void ListBox::Delete(int index) {
  Check(index);
  control_.DeleteLine(index);
  lines_.erase(lines_.begin() + index);
}

bool ListBox::Add(const std::string& text) {
  if (!control_.AddLine(text)) return false;
  lines_.push_back(text);
  return true;
}

void ListBox::Clear() {
  control_.Clear();
  lines_.clear();
}
