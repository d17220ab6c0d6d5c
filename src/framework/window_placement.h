// The window-placement port: a top-level window's WINDOWPLACEMENT and the screen metrics around it.
#pragma once

#include <cstdint>

namespace tavo {

struct PlacementPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct PlacementRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The fields of WINDOWPLACEMENT, in screen (workspace) coordinates.
struct WindowPlacement {
    uint32_t length = 44;
    uint32_t flags = 0;
    uint32_t showCmd = 0;
    PlacementPoint ptMinPosition;
    PlacementPoint ptMaxPosition;
    PlacementRect rcNormalPosition;
};

// ShowWindow commands (SW_*) as they appear in showCmd.
constexpr uint32_t kSwHide = 0;

// GetSystemMetrics indices (SM_*); each Y metric follows its X metric.
constexpr int kSmCxScreen = 0;
constexpr int kSmCyScreen = 1;
constexpr int kSmCxDlgFrame = 7;
constexpr int kSmCxBorder = 5;
constexpr int kSmCxFrame = 32;

// One window's placement services. Without a window every call fails or gives
// zero.
class WindowPlacementPort {
public:
    virtual ~WindowPlacementPort() = default;
    virtual bool HasWindow() const = 0;
    virtual bool GetWindowPlacement(WindowPlacement& placement) const = 0;
    virtual bool SetWindowPlacement(const WindowPlacement& placement) = 0;
    // The window as the system shows it, not as the form model counts it.
    virtual bool IsWindowVisible() const = 0;
    // The window's outer rectangle in screen coordinates.
    virtual PlacementRect WindowRect() const = 0;
    virtual void Repaint() = 0;
    virtual int GetSystemMetrics(int index) const = 0;
    // GetDeviceCaps(LOGPIXELSY) of the screen.
    virtual int ScreenPixelsPerInch() const = 0;
};

}  // namespace tavo
