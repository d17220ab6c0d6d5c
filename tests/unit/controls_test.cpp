// The control models: state changes and their events, the spinner, the menu's shortcuts, the form.
#include <gtest/gtest.h>

#include "framework/controls.h"
#include "framework/edit.h"
#include "framework/form.h"
#include "framework/image.h"
#include "framework/menu.h"

namespace tavo {
namespace {

TEST(CheckBoxTest, ADifferentStateClicksAnEqualOneDoesNot) {
    CheckBox box;
    int clicks = 0;
    box.onClick = [&](Component* sender) {
        EXPECT_EQ(sender, &box);
        ++clicks;
    };
    box.SetChecked(false);
    EXPECT_EQ(clicks, 0);
    box.SetChecked(true);
    box.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box.Toggle();
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(clicks, 2);
}

TEST(CheckBoxTest, TheUserCannotTickADisabledBoxButTheProgramCan) {
    CheckBox box;
    int clicks = 0;
    box.onClick = [&](Component*) { ++clicks; };
    box.SetEnabled(false);
    box.Toggle();
    EXPECT_FALSE(box.Checked());
    box.SetChecked(true);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(clicks, 1);
}

TEST(RadioGroupTest, IndexIsClampedAndOnlyAChangeClicks) {
    RadioGroup group;
    int clicks = 0;
    group.onClick = [&](Component*) { ++clicks; };
    group.SetItems({"a", "b"});
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(1);
    group.SetItemIndex(1);
    EXPECT_EQ(clicks, 1);
    group.SetItemIndex(7);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    group.SetItemIndex(-5);
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(clicks, 2);
}

TEST(UpDownTest, StepsFromTheShownTextAndStopsAtTheEnds) {
    Edit edit;
    int changes = 0;
    edit.onChange = [&](Component*) { ++changes; };
    UpDown spinner;
    spinner.SetAssociate(&edit);
    spinner.SetRange(1, 6000);
    spinner.SetPosition(30);
    EXPECT_EQ(edit.Text(), "30");
    edit.SetText("5,999");
    spinner.StepUp();
    EXPECT_EQ(spinner.Position(), 6000);
    EXPECT_EQ(edit.Text(), "6,000");
    spinner.StepUp();
    EXPECT_EQ(spinner.Position(), 6000);
    edit.SetText("1");
    spinner.StepDown();
    EXPECT_EQ(spinner.Position(), 1);
    const int before = changes;
    edit.SetText("1");
    EXPECT_EQ(changes, before) << "an equal text raises no change";
}

TEST(UpDownTest, TextThatIsNoNumberStepsFromThePosition) {
    Edit edit;
    UpDown spinner;
    spinner.SetAssociate(&edit);
    spinner.SetRange(1, 6000);
    spinner.SetPosition(1234);
    edit.SetText("soon");
    EXPECT_EQ(spinner.Position(), 1234) << "typed text is accepted and affects nothing";
    spinner.StepUp();
    EXPECT_EQ(edit.Text(), "1,235");
}

TEST(UpDownTest, FormatsAndParsesThousands) {
    EXPECT_EQ(FormatThousands(0, ','), "0");
    EXPECT_EQ(FormatThousands(999, ','), "999");
    EXPECT_EQ(FormatThousands(1000, '.'), "1.000");
    EXPECT_EQ(FormatThousands(-1234567, ','), "-1,234,567");
    EXPECT_EQ(ParseSpinnerText(" 6,000 ", ','), 6000);
    EXPECT_EQ(ParseSpinnerText("-12", ','), -12);
    EXPECT_EQ(ParseSpinnerText(",12", ','), std::nullopt);
    EXPECT_EQ(ParseSpinnerText("", ','), std::nullopt);
    EXPECT_EQ(ParseSpinnerText("12a", ','), std::nullopt);
    EXPECT_EQ(ParseSpinnerText("99999999999", ','), std::nullopt);
}

TEST(PopupMenuTest, ShortcutsBelongToTheMenuEvenWhenTheirItemIsDisabled) {
    MenuItem remove, exitItem;
    int removes = 0, exits = 0;
    remove.shortCut = "Del";
    remove.onClick = [&](Component*) { ++removes; };
    exitItem.shortCut = "Ctrl+X";
    exitItem.onClick = [&](Component*) { ++exits; };
    PopupMenu menu;
    menu.items = {&remove, &exitItem};
    EXPECT_TRUE(menu.HandleShortCut("Del"));
    remove.enabled = false;
    EXPECT_TRUE(menu.HandleShortCut("Del"));
    EXPECT_TRUE(menu.HandleShortCut("Ctrl+X"));
    EXPECT_FALSE(menu.HandleShortCut("A"));
    EXPECT_FALSE(menu.HandleShortCut(""));
    EXPECT_EQ(removes, 1);
    EXPECT_EQ(exits, 1);
}

// The taskbar-button rule first, then the event, then the screen; only the first show centres the window,
// and a second Show only raises.
TEST(FormTest, ShowAndHideRunTheButtonRuleThenTheEventThenDrawOnlyOnChange) {
    Form form;
    std::vector<std::string> log;
    form.onVisibleChanging = [&] { log.push_back("button"); };
    form.onShow = [&](Component*) { log.push_back(form.Visible() ? "show:visible" : "show:hidden"); };
    form.onCentre = [&] { log.push_back("centre"); };
    form.onVisibleChanged = [&] { log.push_back("draw"); };
    form.onBringToTop = [&] { log.push_back("raise"); };
    form.onHide = [&](Component*) { log.push_back(form.Visible() ? "hide:visible" : "hide:hidden"); };
    form.Show();
    form.Show();
    form.Hide();
    form.Hide();
    form.Show();
    EXPECT_EQ(
        log, (std::vector<std::string>{"button", "show:visible", "centre", "draw", "raise", "raise", "button",
                                       "hide:hidden", "draw", "button", "show:visible", "draw", "raise"}));
}

TEST(FormTest, ARefusedCloseRequestKeepsTheWindow) {
    Form form;
    int closes = 0;
    bool allow = false;
    form.onCloseQuery = [&](Component*, bool& canClose) { canClose = allow; };
    form.onClose = [&](Component*) { ++closes; };
    form.Show();
    EXPECT_FALSE(form.Close());
    EXPECT_TRUE(form.Visible());
    allow = true;
    EXPECT_TRUE(form.Close());
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(closes, 1);
}

TEST(ImageTest, PictureIsCentredWithTruncationAndMayOverhang) {
    Image image;
    image.bounds = {0, 0, 200, 150};
    Bitmap picture;
    picture.SetFormat(PixelFormat::Bits24);
    picture.SetSize(157, 117);
    image.SetPicture(picture);
    EXPECT_EQ(image.PictureLeft(), 21);
    EXPECT_EQ(image.PictureTop(), 16);
    picture.SetSize(401, 301);
    image.SetPicture(picture);
    EXPECT_EQ(image.PictureLeft(), -100) << "(200 - 401) / 2 truncated toward zero";
    EXPECT_EQ(image.PictureTop(), -75);
    image.ClearPicture();
    EXPECT_TRUE(image.Picture().Empty());
}

}  // namespace
}  // namespace tavo
