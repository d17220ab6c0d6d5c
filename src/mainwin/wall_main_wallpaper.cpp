// The wallpaper command: prepare the selected entry for the screen, write the file, tell Windows.
#include "mainwin/wall_main.h"

#include <memory>

#include "base/files.h"
#include "imaging/bmp_writer.h"
#include "persist/desktop_style.h"

namespace tavo {

// A virtualized process's file in the Windows directory is really in the user's VirtualStore, which
// the desktop never looks into: after the next log-on it would find no wallpaper there.
std::string TForm1::UserWallpaperFolder() const {
    if (!ports_.token || !ports_.folders || ports_.token->VirtualizationEnabled() != true) return {};
    const std::string local = ports_.folders->LocalAppData();
    return local.empty() ? std::string() : local + "\\" + kUserWallpaperFolderName;
}

std::string TForm1::WallpaperFileIn(const std::string& userFolder) const {
    std::string folder = userFolder;
    if (folder.empty() && ports_.folders) folder = ports_.folders->WindowsDirectory();
    return folder + "\\" + kWallpaperFileName;
}

std::string TForm1::WallpaperFileName() const {
    return WallpaperFileIn(UserWallpaperFolder());
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
            const std::string userFolder = UserWallpaperFolder();
            const std::string fileName = WallpaperFileIn(userFolder);
            Status.SetSimpleText("Writing file...");
            // A folder that cannot be made shows as the file that cannot be created.
            if (!userFolder.empty()) MakeFolder(userFolder);
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
