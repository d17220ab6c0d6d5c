// The Win32 adapters of the registry, the window-placement and the program-module ports.
#pragma once

#include <windows.h>

#include "framework/program_module.h"
#include "framework/registry.h"
#include "framework/window_placement.h"

namespace tavo::win32 {

// advapi32's registry calls, one to one.
class RegistryWin32 : public Registry {
public:
    long CreateKeyEx(RegKey parent, const std::string& subKey, uint32_t options, uint32_t access,
                     RegKey* result) override;
    long OpenKeyEx(RegKey parent, const std::string& subKey, uint32_t access, RegKey* result) override;
    long QueryValueEx(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                      uint32_t* size) override;
    long SetValueEx(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                    uint32_t size) override;
    long DeleteValue(RegKey key, const std::string& name) override;
    long CloseKey(RegKey key) override;
};

// The placement of `window`, set once the window exists.
class WindowPlacementWin32 : public WindowPlacementPort {
public:
    bool HasWindow() const override { return window != nullptr; }
    bool GetWindowPlacement(WindowPlacement& placement) const override;
    bool SetWindowPlacement(const WindowPlacement& placement) override;
    bool IsWindowVisible() const override;
    PlacementRect WindowRect() const override;
    void Repaint() override;
    int GetSystemMetrics(int index) const override;
    int ScreenPixelsPerInch() const override;

    HWND window = nullptr;
};

class ProgramModuleWin32 : public ProgramModule {
public:
    std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) const override;
};

}  // namespace tavo::win32
