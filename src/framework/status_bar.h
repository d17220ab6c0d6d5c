// The status bar model in simple-text mode: one text across the bar.
#pragma once

#include <string>

#include "framework/component.h"

namespace tavo {

class StatusBar : public Control {
public:
    const std::string& SimpleText() const { return simpleText_; }
    // Every assignment is passed to onChanged, also of an equal text, so that the
    // stage texts of a long operation are all drawn.
    void SetSimpleText(const std::string& text) {
        simpleText_ = text;
        Changed();
    }
    bool simplePanel = true;
    bool sizeGrip = true;

private:
    std::string simpleText_;
};

}  // namespace tavo
