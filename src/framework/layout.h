// Where an anchored control sits after its parent changed size.
#pragma once

#include "framework/component.h"

namespace tavo {

// The bounds a control designed at `designed` inside a parent designed
// `designedWidth` by `designedHeight` takes when the parent is now `width` by
// `height`: an edge it is anchored to keeps its distance to that parent edge;
// anchored to both sides it stretches, to neither it keeps its relative place.
Bounds AnchoredBounds(const Bounds& designed, unsigned anchors, int designedWidth, int designedHeight,
                      int width, int height);

}  // namespace tavo
