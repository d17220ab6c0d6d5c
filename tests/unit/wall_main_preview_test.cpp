// The main window's preview: when it is prepared again, what it shows, and its failure roads.
#include <gtest/gtest.h>

#include "base/error.h"
#include "support/wall_main_fixture.h"

namespace tavo {
namespace {

using testing::EventLog;
using testing::kBannerEvent;
using testing::WallMainTest;

TEST_F(WallMainTest, RefreshShowsThePreparedMiniatureUnderTheHourglass) {
    const std::string a = Picture("a.bmp", 40, 30);
    List({a});
    ShowWindow();
    Form1().Filez.LeftButtonDown(1);
    Form1().Filez.LeftButtonUp();
    EXPECT_EQ(log, (EventLog{"cursor:wait", "status:Loading BMP...", "status:Resampling...", "cursor:default",
                             kBannerEvent}));
    const OutputSize expected = ComputeOutputSize(200, 150, screen.Width(), 40, 30, PrepareOptions{});
    EXPECT_EQ(Form1().Image1.Picture().Width(), expected.width);
    EXPECT_EQ(Form1().Image1.Picture().Height(), expected.height);
    EXPECT_EQ(Form1().LastPreviewPath, a);
}

TEST_F(WallMainTest, HiddenWindowOrEmptySelectionPreparesNothing) {
    const std::string a = Picture("a.bmp");
    List({a});
    Form1().FilezClick(&Form1().Filez);
    EXPECT_EQ(Form1().LastPreviewPath, "");
    ShowWindow();
    Form1().Filez.SetCell(1, 1, "");
    Form1().FilezClick(&Form1().Filez);
    EXPECT_TRUE(log.empty());
}

TEST_F(WallMainTest, ClickingThePreviewedEntryAgainDoesNothing) {
    const std::string a = Picture("a.bmp"), b = Picture("b.bmp");
    List({a, b, a});
    ShowWindow();
    Form1().Filez.LeftButtonDown(1);
    Form1().Filez.LeftButtonUp();
    Form1().Filez.LeftButtonDown(1);
    Form1().Filez.LeftButtonUp();
    EXPECT_EQ(Preparations(), 1);
    Form1().Filez.SelectRow(3);  // the same path in another row counts as the same picture
    EXPECT_EQ(Preparations(), 1);
    Form1().Filez.PressKey(GridKey::Up);
    EXPECT_EQ(Form1().LastPreviewPath, b);
    EXPECT_EQ(Preparations(), 2);
}

TEST_F(WallMainTest, PathsDifferingInCaseAreDifferentPictures) {
    const std::string lower = Picture("pic.bmp"), upper = Picture("PIC.bmp");
    List({lower, upper});
    ShowWindow();
    Form1().Filez.SelectRow(2);
    Form1().Filez.SelectRow(1);
    Form1().Filez.SelectRow(2);
    EXPECT_EQ(Preparations(), 3);
}

TEST_F(WallMainTest, EveryOptionChangePreparesAgainEvenWhenOptionsEndAsTheyBegan) {
    const std::string a = Picture("a.bmp");
    ShowWindow();
    List({a});
    ASSERT_EQ(Preparations(), 1);
    Form1().ResSmall.Toggle();
    Form1().ResSmall.Toggle();
    EXPECT_EQ(Preparations(), 3);
    Form1().ResLarge.SetChecked(false);
    Form1().PropRes.SetChecked(false);
    Form1().PixFormat.SetItemIndex(1);
    EXPECT_EQ(Preparations(), 6);
    Form1().PixFormat.SetItemIndex(1);  // no change, no click
    EXPECT_EQ(Preparations(), 6);
    EXPECT_EQ(Form1().Image1.Picture().Format(), PixelFormat::Bits24);
    PrepareOptions now;
    now.colourDepth = 1;
    now.shrink = false;
    now.proportional = false;
    EXPECT_EQ(Form1().Image1.Picture().Width(), ComputeOutputSize(200, 150, 320, 32, 24, now).width);
}

TEST_F(WallMainTest, OptionChangeOnTheEmptyListOnlyForgetsThePath) {
    const std::string a = Picture("a.bmp");
    ShowWindow();
    List({a});
    Form1().Removefromlist1Click(form.get());
    log.clear();
    Form1().ResLarge.Toggle();
    EXPECT_EQ(Form1().LastPreviewPath, "");
    EXPECT_FALSE(Form1().Image1.Picture().Empty());
    EXPECT_TRUE(log.empty());
}

TEST_F(WallMainTest, APictureLargerThanThePreviewIsCentredAndClipped) {
    const std::string big = Picture("big.bmp", 400, 300);
    List({big});
    Form1().ResLarge.SetChecked(false);
    ShowWindow();
    Form1().FilezClick(form.get());
    const Bitmap& shown = Form1().Image1.Picture();
    ASSERT_GT(shown.Width(), 200);
    EXPECT_EQ(Form1().Image1.PictureLeft(), (200 - shown.Width()) / 2);
    EXPECT_LT(Form1().Image1.PictureTop(), 0);
}

TEST_F(WallMainTest, UnreadablePictureBlanksThePreviewAndIsNotRetriedUntilAnOptionChanges) {
    const std::string a = Picture("a.bmp");
    const std::string missing = temp.File("gone.bmp");
    ShowWindow();
    List({a, missing});
    ASSERT_FALSE(Form1().Image1.Picture().Empty());
    log.clear();
    Form1().Filez.SelectRow(2);
    EXPECT_EQ(log, (EventLog{"cursor:wait", "status:Loading BMP...", "cursor:default", kBannerEvent}));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Error reading file: " + missing);
    EXPECT_EQ(dialogs.shown[0].caption, "Error");
    EXPECT_TRUE(Form1().Image1.Picture().Empty());
    EXPECT_EQ(Form1().LastPreviewPath, missing);
    Form1().Filez.LeftButtonDown(2);
    Form1().Filez.LeftButtonUp();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    Form1().PropRes.Toggle();
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(WallMainTest, AnErrorAfterLoadingRestoresCursorAndBannerAndPropagates) {
    Bitmap custom;
    custom.SetCustom(32, ChannelMasks{0xFF000000u, 0x00000FF0u, 0x00FF0000u});
    custom.SetSize(4, 4);
    const std::string path = temp.File("custom.bmp");
    SaveBitmapToFile(custom, path);
    const std::string a = Picture("a.bmp");
    ShowWindow();
    List({a, path});
    log.clear();
    try {
        Form1().Filez.SelectRow(2);
        FAIL() << "the error reaches the error box";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid pixel format");
    }
    EXPECT_EQ(log, (EventLog{"cursor:wait", "status:Loading BMP...", "cursor:default", kBannerEvent}));
    EXPECT_TRUE(Form1().Image1.Picture().Empty());
    EXPECT_EQ(Form1().LastPreviewPath, path);
    EXPECT_NO_THROW(Form1().FilezClick(form.get())) << "selecting it again does not repeat the error";
    Form1().PixFormat.SetItemIndex(1);
    EXPECT_FALSE(Form1().Image1.Picture().Empty()) << "True Color converts the custom layout";
}

TEST_F(WallMainTest, PreviewSurvivesHidingAndShowing) {
    const std::string a = Picture("a.bmp");
    ShowWindow();
    List({a});
    Form1().BitBtn3Click(form.get());
    Form1().Show();
    Form1().FilezClick(form.get());
    EXPECT_EQ(Preparations(), 1);
    EXPECT_FALSE(Form1().Image1.Picture().Empty());
}

}  // namespace
}  // namespace tavo
