#pragma once
// The control ports over real windows. They translate; they decide nothing.
#include <windows.h>

#include <string>

#include "ui/controls.h"

class Win32Text : public TextControl {
 public:
  explicit Win32Text(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND Handle() const { return hwnd_; }
  std::string GetText() const override;
  void SetText(const std::string& text) override;

 protected:
  HWND hwnd_;
};

// A label whose font colour the page's WM_CTLCOLORSTATIC asks for (TextColorRef).
class Win32Label : public LabelControl {
 public:
  explicit Win32Label(HWND hwnd = nullptr) : text_(hwnd) {}
  void Attach(HWND hwnd) { text_.Attach(hwnd); }
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

class Win32ListBox : public ListBoxControl {
 public:
  explicit Win32ListBox(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND Handle() const { return hwnd_; }
  int Count() const override;
  std::string GetLine(int index) const override;
  void AddLine(const std::string& text) override;
  void SetLine(int index, const std::string& text) override;
  void DeleteLine(int index) override;
  void Clear() override;
  bool IsSelected(int index) const override;
  int SelectedIndex() const override;

 private:
  HWND hwnd_;
};

// A static picture showing an icon resource of the program, drawn at the control's size.
class Win32Picture : public PictureControl {
 public:
  explicit Win32Picture(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND Handle() const { return hwnd_; }
  int GetImage() const override { return image_; }
  void SetImage(int imageId) override;

 private:
  HWND hwnd_;
  int image_ = 0;
};
