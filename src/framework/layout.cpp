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

}  // namespace tavo
