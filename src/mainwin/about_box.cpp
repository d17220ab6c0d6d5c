// The About box, opened by the About button, its menu item and F1.
#include "mainwin/about_box.h"

#include "imaging/jpeg_version.h"
#include "mainwin/wall_main.h"

#ifndef TAVO_VERSION
#error "TAVO_VERSION must name the program's version (the build sets it from the project's)"
#endif

namespace tavo {

const char kProgramName[] = "Tavo Wallpaper 2";
const char kProgramVersion[] = TAVO_VERSION;
const char kBuildTag[] = "ALPHA 4";

std::string AboutCaption() {
    return std::string("About ") + kProgramName;
}

std::string AboutText(const std::string& jpegLibrary) {
    return std::string(kProgramName) + "\nVersion " + kProgramVersion + " (" + kBuildTag + ")\n\n" +
           "Built with " + jpegLibrary;
}

void TForm1::BitBtn2Click(Component*) {
    if (ports_.dialogs)
        ports_.dialogs->ShowMessage(AboutText(JpegLibraryVersion()), AboutCaption(),
                                    MessageIcon::Application);
}

}  // namespace tavo
