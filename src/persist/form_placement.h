// TFormPlacement: saves and restores a window's placement in the registry, with the save and restore events.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "framework/component.h"
#include "framework/form.h"
#include "framework/registry.h"
#include "framework/window_placement.h"

namespace tavo {

enum TPlacementOption : unsigned { fpState = 1, fpPosition = 2, fpActiveControl = 4 };
using TPlacementOptions = unsigned;

struct TWinMinMaxInfo {
    int MaxPosLeft = 0;
    int MaxPosTop = 0;
    int MaxSizeHeight = 0;
    int MaxSizeWidth = 0;
    int MaxTrackHeight = 0;
    int MaxTrackWidth = 0;
    int MinTrackHeight = 0;
    int MinTrackWidth = 0;
};

// The settings key `IniFileName` under HKEY_CURRENT_USER holds the section
// `IniSection` as a subkey of text values. Every operation opens the settings key
// at its start and closes it at its end. The store only works on the registry:
// with UseRegistry false it neither reads nor writes.
class TFormPlacement : public Component {
public:
    // The screen's pixels per inch are taken now, as the program starts.
    TFormPlacement(Form& owner, Registry& registry, WindowPlacementPort& window);
    ~TFormPlacement() override = default;
    TFormPlacement(const TFormPlacement&) = delete;
    TFormPlacement& operator=(const TFormPlacement&) = delete;

    // Binding once the owner and its components exist: the store puts its
    // handlers on the owner's show, close-request and destroy events, calling the
    // ones found there after (show, destroy) or before (close request) its own.
    virtual void Loaded();

    // A placement value that cannot be read counts as its default: the restore goes
    // on with everything else and then fails with the first such value's error.
    void RestoreSettings();
    void SaveSettings();

    bool Restored() const { return restored_; }
    bool Saved() const { return saved_; }

    bool Active = true;
    std::string IniFileName;
    std::string IniSection;
    bool UseRegistry = false;
    TPlacementOptions Options = fpState | fpPosition;
    bool PreventResize = false;
    TWinMinMaxInfo MinMaxInfo;
    NotifyEvent OnSavePlacement;
    NotifyEvent OnRestorePlacement;
    // The application's handling of a failure of the triggered operations (its
    // error box); without one the failure propagates.
    std::function<void(const std::exception&)> handleException;

protected:
    virtual void WritePlacementValues();
    virtual void ReadPlacementValues();
    // A text value of `section`; the default when the section or the value is absent.
    virtual std::string ReadString(const std::string& section, const std::string& name,
                                   const std::string& fallback);
    virtual void WriteString(const std::string& section, const std::string& name, const std::string& text);
    virtual void DoSavePlacement();
    virtual void DoRestorePlacement();

    void WriteInteger(const std::string& section, const std::string& name, int value);
    void MarkRestored() { restored_ = true; }
    Form& Owner() const { return owner_; }

private:
    class SettingsKey;

    std::string ResolutionSuffix() const;
    // A placement value of the section; a failure counts as the default and is kept for the end of the
    // restore.
    std::string ReadPlacementText(const std::string& name, const std::string& fallback);
    int ReadPlacementInteger(const std::string& name, int fallback);
    std::string ReadPositionText(const std::string& name);
    void WritePositionText(const std::string& name, const std::string& text);
    bool ReadPosition(WindowPlacement& placement);
    void ReadState();
    void UpdateMaxPosition();
    void Report(const std::exception& error);

    void FormShow(Component* sender);
    void FormCloseQuery(Component* sender, bool& canClose);
    void FormDestroy(Component* sender);

    Form& owner_;
    Registry& registry_;
    WindowPlacementPort& window_;
    int pixelsPerInch_;
    bool restored_ = false;
    bool saved_ = false;
    bool destroying_ = false;
    // The first placement value of this restore that could not be read.
    std::exception_ptr badValue_;
    // The open settings key while a save or restore runs; 0 otherwise.
    RegKey settingsKey_ = 0;
    NotifyEvent previousShow_;
    std::function<void(Component*, bool&)> previousCloseQuery_;
    NotifyEvent previousDestroy_;
};

}  // namespace tavo
