// bench_huffman_floor: reads every DCT coefficient of a JPEG file without inverse DCT or colour conversion.
//
// By default jpeg_read_coefficients runs only the entropy decoder (and, for progressive files, the scan
// merging) and keeps every coefficient, so the time of this program is the floor that no decoder of the
// whole picture can go below. With --skip the coefficients are thrown away as they are decoded: the
// decompressor skips all rows but the last, which for single-scan files Huffman-decodes the skipped rows
// without storing them (progressive files still gather every scan first); this is the floor of a decoder
// that keeps nothing of the rows it does not need.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info) {
    (*info->err->output_message)(info);
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

}  // namespace

int main(int argc, char** argv) {
    const bool skip = argc == 3 && std::strcmp(argv[1], "--skip") == 0;
    if (argc != 2 && !skip) {
        std::fprintf(stderr, "usage: bench_huffman_floor [--skip] FILE.jpg\n");
        return 64;
    }
    const char* path = argv[argc - 1];
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        std::perror(path);
        return 1;
    }

    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        std::fclose(file);
        return 2;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (skip) {
        jpeg_start_decompress(&info);
        std::vector<JSAMPLE> row(static_cast<size_t>(info.output_width) * info.output_components);
        JSAMPROW rows[1] = {row.data()};
        // The last row is read, not skipped, so that the whole of the data is decoded.
        if (info.output_height > 1) jpeg_skip_scanlines(&info, info.output_height - 1);
        while (info.output_scanline < info.output_height)
            jpeg_read_scanlines(&info, rows, 1);
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        std::fclose(file);
        std::printf("%u rows skipped\n", info.output_height - 1);
        return 0;
    }
    jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&info);

    // Touch one block row of each component so that the decoded arrays are really realised in memory.
    long blocks = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        JBLOCKARRAY rows = (*info.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&info),
                                                           coefficients[c], 0, 1, FALSE);
        blocks += static_cast<long>(component.width_in_blocks) * component.height_in_blocks;
        volatile JCOEF dc = rows[0][0][0];
        (void)dc;
    }

    const int components = info.num_components;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    std::printf("%ld blocks in %d components\n", blocks, components);
    return 0;
}
