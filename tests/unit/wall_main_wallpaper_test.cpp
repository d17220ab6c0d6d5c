// The wallpaper command: its stages in order, the file it writes, and its failure roads.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/error.h"
#include "support/wall_main_fixture.h"

namespace tavo {
namespace {

using testing::EventLog;
using testing::kBannerEvent;
using testing::MemoryRegistry;
using testing::ReadBytes;
using testing::WallMainTest;

TEST_F(WallMainTest, WallpaperStagesRunInOrderAndWriteThePreparedScreenPicture) {
    const std::string a = Picture("a.bmp", 40, 30);
    List({a});
    std::filesystem::create_directory(folders.windowsDirectory);
    log.clear();
    Form1().Setwallpaper1Click(&Form1().Setwallpaper1);
    EXPECT_EQ(log, (EventLog{"cursor:wait", "status:Loading BMP...", "status:Resampling...",
                             "status:Writing file...", "status:Setting wallpaper...", "wallpaper",
                             kBannerEvent, "cursor:default"}));
    ASSERT_EQ(wallpaper.fileNames, (std::vector<std::string>{WallpaperFile()}));
    EXPECT_TRUE(wallpaper.fileExisted[0]) << "the file is complete before Windows is asked";

    std::unique_ptr<Bitmap> expected;
    PrepareContext context;
    context.displayBits = screen.BitsPerPixel();
    context.screenWidth = screen.Width();
    ASSERT_TRUE(PrepareWallpaperBitmap(screen.Width(), screen.Height(), expected, a, context));
    EXPECT_EQ(ReadBytes(WallpaperFile()), EncodeBmpFile(*expected));
}

TEST_F(WallMainTest, WallpaperNameAlwaysInsertsTheBackslash) {
    folders.windowsDirectory = temp.File("C:\\");
    EXPECT_EQ(Form1().WallpaperFileName(), temp.File("C:\\\\Tavo Wallpaper.bmp"));
    const std::string a = Picture("a.bmp");
    List({a});
    Form1().Setwallpaper1Click(form.get());
    ASSERT_EQ(wallpaper.fileNames.size(), 1u);
    EXPECT_EQ(wallpaper.fileNames[0], temp.File("C:\\\\Tavo Wallpaper.bmp"));
    EXPECT_TRUE(wallpaper.fileExisted[0]);
}

TEST_F(WallMainTest, WallpaperWithoutASelectedEntryDoesNothingAtAll) {
    Form1().Setwallpaper1Click(form.get());
    List({"C:\\P\\1.bmp", ""});
    Form1().Filez.SelectRow(2);
    log.clear();
    Form1().PopupMenu1.HandleShortCut("F9");
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(WallMainTest, UnreadablePictureWritesNothingAndLeavesTheWallpaper) {
    std::filesystem::create_directory(folders.windowsDirectory);
    const std::string missing = temp.File("gone.bmp");
    List({missing});
    log.clear();
    Form1().Setwallpaper1Click(form.get());
    EXPECT_EQ(log, (EventLog{"cursor:wait", "status:Loading BMP...", kBannerEvent, "cursor:default"}));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Error reading file: " + missing);
    EXPECT_EQ(dialogs.shown[0].caption, "Error");
    EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Error);
    EXPECT_FALSE(std::filesystem::exists(WallpaperFile()));
    EXPECT_TRUE(wallpaper.fileNames.empty());
}

TEST_F(WallMainTest, UncreatableFileRestoresStatusAndCursorAndPropagates) {
    folders.windowsDirectory = temp.File("missing/Windows");
    const std::string a = Picture("a.bmp");
    List({a});
    log.clear();
    try {
        Form1().Setwallpaper1Click(form.get());
        FAIL() << "the error reaches the error box";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + WallpaperFile());
    }
    EXPECT_EQ(log, (EventLog{"cursor:wait", "status:Loading BMP...", "status:Resampling...",
                             "status:Writing file...", kBannerEvent, "cursor:default"}));
    EXPECT_TRUE(wallpaper.fileNames.empty());
}

TEST_F(WallMainTest, AnErrorWhilePreparingSetsNoWallpaper) {
    Bitmap custom;
    custom.SetCustom(32, ChannelMasks{0xFF000000u, 0x00000FF0u, 0x00FF0000u});
    custom.SetSize(4, 4);
    const std::string path = temp.File("custom.bmp");
    SaveBitmapToFile(custom, path);
    std::filesystem::create_directory(folders.windowsDirectory);
    List({path});
    log.clear();
    EXPECT_THROW(Form1().Setwallpaper1Click(form.get()), Error);
    EXPECT_EQ(log.back(), "cursor:default");
    EXPECT_EQ(log[log.size() - 2], kBannerEvent);
    EXPECT_FALSE(std::filesystem::exists(WallpaperFile()));
    EXPECT_TRUE(wallpaper.fileNames.empty());
}

TEST_F(WallMainTest, RunningTwiceReplacesTheFileAndAsksAgainEvenAfterARefusal) {
    std::filesystem::create_directory(folders.windowsDirectory);
    const std::string a = Picture("a.bmp", 40, 30), b = Picture("b.bmp", 8, 8);
    List({a, b});
    wallpaper.result = false;
    Form1().Setwallpaper1Click(form.get());
    EXPECT_EQ(Form1().Status.SimpleText(), kBannerText);
    const auto first = ReadBytes(WallpaperFile());
    Form1().Filez.SelectRow(2);
    Form1().Setwallpaper1Click(form.get());
    EXPECT_EQ(wallpaper.fileNames, (std::vector<std::string>{WallpaperFile(), WallpaperFile()}));
    EXPECT_NE(ReadBytes(WallpaperFile()), first);
    // The two pictures, the Windows folder and the one wallpaper file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()),
                            std::filesystem::directory_iterator()),
              4);
}

