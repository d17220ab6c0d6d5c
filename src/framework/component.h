// The base of every control model: events, placement and the state a binding shows.
#pragma once

#include <functional>
#include <string>

namespace tavo {

class Component {
public:
    virtual ~Component() = default;
    // The name the window's design gives the component ("Filez", "OpenDialog1").
    std::string name;
};

// An event handler; the sender is the component that raised it (or the window
// when a handler is run directly).
using NotifyEvent = std::function<void(Component* sender)>;

// Edges whose distance a control keeps when its parent grows.
enum Anchor : unsigned { kAnchorLeft = 1, kAnchorTop = 2, kAnchorRight = 4, kAnchorBottom = 8 };
constexpr unsigned kAnchorAll = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom;

// Docking inside the parent's client area.
enum class Align { None, Bottom };

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A visual control. The model owns the state; the platform binding draws it,
// forwards the user's input to it and listens to onChanged to redraw.
class Control : public Component {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Control* Parent() const { return parent_; }
    const std::string& Caption() const { return caption_; }
    bool Enabled() const { return enabled_; }
    bool Visible() const { return visible_; }

    void SetCaption(const std::string& caption) {
        caption_ = caption;
        Changed();
    }
    void SetEnabled(bool enabled) {
        enabled_ = enabled;
        Changed();
    }
    void SetVisible(bool visible) {
        visible_ = visible;
        Changed();
    }
    // Changes between BeginUpdate and the matching EndUpdate reach the binding once, at the
    // end, so that a control changed in many steps is redrawn once.
    void BeginUpdate() { ++updating_; }
    void EndUpdate() {
        if (--updating_ > 0 || !pending_) return;
        pending_ = false;
        Changed();
    }
    // Where the control sits: relative to the parent's client area (no parent: the window).
    void Place(Control* parent, Bounds bounds, unsigned anchors, int tabOrder) {
        parent_ = parent;
        this->bounds = bounds;
        this->anchors = anchors;
        this->tabOrder = tabOrder;
    }

    Bounds bounds;
    unsigned anchors = kAnchorLeft | kAnchorTop;
    Align align = Align::None;
    // Position in the parent's tab order; -1 for controls that take no focus.
    int tabOrder = -1;
    // Shown while the pointer rests on the control; empty for none.
    std::string hint;
    std::function<void()> onChanged;

protected:
    void Changed() {
        if (updating_ > 0)
            pending_ = true;
        else if (onChanged)
            onChanged();
    }

private:
    int updating_ = 0;
    bool pending_ = false;
    Control* parent_ = nullptr;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
};

// BeginUpdate and EndUpdate of a control for the scope's lifetime.
class ControlUpdate {
public:
    explicit ControlUpdate(Control& control) : control_(control) { control_.BeginUpdate(); }
    ~ControlUpdate() { control_.EndUpdate(); }
    ControlUpdate(const ControlUpdate&) = delete;
    ControlUpdate& operator=(const ControlUpdate&) = delete;

private:
    Control& control_;
};

// The access key a caption marks with "&" (upper-cased), or 0 when it marks none;
// "&&" stands for a literal ampersand.
char AccessKeyOf(const std::string& caption);

}  // namespace tavo
