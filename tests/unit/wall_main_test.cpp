// The main window driven through its control models: creation, the image list and the context menu.
#include "mainwin/wall_main.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "imaging/jpeg_version.h"
#include "persist/list_persistence.h"
#include "support/wall_main_fixture.h"

namespace tavo {
namespace {

using testing::WallMainTest;

// ---- The window as created ----

TEST_F(WallMainTest, CreatedHiddenWithHeaderEmptyListAndBanner) {
    TForm1& f = Form1();
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.caption, "Tavo Wallpaper 2");
    EXPECT_EQ(f.Filez.ColCount(), 2);
    EXPECT_EQ(f.Filez.RowCount(), 2);
    EXPECT_EQ(f.Filez.FixedRows(), 1);
    EXPECT_EQ(f.Filez.Row(), 1);
    EXPECT_EQ(f.Filez.Cell(0, 0), "Filename");
    EXPECT_EQ(f.Filez.Cell(1, 0), "Path");
    EXPECT_EQ(f.SelectedPath(), "");
    EXPECT_EQ(f.LastPreviewPath, "");
    EXPECT_TRUE(f.Image1.Picture().Empty());
    const std::string banner = f.Status.SimpleText();
    ASSERT_GE(banner.size(), 7u);
    EXPECT_EQ(banner.substr(banner.size() - 7), "ALPHA 4");
    EXPECT_EQ(banner.find('\n'), std::string::npos);
    EXPECT_TRUE(log.empty()) << "creating the window touches neither cursor nor ports";
}

TEST_F(WallMainTest, CreatedWithTheOptionAndAutoChangeDefaults) {
    TForm1& f = Form1();
    EXPECT_TRUE(f.ResLarge.Checked());
    EXPECT_FALSE(f.ResSmall.Checked());
    EXPECT_TRUE(f.PropRes.Checked());
    EXPECT_EQ(f.PixFormat.ItemIndex(), 0);
    EXPECT_EQ(f.PixFormat.Items(), (std::vector<std::string>{"Don't change", "Always True Color (24 bit)"}));
    EXPECT_EQ(f.ResSmall.hint, "Use this option if you have Win95 without Plus!");
    EXPECT_EQ(f.ResLarge.Caption(), "&Shrink to fit ");
    EXPECT_FALSE(f.AutoEnabled.Enabled());
    EXPECT_FALSE(f.Randomized.Enabled());
    EXPECT_FALSE(f.AutoRun.Checked());
    EXPECT_EQ(f.Edit1.Text(), "30");
    EXPECT_EQ(f.DelayUD.Min(), 1);
    EXPECT_EQ(f.DelayUD.Max(), 6000);
    EXPECT_EQ(f.DelayUD.Position(), 30);
    EXPECT_EQ(f.Image1.bounds.width, 200);
    EXPECT_EQ(f.Image1.bounds.height, 150);
    EXPECT_EQ(f.BitBtn2.Caption(), "&About....");
}

TEST_F(WallMainTest, OpenDialogAsksForBackgrounds) {
    fileDialogs.Cancel();
    Form1().BitBtn1Click(form.get());
    ASSERT_EQ(fileDialogs.requests.size(), 1u);
    const OpenDialogRequest& r = fileDialogs.requests[0];
    EXPECT_EQ(r.title, "Looking for backgrounds");
    EXPECT_EQ(r.filter, "Backgrounds (*.bmp, *.jpg)|*.bmp;*.jpg");
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.defaultExt, "bmp");
    EXPECT_EQ(r.bufferChars, 65519u);
    EXPECT_TRUE(r.options.allowMultiSelect && r.options.pathMustExist && r.options.fileMustExist);
    EXPECT_TRUE(r.options.enableSizing && r.options.explorer);
    EXPECT_FALSE(r.options.hideReadOnly);
}

