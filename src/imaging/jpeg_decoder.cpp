// libjpeg plumbing: error exit, in-memory source, scan limit, the call sequences and the parameters.
#include "imaging/jpeg_decoder.h"

#include "base/error.h"

#ifdef _MSC_VER
// The functions that set a jump target hold no objects with destructors.
#pragma warning(disable : 4611)
#endif

namespace tavo::jpeg {

// ---------------------------------------------------------------------------
// libjpeg plumbing. libjpeg reports errors through a longjmp; every function
// that calls into it sets its own jump target, holds nothing with a
// destructor, and returns false when the library failed. The caller turns that
// into an Error.

namespace {

void OnError(j_common_ptr info) {
    ErrorExit* error = reinterpret_cast<ErrorExit*>(info->err);
    error->code = error->pub.msg_code;
    std::longjmp(error->jump, 1);
}

// Warnings (corrupt or truncated data that libjpeg completes as best it can)
// and trace messages are not shown to anyone.
void OnMessage(j_common_ptr, int) {}
void OnOutputMessage(j_common_ptr) {}

const JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// Called only when the data is exhausted: an empty input is an error, a file
// cut short ends with an inserted end-of-image marker and a warning.
boolean FillInput(j_decompress_ptr info) {
    MemorySource* source = reinterpret_cast<MemorySource*>(info->src);
    if (!source->started) ERREXIT(info, JERR_INPUT_EMPTY);
    WARNMS(info, JWRN_JPEG_EOF);
    source->pub.next_input_byte = kFakeEoi;
    source->pub.bytes_in_buffer = sizeof kFakeEoi;
    return TRUE;
}

void SkipInput(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* source = info->src;
    if (static_cast<unsigned long>(count) > source->bytes_in_buffer) {
        FillInput(info);  // what was to be skipped lies beyond the end
        return;
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
}

void LimitScans(j_common_ptr common) {
    if (!common->is_decompressor) return;
    j_decompress_ptr info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number > kMaxScans) ERREXIT(info, JERR_BAD_PROGRESSION);
}

}  // namespace

Decompressor::Decompressor() {
    info.err = jpeg_std_error(&error.pub);
    error.pub.error_exit = OnError;
    error.pub.emit_message = OnMessage;
    error.pub.output_message = OnOutputMessage;
    progress.progress_monitor = LimitScans;
}

void AttachSource(Decompressor& d, const uint8_t* data, size_t size) {
    d.source.pub.init_source = InitSource;
    d.source.pub.fill_input_buffer = FillInput;
    d.source.pub.skip_input_data = SkipInput;
    d.source.pub.resync_to_restart = jpeg_resync_to_restart;
    d.source.pub.term_source = TermSource;
    d.source.pub.next_input_byte = data;
    d.source.pub.bytes_in_buffer = size;
    d.source.started = size > 0;
    d.info.src = &d.source.pub;
    d.info.progress = &d.progress;
}

bool OpenAndReadHeader(Decompressor& d, const uint8_t* data, size_t size) {
    if (setjmp(d.error.jump)) return false;
    jpeg_create_decompress(&d.info);
    d.info.mem->max_memory_to_use = kJpegWorkingMemory;
    AttachSource(d, data, size);
    jpeg_read_header(&d.info, TRUE);
    d.multipleScans = jpeg_has_multiple_scans(&d.info) != 0;
    return true;
}

bool CalcOutputSize(Decompressor& d) {
    if (setjmp(d.error.jump)) return false;
    jpeg_calc_output_dimensions(&d.info);
    return true;
}

bool StartDecompress(Decompressor& d) {
    if (setjmp(d.error.jump)) return false;
    jpeg_start_decompress(&d.info);
    return true;
}

uint8_t Scale255(unsigned a, unsigned b) {
    return static_cast<uint8_t>((a * b + 127) / 255);
}

// CMYK to blue, green, red. Files with an Adobe marker (Photoshop and libjpeg
// itself write one) store the inks inverted, 255 meaning no ink; others store
// the ink amounts as they are.
void ConvertCmykRow(const uint8_t* cmyk, uint8_t* bgr, int width, bool inverted) {
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        bgr[0] = Scale255(y, k);
        bgr[1] = Scale255(m, k);
        bgr[2] = Scale255(c, k);
    }
}

