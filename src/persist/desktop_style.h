// The desktop's wallpaper style: kept from rescaling the picture the program has made for the screen.
#pragma once

#include "framework/registry.h"

namespace tavo {

extern const char kDesktopKeyPath[];
extern const char kWallpaperStyleName[];
extern const char kTileWallpaperName[];

// When the style under HKEY_CURRENT_USER "Control Panel\Desktop" makes Windows rescale the wallpaper
// (WallpaperStyle "2" stretch, "6" fit, "10" fill or "22" span, not tiled), sets it to centre:
// WallpaperStyle "0" and TileWallpaper "0". Centre and tile show the picture pixel for pixel and are
// left as they are. Silent: a key or value that cannot be read or written is passed over.
void KeepWallpaperUnscaled(Registry& registry);

}  // namespace tavo
