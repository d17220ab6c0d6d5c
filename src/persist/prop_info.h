// TPropInfoList: the properties of a component the settings store can save, each with its kind, getter and
// setter.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/component.h"

namespace tavo {

enum class PropKind { String, Integer, Boolean };

// One property of one component. Integer and Boolean properties use the integer
// accessors (a Boolean as 0 or 1), string properties the text ones.
struct PropInfo {
    std::string name;
    PropKind kind = PropKind::String;
    std::function<std::string()> getText;
    std::function<void(const std::string&)> setText;
    std::function<int()> getNumber;
    std::function<void(int)> setNumber;
};

// The published properties of a check box (Caption, Checked, Enabled), a radio
// group (Caption, Enabled, ItemIndex), an edit box (Enabled, Text) and an
// open-file dialog (DefaultExt, FileName, Filter, FilterIndex, InitialDir, Title);
// other components have none.
class TPropInfoList {
public:
    explicit TPropInfoList(Component& component);
    // Looked up without regard to case; nullptr when the component has no such property.
    const PropInfo* Find(const std::string& name) const;
    const std::vector<PropInfo>& Items() const { return props_; }

private:
    std::vector<PropInfo> props_;
};

}  // namespace tavo
