// The main window's access keys: which control a letter reaches when several captions share it.
#include <cctype>
#include <vector>

#include "mainwin/wall_main.h"

namespace tavo {

Control* TForm1::AccessKeyTarget(char letter) {
    const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (wanted == 0) return nullptr;
    // The order the window asks its controls in; it decides A, S, P and R.
    const std::vector<Control*> order = {
        &PixFormat,  &ResamplingGB, &ResSmall,  &ResLarge, &PropRes,   &FilezGB,     &Filez,   &BitBtn1,
        &BitBtn4,    &Status,       &AutoGB,    &Label1,   &Label2,    &AutoEnabled, &Edit1,   &DelayUD,
        &Randomized, &AutoRun,      &PreviewGB, &Panel1,   &ButtonsGB, &BitBtn2,     &BitBtn3,
    };
    for (Control* control : order) {
        if (control->Enabled() && AccessKeyOf(control->Caption()) == wanted) return control;
    }
    return nullptr;
}

}  // namespace tavo
