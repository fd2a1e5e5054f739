#pragma once
// Every control of the six pages: kind, caption, position in pixels inside its page (at 96 DPI),
// id and hint. The main window creates them in this order, which is also the tab order.
#include <windows.h>

#include "app/page_index.h"

enum class ControlKind {
  Label,        // static text
  Edit,         // one-line edit field
  ReadOnlyEdit, // one-line edit the user cannot change
  Memo,         // read-only multi-line help text, page background, vertical scroll bar
  BorderedMemo, // the same with a border
  ListBox,
  FileDropList, // a list box that files can be dropped on
  Button,
  DefaultButton,
  Picture,      // a static icon that reports pointer press and release
  HiddenPicture,
  Bevel,        // a horizontal separator line
};

struct ControlSpec {
  PageIndex page;
  ControlKind kind;
  int id;
  const char* text;  // caption, or the memo's lines joined with "\r\n"
  int x, y, width, height;
  const char* hint;  // tooltip, or nullptr
  int image;         // icon or bitmap resource shown by pictures and buttons, or 0
};

extern const ControlSpec kControls[];
extern const int kControlCount;

// The pages in the order of their tabs: the tab's caption and the page window's id.
struct PageSpec {
  const char* caption;
  int id;
};
extern const PageSpec kPages[kPageCount];
