// The open-file dialog model and the reading of a multiple-selection result.
#include "framework/open_dialog.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "support/window_fakes.h"

namespace tavo {
namespace {

using namespace std::string_literals;

TEST(SplitSelectedFilesTest, JoinsTheFolderAndEachName) {
    struct Case {
        std::string buffer;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        {"C:\\Pics\\one.bmp\0\0"s, {"C:\\Pics\\one.bmp"}},
        {"C:\\Pics\0a.bmp\0b.jpg\0\0"s, {"C:\\Pics\\a.bmp", "C:\\Pics\\b.jpg"}},
        {"C:\\\0a.bmp\0b.jpg\0\0"s, {"C:\\a.bmp", "C:\\b.jpg"}},
        {"C:\\Pics\0\\\\srv\\x.bmp\0D:\\y.bmp\0z.bmp\0\0"s,
         {"\\\\srv\\x.bmp", "D:\\y.bmp", "C:\\Pics\\z.bmp"}},
        // "D:y.bmp" is relative to the drive's folder, so it is joined.
        {"C:\\Pics\0D:y.bmp\0\0"s, {"C:\\Pics\\D:y.bmp"}},
        {"C:\\Pics\\one.bmp"s, {"C:\\Pics\\one.bmp"}},
        {"\0"s, {}},
        {""s, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitSelectedFiles(c.buffer), c.paths);
}

// The whole buffer as the dialog leaves it: names that end inside it are read, names cut short are refused.
TEST(ReadSelectedFilesTest, TakesOnlyNamesThatEndInsideTheBuffer) {
    using Paths = std::optional<std::vector<std::string>>;
    struct Case {
        std::string result;
        size_t fileOffset;
        Paths paths;
    };
    const Case cases[] = {
        // Exactly full: the closing NUL is the buffer's last character.
        {"C:\\P\0a.bmp\0b.bmp\0\0"s, 5, Paths{{"C:\\P\\a.bmp", "C:\\P\\b.bmp"}}},
        {"C:\\P\0a.bmp\0b.bmp\0\0\0\0"s, 5, Paths{{"C:\\P\\a.bmp", "C:\\P\\b.bmp"}}},
        // One character short: the last name ends, the list does not.
        {"C:\\P\0a.bmp\0b.bmp\0"s, 5, std::nullopt},
        {"C:\\P\0a.bmp\0b.b"s, 5, std::nullopt},
        // One file, followed by the rest of a longer name the buffer held before.
        {"C:\\a.bmp\0ng.bmp\0\0"s, 3, Paths{{"C:\\a.bmp"}}},
        {"C:\\a.bmp\0"s, 3, Paths{{"C:\\a.bmp"}}},
        {"C:\\a.bmp"s, 3, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadSelectedFiles(c.result, c.fileOffset), c.paths) << c.result;
}

TEST(OpenDialogTest, ConfirmedDialogKeepsTheFirstFileAndTheChosenFilter) {
    testing::ScriptedFileDialogs port;
    OpenDialog dialog(&port);
    dialog.title = "Pick";
    dialog.initialDir = "C:\\Pics";
    port.Choose({"C:\\Pics\\b.bmp", "C:\\Pics\\a.bmp"}, 2);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Files(), (std::vector<std::string>{"C:\\Pics\\b.bmp", "C:\\Pics\\a.bmp"}));
    EXPECT_EQ(dialog.fileName, "C:\\Pics\\b.bmp");
    EXPECT_EQ(dialog.filterIndex, 2);
    EXPECT_EQ(port.requests.at(0).title, "Pick");
    EXPECT_EQ(port.requests.at(0).initialDir, "C:\\Pics");

    port.Cancel();
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(dialog.Files().empty());
    EXPECT_EQ(dialog.fileName, "C:\\Pics\\b.bmp");
    EXPECT_EQ(port.requests.at(1).fileName, "C:\\Pics\\b.bmp") << "the dialog opens with the last choice";
    EXPECT_EQ(port.requests.at(1).filterIndex, 2);
}

// The user confirmed a choice that does not fit: it is said, and the dialog keeps the last good one.
TEST(OpenDialogTest, AChoiceTooLongForTheBufferIsSaidAndKeepsTheSettings) {
    testing::ScriptedFileDialogs port;
    OpenDialog dialog(&port);
    port.Choose({"C:\\Pics\\a.bmp"}, 2);
    ASSERT_TRUE(dialog.Execute());
    port.ChooseTooMany();
    try {
        dialog.Execute();
        ADD_FAILURE() << "nothing said";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Too many files were selected at once; choose fewer files at a time.");
    }
    EXPECT_TRUE(dialog.Files().empty());
    EXPECT_EQ(dialog.fileName, "C:\\Pics\\a.bmp");
    EXPECT_EQ(dialog.filterIndex, 2);
}

TEST(OpenDialogTest, AnEmptyConfirmationCountsAsFailed) {
    testing::ScriptedFileDialogs port;
    OpenDialog dialog(&port);
    port.Choose({});
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.fileName, "");
}

}  // namespace
}  // namespace tavo
