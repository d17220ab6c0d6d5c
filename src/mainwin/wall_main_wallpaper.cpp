// The wallpaper command: prepare the selected entry for the screen, write the file, tell Windows.
#include "mainwin/wall_main.h"

#include <memory>

#include "imaging/bmp_writer.h"
#include "persist/desktop_style.h"

namespace tavo {

std::string TForm1::WallpaperFileName() const {
    const std::string folder = ports_.folders ? ports_.folders->WindowsDirectory() : std::string();
    return folder + "\\" + kWallpaperFileName;
}

void TForm1::Setwallpaper1Click(Component*) {
    if (SelectedPath().empty()) return;
    SetCursor(CursorShape::HourGlass);
    std::unique_ptr<Bitmap> prepared;
    auto restore = [&] {
        prepared.reset();
        Status.SetSimpleText(kBannerText);
        SetCursor(CursorShape::Default);
    };
    try {
        const int width = ports_.screen ? ports_.screen->Width() : 0;
        const int height = ports_.screen ? ports_.screen->Height() : 0;
        if (PrepareWallpaperBitmap(width, height, prepared, SelectedPath(), MakePrepareContext())) {
            const std::string fileName = WallpaperFileName();
            Status.SetSimpleText("Writing file...");
            SaveBitmapToFile(prepared ? *prepared : Bitmap(), fileName);
            Status.SetSimpleText("Setting wallpaper...");
            // Windows applies the style it finds at the call: the picture is already made for the screen.
            if (ports_.registry) KeepWallpaperUnscaled(*ports_.registry);
            // Windows' answer is not examined: the status line returns to the banner either way.
            if (ports_.wallpaper) ports_.wallpaper->SetDeskWallpaper(fileName);
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

}  // namespace tavo
