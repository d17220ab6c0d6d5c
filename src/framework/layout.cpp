// Anchored placement along each axis.
#include "framework/layout.h"

namespace tavo {

namespace {

// One axis: position and extent for the two anchor flags of that axis.
void AnchorAxis(int& position, int& extent, bool nearEdge, bool farEdge, int designedParent, int parent) {
    const int growth = parent - designedParent;
    if (nearEdge && farEdge) {
        extent += growth;
        if (extent < 0) extent = 0;
    } else if (farEdge) {
        position += growth;
    } else if (!nearEdge && designedParent > extent) {
        // Neither edge: the centre keeps its share of the parent.
        const long long centre2 = 2LL * position + extent;
        position = static_cast<int>((centre2 * parent / designedParent - extent) / 2);
    }
}

}  // namespace

Bounds AnchoredBounds(const Bounds& designed, unsigned anchors, int designedWidth, int designedHeight,
                      int width, int height) {
    Bounds result = designed;
    AnchorAxis(result.left, result.width, anchors & kAnchorLeft, anchors & kAnchorRight, designedWidth,
               width);
    AnchorAxis(result.top, result.height, anchors & kAnchorTop, anchors & kAnchorBottom, designedHeight,
               height);
    return result;
}

SizeLimits OuterLimits(const SizeLimits& client, int frameWidth, int frameHeight, int extraHeight) {
    auto outer = [](int limit, int frame) { return limit ? limit + frame : 0; };
    SizeLimits result;
    result.minWidth = outer(client.minWidth, frameWidth);
    result.maxWidth = outer(client.maxWidth, frameWidth);
    result.minHeight = outer(client.minHeight ? client.minHeight + extraHeight : 0, frameHeight);
    result.maxHeight = outer(client.maxHeight ? client.maxHeight + extraHeight : 0, frameHeight);
    return result;
}

int StatusBarHeight(int designed, int textHeight, int verticalBorder) {
    // The text, its borders above and below, and the one-pixel sunken edge around them.
    const int needed = textHeight + 2 * verticalBorder + 2;
    return needed > designed ? needed : designed;
}

}  // namespace tavo
