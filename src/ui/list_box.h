#pragma once
// The list box as the form logic uses it. It keeps the lines itself and the control only shows
// them, so a line reads back exactly as it was added, whatever its length or bytes, without
// asking the control: no way of reading a line back works everywhere (the Unicode call is a
// failing stub on Windows 95, 98 and ME, and Wine's ANSI one overruns its buffer on long lines).
// Every index is checked as the framework does: asking about a line that does not exist raises
// "List index out of bounds (%d)".
#include <string>
#include <vector>

#include "ui/controls.h"

// Holds a list's drawing for as long as it lives, also when the refill stops at an error.
class ListUpdate;

class ListBox {
 public:
  explicit ListBox(ListBoxControl& control) : control_(control) {}

  int Count() const { return static_cast<int>(lines_.size()); }
  int ItemIndex() const { return control_.SelectedIndex(); }
  // Raise when index is outside 0 .. Count()-1.
  bool Selected(int index) const;
  std::string Items(int index) const;
  // False when the control kept the old line: the kept line stays as well, so the two agree.
  bool SetItem(int index, const std::string& text);
  void Delete(int index);
  // False when the control refuses the line: it is then in neither, and a caller that keeps a
  // parallel list adds nothing there either.
  bool Add(const std::string& text);
  void Clear();
  void BeginUpdate() { control_.BeginUpdate(); }
  void EndUpdate() { control_.EndUpdate(); }

 private:
  void Check(int index) const;
  ListBoxControl& control_;
  std::vector<std::string> lines_;
};

class ListUpdate {
 public:
  explicit ListUpdate(ListBox& list) : list_(list) { list_.BeginUpdate(); }
  ~ListUpdate() { list_.EndUpdate(); }
  ListUpdate(const ListUpdate&) = delete;
  ListUpdate& operator=(const ListUpdate&) = delete;

 private:
  ListBox& list_;
};