void SwapRedBlue(uint8_t* row, int width) {
    for (int x = 0; x < width; ++x, row += 3) {
        const uint8_t red = row[0];
        row[0] = row[2];
        row[2] = red;
    }
}

// Reads one output pass, one row per call: the rows of a bottom-up bitmap are
// not contiguous in libjpeg's top-to-bottom order.
void ReadPass(j_decompress_ptr info, const RowTarget& target) {
    while (info->output_scanline < info->output_height) {
        uint8_t* row = target.top + static_cast<ptrdiff_t>(info->output_scanline) * target.step;
        const bool cmyk =
            target.conversion == RowConversion::Cmyk || target.conversion == RowConversion::AdobeCmyk;
        JSAMPROW into = cmyk ? target.scratch : row;
        if (jpeg_read_scanlines(info, &into, 1) != 1) return;  // cannot happen with in-memory input
        if (cmyk)
            ConvertCmykRow(target.scratch, row, target.width, target.conversion == RowConversion::AdobeCmyk);
        else if (target.conversion == RowConversion::SwapRedBlue)
            SwapRedBlue(row, target.width);
    }
}

bool ReadRows(Decompressor& d, const RowTarget& target) {
    if (setjmp(d.error.jump)) return false;
    ReadPass(&d.info, target);
    jpeg_finish_decompress(&d.info);
    return true;
}

// Buffered-image mode: one output pass per scan, each showing the picture as
// far as it has arrived; the last pass leaves the complete picture.
bool ReadPassByPass(Decompressor& d, const RowTarget& target) {
    if (setjmp(d.error.jump)) return false;
    do {
        jpeg_start_output(&d.info, d.info.input_scan_number);
        ReadPass(&d.info, target);
        jpeg_finish_output(&d.info);
    } while (!jpeg_input_complete(&d.info));
    jpeg_finish_decompress(&d.info);
    return true;
}

uint64_t CoefficientBytes(const Decompressor& d) {
    if (!d.multipleScans) return 0;
    uint64_t total = 0;
    for (int i = 0; i < d.info.num_components; ++i) {
        const jpeg_component_info& c = d.info.comp_info[i];
        const uint64_t h = static_cast<uint64_t>(c.h_samp_factor > 0 ? c.h_samp_factor : 1);
        const uint64_t v = static_cast<uint64_t>(c.v_samp_factor > 0 ? c.v_samp_factor : 1);
        // The buffer holds whole MCUs: the block counts round up to the sampling factors.
        const uint64_t across = (c.width_in_blocks + h - 1) / h * h;
        const uint64_t down = (c.height_in_blocks + v - 1) / v * v;
        total += across * down * sizeof(JBLOCK);
    }
    return total;
}

void CheckDecodable(const Decompressor& d) {
    const int components = d.info.num_components;
    if (components != 1 && components != 3 && components != 4)
        throw Error("Unsupported number of JPEG colour components");
    if (CoefficientBytes(d) > kMaxCoefficientBytes) throw Error("JPEG image too large");
}

[[noreturn]] void ThrowJpegError(const Decompressor& d) {
    char text[32];
    std::snprintf(text, sizeof text, "JPEG error #%d", d.error.code);
    throw Error(text);
}

void Check(bool ok, const Decompressor& d) {
    if (!ok) ThrowJpegError(d);
}

// ---------------------------------------------------------------------------
// Decoding parameters.

