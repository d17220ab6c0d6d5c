// The form's visibility changes and close request.
#include "framework/form.h"

#include <algorithm>
#include <cctype>

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

void Form::Destroying() {
    Hide();
    if (onDestroy) onDestroy(this);
}

Component* Form::FindComponent(const std::string& wanted) const {
    const auto same = [&wanted](const Component* c) {
        return std::equal(c->name.begin(), c->name.end(), wanted.begin(), wanted.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
    };
    const auto found = std::find_if(components_.begin(), components_.end(), same);
    return found == components_.end() ? nullptr : *found;
}

bool Form::Owns(const Component* component) const {
    return std::find(components_.begin(), components_.end(), component) != components_.end();
}

}  // namespace tavo
