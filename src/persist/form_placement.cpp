// The settings store's operations, their triggers and the window placement they read and write.
#include "persist/form_placement.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "base/error.h"
#include "persist/scoped_key.h"
#include "persist/text_values.h"

namespace tavo {

namespace {

constexpr char kFlags[] = "Flags";
constexpr char kShowCmd[] = "ShowCmd";
constexpr char kPixelsPerInch[] = "PixelsPerInch";
constexpr char kMinMaxPos[] = "MinMaxPos";
constexpr char kNormPos[] = "NormPos";
constexpr char kVisible[] = "Visible";

std::string FourNumbers(int a, int b, int c, int d) {
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", a, b, c, d);
    return text;
}

int WordOr(const std::vector<std::string>& words, size_t index, int fallback) {
    return index < words.size() ? ParseDecimalOr(words[index], fallback) : fallback;
}

bool IsSizeable(FormBorderStyle style) {
    return style == FormBorderStyle::Sizeable || style == FormBorderStyle::SizeToolWin;
}

// The metric whose negated pair is the maximised position; -1 for none (0, 0).
int FrameMetric(FormBorderStyle style) {
    switch (style) {
        case FormBorderStyle::Single:
        case FormBorderStyle::ToolWindow:
            return kSmCxBorder;
        case FormBorderStyle::Sizeable:
        case FormBorderStyle::SizeToolWin:
            return kSmCxFrame;
        case FormBorderStyle::Dialog:
            return kSmCxDlgFrame;
        case FormBorderStyle::None:
            break;
    }
    return -1;
}

WindowState StateOfShowCmd(int showCmd) {
    switch (showCmd) {
        case 2:
        case 6:
        case 7:
            return WindowState::Minimized;
        case 3:
            return WindowState::Maximized;
        default:
            return WindowState::Normal;
    }
}

}  // namespace

// Opens the settings key for one operation unless one is open already, and closes what it opened.
class TFormPlacement::SettingsKey {
public:
    explicit SettingsKey(TFormPlacement& store) : store_(store) {
        if (store.settingsKey_) return;
        RegKey key = 0;
        if (store.registry_.CreateKeyEx(kHkeyCurrentUser, store.IniFileName, kRegOptionNonVolatile,
                                        kKeyAllAccess, &key) != kErrorSuccess)
            throw Error("Failed to create key " + store.IniFileName);
        store.settingsKey_ = key;
        owned_ = true;
    }
    ~SettingsKey() {
        if (!owned_) return;
        store_.registry_.CloseKey(store_.settingsKey_);
        store_.settingsKey_ = 0;
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

private:
    TFormPlacement& store_;
    bool owned_ = false;
};

TFormPlacement::TFormPlacement(Form& owner, Registry& registry, WindowPlacementPort& window)
    : owner_(owner), registry_(registry), window_(window), pixelsPerInch_(window.ScreenPixelsPerInch()) {}

void TFormPlacement::Loaded() {
    previousShow_ = owner_.onShow;
    previousCloseQuery_ = owner_.onCloseQuery;
    previousDestroy_ = owner_.onDestroy;
    owner_.onShow = [this](Component* sender) { FormShow(sender); };
    owner_.onCloseQuery = [this](Component* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    owner_.onDestroy = [this](Component* sender) { FormDestroy(sender); };
}

void TFormPlacement::RestoreSettings() {
    saved_ = false;
    if (!UseRegistry) return;
    badValue_ = nullptr;
    {
        SettingsKey key(*this);
        ReadPlacementValues();
        restored_ = true;
        DoRestorePlacement();
    }
    UpdateMaxPosition();
    if (badValue_) std::rethrow_exception(std::exchange(badValue_, nullptr));
}

void TFormPlacement::SaveSettings() {
    if (!restored_ && Active) return;
    if (!UseRegistry) return;
    SettingsKey key(*this);
    WritePlacementValues();
    DoSavePlacement();
    saved_ = true;
}

void TFormPlacement::DoSavePlacement() {
    if (OnSavePlacement) OnSavePlacement(this);
}

void TFormPlacement::DoRestorePlacement() {
    if (OnRestorePlacement) OnRestorePlacement(this);
}

std::string TFormPlacement::ResolutionSuffix() const {
    char text[40];
    std::snprintf(text, sizeof text, "(%dx%d)", window_.GetSystemMetrics(kSmCxScreen),
                  window_.GetSystemMetrics(kSmCyScreen));
    return text;
}

// A bad value would otherwise stop every restore, and with it every save that could mend it.
std::string TFormPlacement::ReadPlacementText(const std::string& name, const std::string& fallback) {
    try {
        return ReadString(IniSection, name, fallback);
    } catch (const Error&) {
        if (!badValue_) badValue_ = std::current_exception();
        return fallback;
    }
}

int TFormPlacement::ReadPlacementInteger(const std::string& name, int fallback) {
    return ParseDecimalOr(ReadPlacementText(name, std::to_string(fallback)), fallback);
}

std::string TFormPlacement::ReadPositionText(const std::string& name) {
    const std::string text = ReadPlacementText(name + ResolutionSuffix(), "");
    return text.empty() ? ReadPlacementText(name, "") : text;
}

void TFormPlacement::WritePositionText(const std::string& name, const std::string& text) {
    WriteString(IniSection, name + ResolutionSuffix(), text);
    WriteString(IniSection, name, text);
}

void TFormPlacement::WritePlacementValues() {
    WindowPlacement p;
    window_.GetWindowPlacement(p);
    WriteInteger(IniSection, kFlags, static_cast<int>(p.flags));
    WriteInteger(IniSection, kShowCmd, static_cast<int>(p.showCmd));
    WriteInteger(IniSection, kPixelsPerInch, pixelsPerInch_);
    WritePositionText(
        kMinMaxPos, FourNumbers(p.ptMinPosition.x, p.ptMinPosition.y, p.ptMaxPosition.x, p.ptMaxPosition.y));
    const PlacementRect& r = p.rcNormalPosition;
    WritePositionText(kNormPos, FourNumbers(r.left, r.top, r.right, r.bottom));
    WriteString(IniSection, kVisible, destroying_ ? "1" : "0");
}

void TFormPlacement::ReadPlacementValues() {
    WindowPlacement p;
    const bool havePlacement = window_.GetWindowPlacement(p);
    if (!window_.IsWindowVisible()) p.showCmd = kSwHide;
    if ((Options & fpPosition) && havePlacement && ReadPosition(p)) {
        owner_.centreOnShow = false;
        window_.SetWindowPlacement(p);
    }
    if (Options & fpState) ReadState();
    window_.Repaint();
}

// Fills in the stored position; true when it is to be applied.
bool TFormPlacement::ReadPosition(WindowPlacement& p) {
    p.flags = static_cast<uint32_t>(ReadPlacementInteger(kFlags, static_cast<int>(p.flags)));
    bool found = false;
    const std::vector<std::string> minMax = SplitWords(ReadPositionText(kMinMaxPos));
    if (!minMax.empty()) {
        p.ptMinPosition = {WordOr(minMax, 0, 0), WordOr(minMax, 1, 0)};
        p.ptMaxPosition = {WordOr(minMax, 2, 0), WordOr(minMax, 3, 0)};
        found = true;
    }
    const PlacementRect current = window_.WindowRect();
    const std::vector<std::string> norm = SplitWords(ReadPositionText(kNormPos));
    PlacementRect& r = p.rcNormalPosition;
    if (!norm.empty()) {
        r = {WordOr(norm, 0, current.left), WordOr(norm, 1, current.top), WordOr(norm, 2, current.right),
             WordOr(norm, 3, current.bottom)};
        found = true;
    }
    const int pixelsPerInch = ReadPlacementInteger(kPixelsPerInch, pixelsPerInch_);
    if (!found || pixelsPerInch != pixelsPerInch_) return false;
    if (!IsSizeable(owner_.borderStyle))
        r = {r.left, r.top, r.left + (current.right - current.left), r.top + (current.bottom - current.top)};
    return r.right > r.left;
}

void TFormPlacement::ReadState() {
    owner_.windowState = StateOfShowCmd(ReadPlacementInteger(kShowCmd, 0));
}

void TFormPlacement::UpdateMaxPosition() {
    WindowPlacement p;
    if (!window_.GetWindowPlacement(p)) return;
    if (!window_.IsWindowVisible()) p.showCmd = kSwHide;
    const int metric = FrameMetric(owner_.borderStyle);
    p.ptMaxPosition =
        metric < 0 ? PlacementPoint{}
                   : PlacementPoint{-window_.GetSystemMetrics(metric), -window_.GetSystemMetrics(metric + 1)};
    window_.SetWindowPlacement(p);
}

std::string TFormPlacement::ReadString(const std::string& section, const std::string& name,
                                       const std::string& fallback) {
    SettingsKey settings(*this);
    ScopedKey key(registry_);
    if (registry_.OpenKeyEx(settingsKey_, section, kKeyAllAccess, &key.key) != kErrorSuccess) return fallback;
    uint32_t type = 0;
    uint32_t size = 0;
    if (registry_.QueryValueEx(key.key, name, &type, nullptr, &size) != kErrorSuccess) return fallback;
    if (size == 0) return {};
    std::vector<char> data(size, 0);
    if (registry_.QueryValueEx(key.key, name, &type, reinterpret_cast<uint8_t*>(data.data()), &size) !=
        kErrorSuccess)
        throw Error("Failed to get data for '" + name + "'");
    if (type != kRegSz && type != kRegExpandSz) throw Error("Invalid data type for '" + name + "'");
    const size_t length = std::min<size_t>(size, data.size());
    return std::string(data.data(), std::find(data.data(), data.data() + length, '\0'));
}

void TFormPlacement::WriteString(const std::string& section, const std::string& name,
                                 const std::string& text) {
    SettingsKey settings(*this);
    {
        ScopedKey created(registry_);
        if (registry_.CreateKeyEx(settingsKey_, section, kRegOptionNonVolatile, kKeyAllAccess,
                                  &created.key) != kErrorSuccess)
            throw Error("Failed to create key " + section);
    }
    ScopedKey key(registry_);
    if (registry_.OpenKeyEx(settingsKey_, section, kKeyAllAccess, &key.key) != kErrorSuccess)
        throw Error("Failed to create key " + section);
    if (registry_.SetValueEx(key.key, name, kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                             static_cast<uint32_t>(text.size() + 1)) != kErrorSuccess)
        throw Error("Failed to set data for '" + name + "'");
}

void TFormPlacement::WriteInteger(const std::string& section, const std::string& name, int value) {
    WriteString(section, name, std::to_string(value));
}

void TFormPlacement::Report(const std::exception& error) {
    if (!handleException) throw;
    handleException(error);
}

void TFormPlacement::FormShow(Component* sender) {
    try {
        RestoreSettings();
    } catch (const std::exception& error) {
        Report(error);
    }
    if (previousShow_) previousShow_(sender);
}

void TFormPlacement::FormCloseQuery(Component* sender, bool& canClose) {
    if (previousCloseQuery_) previousCloseQuery_(sender, canClose);
    if (!canClose || !Active || !window_.HasWindow()) return;
    try {
        SaveSettings();
    } catch (const std::exception& error) {
        Report(error);
    }
}

void TFormPlacement::FormDestroy(Component* sender) {
    if (Active && !saved_) {
        destroying_ = true;
        try {
            SaveSettings();
        } catch (const std::exception& error) {
            destroying_ = false;
            Report(error);
        }
        destroying_ = false;
    }
    if (previousDestroy_) previousDestroy_(sender);
}

}  // namespace tavo
