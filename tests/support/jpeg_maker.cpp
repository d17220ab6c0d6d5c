// JPEG files for tests, compressed in memory by libjpeg.
#include "support/jpeg_maker.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

// clang-format off
#include <jpeglib.h>
// clang-format on

namespace tavo::testing {

std::vector<uint8_t> MakeJpeg(int width, int height, const std::vector<uint8_t>& pixels,
                              const JpegMakeOptions& options) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = options.cmyk ? 4 : options.grayscale ? 1 : 3;
    cinfo.in_color_space = options.cmyk ? JCS_CMYK : options.grayscale ? JCS_GRAYSCALE : JCS_RGB;
    if (options.unknownComponents) {
        cinfo.input_components = options.unknownComponents;
        cinfo.in_color_space = JCS_UNKNOWN;
    }
    jpeg_set_defaults(&cinfo);
    if (options.cmyk) jpeg_set_colorspace(&cinfo, options.ycck ? JCS_YCCK : JCS_CMYK);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (!options.grayscale && !options.cmyk) {
        cinfo.comp_info[0].h_samp_factor = options.hSampling;
        cinfo.comp_info[0].v_samp_factor = options.vSampling;
    }
    if (options.progressive) jpeg_simple_progression(&cinfo);
    cinfo.restart_in_rows = options.restartRows;
    jpeg_start_compress(&cinfo, TRUE);
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(cinfo.input_components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + cinfo.next_scanline * rowBytes);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

std::vector<uint8_t> PatternRgb(int width, int height, unsigned seed) {
    std::vector<uint8_t> p(static_cast<size_t>(width) * height * 3);
    unsigned state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            uint8_t* px = &p[(static_cast<size_t>(y) * width + x) * 3];
            px[0] = static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
            px[1] = static_cast<uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
            px[2] = static_cast<uint8_t>(((x / 8 + y / 8) % 2) * 160 + ((state >> 16) & 63));
        }
    return p;
}

std::vector<uint8_t> WithoutQuantTables(const std::vector<uint8_t>& jpeg) {
    std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    size_t i = 2;
    while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF && jpeg[i + 1] != 0xDA) {
        const size_t length = (static_cast<size_t>(jpeg[i + 2]) << 8) | jpeg[i + 3];
        if (jpeg[i + 1] != 0xDB) out.insert(out.end(), jpeg.begin() + i, jpeg.begin() + i + 2 + length);
        i += 2 + length;
    }
    out.insert(out.end(), jpeg.begin() + i, jpeg.end());
    return out;
}

std::vector<uint8_t> WithDeclaredSize(std::vector<uint8_t> jpeg, int width, int height) {
    size_t i = 2;
    while (i + 9 <= jpeg.size() && jpeg[i] == 0xFF) {
        if (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC1 || jpeg[i + 1] == 0xC2) {
            jpeg[i + 5] = static_cast<uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<uint8_t>(height);
            jpeg[i + 7] = static_cast<uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<uint8_t>(width);
            break;
        }
        i += 2 + ((static_cast<size_t>(jpeg[i + 2]) << 8) | jpeg[i + 3]);
    }
    return jpeg;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace tavo::testing
