// TFormStorage: the settings store that also keeps a list of the window's control properties.
#pragma once

#include <string>
#include <vector>

#include "persist/form_placement.h"
#include "persist/props_storage.h"

namespace tavo {

class TFormStorage : public TFormPlacement {
public:
    using TFormPlacement::TFormPlacement;

    // Binds StoredProps to the owner's components, then installs the handlers.
    void Loaded() override;

    // Entries "Component.Property". After binding only the valid entries whose
    // component exists remain, each with its component.
    std::vector<std::string> StoredProps;
    const std::vector<Component*>& StoredComponents() const { return components_; }

protected:
    void WritePlacementValues() override;
    // Stored properties are read after the placement; any failure of the properties is
    // passed over.
    void ReadPlacementValues() override;
    virtual void WriteStoredProps();
    virtual void ReadStoredProps();

private:
    TPropsStorage StorageOf(size_t index);

    // The component of StoredProps[i], in the same order.
    std::vector<Component*> components_;
};

}  // namespace tavo