TEST(FileNameOfPathTest, TakesThePartAfterTheLastBackslashOrColon) {
    EXPECT_EQ(FileNameOfPath("C:\\Pics\\sea.bmp"), "sea.bmp");
    EXPECT_EQ(FileNameOfPath("C:sea.bmp"), "sea.bmp");
    EXPECT_EQ(FileNameOfPath("sea.bmp"), "sea.bmp");
    EXPECT_EQ(FileNameOfPath("\\\\server\\share\\x.jpg"), "x.jpg");
    EXPECT_EQ(FileNameOfPath("C:\\Pics\\"), "");
    EXPECT_EQ(FileNameOfPath("/home/pics/sea.bmp"), "/home/pics/sea.bmp");
    // UTF-8 names, Cyrillic and Chinese: no byte of their letters is a "\\" or a ":".
    EXPECT_EQ(FileNameOfPath("C:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\\\xD0\x9F\xD0\xB5\xD0\xB9.bmp"),
              "\xD0\x9F\xD0\xB5\xD0\xB9.bmp");
    EXPECT_EQ(FileNameOfPath("D:\xE5\xB1\xB1\xE6\xB0\xB4.bmp"), "\xE5\xB1\xB1\xE6\xB0\xB4.bmp");
}

// ---- The image list ----

TEST_F(WallMainTest, AddToTheEmptyListFillsRowOneAndPreviewsIt) {
    const std::string a = Picture("a.bmp"), b = Picture("b.bmp"), c = Picture("c.bmp");
    ShowWindow();
    List({a, b, c});
    EXPECT_EQ(Form1().Filez.RowCount(), 4);
    EXPECT_EQ(Paths(), (std::vector<std::string>{a, b, c}));
    EXPECT_EQ(Form1().Filez.Row(), 1);
    EXPECT_EQ(Form1().LastPreviewPath, a);
    EXPECT_FALSE(Form1().Image1.Picture().Empty());
    EXPECT_EQ(Preparations(), 1);
}

TEST_F(WallMainTest, AddKeepsTheSelectionAndTheNamesFollowThePaths) {
    List({"C:\\P\\1.bmp", "C:\\P\\2.bmp", "C:\\P\\3.bmp"});
    Form1().Filez.SelectRow(2);
    List({"C:\\P\\4.bmp", "D:5.jpg"});
    EXPECT_EQ(Form1().Filez.RowCount(), 6);
    EXPECT_EQ(Form1().Filez.Row(), 2);
    EXPECT_EQ(Form1().Filez.Cell(0, 4), "4.bmp");
    EXPECT_EQ(Form1().Filez.Cell(0, 5), "5.jpg");
}

TEST_F(WallMainTest, AddingAListedFileAddsASecondEntry) {
    List({"C:\\P\\1.bmp"});
    List({"C:\\P\\1.bmp"});
    EXPECT_EQ(Paths(), (std::vector<std::string>{"C:\\P\\1.bmp", "C:\\P\\1.bmp"}));
}

TEST_F(WallMainTest, AddLooksOnlyAtTheLastRow) {
    // An empty entry in the middle, as a restore of a missing stored value leaves it.
    List({"C:\\P\\1.bmp", "C:\\P\\2.bmp", "C:\\P\\3.bmp"});
    Form1().Filez.SetCell(1, 2, "");
    Form1().Filez.SetCell(0, 2, "");
    List({"C:\\P\\4.bmp"});
    EXPECT_EQ(Paths(), (std::vector<std::string>{"C:\\P\\1.bmp", "", "C:\\P\\3.bmp", "C:\\P\\4.bmp"}));
}

// The list stops where the restore stops: what it holds always comes back.
TEST_F(WallMainTest, AddStopsAtTheRowsTheRestoreTakesAndSaysSo) {
    std::vector<std::string> paths(kMaxRestoredRows - 2, "C:\\P\\1.bmp");
    List(paths);
    fileDialogs.Choose({"C:\\P\\last.bmp", "C:\\P\\x.bmp", "C:\\P\\y.bmp"});
    try {
        Form1().BitBtn1Click(form.get());
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "The list holds at most 65536 files: 2 not added");
    }
    EXPECT_EQ(Form1().Filez.RowCount(), kMaxRestoredRows);
    EXPECT_EQ(Form1().Filez.Cell(1, kMaxRestoredRows - 1), "C:\\P\\last.bmp");
    fileDialogs.Choose({"C:\\P\\x.bmp"});
    EXPECT_THROW(Form1().BitBtn1Click(form.get()), Error);
    EXPECT_EQ(Form1().Filez.RowCount(), kMaxRestoredRows);
}

