// Where an anchored control sits after its parent changed size.
#pragma once

#include "framework/component.h"
#include "framework/form.h"

namespace tavo {

// The bounds a control designed at `designed` inside a parent designed
// `designedWidth` by `designedHeight` takes when the parent is now `width` by
// `height`: an edge it is anchored to keeps its distance to that parent edge;
// anchored to both sides it stretches, to neither it keeps its relative place.
Bounds AnchoredBounds(const Bounds& designed, unsigned anchors, int designedWidth, int designedHeight,
                      int width, int height);

// The outer size limits of a window whose client area must keep within `client`: the frame (outer minus
// client size) comes on top, and `extraHeight` more client height is asked for (a status bar taller than
// designed). A limit of 0 stays "no limit".
SizeLimits OuterLimits(const SizeLimits& client, int frameWidth, int frameHeight, int extraHeight);

// The height a status bar designed `designed` pixels high needs for one line of text `textHeight` pixels
// high inside its vertical borders: never less than designed.
int StatusBarHeight(int designed, int textHeight, int verticalBorder);

}  // namespace tavo
