// Bindings of control models to Win32 controls: one small class per kind of control.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/component.h"
#include "framework/controls.h"
#include "framework/edit.h"
#include "framework/image.h"
#include "framework/status_bar.h"
#include "platform/win32/handles.h"
#include "platform/win32/preview_panel.h"

namespace tavo::win32 {

class ControlBinding;
using Bindings = std::vector<std::unique_ptr<ControlBinding>>;

// What a binding asks of the window its control lives in.
class BindingHost {
public:
    // The window the controls are children of.
    virtual HWND ControlParent() const = 0;
    virtual HFONT ControlFont() const = 0;
    // The character height of that font, in pixels.
    virtual int FontHeight() const = 0;
    // Where a control sits now in the parent's client area.
    virtual RECT PlaceOf(const Control& control) const = 0;
    // Every binding of the window, in tab order.
    virtual const Bindings& AllBindings() const = 0;

protected:
    ~BindingHost() = default;
};

// The binding of `model` among `bindings`, or nullptr.
ControlBinding* BindingOf(const Bindings& bindings, const Control* model);
// The binding one of whose windows is `hwnd`, or nullptr.
ControlBinding* BindingContaining(const Bindings& bindings, HWND hwnd);

// One control model and the Win32 control that shows it. The model is the truth:
// the binding draws its state whenever it changes and hands the user's input to it.
class ControlBinding {
public:
    ControlBinding(Control& model, int id) : model_(model), id_(id) {}
    ControlBinding(const ControlBinding&) = delete;
    ControlBinding& operator=(const ControlBinding&) = delete;
    virtual ~ControlBinding() { Detach(); }

    Control& Model() const { return model_; }
    HWND Handle() const { return hwnd_; }

    // Creates the control's windows in the host and starts following the model.
    void Create(BindingHost& host);
    // Stops following the model; called before the windows go.
    virtual void Detach() { model_.onChanged = nullptr; }
    // Shows the model's whole state.
    void Sync();

    // Moves the control's windows to where the host places the model now.
    virtual void Place(HDWP& positions) const;
    // After the windows have their new places.
    virtual void Placed() {}
    // Whether one of the control's windows is `hwnd`.
    virtual bool Contains(HWND hwnd) const { return hwnd && hwnd == hwnd_; }
    // Whether WM_COMMAND with this control identifier belongs to the control.
    virtual bool OwnsId(int id) const { return id == id_; }
    virtual void OnCommand(int /*id*/, int /*code*/) {}
    virtual LRESULT OnNotify(NMHDR* /*header*/) { return 0; }
    // Enter while the control has the focus; true when the control took it.
    virtual bool PressDefault() { return false; }
    // The key its caption marks was pressed.
    virtual void RunAccessKey() {}
    // The window that takes the focus when it comes back to `previous`, one of the control's windows.
    virtual HWND FocusOnReturn(HWND previous) const { return previous; }
    // Whether typed letters are the control's text rather than access keys.
    virtual bool TakesTypedText() const { return false; }

protected:
    // Creates the control's window (and any windows it has besides).
    virtual HWND MakeWindow() = 0;
    // The kind's own part of Sync, after the enabled and visible states.
    virtual void SyncState() {}
    virtual bool TakesWindowFont() const { return true; }

