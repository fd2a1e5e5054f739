#pragma once
// Controls as plain members, and FakeForm: a TfrmMain wired to the fake registry, the scripted
// system and a fake control for every control the logic touches.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/tfrm_main.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"

class FakeText : public TextControl {
 public:
  std::string text;
  std::string GetText() const override { return text; }
  void SetText(const std::string& t) override { text = t; }
};

class FakeLabel : public LabelControl {
 public:
  explicit FakeLabel(std::string caption = std::string()) : text(std::move(caption)) {}
  std::string text;
  uint32_t color = colour::clWindowText;
  std::vector<uint32_t> colorChanges;  // every SetColor that changed the colour
  std::string GetText() const override { return text; }
  void SetText(const std::string& t) override { text = t; }
  uint32_t GetColor() const override { return color; }
  void SetColor(uint32_t c) override {
    if (c != color) colorChanges.push_back(c);
    color = c;
  }
};

// What the list box shows. It holds at most `capacity` lines when that is set, and refuses more
// as a full Windows 9x list box does.
class FakeListBox : public ListBoxControl {
 public:
  std::vector<std::string> lines;
  int selected = -1;
  int capacity = -1;
  bool drawingHeld = false;  // between BeginUpdate and EndUpdate
  void BeginUpdate() override { drawingHeld = true; }
  void EndUpdate() override { drawingHeld = false; }
  bool AddLine(const std::string& t) override {
    if (capacity >= 0 && static_cast<int>(lines.size()) >= capacity) return false;
    lines.push_back(t);
    return true;
  }
  // A full list refuses a replacement too: the insert that comes before the delete.
  bool SetLine(int i, const std::string& t) override {
    if (capacity >= 0 && static_cast<int>(lines.size()) >= capacity) return false;
    lines.at(static_cast<size_t>(i)) = t;
    return true;
  }
  void DeleteLine(int i) override {
    lines.erase(lines.begin() + i);
    if (selected == i) selected = -1;
    else if (selected > i) --selected;
  }
  void Clear() override {
    lines.clear();
    selected = -1;
  }
  bool IsSelected(int i) const override { return i == selected; }
  int SelectedIndex() const override { return selected; }
};

class FakePicture : public PictureControl {
 public:
  explicit FakePicture(int id = 0) : image(id) {}
  int image;
  int GetImage() const override { return image; }
  void SetImage(int id) override { image = id; }
};

class FakeOpenDialog : public OpenDialogControl {
 public:
  // Each Execute takes the next answer: a path (picked) or an empty text (cancelled).
  std::deque<std::string> answers;
  std::vector<OpenDialogOptions> shown;
  bool Execute(const OpenDialogOptions& options, std::string& fileName) override {
    shown.push_back(options);
    if (answers.empty()) return false;
    std::string answer = answers.front();
    answers.pop_front();
    if (answer.empty()) return false;
    fileName = answer;
    return true;
  }
};

class FakeWindow : public FormWindowControl {
 public:
  int closeRequests = 0;
  int activePage = -1;
  void RequestClose() override { ++closeRequests; }
  void SetActivePage(int index) override { activePage = index; }
  int busy = 0;         // BeginBusy calls not yet ended
  int waitCursors = 0;  // times the wait cursor came up
  void BeginBusy() override { waitCursors += busy++ == 0; }
  void EndBusy() override { --busy; }
};

// The input dialog's view: each showing runs the dialog's own activation (as the real dialog
// does), then lets the test act as the user through `user`, which types into `edit` and returns
// the button pressed (1 OK, 2 Cancel).
class FakeInputView : public InputDialogView {
 public:
  explicit FakeInputView(TFormInputBox& box) : box_(box) {}
  std::string message, edit, caption;
  int showings = 0;
  std::function<int(FakeInputView&)> user;
  void Type(const std::string& text) {
    edit = text;
    box_.txtGetInfoChange(edit);
  }
  void SetMessage(const std::string& t) override { message = t; }
  void SetEditText(const std::string& t) override { Type(t); }
  void SetCaption(const std::string& t) override { caption = t; }
  int ShowModal() override {
    ++showings;
    box_.FormActivate();
    return user ? user(*this) : 2;
  }

 private:
  TFormInputBox& box_;
};

// The fake standing in for each kind of port.
template <class Port>
struct FakeOf;
template <>
struct FakeOf<TextControl> {
  using Type = FakeText;
};
template <>
struct FakeOf<LabelControl> {
  using Type = FakeLabel;
};
template <>
struct FakeOf<ListBoxControl> {
  using Type = FakeListBox;
};
template <>
struct FakeOf<PictureControl> {
  using Type = FakePicture;
};

struct FakeForm {
  FakeRegistry registry;
  FakeSystem system;
  LongLivedObjects objects;
  FakeWindow window;
  FakeOpenDialog OpenDlg;
#define KB_FAKE_CONTROL(Port, name, id) FakeOf<Port>::Type name;
  KB_MAIN_CONTROLS(KB_FAKE_CONTROL)
#undef KB_FAKE_CONTROL
  TFormInputBox inputBox;
  FakeInputView inputView{inputBox};
  std::unique_ptr<TfrmMain> form;

  FakeForm();
  // The controls above, as a form is handed them.
  MainControls Controls();
  TfrmMain* operator->() { return form.get(); }
  // Boxes shown so far, and the newest one.
  const std::vector<MessageBoxCall>& boxes() const { return system.boxes; }
};

// Version records the way the emulated systems report them.
OsVersionInfo VersionRecord(uint32_t platform, uint32_t major, uint32_t minor, uint32_t build = 1000,
                            const char* servicePack = "", uint8_t productType = 1, uint16_t suite = 0);
