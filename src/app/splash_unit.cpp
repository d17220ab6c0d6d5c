// The splash window's design and its two handlers.
#include "app/splash_unit.h"

namespace tavo {

TSplashForm::TSplashForm() {
    name = "SplashForm";
    caption = "Splash!";
    borderStyle = FormBorderStyle::None;
    clientWidth = 135;
    clientHeight = 37;
    Label1.name = "Label1";
    Label1.Place(nullptr, {0, 0, 135, 37}, kAnchorAll, -1);
    Label1.SetCaption("TavoWall");
    Label1.centred = true;
    Label1.font = Font{"MS Sans Serif", 33, true, true};
    Timer1.name = "Timer1";
    Timer1.intervalMs = 10;
    Timer1.enabled = true;
    AddComponent(&Label1);
    AddComponent(&Timer1);
    Timer1.onTimer = [this](Component* sender) { Timer1Timer(sender); };
    Label1.onClick = [this](Component* sender) { Label1Click(sender); };
}

void TSplashForm::Timer1Timer(Component*) {
    Timer1.enabled = false;
    Hide();
}

void TSplashForm::Label1Click(Component*) {
    Hide();
}

}  // namespace tavo
