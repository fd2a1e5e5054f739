#pragma once
// The Win32 shell of the main window: creates the window, its notebook and every control of the
// six pages, and routes each Win32 event to the matching TfrmMain handler through the one
// dispatcher that catches errors (RunHandler). It decides nothing itself.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/tfrm_main.h"
#include "ui/win32/win32_controls.h"
#include "ui/win32/win32_open_dialog.h"

class Win32SystemApi;

class MainWindow : public FormWindowControl {
 public:
  MainWindow(HINSTANCE instance, RegistryApi& registry, Win32SystemApi& system, LongLivedObjects& objects,
             TFormInputBox& inputBox);
  ~MainWindow() override;

  // Creates the window and its controls and runs the creation sequence; the window stays hidden
  // until Show. Returns false only when the window itself could not be made.
  bool Create();
  void Show(int showCommand);
  HWND Handle() const { return hwnd_; }
  // Every message of whichever loop runs passes here (it may be the pointer's first move, which
  // brings the hints). The keys of the window: the page keys, then the dialog
  // keys (Tab, Enter, Escape, the mnemonics) between its controls. True when the message has
  // been handled (and dispatched); the loop then passes it on no further.
  bool TranslateKeys(MSG& msg);
  TfrmMain* Form() { return form_.get(); }

  // FormWindowControl
  void RequestClose() override;
  void SetActivePage(int index) override;
  void BeginBusy() override;
  void EndBusy() override;

 private:
  // Shared by the window and its controls: the page windows' class, the client width and the
  // tab strip's height, at 96 DPI.
  static constexpr const char* kPageClass = "KeelbrookPage";
  static constexpr int kClientWidth = 314;
  static constexpr int kTabsHeight = 322;

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // Messages the pages pass up: commands, notifications, colours.
  bool HandlePageMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // The tab strip, the six page windows and the hint window; every control's adapter, and the
  // lists, which the creation sequence fills.
  void CreateControls();
  void MakeAdapter(const struct ControlSpec& spec);
  // A page's controls, made when the page is first shown, as a property sheet makes its pages: the
  // controls of all six cost most of the start-up, and many runs open only a page or two.
  void MakePage(int page);
  // The adapter made for control `id`, of the kind the first argument names (its value is not
  // read); raises when there is none.
  TextControl* Adapter(TextControl*, int id) const;
  LabelControl* Adapter(LabelControl*, int id) const;
  ListBoxControl* Adapter(ListBoxControl*, int id) const;
  PictureControl* Adapter(PictureControl*, int id) const;
  HWND CreateControl(const struct ControlSpec& spec);
  // The window of page `i`, made when first needed: by its first showing, or by a list on it.
  HWND PageWindow(int i);
  // A hint is noted until the hint window exists; that is made when the pointer first moves
  // over the window, as no hint is shown before (a top-level window costs start-up time).
  void AddTooltip(HWND control, const char* text);
  void ShowHintsFrom(const MSG& msg);
  void ShowPage(int index);
  // The first control of the active page takes the focus, or the tab strip when it has none.
  void FocusActivePage();
  // The focus across deactivation, as the dialog manager keeps it for a dialog: the focused
  // control is noted when the window goes inactive and gets the focus back when the window does.
  void KeepFocus();
  void RestoreFocus();
  void OnCommand(int id, int code, HWND control);
  void OnPointer(int id, int event);
  // Whether some pointer event of control `id` runs a handler.
  static bool HasPointerRoute(int id);
  // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+Page Down and Ctrl+Page Up switch pages, as in the system's
  // property sheets. True when the message was such a key and has been handled.
  bool TranslatePageKeys(const MSG& msg);
  // F2, F5, Delete, Enter in a list and Ctrl+C, for the page showing (TfrmMain::PageKeyPressed),
  // before the dialog keys take Enter. True when the page took the key.
  bool TranslateCommandKeys(const MSG& msg);
  // Lets the keys of the window work in the system's modal loops too (on from creation to
  // destruction): a message box without owner leaves the window usable, keyboard and all.
  void FilterModalLoops(bool on);
  bool PressPageKey(PageKey key, bool inList);
  // A key pressed in a list (WM_VKEYTOITEM): -2 when the page took it, -1 for the list's own.
  LRESULT OnListKey(WPARAM virtualKey, HWND list);
  void OnListDoubleClick(HWND list);
  // Files dropped on `page`: those that land on its list are added.
  void OnDropFiles(HWND page, HDROP drop);
  void Dispatch(void (TfrmMain::*handler)());
  // Every click, key, double-click and drop of the user's reaches the form here, but not while
  // the window is disabled under one of its own questions (a box, the input or the file dialog).
  // An event queued before the question appeared (the user clicking on ahead of a slow machine)
  // is delivered by the question's own message loop: run then, its handler would open a second
  // question inside the first and act on what the first was about. As a click on a disabled
  // window, it is dropped. False when the handler did not run to its end.
  bool RunUserEvent(const std::function<void()>& handler);
  int Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }

  HINSTANCE instance_;
  RegistryApi& registry_;
  Win32SystemApi& system_;
  LongLivedObjects& objects_;
  TFormInputBox& inputBox_;

  HWND hwnd_ = nullptr;
  HWND tabs_ = nullptr;
  HWND tooltip_ = nullptr;
  HWND pages_[kPageCount] = {};
  RECT pageArea_ = {};  // in the main window, below the tabs
  using TextureFunction = HRESULT(WINAPI*)(HWND, DWORD);
  TextureFunction enableTexture_ = nullptr;  // set when the tab strip has a visual style
  std::vector<std::pair<HWND, const char*>> hints_;
  HFONT font_ = nullptr;
  HBRUSH pageBrush_ = nullptr;
  bool texturedPages_ = false;  // the pages show the tab's texture when visual styles are on
  int dpi_ = 96;
  int activePage_ = 0;
  bool focusParked_ = false;  // the tab strip holds the focus for a page without controls
  HWND keptFocus_ = nullptr;  // the control that had the focus when the window went inactive
  int busy_ = 0;                 // BeginBusy calls not yet ended
  HCURSOR cursorBeforeBusy_ = nullptr;
  Win32ButtonPictures buttonPictures_;
  std::vector<HBITMAP> bitmaps_;
  bool pageMade_[kPageCount] = {};

  std::map<int, std::unique_ptr<Win32Text>> texts_;
  std::map<int, std::unique_ptr<Win32Label>> labels_;
  std::map<int, std::unique_ptr<Win32ListBox>> lists_;
  std::map<int, std::unique_ptr<Win32Picture>> pictures_;
  Win32OpenDialog openDialog_;
  std::unique_ptr<TfrmMain> form_;
};
