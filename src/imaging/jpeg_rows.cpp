// Decoding a JPEG picture row by row, skipping the rows nobody asks for.
#include "imaging/jpeg_rows.h"

#include <new>

#include "base/error.h"
#include "imaging/jpeg_decoder.h"

namespace tavo {

using namespace jpeg;

struct JpegRows::Decoder {
    Decompressor d;
    DecodePlan plan;
    std::vector<RgbQuad> palette;  // grey levels of quantized rows
    bool canSkip = false;
};

namespace {

// The settings of the picture preparation: full size, block smoothing, best
// quality, 24-bit output.
constexpr DecodeSettings kPrepareSettings{true, false, false, false, false, 0};

// Whether libjpeg's skipping leaves the rows after a skip as a full decode
// gives them, judged by the upsampler it picks for each component. Those that
// only widen rows are safe, and so are the smooth 1x2 and 2x2 ones, which
// read neighbouring rows as context; the plain upsamplers that repeat rows
// (every other vertical factor, and 2x2 for a component at most 2 samples
// wide) keep stale rows across a skip.
bool SkipKeepsRows(const jpeg_decompress_struct& info) {
    for (int i = 0; i < info.num_components; ++i) {
        const jpeg_component_info& c = info.comp_info[i];
        if (c.h_samp_factor <= 0 || c.v_samp_factor <= 0 || info.max_h_samp_factor % c.h_samp_factor != 0 ||
            info.max_v_samp_factor % c.v_samp_factor != 0)
            return false;
        const int h = info.max_h_samp_factor / c.h_samp_factor;
        const int v = info.max_v_samp_factor / c.v_samp_factor;
        if (v == 1) continue;
        const bool smooth =
            info.do_fancy_upsampling && v == 2 && (h == 1 || (h == 2 && c.downsampled_width > 2));
        if (!smooth) return false;
    }
    return true;
}

// Grey rows are dithered, the error carrying from row to row: never skipped.
bool CanSkip(const Decompressor& d, const DecodePlan& plan) {
    return !plan.quantize && SkipKeepsRows(d.info);
}

}  // namespace

JpegRows::JpegRows(const std::vector<uint8_t>& bytes) : decoder_(std::make_unique<Decoder>()), bytes_(bytes) {
    layout_.SetFormat(PixelFormat::Bits24);
    if (bytes.empty()) return;
    Decompressor& d = decoder_->d;
    Check(OpenAndReadHeader(d, bytes.data(), bytes.size()), d);
    CheckDecodable(d);
    const uint64_t pixels = static_cast<uint64_t>(d.info.image_width) * d.info.image_height;
    if (pixels > kMaxStreamedJpegPixels) throw Error("JPEG image too large");
    width_ = static_cast<int>(d.info.image_width);
    height_ = static_cast<int>(d.info.image_height);
}

JpegRows::~JpegRows() = default;

void JpegRows::Start() {
    Decoder& dec = *decoder_;
    // Nothing to read: libjpeg reports the empty input.
    if (bytes_.empty()) Check(OpenAndReadHeader(dec.d, bytes_.data(), 0), dec.d);
    try {
        dec.plan = Configure(dec.d.info, kPrepareSettings, false);
        Check(StartDecompress(dec.d), dec.d);
        if (dec.plan.quantize) dec.palette = MakePalette(dec.d.info, dec.plan);
        dec.canSkip = CanSkip(dec.d, dec.plan);
        row_.assign(static_cast<size_t>(width_) * 3 + 4, 0);
        raw_.assign(static_cast<size_t>(width_) * 4 + 4, 0);
    } catch (const std::bad_alloc&) {
        throw Error("Out of system resources");
    }
}

void JpegRows::ReadNextRow() {
    Decoder& dec = *decoder_;
    const DecodePlan& plan = dec.plan;
    const bool direct = !plan.quantize && plan.conversion != RowConversion::Cmyk &&
                        plan.conversion != RowConversion::AdobeCmyk;
    Check(ReadScanline(dec.d, direct ? row_.data() : raw_.data()), dec.d);
    ++current_;
    if (plan.quantize) {
        for (int x = 0; x < width_; ++x) {
            const RgbQuad& c =
                dec.palette[raw_[static_cast<size_t>(x)] % (dec.palette.empty() ? 1 : dec.palette.size())];
            row_[3 * static_cast<size_t>(x)] = c.blue;
            row_[3 * static_cast<size_t>(x) + 1] = c.green;
            row_[3 * static_cast<size_t>(x) + 2] = c.red;
        }
    } else if (!direct) {
        ConvertCmykRow(raw_.data(), row_.data(), width_, plan.conversion == RowConversion::AdobeCmyk);
    } else if (plan.conversion == RowConversion::SwapRedBlue) {
        SwapRedBlue(row_.data(), width_);
    }
}

const uint8_t* JpegRows::Row(int y) {
    Decoder& dec = *decoder_;
    if (y == current_) return row_.data();
    const int next = current_ + 1;
    if (y > next && dec.canSkip) {
        Check(SkipScanlines(dec.d, static_cast<unsigned>(y - next), raw_.data()), dec.d);
        current_ = y - 1;
    }
    while (current_ < y)
        ReadNextRow();
    return row_.data();
}

void JpegRows::Finish() {
    if (height_ > 0) Row(height_ - 1);
    Check(FinishDecompress(decoder_->d), decoder_->d);
}

}  // namespace tavo
