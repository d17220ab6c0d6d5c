// The form's visibility changes and close request.
#include "framework/form.h"

#include <algorithm>
#include <cctype>

namespace tavo {

int ShowCommandOf(WindowState state) {
    switch (state) {
        case WindowState::Minimized:
            return 2;
        case WindowState::Maximized:
            return 3;
        case WindowState::Normal:
            break;
    }
    return 1;
}

void Form::Show() {
    if (!visible_) {
        visible_ = true;
        if (onVisibleChanging) onVisibleChanging();
        if (onShow) onShow(this);
        if (centreOnShow) {
            centreOnShow = false;
            if (onCentre) onCentre();
        }
        if (onVisibleChanged) onVisibleChanged();
    }
    if (onBringToTop) onBringToTop();
}

void Form::Hide() {
    if (!visible_) return;
    visible_ = false;
    if (onVisibleChanging) onVisibleChanging();
    if (onHide) onHide(this);
    if (onVisibleChanged) onVisibleChanged();
}

bool Form::CloseQuery() {
    bool canClose = true;
    if (onCloseQuery) onCloseQuery(this, canClose);
    return canClose;
}

bool Form::Close() {
    if (!CloseQuery()) return false;
    if (onClose) onClose(this);
    if (onCloseMainForm)
        onCloseMainForm();
    else
        Hide();
    return true;
}

void Form::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    Hide();
    if (onDestroy) onDestroy(this);
}

Component* Form::FindComponent(const std::string& wanted) const {
    const auto same = [&wanted](const Component* c) {
        return std::equal(c->name.begin(), c->name.end(), wanted.begin(), wanted.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
    };
    const auto found = std::find_if(named_.begin(), named_.end(), same);
    return found == named_.end() ? nullptr : *found;
}

bool Form::Owns(const Component* component) const {
    return std::find(named_.begin(), named_.end(), component) != named_.end();
}

}  // namespace tavo
