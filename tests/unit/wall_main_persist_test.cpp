// The image list in the settings key, the Run key behind "&Start with Windows", and the stored-property
// binding.
#include <gtest/gtest.h>

#include "persist/auto_run.h"
#include "persist/form_storage.h"
#include "persist/list_persistence.h"
#include "persist/reg.h"
#include "support/wall_main_fixture.h"

namespace tavo::testing {
namespace {

const std::string kKey = "Software\\Kelvara\\Ferlin2";
const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
using Call = MemoryRegistry::Call;

class ListPersistenceTest : public WallMainTest {
protected:
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 1; row < form->Filez.RowCount(); ++row)
            names.push_back(form->Filez.Cell(0, row));
        return names;
    }
};

TEST_F(ListPersistenceTest, TwoPicturesWithTheSecondSelectedComeBackAfterARestart) {
    const std::string a = Picture("a.bmp"), b = Picture("b.bmp");
    List({a, b});
    ShowWindow();
    Form1().Filez.SelectRow(2);
    const std::vector<std::string> names = Names();
    Form1().BitBtn3Click(&Form1());
    EXPECT_EQ(registry.Dword(kKey, "Filez"), 3);
    EXPECT_EQ(registry.Dword(kKey, "FileNum"), 2);
    EXPECT_EQ(registry.String(kKey, "File1"), a);
    EXPECT_EQ(registry.String(kKey, "File2"), b);
    Restart();
    log.clear();
    Form1().Show();
    EXPECT_EQ(Paths(), (std::vector<std::string>{a, b}));
    EXPECT_EQ(Names(), names);
    EXPECT_EQ(Form1().Filez.Row(), 2);
    EXPECT_EQ(Form1().LastPreviewPath, b);
    EXPECT_EQ(Preparations(), 1);
}

struct RestoreCase {
    const char* what;
    int filez;  // -1: absent
    int fileNum;
    std::vector<const char*> files;  // nullptr: value absent
    std::vector<std::string> paths;
    std::vector<std::string> names;
    int row;
    int refreshes;
};

TEST_F(ListPersistenceTest, RestoreRebuildsRowsNamesAndSelection) {
    const RestoreCase cases[] = {
        {"fresh account", -1, -1, {}, {""}, {""}, 1, 0},
        {"a missing File value", 4, 0, {"C:\\a", nullptr, "D:c"}, {"C:\\a", "", "D:c"}, {"a", "", "c"}, 1, 0},
        {"no separator", 2, 1, {"plain"}, {"plain"}, {"plain"}, 1, 0},
        {"FileNum 3 of 5", 5, 3, {"1", "2", "3", "4"}, {"1", "2", "3", "4"}, {"1", "2", "3", "4"}, 3, 1},
        {"Filez below 2", 1, 0, {}, {""}, {""}, 1, 0},
    };
    for (const RestoreCase& c : cases) {
        SCOPED_TRACE(c.what);
        registry = MemoryRegistry();
        if (c.filez >= 0) registry.PutDword(kKey, "Filez", c.filez);
        if (c.fileNum >= 0) registry.PutDword(kKey, "FileNum", c.fileNum);
        for (size_t i = 0; i < c.files.size(); ++i)
            if (c.files[i]) registry.PutString(kKey, "File" + std::to_string(i + 1), c.files[i]);
        Start();
        int clicks = 0;
        Form1().Filez.onClick = [&](Component*) { ++clicks; };
        Form1().Show();
        EXPECT_EQ(Paths(), c.paths);
        EXPECT_EQ(Names(), c.names);
        EXPECT_EQ(Form1().Filez.Row(), c.row);
        EXPECT_EQ(clicks, c.refreshes);
        EXPECT_TRUE(dialogs.shown.empty());
    }
}

struct StoredCountCase {
    const char* what;
    uint32_t type;
    std::vector<uint8_t> data;
    bool readable;  // as 3: two entries come back
    bool dataFails = false;
};

