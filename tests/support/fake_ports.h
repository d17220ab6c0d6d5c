// In-memory doubles of the platform ports for the native tests.
#pragma once

#include <string>
#include <vector>

#include "framework/ports.h"

namespace tavo::testing {

class FakeScreen : public Screen {
public:
    FakeScreen(int width = 1024, int height = 768, int bits = 32)
        : width_(width), height_(height), bits_(bits) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int BitsPerPixel() const override { return bits_; }

private:
    int width_, height_, bits_;
};

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;
};

class RecordingDialogs : public Dialogs {
public:
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override {
        shown.push_back({text, caption, icon});
    }
    std::vector<ShownMessage> shown;
};

}  // namespace tavo::testing
