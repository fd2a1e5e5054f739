#pragma once
// The list box as the form logic uses it: line access with the framework's index check, so that
// asking about a line that does not exist raises "List index out of bounds (%d)".
#include <string>

#include "ui/controls.h"

// Holds a list's drawing for as long as it lives, also when the refill stops at an error.
class ListUpdate;

class ListBox {
 public:
  explicit ListBox(ListBoxControl& control) : control_(control) {}

  int Count() const { return control_.Count(); }
  int ItemIndex() const { return control_.SelectedIndex(); }
  // Raise when index is outside 0 .. Count()-1.
  bool Selected(int index) const;
  std::string Items(int index) const;
  void SetItem(int index, const std::string& text);
  void Delete(int index);
  void Add(const std::string& text) { control_.AddLine(text); }
  void Clear() { control_.Clear(); }
  void BeginUpdate() { control_.BeginUpdate(); }
  void EndUpdate() { control_.EndUpdate(); }

 private:
  void Check(int index) const;
  ListBoxControl& control_;
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
