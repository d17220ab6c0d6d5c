// The stored properties: their binding to the window's components, their save and their restore.
#include "persist/form_storage.h"

#include "persist/props_storage.h"
#include "persist/text_values.h"

namespace tavo {

namespace {

struct SplitEntry {
    std::string component;
    std::string property;
};

SplitEntry Split(const std::string& entry) {
    const size_t dot = entry.find('.');
    if (dot == std::string::npos) return {TrimText(entry), ""};
    return {TrimText(entry.substr(0, dot)), TrimText(entry.substr(dot + 1))};
}

std::string PropertyOf(const std::string& entry) {
    return Split(entry).property;
}

}  // namespace

void TFormStorage::Loaded() {
    components_.assign(StoredProps.size(), nullptr);
    for (size_t i = StoredProps.size(); i-- > 0;) {
        const SplitEntry parts = Split(StoredProps[i]);
        Component* component = nullptr;
        if (!parts.component.empty() && !parts.property.empty())
            component = Owner().FindComponent(parts.component);
        if (component) {
            components_[i] = component;
        } else {
            StoredProps.erase(StoredProps.begin() + static_cast<std::ptrdiff_t>(i));
            components_.erase(components_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    TFormPlacement::Loaded();
}

void TFormStorage::WritePlacementValues() {
    TFormPlacement::WritePlacementValues();
    WriteStoredProps();
}

void TFormStorage::ReadPlacementValues() {
    TFormPlacement::ReadPlacementValues();
    MarkRestored();
    try {
        ReadStoredProps();
    } catch (const std::exception&) {
        // Stored values never stop a restore.
    }
}

TPropsStorage TFormStorage::StorageOf(size_t i) {
    return TPropsStorage(
        *components_[i], components_[i]->name + "_", IniSection,
        [this](const std::string& s, const std::string& n, const std::string& d) {
            return ReadString(s, n, d);
        },
        [this](const std::string& s, const std::string& n, const std::string& t) { WriteString(s, n, t); });
}

void TFormStorage::WriteStoredProps() {
    for (size_t i = components_.size(); i-- > 0;) {
        if (Owner().Owns(components_[i])) {
            StoredProps[i] = components_[i]->name + "." + PropertyOf(StoredProps[i]);
        } else {
            StoredProps.erase(StoredProps.begin() + static_cast<std::ptrdiff_t>(i));
            components_.erase(components_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    for (size_t i = 0; i < components_.size(); ++i)
        StorageOf(i).StoreProperty(PropertyOf(StoredProps[i]));
}

void TFormStorage::ReadStoredProps() {
    for (size_t i = 0; i < components_.size(); ++i) {
        try {
            StorageOf(i).LoadProperty(PropertyOf(StoredProps[i]));
        } catch (const std::exception&) {
            // One unreadable value leaves its property as it was.
        }
    }
}

}  // namespace tavo