// A count written by other hands: read for what it holds, or else the stored list is kept until the user
// edits the list.
TEST_F(ListPersistenceTest, AStoredCountOfAnotherFormIsReadOrTheStoredListIsKept) {
    const StoredCountCase cases[] = {
        {"REG_QWORD", kRegQword, {3, 0, 0, 0, 0, 0, 0, 0}, true},
        {"big-endian REG_DWORD", kRegDwordBigEndian, {0, 0, 0, 3}, true},
        {"decimal text", kRegSz, {' ', '3', ' ', 0}, true},
        {"decimal REG_EXPAND_SZ without a NUL", kRegExpandSz, {'3'}, true},
        {"REG_QWORD beyond 32 bits", kRegQword, {3, 0, 0, 0, 1, 0, 0, 0}, false},
        {"text that is no number", kRegSz, {'3', 'x', 0}, false},
        {"REG_BINARY", kRegBinary, {3, 0, 0, 0}, false},
        {"short REG_DWORD", kRegDword, {3}, false},
        {"data that cannot be read", kRegDword, {3, 0, 0, 0}, false, true},
    };
    for (const StoredCountCase& c : cases) {
        SCOPED_TRACE(c.what);
        registry = MemoryRegistry();
        registry.Put(kKey, "Filez", c.type, c.data);
        registry.PutString(kKey, "FileNum", "2");
        registry.PutString(kKey, "File1", "C:\\a.bmp");
        registry.PutString(kKey, "File2", "C:\\b.bmp");
        if (c.dataFails) registry.Fail(Call::QueryValue, "Filez", 1);
        Start();
        Form1().Show();
        Form1().BitBtn3Click(&Form1());
        if (c.readable) {
            EXPECT_EQ(Paths(), (std::vector<std::string>{"C:\\a.bmp", "C:\\b.bmp"}));
            EXPECT_EQ(Form1().Filez.Row(), 2);
            EXPECT_EQ(registry.Dword(kKey, "Filez"), 3);
        } else {
            EXPECT_EQ(Paths(), (std::vector<std::string>{""}));
            EXPECT_EQ(registry.Find(kKey, "Filez")->data, c.data);
            EXPECT_EQ(registry.String(kKey, "File1"), "C:\\a.bmp");
        }
    }
    registry = MemoryRegistry();
    registry.Put(kKey, "Filez", kRegBinary, {3, 0, 0, 0});
    Start();
    Form1().Show();
    Form1().Removefromlist1Click(&Form1());  // nothing to remove: no edit
    Form1().BitBtn3Click(&Form1());
    EXPECT_FALSE(registry.Dword(kKey, "Filez"));
    List({"C:\\c.bmp"});
    registry.Fail(Call::SetValue, "Filez");
    Form1().BitBtn3Click(&Form1());
    Form1().Show();  // still unreadable: the edited list stays and is saved
    Form1().BitBtn3Click(&Form1());
    EXPECT_EQ(registry.Dword(kKey, "Filez"), 2);
    EXPECT_EQ(registry.String(kKey, "File1"), "C:\\c.bmp");
}

