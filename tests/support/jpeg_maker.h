// Makes JPEG files for tests with libjpeg's compressor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavo::testing {

struct JpegMakeOptions {
    int quality = 90;
    bool grayscale = false;  // write one component
    bool progressive = false;
    int restartRows = 0;  // restart interval in MCU rows (0: none)
    int hSampling = 2;    // luma sampling factors: 2x2 is 4:2:0, 2x1 4:2:2, 1x1 4:4:4
    int vSampling = 2;
    bool cmyk = false;          // four components (pixels are four bytes, C, M, Y, K)
    bool ycck = false;          // with cmyk: stored as YCCK
    int unknownComponents = 0;  // other than 0: that many components of no known colour space
};

// Pixels are rows from the top, three bytes red, green, blue per pixel
// (one byte per pixel for grayscale).
std::vector<uint8_t> MakeJpeg(int width, int height, const std::vector<uint8_t>& pixels,
                              const JpegMakeOptions& options = {});

// A deterministic test pattern of width x height RGB pixels.
std::vector<uint8_t> PatternRgb(int width, int height, unsigned seed = 1);

// The same file without its quantization tables: the header still reads, the decode fails.
std::vector<uint8_t> WithoutQuantTables(const std::vector<uint8_t>& jpeg);

// The same file with the frame header declaring another size (the data stays as it was).
std::vector<uint8_t> WithDeclaredSize(std::vector<uint8_t> jpeg, int width, int height);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace tavo::testing
