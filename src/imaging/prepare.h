// Turning one picture file into a bitmap that fits a target area, by the user's options.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "imaging/bitmap.h"

namespace tavo {

// The option controls' values at the moment of a call.
struct PrepareOptions {
    // Item index of the colour-depth choice: 0 "Don't change", 1 "Always True
    // Color (24 bit)", anything else (-1) no item selected.
    int colourDepth = 0;
    bool shrink = true;
    bool zoom = false;
    bool proportional = true;
};

// Everything the preparation reads from its owner and the platform, taken once per call.
struct PrepareContext {
    PrepareOptions options;
    // Bits per pixel times planes of the display the picture is prepared for.
    int displayBits = 32;
    // The screen's width in pixels; 0 takes the target's width (a target as wide as the screen).
    int screenWidth = 0;
    // Receives each stage's status text; may be empty.
    std::function<void(const std::string& text)> status;
    // Shows the load-failure message ("Error reading file: " and the path) to
    // the user, before the call returns its empty bitmap; may be empty.
    std::function<void(const std::string& message)> loadFailed;
    // Decode JPEG pictures whole before resampling instead of row by row. Both
    // give the same bytes; the whole decode is the plain reference road, kept
    // for tests and benchmarks.
    bool fullDecode = false;
};

// The output size for a source of sourceWidth by sourceHeight pixels prepared
// for a target area on a screen `screenWidth` pixels wide.
struct OutputSize {
    int width = 0;
    int height = 0;
};
OutputSize ComputeOutputSize(int targetWidth, int targetHeight, int screenWidth, int sourceWidth,
                             int sourceHeight, const PrepareOptions& options);

// Loads the picture at `path`, converts its colour depth and resamples it for
// the target area. `result` receives a bitmap at once and holds one on every
// road: the prepared picture, or an empty bitmap when the file could not be
// loaded (the user has then been shown "Error reading file: " and the path).
// Returns whether the picture was loaded. Errors after loading (a corrupt JPEG
// body, "Invalid pixel format", exhausted resources) leave as Error.
bool PrepareWallpaperBitmap(int targetWidth, int targetHeight, std::unique_ptr<Bitmap>& result,
                            const std::string& path, const PrepareContext& context);

// True when the upper-cased extension of `path` is ".JPG".
bool IsJpegPath(const std::string& path);

}  // namespace tavo
