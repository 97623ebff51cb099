// Plotalon: converts NC programs in DIN/ISO code into HPGL.
//
//   plotalon            starts with the splash picture
//   plotalon FILE       loads FILE into the source pane (the arguments joined without blanks)
//   plotalon /C         pastes the clipboard's text into the source pane

#include "app/Program.h"
#include "platform/qt/ErrorReport.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // The command line is the program's own: Qt sees none of it, so that an argument such as
    // "-style" stays a file name instead of being taken as one of Qt's options.
    std::vector<std::string> parameters(argv + 1, argv + argc);
    int qtArgc = 1;
    plotalon::TApplication app(qtArgc, argv);
    plotalon::SetApplicationTitle(QStringLiteral("PLOTALON 1.1"));
    // The toolkit's own dialogs (open, save, message boxes) speak German like the rest of the
    // program, whatever language the desktop is set to.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&toolkitTexts);
    plotalon::TProgram program(std::move(parameters));
    program.Form1.show();
    return app.exec();
}
