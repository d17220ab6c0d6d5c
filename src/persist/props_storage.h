// TPropsStorage: converts one component's properties to and from the settings store's text values.
#pragma once

#include <functional>
#include <string>

#include "framework/component.h"
#include "persist/prop_info.h"

namespace tavo {

using ReadTextValue = std::function<std::string(const std::string& section, const std::string& name,
                                                const std::string& fallback)>;
using WriteTextValue =
    std::function<void(const std::string& section, const std::string& name, const std::string& text)>;

// A value is named the prefix followed by the property's declared name.
class TPropsStorage {
public:
    TPropsStorage(Component& object, std::string prefix, std::string section, ReadTextValue read,
                  WriteTextValue write);

    // Reads the property back; an absent value leaves it as it is. Integers that
    // are no number become 0; a Boolean takes "True" or "False" in any case and
    // ignores any other word. A missing property is skipped.
    void LoadProperty(const std::string& name);
    // Writes the property's current value, trimmed. A missing property is skipped.
    void StoreProperty(const std::string& name);

private:
    TPropInfoList props_;
    std::string prefix_;
    std::string section_;
    ReadTextValue read_;
    WriteTextValue write_;
};

// The property's current value as text: string as is, integer decimal, Boolean "False" or "True".
std::string PropertyText(const PropInfo& info);

}  // namespace tavo
