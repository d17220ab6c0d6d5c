// Stored properties: their text forms and how a read text is assigned.
#include "persist/props_storage.h"

#include "persist/text_values.h"

namespace tavo {

namespace {
const char* const kBooleanNames[] = {"False", "True"};
}

std::string PropertyText(const PropInfo& info) {
    switch (info.kind) {
        case PropKind::String:
            return info.getText();
        case PropKind::Integer:
            return std::to_string(info.getNumber());
        case PropKind::Boolean:
            return kBooleanNames[info.getNumber() != 0 ? 1 : 0];
    }
    return {};
}

TPropsStorage::TPropsStorage(Component& object, std::string prefix, std::string section, ReadTextValue read,
                             WriteTextValue write)
    : props_(object),
      prefix_(std::move(prefix)),
      section_(std::move(section)),
      read_(std::move(read)),
      write_(std::move(write)) {}

void TPropsStorage::LoadProperty(const std::string& name) {
    const PropInfo* info = props_.Find(name);
    if (!info) return;
    const std::string text = TrimText(read_(section_, prefix_ + info->name, PropertyText(*info)));
    switch (info->kind) {
        case PropKind::String:
            info->setText(text);
            break;
        case PropKind::Integer:
            info->setNumber(ParseDecimalOr(text, 0));
            break;
        case PropKind::Boolean:
            for (int value = 0; value < 2; ++value)
                if (SameText(text, kBooleanNames[value])) info->setNumber(value);
            break;
    }
}

void TPropsStorage::StoreProperty(const std::string& name) {
    const PropInfo* info = props_.Find(name);
    if (!info) return;
    write_(section_, prefix_ + info->name, TrimText(PropertyText(*info)));
}

}  // namespace tavo
