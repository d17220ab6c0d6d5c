// The desktop's wallpaper style, read and set silently before the wallpaper call, which reads it.
#include "persist/desktop_style.h"

#include <string>

#include "persist/reg.h"
#include "persist/scoped_key.h"

namespace tavo {

const char kDesktopKeyPath[] = "Control Panel\\Desktop";
const char kWallpaperStyleName[] = "WallpaperStyle";
const char kTileWallpaperName[] = "TileWallpaper";

namespace {

bool Rescales(const std::string& style) {
    return style == "2" || style == "6" || style == "10" || style == "22";
}

}  // namespace

// A missing TileWallpaper value means not tiled, as it does to Windows.
void KeepWallpaperUnscaled(Registry& registry) {
    ScopedKey key(registry);
    if (registry.OpenKeyEx(kHkeyCurrentUser, kDesktopKeyPath, kKeyQueryValue | kKeySetValue, &key.key) !=
        kErrorSuccess)
        return;
    const std::string tile = ReadRegString(registry, key.key, kTileWallpaperName);
    if (!Rescales(ReadRegString(registry, key.key, kWallpaperStyleName)) || !(tile.empty() || tile == "0"))
        return;
    WriteRegString(registry, key.key, kWallpaperStyleName, "0");
    WriteRegString(registry, key.key, kTileWallpaperName, "0");
}

}  // namespace tavo