// Colour files come out blue, green, red where the library can emit that
// order. Quantized output stays red, green, blue: the colour map is read in
// that order below, which works with any libjpeg.
DecodePlan Configure(jpeg_decompress_struct& info, const DecodeSettings& s, bool multipleScans) {
    DecodePlan plan;
    info.scale_num = 1;
    info.scale_denom = 1u << s.scale;
    info.do_block_smoothing = s.smoothing ? TRUE : FALSE;
    plan.cmyk = info.num_components == 4;
    plan.adobe = info.saw_Adobe_marker != 0;
    if (plan.cmyk) {
        // libjpeg has no CMYK to RGB or grey conversion; the rows (or the
        // colour map) are converted here.
        info.out_color_space = JCS_CMYK;
        plan.grayscale = s.grayscale;
    } else {
        if (s.grayscale) info.out_color_space = JCS_GRAYSCALE;
        plan.grayscale = info.out_color_space == JCS_GRAYSCALE;
    }
    plan.quantize = s.bits8 || plan.grayscale;
    if (plan.quantize) {
        info.quantize_colors = TRUE;
        info.desired_number_of_colors = kQuantizedColours;
        if (!plan.cmyk) info.out_color_space = plan.grayscale ? JCS_GRAYSCALE : JCS_RGB;
    } else if (plan.cmyk) {
        plan.conversion = plan.adobe ? RowConversion::AdobeCmyk : RowConversion::Cmyk;
    } else {
#ifdef JCS_EXTENSIONS
        info.out_color_space = JCS_EXT_BGR;
#else
        info.out_color_space = JCS_RGB;
        plan.conversion = RowConversion::SwapRedBlue;
#endif
    }
    if (s.bestSpeed) {
        info.dct_method = JDCT_IFAST;
        info.two_pass_quantize = FALSE;
        info.dither_mode = JDITHER_ORDERED;
    }
    if (s.progressiveDisplay && multipleScans) {
        info.buffered_image = TRUE;
        info.two_pass_quantize = FALSE;
        info.dither_mode = JDITHER_ORDERED;
        plan.buffered = true;
    }
    return plan;
}

uint8_t Luma(const RgbQuad& c) {
    return static_cast<uint8_t>((299u * c.red + 587u * c.green + 114u * c.blue + 500u) / 1000u);
}

// The quantizer's colour map as the 8-bit bitmap's palette.
std::vector<RgbQuad> MakePalette(const jpeg_decompress_struct& info, const DecodePlan& plan) {
    std::vector<RgbQuad> palette;
    const int colours = info.colormap ? info.actual_number_of_colors : 0;
    palette.reserve(static_cast<size_t>(colours));
    JSAMPARRAY map = info.colormap;
    for (int i = 0; i < colours; ++i) {
        RgbQuad c;
        if (info.out_color_components == 1) {
            c = MakeRgb(map[0][i], map[0][i], map[0][i]);
        } else if (info.out_color_components == 3) {
            c = MakeRgb(map[0][i], map[1][i], map[2][i]);
        } else {
            const uint8_t cmyk[4] = {map[0][i], map[1][i], map[2][i], map[3][i]};
            uint8_t bgr[3];
            ConvertCmykRow(cmyk, bgr, 1, plan.adobe);
            c = MakeRgb(bgr[2], bgr[1], bgr[0]);
            if (plan.grayscale) c = MakeRgb(Luma(c), Luma(c), Luma(c));
        }
        palette.push_back(c);
    }
    return palette;
}

bool ReadScanline(Decompressor& d, uint8_t* into) {
    if (setjmp(d.error.jump)) return false;
    JSAMPROW row = into;
    jpeg_read_scanlines(&d.info, &row, 1);
    return true;
}

bool SkipScanlines(Decompressor& d, unsigned count, uint8_t* scratch) {
    if (setjmp(d.error.jump)) return false;
#if defined(LIBJPEG_TURBO_VERSION_NUMBER) && LIBJPEG_TURBO_VERSION_NUMBER >= 1005000
    (void)scratch;
    jpeg_skip_scanlines(&d.info, count);
#else
    JSAMPROW row = scratch;
    for (unsigned i = 0; i < count; ++i)
        jpeg_read_scanlines(&d.info, &row, 1);
#endif
    return true;
}

bool FinishDecompress(Decompressor& d) {
    if (setjmp(d.error.jump)) return false;
    jpeg_finish_decompress(&d.info);
    return true;
}

}  // namespace tavo::jpeg
