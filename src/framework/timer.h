// The timer model: an interval and a tick handler; the binding runs the system timer.
#pragma once

#include "framework/component.h"

namespace tavo {

class Timer : public Component {
public:
    // One tick of the system timer.
    void Tick() {
        if (enabled && onTimer) onTimer(this);
    }
    bool enabled = true;
    unsigned intervalMs = 1000;
    NotifyEvent onTimer;
};

}  // namespace tavo
