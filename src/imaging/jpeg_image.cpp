// The JPEG picture over libjpeg: header at load, decode into a bitmap of its own at the first draw.
#include "imaging/jpeg_image.h"

#include <cstddef>
#include <new>

#include "base/error.h"
#include "base/files.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/stretch.h"

namespace tavo {

struct TJPEGImage::Data {
    std::vector<uint8_t> bytes;
    int width = 0;
    int height = 0;
    bool grayscale = false;
    bool progressive = false;
};

namespace {

using namespace jpeg;

// Settings that change what the decoder produces drop the decoded picture.
template <typename T>
void ChangeSetting(T& field, T value, std::unique_ptr<Bitmap>& decoded) {
    if (field == value) return;
    field = value;
    decoded.reset();
}

}  // namespace

JpegDefaults JpegDefaults::ForDisplay(int displayBits) {
    JpegDefaults defaults;
    defaults.pixelFormat = displayBits <= 8 ? JpegPixelFormat::Bits8 : JpegPixelFormat::Bits24;
    return defaults;
}

bool JpegSizeAcceptable(int64_t width, int64_t height) {
    if (width < 0 || height < 0) return false;
    const uint64_t stride = RowStride(width, 24);
    if (width > 0 && stride == 0) return false;
    return stride == 0 || static_cast<uint64_t>(height) <= kMaxPixelBytes / stride;
}

TJPEGImage::TJPEGImage() : TJPEGImage(JpegDefaults{}) {}

TJPEGImage::TJPEGImage(const JpegDefaults& d)
    : smoothing_(d.smoothing),
      grayscale_(d.grayscale),
      pixelFormat_(d.pixelFormat),
      quality_(d.quality),
      progressiveDisplay_(d.progressiveDisplay),
      performance_(d.performance),
      scale_(d.scale) {}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::LoadFromFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) {
        Release();
        throw Error("Cannot open file " + path);
    }
    LoadFromBytes(std::move(bytes));
}

void TJPEGImage::LoadFromBytes(std::vector<uint8_t> bytes) {
    Release();
    auto data = std::make_shared<Data>();
    data->bytes = std::move(bytes);
    if (!data->bytes.empty()) {
        Decompressor d;
        Check(OpenAndReadHeader(d, data->bytes.data(), data->bytes.size()), d);
        CheckDecodable(d);
        if (!JpegSizeAcceptable(d.info.image_width, d.info.image_height)) throw Error("JPEG image too large");
        data->width = static_cast<int>(d.info.image_width);
        data->height = static_cast<int>(d.info.image_height);
        data->grayscale = d.info.jpeg_color_space == JCS_GRAYSCALE;
        data->progressive = d.multipleScans;
    }
    data_ = std::move(data);
    paletteModified_ = true;
}

void TJPEGImage::DiscardDecoded() {
    decoded_.reset();
}

bool TJPEGImage::SetPixelFormat(JpegPixelFormat format) {
    if (format == pixelFormat_) return false;
    DiscardDecoded();
    pixelFormat_ = format;
    paletteModified_ = true;
    return true;
}

void TJPEGImage::SetGrayscale(bool on) {
    ChangeSetting(grayscale_, on, decoded_);
}
void TJPEGImage::SetSmoothing(bool on) {
    ChangeSetting(smoothing_, on, decoded_);
}
void TJPEGImage::SetPerformance(JpegPerformance performance) {
    ChangeSetting(performance_, performance, decoded_);
}
void TJPEGImage::SetScale(JpegScale scale) {
    ChangeSetting(scale_, scale, decoded_);
}
void TJPEGImage::SetProgressiveDisplay(bool on) {
    ChangeSetting(progressiveDisplay_, on, decoded_);
}

void TJPEGImage::SetSize(int, int) {
    throw Error("Cannot change the size of a JPEG image");
}

int TJPEGImage::Width() const {
    return OutputSize(true);
}
int TJPEGImage::Height() const {
    return OutputSize(false);
}

int TJPEGImage::OutputSize(bool width) const {
    if (decoded_) return width ? decoded_->Width() : decoded_->Height();
    if (!data_ || data_->bytes.empty()) return 0;
    if (scale_ == JpegScale::Full) return width ? data_->width : data_->height;
    Decompressor d;
    Check(OpenAndReadHeader(d, data_->bytes.data(), data_->bytes.size()), d);
    d.info.scale_num = 1;
    d.info.scale_denom = 1u << static_cast<int>(scale_);
    Check(CalcOutputSize(d), d);
    return static_cast<int>(width ? d.info.output_width : d.info.output_height);
}

bool TJPEGImage::Grayscale() const {
    return data_ && data_->grayscale;
}
bool TJPEGImage::ProgressiveEncoding() const {
    return data_ && data_->progressive;
}
bool TJPEGImage::Empty() const {
    return !data_;
}

void TJPEGImage::Draw(Bitmap& canvas, int displayBits) {
    StretchBitmap(Decoded(), canvas, displayBits);
}

const Bitmap& TJPEGImage::Decoded() {
    if (!decoded_) Decode();
    return *decoded_;
}

void TJPEGImage::Decode() {
    if (!data_) throw Error("JPEG image has no data");
    const DecodeSettings settings{smoothing_,
                                  grayscale_,
                                  pixelFormat_ == JpegPixelFormat::Bits8,
                                  performance_ == JpegPerformance::BestSpeed,
                                  progressiveDisplay_,
                                  static_cast<int>(scale_)};
    try {
        auto bitmap = std::make_unique<Bitmap>();
        Decompressor d;
        Check(OpenAndReadHeader(d, data_->bytes.data(), data_->bytes.size()), d);
        const DecodePlan plan = Configure(d.info, settings, d.multipleScans);
        bitmap->SetFormat(plan.quantize ? PixelFormat::Bits8 : PixelFormat::Bits24);
        Check(StartDecompress(d), d);
        bitmap->SetSize(static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height));
        if (plan.quantize) bitmap->SetPalette(MakePalette(d.info, plan));
        std::vector<uint8_t> scratch(plan.conversion == RowConversion::Cmyk ||
                                             plan.conversion == RowConversion::AdobeCmyk
                                         ? static_cast<size_t>(bitmap->Width()) * 4
                                         : 0);
        const RowTarget target{bitmap->Height() > 0 ? bitmap->Row(0) : nullptr,
                               -static_cast<ptrdiff_t>(bitmap->Stride()), scratch.data(), plan.conversion,
                               bitmap->Width()};
        Check(plan.buffered ? ReadPassByPass(d, target) : ReadRows(d, target), d);
        decoded_ = std::move(bitmap);
    } catch (const std::bad_alloc&) {
        throw Error("Out of system resources");
    }
}

std::unique_ptr<Bitmap> TJPEGImage::TakeDecoded() {
    if (!decoded_) Decode();
    return std::move(decoded_);
}

void TJPEGImage::Release() {
    decoded_.reset();
    data_.reset();
}

}  // namespace tavo
