#include "app/Program.h"

namespace plotalon {

TProgram::TProgram(std::vector<std::string> parameters)
    : Form1(std::move(parameters)), Form_Einstellungen(&Form1), Info(&Form1) {
    Form1.SetSettingsDialog(&Form_Einstellungen);
    Form1.SetAboutDialog(&Info);
    Form1.SetSplash(&Intro);
    Form1.SetHelpWindow(&Hilfe);
    Form_Einstellungen.SetHelpWindow(&Hilfe);
    for (QWidget* window :
         {static_cast<QWidget*>(&Form_Einstellungen), static_cast<QWidget*>(&Info),
          static_cast<QWidget*>(&Hilfe), static_cast<QWidget*>(&Intro)})
        window->setAttribute(Qt::WA_QuitOnClose, false);
}

} // namespace plotalon