TEST_F(ListPersistenceTest, AStoredRowBeyondTheListFailsAfterTheRowsAreRestored) {
    registry.PutDword(kKey, "Filez", 3);
    registry.PutDword(kKey, "FileNum", 3);
    registry.PutString(kKey, "File1", "C:\\a.bmp");
    registry.PutString(kKey, "File2", "C:\\b.bmp");
    Form1().Show();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Grid index out of range.");
    EXPECT_TRUE(Form1().Visible());
    EXPECT_EQ(Paths(), (std::vector<std::string>{"C:\\a.bmp", "C:\\b.bmp"}));
    EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST_F(ListPersistenceTest, AHugeStoredCountIsCutAtTheBound) {
    registry.PutDword(kKey, "Filez", 0x7fffffff);
    registry.PutString(kKey, "File70000", "C:\\far.bmp");
    Form1().Show();
    EXPECT_EQ(Form1().Filez.RowCount(), kMaxRestoredRows);
    EXPECT_LT(registry.Calls(Call::QueryValue), 3 * kMaxRestoredRows);
}

TEST_F(ListPersistenceTest, AShorterListLeavesOldValuesAndAnEmptyRowIsAnEmptyText) {
    for (int n = 1; n <= 5; ++n)
        registry.PutString(kKey, "File" + std::to_string(n), "old");
    Form1().Show();
    Form1().Filez.SetRowCount(3);
    Form1().Filez.SetCell(1, 1, "C:\\new.bmp");
    const std::vector<std::string> names = Names();
    Form1().BitBtn3Click(&Form1());
    EXPECT_EQ(registry.Dword(kKey, "Filez"), 3);
    EXPECT_EQ(registry.String(kKey, "File1"), "C:\\new.bmp");
    EXPECT_EQ(registry.String(kKey, "File2"), "");
    EXPECT_EQ(registry.String(kKey, "File5"), "old");
}

TEST_F(ListPersistenceTest, RegistryFailuresSkipTheListWorkQuietly) {
    List({"C:\\a.bmp", "C:\\b.bmp"});
    ShowWindow();
    registry.Remove(kKey, "File1");
    registry.Fail(Call::SetValue, "File1");
    Form1().BitBtn3Click(&Form1());
    EXPECT_FALSE(registry.String(kKey, "File1"));
    EXPECT_EQ(registry.String(kKey, "File2"), "C:\\b.bmp");

    registry.Fail(Call::CreateKey, kKey, 2);  // after the restore and the save of the store itself
    registry.Remove(kKey, "File2");
    Form1().Show();
    Form1().BitBtn3Click(&Form1());
    EXPECT_FALSE(registry.String(kKey, "File2"));

    registry.Fail(Call::OpenKey, kKey);
    registry.PutDword(kKey, "Filez", 2);  // would shorten the list
    const std::vector<std::string> before = Paths();
    Form1().Show();
    EXPECT_EQ(Paths(), before);
    EXPECT_EQ(before.size(), 2u);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(ReadRegTest, ReadsTakeAnyTypeAndFailuresGiveZeroOrEmpty) {
    MemoryRegistry registry;
    registry.Put("K", "text", kRegSz, {'a', 'b', 0, 'c', 0});
    registry.Put("K", "noNul", kRegBinary, {'x', 'y'});
    registry.PutString("K", "five", "5");
    RegKey key = 0;
    ASSERT_EQ(registry.OpenKeyEx(kHkeyCurrentUser, "K", kKeyQueryValue, &key), kErrorSuccess);
    EXPECT_EQ(ReadRegString(registry, key, "text"), "ab");
    EXPECT_EQ(ReadRegString(registry, key, "noNul"), "xy");
    EXPECT_EQ(ReadRegString(registry, key, "absent"), "");
    EXPECT_EQ(ReadRegDWord(registry, key, "absent"), 0);
    EXPECT_EQ(ReadRegDWord(registry, key, "five"), '5');
    EXPECT_EQ(ReadRegDWord(registry, key, "text"), 0);  // more than 4 bytes: unreadable
    registry.Fail(Call::QueryValue, "text", 1);
    EXPECT_EQ(ReadRegString(registry, key, "text"), "");
    registry.CloseKey(key);
}

class AutoRunTest : public WallMainTest {
protected:
    std::optional<std::string> RunValue() const { return registry.String(kRun, "TavoWallpaper"); }
    void StartWithRunValue(const std::string& path) {
        registry = MemoryRegistry();
        registry.PutString(kRun, "TavoWallpaper", path);
        Start();
    }
};

TEST_F(AutoRunTest, TheBoxShowsWhetherTheRunValueHoldsThisExactPath) {
    EXPECT_FALSE(Form1().AutoRun.Checked());
    EXPECT_TRUE(registry.writes.empty());
    StartWithRunValue(module.fileName);
    EXPECT_TRUE(Form1().AutoRun.Checked());
    EXPECT_EQ(registry.writes.size(), 1u);  // rewritten once with the same path
    StartWithRunValue("c:\\program files\\tavo\\tavowallpaper.exe");
    EXPECT_FALSE(Form1().AutoRun.Checked());
    Form1().AutoRun.Toggle();
    EXPECT_TRUE(Form1().AutoRun.Checked());
    EXPECT_EQ(RunValue(), module.fileName);
    Form1().AutoRun.Toggle();
    EXPECT_FALSE(Form1().AutoRun.Checked());
    EXPECT_FALSE(RunValue());
    Form1().AutoRun.Toggle();
    Form1().AutoRun.Toggle();
    EXPECT_FALSE(RunValue());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(AutoRunTest, FailedRunKeyCallsEndWithTheBoxShowingWhatTheKeyHolds) {
    registry.Fail(Call::SetValue, "TavoWallpaper");
    Form1().AutoRun.Toggle();
    EXPECT_FALSE(Form1().AutoRun.Checked());  // the tick vanishes at once
    EXPECT_FALSE(RunValue());

    StartWithRunValue(module.fileName);
    registry.Fail(Call::OpenKey, kRun, 0, kErrorAccessDenied, 2);
    Form1().AutoRun.Toggle();
    EXPECT_FALSE(Form1().AutoRun.Checked());
    EXPECT_EQ(RunValue(), module.fileName);

    StartWithRunValue(module.fileName);
    registry.Fail(Call::DeleteValue, "TavoWallpaper");
    Form1().AutoRun.Toggle();
    EXPECT_TRUE(Form1().AutoRun.Checked());  // the value survived: the box turns itself on again
    EXPECT_EQ(RunValue(), module.fileName);
    EXPECT_EQ(registry.OpenHandles(), 0);
}

// Only write and read access: an account that may read the Run key but not write it sees the box off and
// changes nothing; one that may do exactly that much works in every way.
TEST_F(AutoRunTest, TheRunKeyIsOpenedForWritingAndReadingAndNoMore) {
    constexpr uint32_t kKeyRead = 0x20019;
    StartWithRunValue(module.fileName);
    registry.Restrict(kRun, kKeyRead);
    Start();
    EXPECT_FALSE(Form1().AutoRun.Checked());
    Form1().AutoRun.Toggle();
    EXPECT_FALSE(Form1().AutoRun.Checked());
    EXPECT_EQ(RunValue(), module.fileName);

    registry.Restrict(kRun, kKeyWrite | kKeyQueryValue);
    Start();
    EXPECT_TRUE(Form1().AutoRun.Checked());
    Form1().AutoRun.Toggle();
    EXPECT_FALSE(RunValue());
    Form1().AutoRun.Toggle();
    EXPECT_TRUE(Form1().AutoRun.Checked());
    EXPECT_EQ(RunValue(), module.fileName);
}

// A path the buffer of 260 characters' bytes cannot hold comes back cut (Windows Vista and later: all but
// the last byte and a NUL; older systems: all bytes and no NUL): the value holds it as cut and the box
// stays on.
TEST_F(AutoRunTest, ALongPathIsRecordedAsTheSystemGivesItAndTheBoxStaysOn) {
    struct Case {
        size_t length;
        bool cutWithoutNul;
        size_t kept;
    };
    const size_t n = kExecutablePathBytes;
    const Case cases[] = {
        {n - 1, false, n - 1}, {n, false, n - 1}, {n + 40, false, n - 1}, {n, true, n}, {n + 40, true, n}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + (c.cutWithoutNul ? " cut without a NUL" : ""));
        module.fileName = "C:\\" + std::string(c.length - 3, 'a');
        module.cutWithoutNul = c.cutWithoutNul;
        StartWithRunValue("");
        Form1().AutoRun.Toggle();
        EXPECT_TRUE(Form1().AutoRun.Checked());
        EXPECT_EQ(RunValue(), module.fileName.substr(0, c.kept));
        Start();
        EXPECT_TRUE(Form1().AutoRun.Checked());
    }
}

TEST(FormStorageBindingTest, OnlyValidEntriesOfExistingComponentsStayAndTheNameFollowsTheComponent) {
    MemoryRegistry registry;
    FakeWindowPlacement placement;
    Form form;
    Edit edit;
    edit.name = "Edit1";
    form.AddComponent(&edit);
    TFormStorage storage(form, registry, placement);
    storage.IniFileName = "K";
    storage.IniSection = "S";
    storage.UseRegistry = true;
    storage.StoredProps = {" edit1 . Text ", "Missing.Text", ".Text", "Edit1.", "Edit1", "Edit1.NoSuch"};
    storage.Loaded();
    EXPECT_EQ(storage.StoredProps, (std::vector<std::string>{" edit1 . Text ", "Edit1.NoSuch"}));
    form.Show();
    edit.name = "Delay";
    edit.SetText(" 5 ");
    storage.SaveSettings();
    EXPECT_EQ(storage.StoredProps, (std::vector<std::string>{"Delay.Text", "Delay.NoSuch"}));
    EXPECT_EQ(registry.String("K\\S", "Delay_Text"), "5");
}

}  // namespace
}  // namespace tavo::testing
