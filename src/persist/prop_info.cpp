// The property table of the controls the settings store knows.
#include "persist/prop_info.h"

#include "framework/controls.h"
#include "framework/edit.h"
#include "framework/open_dialog.h"
#include "persist/text_values.h"

namespace tavo {

namespace {

PropInfo TextProp(const char* name, std::function<std::string()> get,
                  std::function<void(const std::string&)> set) {
    PropInfo info;
    info.name = name;
    info.kind = PropKind::String;
    info.getText = std::move(get);
    info.setText = std::move(set);
    return info;
}

PropInfo NumberProp(const char* name, PropKind kind, std::function<int()> get, std::function<void(int)> set) {
    PropInfo info;
    info.name = name;
    info.kind = kind;
    info.getNumber = std::move(get);
    info.setNumber = std::move(set);
    return info;
}

PropInfo CaptionProp(Control* c) {
    return TextProp(
        "Caption", [c] { return c->Caption(); }, [c](const std::string& t) { c->SetCaption(t); });
}

PropInfo EnabledProp(Control* c) {
    return NumberProp(
        "Enabled", PropKind::Boolean, [c] { return c->Enabled() ? 1 : 0; },
        [c](int v) { c->SetEnabled(v != 0); });
}

// A text field of the dialog's settings.
PropInfo FieldProp(const char* name, std::string* field) {
    return TextProp(
        name, [field] { return *field; }, [field](const std::string& t) { *field = t; });
}

void AddOpenDialogProps(OpenDialog* d, std::vector<PropInfo>& props) {
    props.push_back(FieldProp("DefaultExt", &d->defaultExt));
    props.push_back(FieldProp("FileName", &d->fileName));
    props.push_back(FieldProp("Filter", &d->filter));
    props.push_back(NumberProp(
        "FilterIndex", PropKind::Integer, [d] { return d->filterIndex; },
        [d](int v) { d->filterIndex = v; }));
    props.push_back(FieldProp("InitialDir", &d->initialDir));
    props.push_back(FieldProp("Title", &d->title));
}

}  // namespace

TPropInfoList::TPropInfoList(Component& component) {
    if (auto* box = dynamic_cast<CheckBox*>(&component)) {
        props_.push_back(CaptionProp(box));
        props_.push_back(NumberProp(
            "Checked", PropKind::Boolean, [box] { return box->Checked() ? 1 : 0; },
            [box](int v) { box->SetChecked(v != 0); }));
        props_.push_back(EnabledProp(box));
    } else if (auto* group = dynamic_cast<RadioGroup*>(&component)) {
        props_.push_back(CaptionProp(group));
        props_.push_back(EnabledProp(group));
        props_.push_back(NumberProp(
            "ItemIndex", PropKind::Integer, [group] { return group->ItemIndex(); },
            [group](int v) { group->SetItemIndex(v); }));
    } else if (auto* edit = dynamic_cast<Edit*>(&component)) {
        props_.push_back(EnabledProp(edit));
        props_.push_back(TextProp(
            "Text", [edit] { return edit->Text(); }, [edit](const std::string& t) { edit->SetText(t); }));
    } else if (auto* dialog = dynamic_cast<OpenDialog*>(&component)) {
        AddOpenDialogProps(dialog, props_);
    }
}

const PropInfo* TPropInfoList::Find(const std::string& name) const {
    for (const PropInfo& info : props_)
        if (SameText(info.name, name)) return &info;
    return nullptr;
}

}  // namespace tavo
