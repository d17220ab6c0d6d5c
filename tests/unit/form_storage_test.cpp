// The settings store on the main window: placement and stored properties in "Main", its triggers and
// failures.
#include <gtest/gtest.h>

#include "base/error.h"
#include "support/wall_main_fixture.h"

namespace tavo::testing {
namespace {

const std::string kKey = "Software\\Kelvara\\Ferlin2";
const std::string kMain = kKey + "\\Main";
using Call = MemoryRegistry::Call;

std::string FourNumbers(int a, int b, int c, int d) {
    return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," + std::to_string(d);
}

class FormStorageTest : public WallMainTest {
protected:
    std::string Main(const std::string& name) const {
        return registry.String(kMain, name).value_or("<none>");
    }
    // The Hide command's save followed by the next show's restore.
    void HideAndShow() {
        Form1().BitBtn3Click(&Form1());
        Form1().Show();
    }
    std::string ErrorShown() const { return dialogs.shown.empty() ? "" : dialogs.shown.back().text; }
};

TEST_F(FormStorageTest, FirstShowOnAFreshAccountCreatesTheKeyAndAppliesNothing) {
    int centred = 0;
    Form1().onCentre = [&] { ++centred; };
    Form1().Show();
    EXPECT_TRUE(registry.HasKey(kKey));
    EXPECT_FALSE(registry.HasKey(kMain));
    EXPECT_TRUE(registry.writes.empty());
    EXPECT_EQ(centred, 1);
    ASSERT_EQ(placement.applied.size(), 1u);  // only the maximised position, window kept hidden
    EXPECT_EQ(placement.applied[0].showCmd, kSwHide);
    EXPECT_EQ(placement.applied[0].ptMaxPosition.x, -4);
    EXPECT_EQ(Form1().Edit1.Text(), "30");
    EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST_F(FormStorageTest, FirstSaveWritesEveryValueInOrderThenTheList) {
    Form1().Show();
    Form1().BitBtn3Click(&Form1());
    const std::vector<std::string> names = {"Flags",
                                            "ShowCmd",
                                            "PixelsPerInch",
                                            "MinMaxPos(1024x768)",
                                            "MinMaxPos",
                                            "NormPos(1024x768)",
                                            "NormPos",
                                            "Visible",
                                            "OpenDialog1_FileName",
                                            "OpenDialog1_InitialDir",
                                            "OpenDialog1_FilterIndex",
                                            "PropRes_Checked",
                                            "Randomized_Checked",
                                            "ResLarge_Checked",
                                            "ResSmall_Checked",
                                            "Edit1_Text",
                                            "PixFormat_ItemIndex"};
    EXPECT_EQ(registry.Names(kMain), names);
    const std::vector<std::string> texts = {
        "0",     "1",  "96", "-1,-1,-4,-4", "-1,-1,-4,-4", "292,164,732,604", "292,164,732,604",
        "0",     "",   "",   "1",           "True",        "False",           "True",
        "False", "30", "0"};
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(Main(names[i]), texts[i]) << names[i];
    ASSERT_EQ(registry.writes.size(), names.size() + 3);
    EXPECT_EQ(registry.writes[names.size()], kKey + "\\Filez");
    EXPECT_EQ(registry.writes.back(), kKey + "\\File1");
    EXPECT_FALSE(Form1().Visible());
    EXPECT_EQ(registry.OpenHandles(), 0);
}

struct PositionCase {
    const char* what;
    int screenWidth;
    const char* pixelsPerInch;
    const char* suffixed;  // NormPos(1024x768)
    const char* plain;     // NormPos
    bool applied;
    PlacementRect rect;  // the applied normal position
};

// "Flags" 2 and "MinMaxPos" 1,2,3,4 are stored alongside; applied, they come back whole.
TEST_F(FormStorageTest, StoredPositionTakesTheResolutionAndPixelsPerInchIntoAccount) {
    const PositionCase cases[] = {
        {"same resolution", 1024, "96", "10,20,450,500", "30,40,470,520", true, {10, 20, 450, 500}},
        {"other resolution uses the plain name",
         800,
         "96",
         "10,20,450,500",
         "30,40,470,520",
         true,
         {30, 40, 470, 520}},
        {"blanks and commas, missing words", 1024, "96", " ,15  ,", "", true, {15, 164, 732, 604}},
        {"pixels per inch changed", 1024, "120", "10,20,450,500", "30,40,470,520", false, {}},
        {"right not greater than left", 1024, "96", "450,20,450,500", "", false, {}},
    };
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(c.what);
        registry = MemoryRegistry();
        placement = FakeWindowPlacement();
        placement.screenWidth = c.screenWidth;
        registry.PutString(kMain, "Flags", "2");
        registry.PutString(kMain, "MinMaxPos", "1,2,3,4");
        registry.PutString(kMain, "PixelsPerInch", c.pixelsPerInch);
        registry.PutString(kMain, "NormPos(1024x768)", c.suffixed);
        registry.PutString(kMain, "NormPos", c.plain);
        registry.PutString(kMain, "ShowCmd", "3");
        Start();
        int centred = 0;
        Form1().onCentre = [&] { ++centred; };
        Form1().Show();
        ASSERT_EQ(placement.applied.size(), c.applied ? 2u : 1u);
        EXPECT_EQ(centred, c.applied ? 0 : 1);
        EXPECT_EQ(Form1().windowState, WindowState::Maximized);
        if (c.applied) {
            const WindowPlacement& p = placement.applied[0];
            EXPECT_EQ(p.flags, 2u);
            EXPECT_EQ(FourNumbers(p.ptMinPosition.x, p.ptMinPosition.y, p.ptMaxPosition.x, p.ptMaxPosition.y),
                      "1,2,3,4");
            const PlacementRect& r = p.rcNormalPosition;
            EXPECT_EQ(FourNumbers(r.left, r.top, r.right, r.bottom),
                      FourNumbers(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom));
        }
    }
}

// "ShowCmd" gives the state the window is shown in: 1, 5 and 9 normal; 2, 6 and 7 minimized; 3 maximized;
// any other number, no number or no value normal.
TEST_F(FormStorageTest, TheStoredShowCommandSetsTheStateTheWindowIsShownIn) {
    // The stored text and the show command of the state it gives.
    const std::pair<const char*, int> cases[] = {{"1", 1},  {"5", 1},  {"9", 1}, {"2", 2},    {"6", 2},
                                                 {"7", 2},  {"3", 3},  {"0", 1}, {"4", 1},    {"8", 1},
                                                 {"10", 1}, {"-3", 1}, {"x", 1}, {nullptr, 1}};
    for (const auto& [stored, shown] : cases) {
        SCOPED_TRACE(stored ? stored : "no value");
        registry = MemoryRegistry();
        if (stored) registry.PutString(kMain, "ShowCmd", stored);
        Start();
        Form1().windowState = WindowState::Maximized;
        Form1().Show();
        EXPECT_EQ(ShowCommandOf(Form1().windowState), shown);
    }
}

TEST_F(FormStorageTest, SaveAtAnotherResolutionKeepsTheOldPair) {
    registry.PutString(kMain, "NormPos(1024x768)", "10,20,450,500");
    placement.screenWidth = 800;
    placement.screenHeight = 600;
    Form1().Show();
    Form1().BitBtn3Click(&Form1());
    EXPECT_EQ(Main("NormPos(1024x768)"), "10,20,450,500");
    EXPECT_EQ(Main("NormPos(800x600)"), "292,164,732,604");
    EXPECT_EQ(Main("NormPos"), "292,164,732,604");
}

struct PropCase {
    const char* value;
    const char* stored;
    std::function<std::string(TForm1&)> shown;
    const char* expected;
};

TEST_F(FormStorageTest, StoredPropertiesAreParsedByTheirKind) {
    const auto index = [](TForm1& f) { return std::to_string(f.PixFormat.ItemIndex()); };
    const auto shrink = [](TForm1& f) { return f.ResLarge.Checked() ? "on" : "off"; };
    const auto zoom = [](TForm1& f) { return f.ResSmall.Checked() ? "on" : "off"; };
    const PropCase cases[] = {
        {"PixFormat_ItemIndex", "7", index, "1"},
        {"PixFormat_ItemIndex", "-5", index, "-1"},
        {"PixFormat_ItemIndex", "one", index, "0"},
        {"ResSmall_Checked", "tRUE", zoom, "on"},
        {"ResLarge_Checked", "false", shrink, "off"},
        {"ResLarge_Checked", "no", shrink, "on"},
        {"Edit1_Text", " \t45  ", [](TForm1& f) { return f.Edit1.Text(); }, "45"},
        {"OpenDialog1_FileName", "", [](TForm1& f) { return "[" + f.OpenDialog1.fileName + "]"; }, "[]"},
        {"OpenDialog1_FilterIndex", "3", [](TForm1& f) { return std::to_string(f.OpenDialog1.filterIndex); },
         "3"},
    };
    for (const PropCase& c : cases) {
        SCOPED_TRACE(std::string(c.value) + "=" + c.stored);
        registry = MemoryRegistry();
        registry.PutString(kMain, c.value, c.stored);
        Start();
        Form1().Show();
        EXPECT_EQ(c.shown(Form1()), c.expected);
    }
    Form1().Edit1.SetText("  45 ");
    Form1().BitBtn3Click(&Form1());
    EXPECT_EQ(Main("Edit1_Text"), "45");
}

TEST_F(FormStorageTest, AChangedOptionRunsTheOptionHandlerAgainstTheListBeforeItsRestore) {
    const std::string a = Picture("a.bmp"), b = Picture("b.bmp");
    List({b});
    registry.PutDword(kKey, "Filez", 2);
    registry.PutDword(kKey, "FileNum", 1);
    registry.PutString(kKey, "File1", a);
    registry.PutString(kMain, "PropRes_Checked", "False");
    Form1().Show();
    EXPECT_FALSE(Form1().PropRes.Checked());
    EXPECT_EQ(Preparations(), 1);
    EXPECT_EQ(Form1().LastPreviewPath, b);
    EXPECT_EQ(Form1().SelectedPath(), a);  // row 1 stays current: no refresh
}

TEST_F(FormStorageTest, ARunThatNeverShowsTheWindowWritesNothing) {
    Form1().Close();
    Form1().Destroy();
    Restart();
    Form1().BitBtn3Click(&Form1());
    EXPECT_TRUE(registry.writes.empty());
    EXPECT_FALSE(registry.HasKey(kKey));
}

TEST_F(FormStorageTest, ExitSavesAtDestructionWithVisibleOneTheCloseBoxAtTheCloseRequest) {
    Form1().Show();
    Form1().Exit1Click(&Form1());
    Restart();
    EXPECT_EQ(Main("Visible"), "1");
    EXPECT_EQ(std::count(registry.writes.begin(), registry.writes.end(), kMain + "\\Visible"), 1);

    registry.writes.clear();
    Form1().Show();
    EXPECT_TRUE(Form1().Close());
    Form1().Destroy();
    EXPECT_EQ(Main("Visible"), "0");
    EXPECT_EQ(std::count(registry.writes.begin(), registry.writes.end(), kMain + "\\Visible"), 1);

    // Every show starts unsaved: what changes after it is stored at the end.
    Start();
    Form1().Show();
    Form1().BitBtn3Click(&Form1());
    Form1().Show();
    Form1().ResSmall.SetChecked(true);
    Form1().Exit1Click(&Form1());
    Restart();
    EXPECT_EQ(Main("ResSmall_Checked"), "True");
    EXPECT_EQ(Main("Visible"), "1");
}

TEST_F(FormStorageTest, ShowAfterHideRestoresWhatHideSaved) {
    Form1().Show();
    Form1().ResSmall.SetChecked(true);
    Form1().Edit1.SetText("12");
    Form1().BitBtn3Click(&Form1());
    Form1().ResSmall.SetChecked(false);
    Form1().Edit1.SetText("99");
    Form1().Show();
    EXPECT_TRUE(Form1().ResSmall.Checked());
    EXPECT_EQ(Form1().Edit1.Text(), "12");
}

// One failure of each registry call kind: reported where the trigger reports it, nothing lost.
TEST_F(FormStorageTest, TheSettingsKeyThatCannotBeCreatedIsReportedAndTheShowGoesOn) {
    registry.Fail(Call::CreateKey, kKey);
    Form1().Show();
    EXPECT_EQ(ErrorShown(), "Failed to create key Software\\Kelvara\\Ferlin2.");
    EXPECT_TRUE(Form1().Visible());
    Form1().BitBtn3Click(&Form1());  // never restored: nothing is written
    EXPECT_TRUE(registry.writes.empty());
}

TEST_F(FormStorageTest, AFailedWriteKeepsTheWindowVisibleAndTheDestructionTriesAgain) {
    Form1().Show();
    registry.Fail(Call::SetValue, "Flags");
    EXPECT_THROW(Form1().BitBtn3Click(&Form1()), Error);
    EXPECT_TRUE(Form1().Visible());
    registry.Fail(Call::CreateKey, kMain);
    try {
        Form1().BitBtn3Click(&Form1());
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Failed to create key Main");
    }
    Form1().Destroy();
    EXPECT_EQ(Main("Visible"), "1");
    EXPECT_EQ(registry.OpenHandles(), 0);
}

struct BadPlacementCase {
    std::vector<std::string> names;  // stored as REG_DWORD, or failing to give their data
    bool dataFails;
    const char* reported;
};

// A bad placement value is reported once per show and read as its default; everything else is restored,
// and the next save writes good text over it.
TEST_F(FormStorageTest, AnUnreadablePlacementValueIsReportedAndTheRestIsRestored) {
    const BadPlacementCase cases[] = {
        {{"Flags"}, false, "Invalid data type for 'Flags'"},
        {{"ShowCmd"}, false, "Invalid data type for 'ShowCmd'"},
        {{"PixelsPerInch"}, false, "Invalid data type for 'PixelsPerInch'"},
        {{"MinMaxPos(1024x768)", "MinMaxPos"}, false, "Invalid data type for 'MinMaxPos(1024x768)'"},
        {{"NormPos(1024x768)"}, false, "Invalid data type for 'NormPos(1024x768)'"},
        {{"NormPos"}, true, "Failed to get data for 'NormPos'"},
    };
    for (const BadPlacementCase& c : cases) {
        SCOPED_TRACE(c.reported);
        registry = MemoryRegistry();
        placement = FakeWindowPlacement();
        dialogs.shown.clear();
        registry.PutString(kMain, "NormPos", "10,20,450,500");
        registry.PutString(kMain, "Edit1_Text", "7");
        registry.PutDword(kKey, "Filez", 2);
        registry.PutString(kKey, "File1", "C:\\a.bmp");
        for (const std::string& name : c.names) {
            if (c.dataFails)
                registry.Fail(Call::QueryValue, name, 1);  // its data, after the size
            else
                registry.Put(kMain, name, kRegDword, {1, 0, 0, 0});
        }
        Start();
        Form1().Show();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(ErrorShown(), c.reported);
        EXPECT_EQ(Form1().Edit1.Text(), "7");
        EXPECT_EQ(Form1().SelectedPath(), "C:\\a.bmp");
        Form1().BitBtn3Click(&Form1());
        for (const std::string& name : c.names)
            EXPECT_NE(Main(name), "<none>") << name;
        Form1().Show();
        EXPECT_EQ(dialogs.shown.size(), 1u);
    }
}

TEST_F(FormStorageTest, UnreadablePropertiesArePassedOver) {
    registry.Put(kMain, "ResSmall_Checked", kRegDword, {1, 0, 0, 0});
    registry.PutString(kMain, "Edit1_Text", "7");
    registry.PutString(kMain, "PixFormat_ItemIndex", "1");
    registry.Fail(Call::QueryValue, "Edit1_Text");
    Form1().Show();
    EXPECT_FALSE(Form1().ResSmall.Checked());
    EXPECT_EQ(Form1().Edit1.Text(), "30");
    EXPECT_EQ(Form1().PixFormat.ItemIndex(), 1);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FormStorageTest, AMissingSectionOrAFailedCloseChangesNothing) {
    registry.PutString(kMain, "Edit1_Text", "7");
    registry.Fail(Call::OpenKey, kMain, 0, kErrorFileNotFound, -1);
    registry.Fail(Call::CloseKey, kKey);
    Form1().Show();
    registry.ClearFailures();
    EXPECT_EQ(Form1().Edit1.Text(), "30");
    EXPECT_TRUE(dialogs.shown.empty());
    Form1().BitBtn3Click(&Form1());
    EXPECT_EQ(Main("Edit1_Text"), "30");
}

}  // namespace
}  // namespace tavo::testing
