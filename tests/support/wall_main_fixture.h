// A main window built on in-memory ports, logging cursor, status and wallpaper events in order.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "imaging/bmp_writer.h"
#include "mainwin/wall_main.h"
#include "support/app_fakes.h"
#include "support/fake_ports.h"
#include "support/memory_registry.h"
#include "support/persist_fakes.h"
#include "support/temp_dir.h"
#include "support/window_fakes.h"

namespace tavo::testing {

// The status line showing the banner, as the log records it.
inline const std::string kBannerEvent = std::string("status:") + kBannerText;

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class WallMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        folders.windowsDirectory = temp.File("Windows");
        ports.screen = &screen;
        ports.dialogs = &dialogs;
        ports.cursor = &cursor;
        ports.fileDialogs = &fileDialogs;
        ports.folders = &folders;
        ports.token = &token;
        ports.wallpaper = &wallpaper;
        ports.lifetime = &lifetime;
        ports.registry = &registry;
        ports.placement = &placement;
        ports.module = &module;
        ports.trayShell = &tray;
        Start();
    }

    // A new main window, as a new run of the program creates it.
    void Start() {
        form = std::make_unique<TForm1>(ports);
        form->Status.onChanged = [this] { log.push_back("status:" + form->Status.SimpleText()); };
    }
    // The end of the run (the window is destroyed), then a new start.
    void Restart() {
        form->Destroy();
        Start();
    }

    TForm1& Form1() { return *form; }

    // A 24-bit picture file of `width` by `height` in the temporary folder.
    std::string Picture(const std::string& name, int width = 32, int height = 24) {
        Bitmap bitmap;
        bitmap.SetFormat(PixelFormat::Bits24);
        bitmap.SetSize(width, height);
        for (int y = 0; y < height; ++y) {
            for (size_t x = 0; x < bitmap.Stride() - 3; ++x)
                bitmap.Row(y)[x] = static_cast<uint8_t>(x * 7 + y);
        }
        const std::string path = temp.File(name);
        SaveBitmapToFile(bitmap, path);
        return path;
    }

    // Fills the list through Add with these paths (window hidden: nothing is prepared).
    void List(const std::vector<std::string>& paths) {
        fileDialogs.Choose(paths);
        Form1().BitBtn1Click(form.get());
    }

    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (int row = 1; row < form->Filez.RowCount(); ++row)
            paths.push_back(form->Filez.Cell(1, row));
        return paths;
    }

    int Preparations() const { return static_cast<int>(std::count(log.begin(), log.end(), "cursor:wait")); }

    // A live window, its log cleared. The list built so far is stored first, so
    // that the show's restore brings it back.
    void ShowWindow() {
        Form1().FormStorage1SavePlacement(&Form1().FormStorage1);
        Form1().Show();
        log.clear();
    }

    std::string WallpaperFile() const { return folders.windowsDirectory + "\\Tavo Wallpaper.bmp"; }

    TempDir temp;
    EventLog log;
    FakeScreen screen{320, 240, 32};
    RecordingDialogs dialogs;
    LoggingCursor cursor{log};
    ScriptedFileDialogs fileDialogs;
    FixedFolders folders;
    FixedToken token;
    RecordingWallpaper wallpaper{log};
    CountingLifetime lifetime{&dialogs};
    MemoryRegistry registry;
    FakeWindowPlacement placement;
    FixedModule module;
    FakeTrayShell tray;
    MainWindowPorts ports;
    std::unique_ptr<TForm1> form;
};

}  // namespace tavo::testing
