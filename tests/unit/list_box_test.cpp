// The list box's index checks: every look-up outside the lines raises the framework's report.
#include <gtest/gtest.h>

#include "unit/form_helpers.h"
#include "platform/app_error.h"
#include "ui/list_box.h"

namespace {

TEST(ListBox, IndexesOutsideTheLinesRaiseListIndexOutOfBounds) {
  FakeListBox control;
  ListBox list(control);
  EXPECT_EQ(ErrorOf([&] { list.Selected(0); }), "List index out of bounds (0)");
  EXPECT_EQ(ErrorOf([&] { list.Items(-1); }), "List index out of bounds (-1)");
  list.Add("one");
  list.Add("two");
  EXPECT_EQ(ErrorOf([&] { list.Items(2); }), "List index out of bounds (2)");
  EXPECT_EQ(ErrorOf([&] { list.Delete(5); }), "List index out of bounds (5)");
  EXPECT_EQ(ErrorOf([&] { list.SetItem(-1, "x"); }), "List index out of bounds (-1)");
  EXPECT_EQ(list.Count(), 2) << "a refused change changes nothing";
  EXPECT_EQ(list.Items(1), "two");
}

TEST(ListBox, ReplacingALineKeepsItsSelection) {
  FakeListBox control;
  ListBox list(control);
  list.Add("Notepad");
  list.Add("Floppy");
  control.selected = 1;
  list.SetItem(1, "Editor");
  EXPECT_EQ(list.Items(1), "Editor");
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_TRUE(list.Selected(1));
}

TEST(ListBox, LinesReadBackAsAddedAndARefusedLineIsInNeither) {
  FakeListBox control;
  control.capacity = 2;
  ListBox list(control);
  const std::string longLine(20000, 'x'), highBytes = "Caf\xe9 \x80\xff";
  EXPECT_TRUE(list.Add(longLine));
  EXPECT_TRUE(list.Add(highBytes));
  EXPECT_FALSE(list.Add("third"));
  control.lines.assign(2, std::string());  // what the control shows is never read back
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0), longLine);
  EXPECT_EQ(list.Items(1), highBytes);
}

}  // namespace