TEST_F(WallMainTest, OpenReplacesTheListAndPreviewsTheFirstFile) {
    std::vector<std::string> ten;
    for (int i = 0; i < 10; ++i)
        ten.push_back("C:\\Old\\" + std::to_string(i) + ".bmp");
    List(ten);
    Form1().Filez.SelectRow(7);
    const std::string a = Picture("a.bmp"), b = Picture("b.bmp");
    ShowWindow();
    int clicks = 0;
    Form1().Filez.onClick = [&](Component*) { ++clicks; };
    fileDialogs.Choose({b, a});
    Form1().BitBtn4Click(form.get());
    EXPECT_EQ(Paths(), (std::vector<std::string>{b, a}));
    EXPECT_EQ(Form1().Filez.Row(), 1);
    EXPECT_EQ(Form1().LastPreviewPath, b);
    EXPECT_EQ(clicks, 0) << "the shrinking list moves the selection without a notification";
}

// A cancel is silent; a choice too long for the dialog's buffer is said. Neither edits the list or refreshes.
TEST_F(WallMainTest, CancelledOrOverfullDialogChangesNothingAndRunsNoRefresh) {
    List({"C:\\P\\1.bmp", "C:\\P\\2.bmp"});
    Form1().Filez.SelectRow(2);
    ShowWindow();
    for (const bool tooMany : {false, true}) {
        for (const bool open : {true, false}) {
            Form1().LastPreviewPath = "";
            tooMany ? fileDialogs.ChooseTooMany() : fileDialogs.Cancel();
            std::string said;
            try {
                open ? Form1().BitBtn4Click(form.get()) : Form1().BitBtn1Click(form.get());
            } catch (const Error& e) {
                said = e.what();
            }
            const std::string what =
                std::string(open ? "Open" : "Add") + (tooMany ? ", too many" : ", cancelled");
            EXPECT_EQ(said, tooMany ? kTooManyFilesText : "") << what;
            EXPECT_EQ(Paths(), (std::vector<std::string>{"C:\\P\\1.bmp", "C:\\P\\2.bmp"})) << what;
            EXPECT_EQ(Form1().Filez.Row(), 2) << what;
            EXPECT_EQ(Form1().LastPreviewPath, "") << what << ": no refresh ran";
        }
    }
    EXPECT_TRUE(log.empty());
}

TEST_F(WallMainTest, RemoveAMiddleEntryMovesTheRestUpAndPreviewsTheNext) {
    const std::string a = Picture("a.bmp"), b = Picture("b.bmp"), c = Picture("c.bmp");
    List({a, b, c});
    Form1().Filez.SelectRow(2);
    ShowWindow();
    Form1().Removefromlist1Click(&Form1().Removefromlist1);
    EXPECT_EQ(Paths(), (std::vector<std::string>{a, c}));
    EXPECT_EQ(Form1().Filez.Cell(0, 2), FileNameOfPath(c));
    EXPECT_EQ(Form1().Filez.Row(), 2);
    EXPECT_EQ(Form1().LastPreviewPath, c);
}

TEST_F(WallMainTest, RemoveTheLastEntrySelectsAndPreviewsThePrevious) {
    const std::string a = Picture("a.bmp"), b = Picture("b.bmp");
    List({a, b});
    Form1().Filez.SelectRow(2);
    ShowWindow();
    Form1().Removefromlist1Click(form.get());
    EXPECT_EQ(Paths(), (std::vector<std::string>{a}));
    EXPECT_EQ(Form1().Filez.Row(), 1);
    EXPECT_EQ(Form1().LastPreviewPath, a);
}

TEST_F(WallMainTest, RemoveTheOnlyEntryLeavesTheEmptyListAndKeepsThePreview) {
    const std::string a = Picture("a.bmp");
    ShowWindow();
    List({a});
    ASSERT_FALSE(Form1().Image1.Picture().Empty());
    Form1().Removefromlist1Click(form.get());
    EXPECT_EQ(Form1().Filez.RowCount(), 2);
    EXPECT_EQ(Form1().Filez.Cell(0, 1), "");
    EXPECT_EQ(Form1().Filez.Cell(1, 1), "");
    EXPECT_FALSE(Form1().Image1.Picture().Empty());
    EXPECT_EQ(Form1().LastPreviewPath, a);
}

