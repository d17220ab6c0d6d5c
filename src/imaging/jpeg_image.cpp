// Placeholder: replaced by the JPEG front end.
#include "imaging/jpeg_image.h"

#include "framework/error.h"

namespace tavo {
struct TJPEGImage::Data {};
JpegDefaults JpegDefaults::ForDisplay(int) { return {}; }
bool JpegSizeAcceptable(int64_t, int64_t) { return true; }
TJPEGImage::TJPEGImage() : TJPEGImage(JpegDefaults{}) {}
TJPEGImage::TJPEGImage(const JpegDefaults& d)
    : smoothing_(d.smoothing), grayscale_(d.grayscale), pixelFormat_(d.pixelFormat), quality_(d.quality),
      progressiveDisplay_(d.progressiveDisplay), performance_(d.performance), scale_(d.scale) {}
TJPEGImage::~TJPEGImage() = default;
void TJPEGImage::LoadFromFile(const std::string&) { throw Error("not built"); }
void TJPEGImage::LoadFromBytes(std::vector<uint8_t>) { throw Error("not built"); }
bool TJPEGImage::SetPixelFormat(JpegPixelFormat f) { pixelFormat_ = f; return false; }
int TJPEGImage::Width() const { return 0; }
int TJPEGImage::Height() const { return 0; }
void TJPEGImage::Draw(Bitmap&, int) {}
void TJPEGImage::Release() {}
}  // namespace tavo
