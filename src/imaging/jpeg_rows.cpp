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
};

namespace {

// The settings of the picture preparation: full size, block smoothing, best
// quality, 24-bit output.
constexpr DecodeSettings kPrepareSettings{true, false, false, false, false, 0};

bool CanSkip(const DecodePlan& plan) {
    return !plan.quantize;
}

}  // namespace

JpegRows::JpegRows(const std::vector<uint8_t>& bytes) : decoder_(std::make_unique<Decoder>()) {
    Decompressor& d = decoder_->d;
    Check(OpenAndReadHeader(d, bytes.data(), bytes.size()), d);
    const int components = d.info.num_components;
    if (components != 1 && components != 3 && components != 4)
        throw Error("Unsupported number of JPEG colour components");
    const uint64_t pixels = static_cast<uint64_t>(d.info.image_width) * d.info.image_height;
    if (pixels > kMaxStreamedJpegPixels) throw Error("JPEG image too large");
    d.info.mem->max_memory_to_use = kJpegWorkingMemory;
    width_ = static_cast<int>(d.info.image_width);
    height_ = static_cast<int>(d.info.image_height);
    layout_.SetFormat(PixelFormat::Bits24);
}

JpegRows::~JpegRows() = default;

void JpegRows::Start() {
    Decoder& dec = *decoder_;
    try {
        dec.plan = Configure(dec.d.info, kPrepareSettings, false);
        Check(StartDecompress(dec.d), dec.d);
        if (dec.plan.quantize) dec.palette = MakePalette(dec.d.info, dec.plan);
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
    if (y > next && CanSkip(dec.plan)) {
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
