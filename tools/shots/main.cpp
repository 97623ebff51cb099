// plotalon-shots OUTDIR [PROGRAMDIR]: writes settings-hpgl.png, settings-folders.png and
// help.png into OUTDIR. The help window reads hilfe.txt from PROGRAMDIR (default: the
// folder of this program).

#include "app/Unit3.h"
#include "controls/XPSpeedButton.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/Memo.h"
#include "settings/Unit2.h"

#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <memory>

namespace {

bool Save(QWidget& window, const QString& file) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    const bool saved = window.grab().save(file);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return saved;
}

void Press(plotalon::TXPSpeedButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, {5, 5});
}

} // namespace

int main(int argc, char** argv) {
    using namespace plotalon;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Plotalon"));
    if (argc < 2) {
        std::fprintf(stderr, "usage: plotalon-shots OUTDIR [PROGRAMDIR]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]) + u'/';
    std::unique_ptr<TProgramFolderOverride> folder;
    if (argc > 2) folder = std::make_unique<TProgramFolderOverride>(argv[2]);

    TForm_Einstellungen settings;
    settings.EVorspann->SetText("IN;\r\nSP1;\r\nVS10;");
    settings.ENachspann->SetText("PU0,0;\r\nSP0;");
    settings.ENCDIR->setText(QStringLiteral("/home/werkstatt/nc"));
    settings.EHPGLDIR->setText(QStringLiteral("/home/werkstatt/plotter"));
    bool ok = Save(settings, out + "settings-hpgl.png");
    Press(settings.FPlus);
    Press(settings.BDir);
    ok = Save(settings, out + "settings-folders.png") && ok;

    THilfe help;
    ok = Save(help, out + "help.png") && ok;
    return ok ? 0 : 1;
}
