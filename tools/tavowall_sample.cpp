// tavowall-sample: draws the program's own sample picture (an evening sky over hills) as a bitmap file.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "imaging/bitmap.h"
#include "imaging/bmp_writer.h"
#include "imaging/pixels.h"

namespace {

uint8_t Mix(int a, int b, double t) {
    return static_cast<uint8_t>(a + (b - a) * t + 0.5);
}

tavo::RgbQuad SkyColour(int x, int y, int width, int height) {
    const double t = static_cast<double>(y) / height;
    const double hill =
        0.72 + 0.08 * std::sin(6.2831853 * x / width * 1.5) + 0.04 * std::sin(6.2831853 * x / width * 4.0);
    if (t > hill) return tavo::MakeRgb(Mix(40, 10, t), Mix(90, 40, t), Mix(50, 20, t));
    const double sx = x - width * 0.68, sy = y - height * 0.55;
    const double sun = std::sqrt(sx * sx + sy * sy) / (height * 0.12);
    if (sun < 1.0) return tavo::MakeRgb(255, Mix(230, 170, sun), Mix(150, 60, sun));
    return tavo::MakeRgb(Mix(30, 250, t), Mix(40, 150, t), Mix(110, 90, t));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: tavowall-sample OUTPUT.bmp [WxH]\n");
        return 64;
    }
    int width = 1600, height = 1200;
    if (argc == 3 && std::sscanf(argv[2], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "tavowall-sample: bad size '%s'\n", argv[2]);
        return 64;
    }
    try {
        tavo::Bitmap picture;
        picture.SetFormat(tavo::PixelFormat::Bits24);
        picture.SetSize(width, height);
        const tavo::PixelWriter writer(picture);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                writer.Write(picture.Row(y), x, SkyColour(x, y, width, height));
        tavo::SaveBitmapToFile(picture, argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    return 0;
}