TEST_F(WallMainTest, ZeroLengthPictureWritesAZeroLengthWallpaperFile) {
    std::filesystem::create_directory(folders.windowsDirectory);
    const std::string empty = temp.File("empty.bmp");
    std::ofstream(empty, std::ios::binary).close();
    List({empty});
    Form1().Setwallpaper1Click(form.get());
    ASSERT_EQ(wallpaper.fileNames.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(WallpaperFile()), 0u);
}

// The wallpaper style at the moment Windows is asked.
class StyleAtCall : public testing::RecordingWallpaper {
public:
    StyleAtCall(EventLog& log, const MemoryRegistry& registry)
        : RecordingWallpaper(log), registry_(registry) {}
    bool SetDeskWallpaper(const std::string& fileName) override {
        styles.push_back(registry_.String("Control Panel\\Desktop", "WallpaperStyle").value_or("-"));
        return RecordingWallpaper::SetDeskWallpaper(fileName);
    }
    std::vector<std::string> styles;

private:
    const MemoryRegistry& registry_;
};

// Windows reads the style at the call: it is centre by then, and a style that cannot be written
// leaves the call to happen all the same.
TEST_F(WallMainTest, RescalingStyleIsCentreWhenWindowsIsAskedAndFailuresAreSilent) {
    const std::string desktop = "Control Panel\\Desktop";
    StyleAtCall styleAtCall(log, registry);
    ports.wallpaper = &styleAtCall;
    Start();
    std::filesystem::create_directory(folders.windowsDirectory);
    List({Picture("a.bmp"), temp.File("gone.bmp")});
    registry.PutString(desktop, "WallpaperStyle", "10");
    registry.PutString(desktop, "TileWallpaper", "0");
    Form1().Filez.SelectRow(2);
    Form1().Setwallpaper1Click(form.get());
    EXPECT_EQ(registry.String(desktop, "WallpaperStyle"), "10") << "no wallpaper, no change";

    Form1().Filez.SelectRow(1);
    Form1().Setwallpaper1Click(form.get());
    registry.PutString(desktop, "WallpaperStyle", "6");
    registry.Fail(MemoryRegistry::Call::SetValue, "WallpaperStyle");
    Form1().Setwallpaper1Click(form.get());
    EXPECT_EQ(styleAtCall.styles, (std::vector<std::string>{"0", "6"}));
    EXPECT_EQ(registry.String(desktop, "TileWallpaper"), "0");
    EXPECT_EQ(registry.OpenHandles(), 0);
}

