// plotalon-screens FOLDER [--scale N]: writes a PNG of every window of the program into FOLDER,
// drawn offscreen, optionally enlarged N times pixel for pixel:
//   main.png              the main window with a small NC program converted
//   settings-hpgl.png     the settings dialog, HPGL page
//   settings-folders.png  the settings dialog, folders page
//   settings-nc.png       the settings dialog, NC format page
//   settings-plotter.png  the settings dialog, plotter page
//   send.png              the send progress window after the HPGL went to a file port
//   send-failed.png       the send progress window when the port is not there
//   help.png              the help window with the help text beside this tool
//   info.png              the about dialog
//   intro.png             the splash window
// The settings are saved through the settings dialog into a temporary folder, which stands in
// for the program's folder while the pictures are taken.

#include "app/PlotterSend.h"
#include "app/Program.h"
#include "app/SendProgress.h"
#include "controls/XPSpeedButton.h"
#include "editor/view/CodeEdit.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/Memo.h"
#include "settings/PlotterPage.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using namespace plotalon;

// A plate with two rounded corners and a round pocket.
const char* const kPart = "(Platte 80 x 50 mit Tasche)\n"
                          "G0 X0 Y0\nG1 Z-1\nG1 X80\nG1 Y40\nG3 X70 Y50 R10\nG1 X10\n"
                          "G3 X0 Y40 R10\nG1 Y0\nG0 Z5\n"
                          "G0 X20 Y25\nG1 Z-1\nG2 X60 Y25 R20\nG2 X20 Y25 R20\nG0 Z5\nM30\n";

bool Save(QWidget& window, const QString& path, int scale) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    QImage shot = window.grab().toImage();
    window.hide();
    if (scale > 1)
        shot = shot.scaled(shot.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (shot.save(path, "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

void Press(TXPSpeedButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, {5, 5});
}

// The settings of a user who plots in 1/40 mm, as the dialog saves them.
void SaveSettings(TForm_Einstellungen& settings) {
    settings.EFaktor->setText(QStringLiteral("40"));
    settings.EGrad->setText(QStringLiteral("10"));
    settings.EVorspann->SetText("IN;\r\nSP1;\r\nVS10;");
    settings.ENachspann->SetText("PU0,0;\r\nSP0;");
    settings.ENCDIR->setText(QStringLiteral("/home/werkstatt/nc"));
    settings.EHPGLDIR->setText(QStringLiteral("/home/werkstatt/plotter"));
    settings.SaveSettings();
}

// The progress window of a send of the HPGL pane to port, once the send has ended.
bool SaveSend(TProgram& program, const std::string& port, const QString& path, int scale) {
    TForm_Einstellungen& settings = program.Form_Einstellungen;
    settings.Panel_Plotter->EPort->setEditText(QString::fromStdString(port));
    if (!RunGuarded([&] { settings.SaveSettings(); })) return false;
    TSendProgress* window = nullptr;
    if (!RunGuarded([&] { window = SendToPlotter(program.Form1.Ziel->Lines(), &program.Form1); }) ||
        !window || !QTest::qWaitFor([&] { return window->Ended(); }, 10000))
        return false;
    const bool saved = Save(*window, path, scale);
    window->close();
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: plotalon-screens FOLDER [--scale N]\n");
        return 2;
    }
    const int scale =
        argc >= 4 && std::strcmp(argv[2], "--scale") == 0 ? std::max(1, std::atoi(argv[3])) : 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    TApplication app(qtArgc, argv);
    SetApplicationTitle(QStringLiteral("PLOTALON 1.1"));
    const QDir out(QString::fromLocal8Bit(argv[1]));

    QTemporaryDir temporary;
    const std::string folder = temporary.path().toStdString() + "/";
    std::string help;
    const bool files = temporary.isValid() &&
                       (!ReadWholeFile(ProgramFolder() + "hilfe.txt", help) ||
                        ReplaceFileContents(folder + "hilfe.txt", help)) &&
                       ReplaceFileContents(folder + "teil.nc", kPart);
    if (!files) {
        std::fprintf(stderr, "cannot write into the temporary folder\n");
        return 1;
    }
    TProgramFolderOverride programFolder(folder);

    TProgram program({folder + "teil.nc"});
    bool ok = RunGuarded([&] { SaveSettings(program.Form_Einstellungen); });
    program.Form1.show();
    ok = QTest::qWaitForWindowExposed(&program.Form1) && ok;
    Press(program.Form1.XPSpeedButton3);
    ok = Save(program.Form1, out.filePath(QStringLiteral("main.png")), scale) && ok;

    TForm_Einstellungen& settings = program.Form_Einstellungen;
    ok = Save(settings, out.filePath(QStringLiteral("settings-hpgl.png")), scale) && ok;
    Press(settings.BDir);
    ok = Save(settings, out.filePath(QStringLiteral("settings-folders.png")), scale) && ok;
    Press(settings.BNCFormat);
    ok = Save(settings, out.filePath(QStringLiteral("settings-nc.png")), scale) && ok;
    Press(settings.BPlotter);
    ok = Save(settings, out.filePath(QStringLiteral("settings-plotter.png")), scale) && ok;
    ok = SaveSend(program, folder + "plotter.plt", out.filePath(QStringLiteral("send.png")),
                  scale) &&
         ok;
    ok = SaveSend(program, "/dev/plotter-nicht-da", out.filePath(QStringLiteral("send-failed.png")),
                  scale) &&
         ok;
    ok = Save(program.Hilfe, out.filePath(QStringLiteral("help.png")), scale) && ok;
    ok = Save(program.Info, out.filePath(QStringLiteral("info.png")), scale) && ok;
    ok = Save(program.Intro, out.filePath(QStringLiteral("intro.png")), scale) && ok;
    return ok ? 0 : 1;
}