    BindingHost& Host() const { return *host_; }
    int Id() const { return id_; }
    // A child control of the host at the model's place, with the model's identifier.
    HWND MakeChild(const char* className, const char* text, DWORD style, DWORD exStyle = 0) const;
    // WS_CHILD | WS_VISIBLE, a tab stop when asked, and the start of a group for
    // the first control of a parent.
    DWORD ChildStyle(bool tabStop) const;
    void SyncCaption() const;

private:
    Control& model_;
    int id_;
    HWND hwnd_ = nullptr;
    BindingHost* host_ = nullptr;
};

class GroupBinding : public ControlBinding {
public:
    GroupBinding(GroupBox& model, int id) : ControlBinding(model, id) {}
    // The first control of the group in tab order that can take the focus gets it.
    void RunAccessKey() override;

protected:
    HWND MakeWindow() override;
    void SyncState() override { SyncCaption(); }
};

class LabelBinding : public ControlBinding {
public:
    LabelBinding(Label& model, int id) : ControlBinding(model, id), label_(model) {}

protected:
    HWND MakeWindow() override;
    void SyncState() override { SyncCaption(); }

private:
    Label& label_;
};

// A push button, with a picture from the resources when `glyph` names one.
class ButtonBinding : public ControlBinding {
public:
    ButtonBinding(Button& model, int id, const char* glyph = nullptr)
        : ControlBinding(model, id), button_(model), glyph_(glyph) {}
    void OnCommand(int id, int code) override;
    bool PressDefault() override;
    void RunAccessKey() override { button_.Click(); }

protected:
    HWND MakeWindow() override;
    void SyncState() override { SyncCaption(); }

private:
    void SetGlyph(HWND button);

    Button& button_;
    const char* glyph_;
    OwnedImageList glyphImages_;
};

class CheckBinding : public ControlBinding {
public:
    CheckBinding(CheckBox& model, int id) : ControlBinding(model, id), check_(model) {}
    void OnCommand(int id, int code) override;
    // Focused and toggled.
    void RunAccessKey() override;

protected:
    HWND MakeWindow() override;
    void SyncState() override;

private:
    CheckBox& check_;
};

// A radio group: its group box and one radio button per item, in one column.
class RadioBinding : public ControlBinding {
public:
    RadioBinding(RadioGroup& model, int id, int firstItemId)
        : ControlBinding(model, id), radio_(model), firstItemId_(firstItemId) {}
    void Place(HDWP& positions) const override;
    bool Contains(HWND hwnd) const override;
    bool OwnsId(int id) const override;
    void OnCommand(int id, int code) override;
    // The selected item takes the focus (the first when none is selected).
    void RunAccessKey() override;
    // An item would select itself on getting the focus: the checked item takes it instead.
    HWND FocusOnReturn(HWND previous) const override;

protected:
    HWND MakeWindow() override;
    void SyncState() override;

private:
    RECT ItemPlace(int index) const;

    RadioGroup& radio_;
    int firstItemId_;
    std::vector<HWND> items_;
};

class EditBinding : public ControlBinding {
public:
    EditBinding(Edit& model, int id) : ControlBinding(model, id), edit_(model) {}
    void OnCommand(int id, int code) override;
    bool TakesTypedText() const override { return true; }

protected:
    HWND MakeWindow() override;
    void SyncState() override;

private:
    Edit& edit_;
};

// An up-down spinner shown in its associate's edit box; the model does the stepping.
class SpinnerBinding : public ControlBinding {
public:
    SpinnerBinding(UpDown& model, int id) : ControlBinding(model, id), upDown_(model) {}
    LRESULT OnNotify(NMHDR* header) override;

protected:
    HWND MakeWindow() override;
    void SyncState() override;

private:
    UpDown& upDown_;
};

class StatusBinding : public ControlBinding {
public:
    StatusBinding(StatusBar& model, int id) : ControlBinding(model, id), status_(model) {}

protected:
    HWND MakeWindow() override;
    void SyncState() override;
    // It keeps the system's status-bar font.
    bool TakesWindowFont() const override { return false; }

private:
    StatusBar& status_;
};

// The preview panel and the image that fills it.
class PanelBinding : public ControlBinding {
public:
    PanelBinding(Panel& model, Image& image, int id)
        : ControlBinding(model, id), image_(image), panel_(model, image) {}
    ~PanelBinding() override { image_.onChanged = nullptr; }
    void Detach() override;

protected:
    HWND MakeWindow() override;
    void SyncState() override;

private:
    Image& image_;
    PreviewPanel panel_;
};

}  // namespace tavo::win32