// The Windows directory of a virtualized process is the user's VirtualStore, where the desktop never
// looks; the per-user folder is taken only when the token says so and the system names it.
TEST_F(WallMainTest, WallpaperFileGoesToThePerUserFolderOnlyWhenVirtualized) {
    const std::string local = temp.File("Local");
    struct Case {
        std::optional<bool> virtualized;
        std::string localAppData;
        std::string folder;
    };
    const Case cases[] = {
        {true, local, local + "\\Tavo Wallpaper 2"},
        {false, local, folders.windowsDirectory},
        {std::nullopt, local, folders.windowsDirectory},
        {true, "", folders.windowsDirectory},
    };
    for (const Case& c : cases) {
        token.virtualized = c.virtualized;
        folders.localAppData = c.localAppData;
        EXPECT_EQ(Form1().WallpaperFileName(), c.folder + "\\Tavo Wallpaper.bmp") << c.localAppData;
    }
    ports.token = nullptr;
    Start();
    EXPECT_EQ(Form1().WallpaperFileName(), WallpaperFile()) << "no token to ask";
}

TEST_F(WallMainTest, VirtualizedWallpaperMakesItsFolderAndIsWrittenThere) {
    token.virtualized = true;
    std::filesystem::create_directory(temp.File("Local"));
    folders.localAppData = temp.File("Local");
    const std::string userFolder = folders.localAppData + "\\Tavo Wallpaper 2";
    const std::string a = Picture("a.bmp");
    List({a});
    Form1().Setwallpaper1Click(form.get());
    EXPECT_TRUE(std::filesystem::is_directory(userFolder));
    const std::string file = userFolder + "\\Tavo Wallpaper.bmp";
    ASSERT_EQ(wallpaper.fileNames, (std::vector<std::string>{file}));
    EXPECT_TRUE(wallpaper.fileExisted[0]);
    EXPECT_FALSE(std::filesystem::exists(WallpaperFile()));
    Form1().Setwallpaper1Click(form.get());
    EXPECT_EQ(wallpaper.fileNames.size(), 2u) << "the folder that is there already is taken";

    folders.localAppData = temp.File("missing/Local");
    const std::string unmade = folders.localAppData + "\\Tavo Wallpaper 2\\Tavo Wallpaper.bmp";
    try {
        Form1().Setwallpaper1Click(form.get());
        FAIL() << "the error reaches the error box";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + unmade);
    }
    EXPECT_EQ(wallpaper.fileNames.size(), 2u);
}

TEST_F(WallMainTest, DoubleClickPreviewsAnEntryFirstThenSetsIt) {
    const std::string a = Picture("a.bmp"), b = Picture("b.bmp");
    List({a, b});
    ShowWindow();
    Form1().Filez.LeftButtonDown(2);
    Form1().Filez.LeftButtonUp();
    Form1().Filez.DoubleClick();
    EXPECT_EQ(Form1().LastPreviewPath, b);
    EXPECT_EQ(Preparations(), 2) << "one preview, one wallpaper";
    EXPECT_EQ(wallpaper.fileNames.size(), 1u);
    EXPECT_EQ(log[log.size() - 1], "cursor:default");
}

TEST_F(WallMainTest, DoubleClickOnTheHeaderAppliesTheSelectedEntry) {
    const std::string a = Picture("a.bmp");
    List({a, "C:\\P\\other.bmp"});
    Form1().Filez.LeftButtonDown(0);
    Form1().Filez.DoubleClick();
    EXPECT_EQ(Form1().Filez.Row(), 1);
    EXPECT_EQ(wallpaper.fileNames.size(), 1u);
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace tavo
