// "About...": the title lines' colour while the icon is pressed, the two links, and the picture
// that swaps its image while pressed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_controls.h"

namespace {

TEST(AboutPage, IconPressColoursTheThreeTitleLinesAndReleaseRestoresThem) {
  FakeForm f;
  f->Image8MouseDown();
  for (FakeLabel* l : {&f.Label11, &f.Label12, &f.Label13}) EXPECT_EQ(colour::clBlue, l->color) << l->text;
  f->Image8MouseUp();
  for (FakeLabel* l : {&f.Label11, &f.Label12, &f.Label13}) {
    EXPECT_EQ(colour::clWindowText, l->color) << l->text;
    EXPECT_EQ((std::vector<uint32_t>{colour::clBlue, colour::clWindowText}), l->colorChanges) << l->text;
  }
  // The other labels of the page are not the form's to recolour; neither are those of "OS Info".
  EXPECT_TRUE(f.lblOS.colorChanges.empty());
}

TEST(AboutPage, ReleaseGivesTheFontColourWhateverTheLabelsHad) {
  FakeForm f;
  f.Label11.color = 0x0000FF;
  f.Label12.color = colour::clBlue;
  f.Label13.color = 0x80000005;
  f->Image8MouseUp();
  EXPECT_EQ(f.objects.FontColor, f.Label11.color);
  EXPECT_EQ(0x80000008u, f.Label12.color);
  EXPECT_EQ(0x80000008u, f.Label13.color);
}

TEST(AboutPage, LinksOpenThroughTheShellOwnedByTheWindowMaximised) {
  struct {
    const char* what;
    void (TfrmMain::*handler)();
    std::string link;
  } cases[] = {
      {"mail", &TfrmMain::Image9Click, "mailto:keelbrook@example.org"},
      {"web", &TfrmMain::Image10Click, "http://www.example.org/keelbrook/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    (f.form.get()->*c.handler)();
    ASSERT_EQ(1u, f.system.shellExecuteCalls.size());
    const ShellExecuteCall& call = f.system.shellExecuteCalls[0];
    EXPECT_EQ(BoxOwner::MainWindow, call.owner);
    EXPECT_EQ("open", call.verb);
    EXPECT_EQ(c.link, call.file);
    EXPECT_EQ("", call.parameters);
    EXPECT_EQ("C:\\", call.directory);
    EXPECT_EQ(sw::kMaximize, call.show);
    EXPECT_TRUE(f.system.winExecCalls.empty());
  }
}

TEST(AboutPage, ALinkTheShellCannotOpenFailsSilently) {
  for (std::intptr_t result : {0, 2, 3, 5, 11, 31}) {
    SCOPED_TRACE("shell result " + std::to_string(result));
    FakeForm f;
    f.system.shellExecuteResult = result;
    f->Image9Click();
    f->Image10Click();
    EXPECT_EQ(2u, f.system.shellExecuteCalls.size());
    EXPECT_TRUE(f.boxes().empty());
    EXPECT_EQ(0, f.window.closeRequests);
  }
}

TEST(AboutPage, PressedPictureShowsTheSmileHolderImageAndReleaseTheNormalOne) {
  FakeForm f;
  // Holders with images of their own show that the images are copied, not fixed in the code.
  f.imgSmile.image = 901;
  f.imgNormal.image = 902;
  f.imgTweety.image = 902;
  f->imgTweetyMouseDown();
  EXPECT_EQ(901, f.imgTweety.image);
  f->imgTweetyMouseDown();  // a second button pressed while the first is held
  EXPECT_EQ(901, f.imgTweety.image);
  f->imgTweetyMouseUp();
  EXPECT_EQ(902, f.imgTweety.image);
  f->imgTweetyMouseUp();
  EXPECT_EQ(902, f.imgTweety.image);
  EXPECT_EQ(901, f.imgSmile.image) << "the holders never change";
  EXPECT_EQ(902, f.imgNormal.image);
}

}  // namespace
