// Anchored placement of the main window's controls and the error box's text.
#include <gtest/gtest.h>

#include "base/error.h"
#include "framework/layout.h"

namespace tavo {
namespace {

bool Same(const Bounds& a, const Bounds& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

TEST(AnchoredBounds, EachEdgeRuleWhenTheParentGrowsTaller) {
    const Bounds designed{220, 340, 212, 55};
    // left, top, bottom: stretches down; left, bottom: moves down; top, right: stays.
    EXPECT_TRUE(Same(AnchoredBounds(designed, kAnchorLeft | kAnchorTop | kAnchorBottom, 432, 413, 432, 513),
                     Bounds{220, 340, 212, 155}));
    EXPECT_TRUE(Same(AnchoredBounds(designed, kAnchorLeft | kAnchorBottom, 432, 413, 432, 513),
                     Bounds{220, 440, 212, 55}));
    EXPECT_TRUE(Same(AnchoredBounds(designed, kAnchorTop | kAnchorRight, 432, 413, 432, 513), designed));
    EXPECT_TRUE(Same(AnchoredBounds(designed, kAnchorAll, 432, 413, 432, 513), Bounds{220, 340, 212, 155}));
}

TEST(AnchoredBounds, RightAnchorFollowsANarrowerParent) {
    // The client can end up narrower than designed when the frame is thicker than 4 pixels.
    EXPECT_TRUE(Same(AnchoredBounds({220, 0, 213, 175}, kAnchorTop | kAnchorRight, 432, 413, 424, 413),
                     Bounds{212, 0, 213, 175}));
    EXPECT_TRUE(Same(
        AnchoredBounds({0, 394, 432, 19}, kAnchorLeft | kAnchorRight | kAnchorBottom, 432, 413, 424, 420),
        Bounds{0, 401, 424, 19}));
}

TEST(AnchoredBounds, StretchedExtentNeverNegativeAndUnanchoredKeepsItsShare) {
    EXPECT_EQ(AnchoredBounds({0, 10, 50, 20}, kAnchorAll, 100, 100, 40, 0).height, 0);
    EXPECT_EQ(AnchoredBounds({0, 10, 50, 20}, kAnchorAll, 100, 100, 40, 0).width, 0);
    // Centre at 50 of 100 stays at the centre of 200.
    EXPECT_EQ(AnchoredBounds({40, 0, 20, 10}, kAnchorTop, 100, 100, 200, 100).left, 90);
}

TEST(OuterLimits, TheFrameAndATallerStatusBarComeOnTopOfTheClientLimits) {
    const SizeLimits client{432, 432, 413, 0};
    struct Case {
        int frameWidth, frameHeight, extra;
        SizeLimits outer;
    } cases[] = {
        {8, 27, 0, {440, 440, 440, 0}},   // Wine's 4-pixel frame and 19-pixel caption
        {24, 43, 0, {456, 456, 456, 0}},  // a padded border of 8 pixels
        {16, 39, 7, {448, 448, 459, 0}},  // 144 pixels per inch: wider frame, taller status bar
    };
    for (const Case& c : cases) {
        const SizeLimits outer = OuterLimits(client, c.frameWidth, c.frameHeight, c.extra);
        EXPECT_EQ(outer.minWidth, c.outer.minWidth);
        EXPECT_EQ(outer.maxWidth, c.outer.maxWidth);
        EXPECT_EQ(outer.minHeight, c.outer.minHeight);
        EXPECT_EQ(outer.maxHeight, 0) << "no limit stays no limit";
    }
    EXPECT_EQ(StatusBarHeight(19, 13, 2), 19);  // the designed height holds the system font at 96
    EXPECT_EQ(StatusBarHeight(19, 10, 2), 19);
    EXPECT_EQ(StatusBarHeight(19, 21, 2), 27);
}

TEST(ErrorBoxText, FullStopOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(ErrorBoxText("Failed to create key Software"), "Failed to create key Software.");
    EXPECT_EQ(ErrorBoxText("Out of system resources."), "Out of system resources.");
    EXPECT_EQ(ErrorBoxText("Stop!"), "Stop!");
    EXPECT_EQ(ErrorBoxText("Why?"), "Why?.");
    EXPECT_EQ(ErrorBoxText("Path C:\\x\\"), "Path C:\\x\\.");
    EXPECT_EQ(ErrorBoxText("ends in 7"), "ends in 7.");
    EXPECT_EQ(ErrorBoxText("bracket)"), "bracket)");
    EXPECT_EQ(ErrorBoxText(""), "");
    // Bytes of the upper half of the code page count as sorting after '.'.
    EXPECT_EQ(ErrorBoxText("caf\xE9"), "caf\xE9.");
}

}  // namespace
}  // namespace tavo
