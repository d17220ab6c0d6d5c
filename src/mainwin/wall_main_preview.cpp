// The preview: refreshing the miniature of the selected entry and forcing it when an option changes.
#include "mainwin/wall_main.h"

#include <memory>

namespace tavo {

// Preparing takes a noticeable time, so only a new path (or a forced refresh
// after an option change) prepares again, and only while the window is shown.
void TForm1::FilezClick(Component*) {
    if (!Visible()) return;
    const std::string path = SelectedPath();
    if (path.empty() || path == LastPreviewPath) return;
    SetCursor(CursorShape::HourGlass);
    std::unique_ptr<Bitmap> prepared;
    try {
        PrepareWallpaperBitmap(Image1.bounds.width, Image1.bounds.height, prepared, path,
                               MakePrepareContext());
        Image1.SetPicture(prepared ? *prepared : Bitmap());
    } catch (...) {
        // A failure the preparation does not report itself: a blank preview that
        // counts as tried, like a picture that cannot be loaded, and the usual
        // restoration before the error goes on to the error box.
        Image1.ClearPicture();
        LastPreviewPath = SelectedPath();
        SetCursor(CursorShape::Default);
        prepared.reset();
        Status.SetSimpleText(kBannerText);
        throw;
    }
    LastPreviewPath = SelectedPath();
    SetCursor(CursorShape::Default);
    prepared.reset();
    Status.SetSimpleText(kBannerText);
}

void TForm1::ResLargeClick(Component*) {
    LastPreviewPath.clear();
    FilezClick(this);
}

}  // namespace tavo