TEST_F(WallMainTest, RemoveOnTheEmptyListOrAnEmptyEntryDoesNothing) {
    ShowWindow();
    EXPECT_TRUE(Form1().PopupMenu1.HandleShortCut("Del"));
    EXPECT_EQ(Form1().Filez.RowCount(), 2);
    List({"C:\\P\\1.bmp", "C:\\P\\2.bmp", "C:\\P\\3.bmp"});
    Form1().Filez.SetCell(1, 3, "");
    Form1().Filez.SelectRow(3);
    log.clear();
    Form1().Removefromlist1Click(form.get());
    EXPECT_EQ(Form1().Filez.RowCount(), 4);
    EXPECT_EQ(Preparations(), 0);
}

// However many rows a command changes, the grid's control is told once: a long list is drawn once.
TEST_F(WallMainTest, EachListCommandChangesTheGridOnce) {
    int changes = 0;
    Form1().Filez.onChanged = [&] { ++changes; };
    const std::vector<std::string> three = {"C:\\P\\1.bmp", "C:\\P\\2.bmp", "C:\\P\\3.bmp"};
    List(three);
    EXPECT_EQ(changes, 1) << "Add";
    changes = 0;
    fileDialogs.Choose(three);
    Form1().BitBtn4Click(form.get());
    EXPECT_EQ(changes, 1) << "Open";
    changes = 0;
    Form1().Removefromlist1Click(form.get());
    EXPECT_EQ(changes, 1) << "Remove from list";
    changes = 0;
    ShowWindow();
    EXPECT_EQ(changes, 1) << "the stored list restored";
    EXPECT_EQ(Paths(), (std::vector<std::string>{three[1], three[2]}));
}

// ---- The context menu ----

TEST_F(WallMainTest, MenuItemsInDisplayOrderWithTheirShortcuts) {
    std::vector<std::string> shown;
    for (const MenuItem* item : Form1().PopupMenu1.items)
        shown.push_back(item->caption + "|" + item->shortCut);
    EXPECT_EQ(shown, (std::vector<std::string>{"&Hide window|Esc", "-|", "&Set as wallpaper|F9",
                                               "&Remove from list|Del", "&Add files|Ins", "-|",
                                               "&Exit|Ctrl+X", "-|", "&About...|F1"}));
}

TEST_F(WallMainTest, OpeningOnTheEmptyListDisablesTheEntryCommandsOnly) {
    for (const MenuItem* item : Form1().PopupMenu1.items)
        EXPECT_TRUE(item->enabled) << "before the first opening";
    Form1().PopupMenu1.Popup();
    EXPECT_FALSE(Form1().Setwallpaper1.enabled);
    EXPECT_FALSE(Form1().Removefromlist1.enabled);
    EXPECT_FALSE(Form1().Add1.enabled);
    EXPECT_TRUE(Form1().Hidewindow1.enabled);
    EXPECT_TRUE(Form1().Exit1.enabled);
    EXPECT_TRUE(Form1().About1.enabled);

    // The enabling is that of the last opening: an entry added since does not revive F9, Del or Ins.
    List({"C:\\P\\1.bmp"});
    EXPECT_TRUE(Form1().PopupMenu1.HandleShortCut("Del"));
    EXPECT_TRUE(Form1().PopupMenu1.HandleShortCut("Ins"));
    EXPECT_EQ(Paths(), (std::vector<std::string>{"C:\\P\\1.bmp"}));
    EXPECT_EQ(fileDialogs.requests.size(), 1u);
    Form1().PopupMenu1.Popup();
    EXPECT_TRUE(Form1().Setwallpaper1.enabled);
    EXPECT_TRUE(Form1().Removefromlist1.enabled);
    EXPECT_TRUE(Form1().Add1.enabled);
    Form1().PopupMenu1.HandleShortCut("Del");
    EXPECT_EQ(Paths(), (std::vector<std::string>{""}));
}

