// TSplashForm: the small window that flashes for one timer tick at start-up.
#pragma once

#include "framework/controls.h"
#include "framework/form.h"
#include "framework/timer.h"

namespace tavo {

class TSplashForm : public Form {
public:
    // Built hidden, its timer running.
    TSplashForm();

    void Timer1Timer(Component* sender);
    void Label1Click(Component* sender);

    Label Label1;
    Timer Timer1;
    // Always on top of normal windows.
    bool topmost = true;
};

}  // namespace tavo
