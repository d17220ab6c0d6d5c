// bench_huffman_floor: reads every DCT coefficient of a JPEG file without inverse DCT or colour conversion.
//
// jpeg_read_coefficients runs only the entropy decoder (and, for progressive files, the scan merging), so
// the time of this program is the floor that no decoder of the whole picture can go below.
#include <csetjmp>
#include <cstdio>

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
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_huffman_floor FILE.jpg\n");
        return 64;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::perror(argv[1]);
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
