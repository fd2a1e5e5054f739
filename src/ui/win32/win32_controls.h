#pragma once
// The control ports over real windows. They translate; they decide nothing. A control whose page
// has not been made yet (the main window makes a page when it is first shown) has no window: its
// adapter keeps what it is given meanwhile, and the window shows it from the moment it is made.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "ui/controls.h"

class Win32Text : public TextControl {
 public:
  explicit Win32Text(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  // The control made with the text `madeWith`; it is given the kept text when that differs. (Not
  // made with it: under Wine a window name of 32,768 characters or more comes out cut.)
  void Attach(HWND hwnd, const std::string& madeWith = std::string());
  HWND Handle() const { return hwnd_; }
  std::string GetText() const override;
  void SetText(const std::string& text) override;

 protected:
  HWND hwnd_;
  std::string kept_;
};

// A label whose font colour the page's WM_CTLCOLORSTATIC asks for (TextColorRef).
class Win32Label : public LabelControl {
 public:
  // A label not made yet, with its laid-out caption.
  explicit Win32Label(const std::string& caption) { text_.SetText(caption); }
  void Attach(HWND hwnd, const std::string& madeWith) { text_.Attach(hwnd, madeWith); }
  HWND Handle() const { return text_.Handle(); }
  std::string GetText() const override { return text_.GetText(); }
  void SetText(const std::string& text) override { text_.SetText(text); }
  uint32_t GetColor() const override { return color_; }
  void SetColor(uint32_t color) override;
  COLORREF TextColorRef() const;

 private:
  Win32Text text_;
  uint32_t color_ = colour::clWindowText;
};

// Made with the window, with its page or not: the creation sequence fills it, and a list box that
// takes no more lines must say so there.
class Win32ListBox : public ListBoxControl {
 public:
  explicit Win32ListBox(HWND hwnd) : hwnd_(hwnd) {}
  HWND Handle() const { return hwnd_; }
  bool AddLine(const std::string& text) override;
  bool SetLine(int index, const std::string& text) override;
  void DeleteLine(int index) override;
  void Clear() override;
  bool IsSelected(int index) const override;
  int SelectedIndex() const override;
  void BeginUpdate() override;
  void EndUpdate() override;

 private:
  HWND hwnd_;
};

// A static picture showing an icon resource of the program, drawn at the control's size. Each
// image is loaded once, at that size (the icon's own image for it when it has one, so it stays
// sharp at any DPI), and kept until the picture goes: pictures that swap images while pressed
// do not load again on every press.
class Win32Picture : public PictureControl {
 public:
  // A picture not made yet, with its image noted: it loads nothing until it is made.
  explicit Win32Picture(int imageId) : image_(imageId) {}
  ~Win32Picture() override;
  Win32Picture(const Win32Picture&) = delete;
  Win32Picture& operator=(const Win32Picture&) = delete;
  // Loads and shows the image noted so far; from then on every change shows at once.
  void Attach(HWND hwnd);
  HWND Handle() const { return hwnd_; }
  int GetImage() const override { return image_; }
  void SetImage(int imageId) override;
  // Loads the images again, for the system colours of now.
  void Reload();

 private:
  void Show();

  HWND hwnd_ = nullptr;
  int image_;
  std::map<int, HICON> icons_;
};

// The pictures of push buttons, shown left of the caption with a gap between the two, and freed
// together when the buttons are gone: a button only shows its picture, it does not own it.
// Common controls 6 (Windows XP and later, with the program's manifest) draw such a button from
// an image list. Older ones cannot show a picture beside a caption at all, so there the button
// is drawn here (owner-drawn): the parent passes its WM_DRAWITEM on to Draw.
class Win32ButtonPictures {
 public:
  Win32ButtonPictures() = default;
  ~Win32ButtonPictures();
  Win32ButtonPictures(const Win32ButtonPictures&) = delete;
  Win32ButtonPictures& operator=(const Win32ButtonPictures&) = delete;
  // Loads icon resource `imageId` at size x size pixels for `button`.
  void Set(HWND button, int imageId, int size, int gap);
  // True when the item is one of the buttons drawn here, and draws it.
  bool Draw(const DRAWITEMSTRUCT& item);
  // Loads the pictures drawn here again, for the system colours of now.
  void Reload();

 private:
  struct Drawn {
    HICON icon;
    int imageId;
    int size;
    int gap;
    bool isDefault;  // made as the default button: framed while no other button has the focus
  };
  std::vector<HIMAGELIST> lists_;
  std::map<HWND, Drawn> drawn_;
};

// The font of every control: 8-point "MS Sans Serif" at this DPI, in the system's own character
// set, so that names in the user's code page (Japanese, Greek, Cyrillic, Central European...)
// are drawn with their own glyphs.
HFONT CreateFormFont(int dpi);

// Makes a read-only multi-line edit behave as a help text inside a window that runs the dialog
// keys (IsDialogMessage): it still scrolls with the arrow and page keys, but Tab, Shift+Tab,
// Enter and Escape go on to the window. Left alone, the system's multi-line edit claims every
// key, so Tab could never leave it, and on Escape it asks its parent window to close.
void UseAsHelpMemo(HWND edit);
