#include "app/tform_input_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_controls.h"

namespace {

struct InputBoxTest : ::testing::Test {
  TFormInputBox box;
  FakeInputView view{box};
  void SetUp() override { box.AttachView(&view); }
  int Ask(const std::string& defaultText) {
    box.DefaultText = defaultText;
    box.MessageText = "Enter the new name :";
    box.CaptionText = "Keelbrook";
    return box.ShowModal();
  }
};

TEST_F(InputBoxTest, OkWithoutTypingGivesTheDefault) {
  view.user = [](FakeInputView&) { return 1; };
  EXPECT_EQ(1, Ask("Notepad"));
  EXPECT_EQ("Notepad", box.ResultText);
  EXPECT_EQ("Enter the new name :", view.message);
  EXPECT_EQ("Keelbrook", view.caption);
  EXPECT_EQ("Notepad", view.edit);
}

TEST_F(InputBoxTest, ClearedFieldGivesTheEmptyText) {
  view.user = [](FakeInputView& v) {
    v.Type("");
    return 1;
  };
  EXPECT_EQ(1, Ask("Notepad"));
  EXPECT_EQ("", box.ResultText);
}

TEST_F(InputBoxTest, CancelKeepsTheLastTypedText) {
  view.user = [](FakeInputView& v) {
    v.Type("Edi");
    v.Type("Editor");
    return 2;
  };
  EXPECT_EQ(2, Ask("Notepad"));
  EXPECT_EQ("Editor", box.ResultText);
  // Nothing clears the members after a use.
  EXPECT_EQ("Notepad", box.DefaultText);
}

TEST_F(InputBoxTest, SecondShowingShowsTheNewDefault) {
  view.user = [](FakeInputView& v) {
    v.Type("typed the first time");
    return 1;
  };
  Ask("First");
  view.user = [](FakeInputView&) { return 1; };
  EXPECT_EQ(1, Ask("Second"));
  EXPECT_EQ("Second", view.edit);
  EXPECT_EQ("Second", box.ResultText);
  EXPECT_EQ(2, view.showings);
}

// Whatever the view reports besides OK is a cancelled question.
TEST_F(InputBoxTest, AnyCloseButOkIsCancel) {
  for (int closed : {0, 2, 3, -1, 7}) {
    view.user = [closed](FakeInputView&) { return closed; };
    EXPECT_EQ(2, Ask("x")) << closed;
  }
  TFormInputBox withoutView;
  EXPECT_EQ(2, withoutView.ShowModal());
}

// The prompt goes in first, then the default (whose change copies it into ResultText), then
// the caption.
class RecordingView : public InputDialogView {
 public:
  explicit RecordingView(TFormInputBox& box) : box_(box) {}
  std::vector<std::string> calls;
  void SetMessage(const std::string& t) override { calls.push_back("message:" + t); }
  void SetEditText(const std::string& t) override {
    calls.push_back("edit:" + t);
    box_.txtGetInfoChange(t);
  }
  void SetCaption(const std::string& t) override { calls.push_back("caption:" + t + " result:" + box_.ResultText); }
  int ShowModal() override {
    box_.FormActivate();
    return 1;
  }

 private:
  TFormInputBox& box_;
};

TEST(InputBoxActivate, SetsPromptDefaultAndCaptionInThatOrder) {
  TFormInputBox box;
  RecordingView view(box);
  box.AttachView(&view);
  box.DefaultText = "Notepad";
  box.MessageText = "Enter the new name :";
  box.CaptionText = "Keelbrook";
  EXPECT_EQ(1, box.ShowModal());
  const std::vector<std::string> expected = {"message:Enter the new name :", "edit:Notepad",
                                             "caption:Keelbrook result:Notepad"};
  EXPECT_EQ(expected, view.calls);
}

}  // namespace
