// The image control model: its own copy of a bitmap, drawn centred at its own size and clipped.
#pragma once

#include "framework/component.h"
#include "imaging/bitmap.h"

namespace tavo {

class Image : public Control {
public:
    const Bitmap& Picture() const { return picture_; }
    void SetPicture(const Bitmap& picture) {
        picture_ = picture;
        Changed();
    }
    void ClearPicture() { SetPicture(Bitmap()); }
    // Where the picture's top-left corner lands inside the control; a picture larger
    // than the control gets a negative offset and is clipped on both sides.
    int PictureLeft() const { return (bounds.width - picture_.Width()) / 2; }
    int PictureTop() const { return (bounds.height - picture_.Height()) / 2; }

private:
    Bitmap picture_;
};

}  // namespace tavo
