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

// A single-selection list box that keeps its lines in the order they were added. Indexes are
// checked by ListBox (list_box.h); the port is only asked about lines that exist.
class ListBoxControl {
 public:
  virtual ~ListBoxControl() = default;
  virtual int Count() const = 0;
  virtual std::string GetLine(int index) const = 0;
  virtual void AddLine(const std::string& text) = 0;
  // Replaces the text of a line; a selected line stays selected.
  virtual void SetLine(int index, const std::string& text) = 0;
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
