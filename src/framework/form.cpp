// The form's visibility changes and close request.
#include "framework/form.h"

namespace tavo {

void Form::Show() {
    if (visible_) return;
    visible_ = true;
    if (onShow) onShow(this);
    if (onVisibleChanged) onVisibleChanged();
}

void Form::Hide() {
    if (!visible_) return;
    visible_ = false;
    if (onVisibleChanged) onVisibleChanged();
    if (onHide) onHide(this);
}

bool Form::Close() {
    bool canClose = true;
    if (onCloseQuery) onCloseQuery(this, canClose);
    if (!canClose) return false;
    if (onClose) onClose(this);
    Hide();
    return true;
}

}  // namespace tavo
