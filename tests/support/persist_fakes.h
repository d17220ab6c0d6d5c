// In-memory doubles of the window-placement port and the program's module.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/program_module.h"
#include "framework/window_placement.h"

namespace tavo::testing {

// A window whose placement follows what is applied to it; the form model's
// visibility is not the window's (the restore runs while it is still hidden).
class FakeWindowPlacement : public WindowPlacementPort {
public:
    FakeWindowPlacement() {
        placement.showCmd = 1;
        placement.ptMinPosition = {-1, -1};
        placement.ptMaxPosition = {-1, -1};
        placement.rcNormalPosition = {292, 164, 732, 604};
    }
    bool HasWindow() const override { return hasWindow; }
    bool GetWindowPlacement(WindowPlacement& p) const override {
        if (!hasWindow) return false;
        p = placement;
        return true;
    }
    bool SetWindowPlacement(const WindowPlacement& p) override {
        applied.push_back(p);
        const uint32_t showCmd = placement.showCmd;
        placement = p;
        if (p.showCmd == kSwHide) placement.showCmd = showCmd;  // hiding keeps the window's state
        if (p.showCmd != kSwHide) visible = true;
        return hasWindow;
    }
    bool IsWindowVisible() const override { return visible; }
    PlacementRect WindowRect() const override { return placement.rcNormalPosition; }
    void Repaint() override { ++repaints; }
    int GetSystemMetrics(int index) const override {
        switch (index) {
            case kSmCxScreen:
                return screenWidth;
            case kSmCyScreen:
                return screenHeight;
            case kSmCxFrame:
            case kSmCxFrame + 1:
                return 4;
            default:
                return 1;
        }
    }
    int ScreenPixelsPerInch() const override { return pixelsPerInch; }

    bool hasWindow = true;
    bool visible = false;
    WindowPlacement placement;
    std::vector<WindowPlacement> applied;
    int repaints = 0;
    int screenWidth = 1024;
    int screenHeight = 768;
    int pixelsPerInch = 96;
};

// The executable at `fileName`; a path too long for the buffer is cut as Windows Vista and later cut it, or
// as older systems did.
class FixedModule : public ProgramModule {
public:
    std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) const override {
        if (fileName.size() < size) {
            std::memcpy(buffer, fileName.c_str(), fileName.size() + 1);
            return static_cast<std::uint32_t>(fileName.size());
        }
        std::memcpy(buffer, fileName.data(), cutWithoutNul ? size : size - 1);
        if (!cutWithoutNul) buffer[size - 1] = '\0';
        return size;
    }
    std::string fileName = "C:\\Program Files\\Tavo\\TavoWallpaper.exe";
    bool cutWithoutNul = false;
};

}  // namespace tavo::testing
