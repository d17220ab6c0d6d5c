// The desktop's wallpaper style: rescaling styles become centre, centre and tile stay, failures are silent.
#include <gtest/gtest.h>

#include "persist/desktop_style.h"
#include "support/memory_registry.h"

namespace tavo::testing {
namespace {

const std::string kDesktop = "Control Panel\\Desktop";
using Call = MemoryRegistry::Call;

TEST(DesktopStyleTest, OnlyRescalingUntiledStylesBecomeCentre) {
    struct Case {
        const char* style;  // nullptr: value absent
        const char* tile;
        const char* styleAfter;
        const char* tileAfter;
    };
    const Case cases[] = {
        {"2", "0", "0", "0"},          // stretch
        {"6", "0", "0", "0"},          // fit
        {"10", "0", "0", "0"},         // fill, a new profile's choice
        {"22", "0", "0", "0"},         // span
        {"10", nullptr, "0", "0"},     // no tile value: not tiled
        {"0", "0", "0", "0"},          // centre
        {"0", "1", "0", "1"},          // tile
        {"2", "1", "2", "1"},          // tiled: left as it is
        {nullptr, "0", nullptr, "0"},  // no style value
        {"100", "0", "100", "0"},      // nothing Windows knows
        {" 10", "0", " 10", "0"},      // compared as the whole text
    };
    for (const Case& c : cases) {
        MemoryRegistry registry;
        registry.PutString(kDesktop, "Wallpaper", "C:\\old.bmp");
        if (c.style) registry.PutString(kDesktop, "WallpaperStyle", c.style);
        if (c.tile) registry.PutString(kDesktop, "TileWallpaper", c.tile);
        KeepWallpaperUnscaled(registry);
        const std::string what = std::string(c.style ? c.style : "-") + "/" + (c.tile ? c.tile : "-");
        EXPECT_EQ(registry.String(kDesktop, "WallpaperStyle"),
                  c.styleAfter ? std::optional<std::string>(c.styleAfter) : std::nullopt)
            << what;
        EXPECT_EQ(registry.String(kDesktop, "TileWallpaper"),
                  c.tileAfter ? std::optional<std::string>(c.tileAfter) : std::nullopt)
            << what;
        EXPECT_EQ(registry.OpenHandles(), 0) << what;
    }
}

// A value that cannot be written: see the wallpaper command's tests.
TEST(DesktopStyleTest, AKeyThatIsMissingOrRefusedIsPassedOver) {
    MemoryRegistry missing;
    KeepWallpaperUnscaled(missing);
    EXPECT_FALSE(missing.HasKey(kDesktop)) << "the key is never created";

    MemoryRegistry refused;
    refused.PutString(kDesktop, "WallpaperStyle", "10");
    refused.Fail(Call::OpenKey, kDesktop);
    KeepWallpaperUnscaled(refused);
    EXPECT_EQ(refused.String(kDesktop, "WallpaperStyle"), "10");
}

}  // namespace
}  // namespace tavo::testing
