#pragma once
// The program's windows, made in the order of the start-up (the main window, the settings
// dialog, the about dialog, the help window, the splash window) and connected: the main
// window opens the settings and about dialogs and shows the splash, the settings dialog
// opens the help window. All of them live until the program ends; closing the main window
// ends it, closing any other only hides that one.

#include "app/NCIntro.h"
#include "app/NcInfo.h"
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "settings/Unit2.h"

#include <string>
#include <vector>

namespace plotalon {

class TProgram {
public:
    // parameters: the command-line arguments, without the program's own name.
    explicit TProgram(std::vector<std::string> parameters);

    TForm1 Form1;
    TForm_Einstellungen Form_Einstellungen;
    TInfo Info;
    THilfe Hilfe;
    TIntro Intro;
};

} // namespace plotalon