TEST_F(WallMainTest, AddFilesRunsAddAndAboutShowsTheAboutBox) {
    List({"C:\\P\\1.bmp"});
    fileDialogs.Choose({"C:\\P\\2.bmp"});
    EXPECT_TRUE(Form1().PopupMenu1.HandleShortCut("Ins"));
    EXPECT_EQ(Paths(), (std::vector<std::string>{"C:\\P\\1.bmp", "C:\\P\\2.bmp"}));
    EXPECT_EQ(fileDialogs.requests.size(), 2u);
    EXPECT_TRUE(Form1().PopupMenu1.HandleShortCut("F1"));
    Form1().About1.Click();
    Form1().BitBtn2.Click();
    ASSERT_EQ(dialogs.shown.size(), 3u);
    for (const auto& box : dialogs.shown) {
        EXPECT_EQ(box.caption, "About Tavo Wallpaper 2");
        EXPECT_EQ(box.text,
                  "Tavo Wallpaper 2\nVersion 2.0.4.3 (ALPHA 4)\n\nBuilt with " + JpegLibraryVersion());
        EXPECT_EQ(box.icon, MessageIcon::Application);
    }
    EXPECT_EQ(JpegLibraryVersion().rfind("libjpeg-turbo ", 0), 0u) << JpegLibraryVersion();
    EXPECT_EQ(lifetime.terminations, 0);
}

TEST_F(WallMainTest, HideSavesThenHidesExitAndCloseEndTheProgram) {
    std::vector<std::string> order;
    Form1().FormStorage1.OnSavePlacement = [&](Component*) {
        order.push_back(Form1().Visible() ? "save:visible" : "save:hidden");
    };
    Form1().onHide = [&](Component*) { order.push_back("hidden"); };
    Form1().Show();
    EXPECT_TRUE(Form1().PopupMenu1.HandleShortCut("Esc"));
    EXPECT_EQ(order, (std::vector<std::string>{"save:visible", "hidden"}));
    EXPECT_EQ(lifetime.terminations, 0);
    Form1().Show();
    Form1().BitBtn3.Click();
    EXPECT_FALSE(Form1().Visible());
    Form1().PopupMenu1.HandleShortCut("Ctrl+X");
    EXPECT_EQ(lifetime.terminations, 1);
    Form1().Show();
    EXPECT_TRUE(Form1().Close());
    EXPECT_EQ(lifetime.terminations, 2);
}

TEST_F(WallMainTest, TheDelayTextIsAcceptedAsTyped) {
    Form1().Edit1.SetText("ten");
    Form1().DelayUD.StepUp();
    EXPECT_EQ(Form1().Edit1.Text(), "31");
    Form1().DelayUD.SetPosition(9999);
    EXPECT_EQ(Form1().Edit1.Text(), "6,000");
    EXPECT_EQ(Preparations(), 0);
}

// ---- Access keys ----

TEST(AccessKeyOfTest, ReadsTheMarkedLetter) {
    EXPECT_EQ(AccessKeyOf("&Open"), 'O');
    EXPECT_EQ(AccessKeyOf("Set &as"), 'A');
    EXPECT_EQ(AccessKeyOf("Fish && &chips"), 'C');
    EXPECT_EQ(AccessKeyOf("A && B"), 0);
    EXPECT_EQ(AccessKeyOf("Panel1"), 0);
    EXPECT_EQ(AccessKeyOf("trailing&"), 0);
}

TEST_F(WallMainTest, SharedLettersGoToTheFirstControlAskedAndDisabledOnesIgnoreTheirs) {
    TForm1& f = Form1();
    EXPECT_EQ(f.AccessKeyTarget('a'), &f.BitBtn1) << "Add, not Auto change nor About";
    EXPECT_EQ(f.AccessKeyTarget('S'), &f.ResLarge) << "Shrink to fit, not Start with Windows";
    EXPECT_EQ(f.AccessKeyTarget('p'), &f.PropRes) << "Proportional resize, not Preview";
    EXPECT_EQ(f.AccessKeyTarget('r'), &f.ResamplingGB) << "the group, not Randomize";
    EXPECT_EQ(f.AccessKeyTarget('c'), &f.PixFormat);
    EXPECT_EQ(f.AccessKeyTarget('o'), &f.BitBtn4);
    EXPECT_EQ(f.AccessKeyTarget('h'), &f.BitBtn3);
    EXPECT_EQ(f.AccessKeyTarget('f'), &f.FilezGB);
    EXPECT_EQ(f.AccessKeyTarget('e'), nullptr) << "Enabled is disabled";
    EXPECT_EQ(f.AccessKeyTarget('q'), nullptr);
    f.BitBtn1.SetEnabled(false);
    EXPECT_EQ(f.AccessKeyTarget('a'), &f.AutoGB);
}

}  // namespace
}  // namespace tavo
