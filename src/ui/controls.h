#pragma once
// Control ports: what the form logic needs of each kind of control. The Win32 shell implements
// them over real windows, the tests over plain members.
#include <cstdint>
#include <string>

// Colours in the form's encoding: 0x00BBGGRR, or 0x80000000 plus a system colour index.
namespace colour {
constexpr uint32_t clBlue = 0xFF0000;
constexpr uint32_t clWindowText = 0x80000008;
}  // namespace colour

// An edit field or memo: its text.
class TextControl {
 public:
  virtual ~TextControl() = default;
  virtual std::string GetText() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

// A label: its caption and its font colour.
class LabelControl : public TextControl {
 public:
  virtual uint32_t GetColor() const = 0;
  virtual void SetColor(uint32_t color) = 0;
};

// A picture showing one of the program's images, named by its resource id.
class PictureControl {
 public:
  virtual ~PictureControl() = default;
  virtual int GetImage() const = 0;
  virtual void SetImage(int imageId) = 0;
};

// A single-selection list box that keeps its lines in the order they were added. It only shows
// them: the lines themselves are kept by ListBox (list_box.h), which checks every index, so the
// port is never asked to read a line back and only about lines that exist.
class ListBoxControl {
 public:
  virtual ~ListBoxControl() = default;
  // False when the control refuses the line (out of memory; a Windows 9x list box holds at most
  // 32,767 lines); the control is then unchanged.
  virtual bool AddLine(const std::string& text) = 0;
  // Replaces the text of a line; a selected line stays selected. False when the control refuses
  // the new text: the line then shows what it showed before.
  virtual bool SetLine(int index, const std::string& text) = 0;
  virtual void DeleteLine(int index) = 0;
  virtual void Clear() = 0;
  virtual bool IsSelected(int index) const = 0;
  virtual int SelectedIndex() const = 0;  // -1 when nothing is selected
  // Around a refill of many lines: the list is drawn once at the end instead of after every
  // line. Lines added in between are there at once; only the drawing waits.
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
};

// The file-open dialog of the "Send to" page.
struct OpenDialogOptions {
  std::string title;
  std::string filter;  // "Name|pattern|Name|pattern"
  int filterIndex = 1;
  std::string initialDir;
  bool pathMustExist = false;
  bool fileMustExist = false;
  bool noDereferenceLinks = false;
};

class OpenDialogControl {
 public:
  virtual ~OpenDialogControl() = default;
  // True and the chosen file's full path when the user picked one; false when cancelled.
  virtual bool Execute(const OpenDialogOptions& options, std::string& fileName) = 0;
};
