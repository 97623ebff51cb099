#include "app/PlotterSend.h"

#include "app/SendProgress.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/Questions.h"
#include "platform/qt/Text.h"
#include "sender/HpglRange.h"
#include "sender/qt/QtSerialPort.h"
#include "settings/PlotterProfile.h"
#include "settings/Reg.h"

namespace plotalon {

namespace {

TPlotterSettings SavedPlotterSettings() {
    Reg::IniName = "main";
    Reg::IniFolder = ProgramFolder();
    return ReadPlotterSettings();
}

QString Describe(const TPlotterSettings& s) {
    const char parity = s.Line.Parity == TParity::Even  ? 'E'
                        : s.Line.Parity == TParity::Odd ? 'O'
                                                        : 'N';
    const char* handshakes[] = {"ohne Handshake", "XON/XOFF", "RTS/CTS", "Pufferabfrage"};
    return FromMessage(s.Port) + QStringLiteral(" – ") + QString::number(s.Line.Baud) +
           QStringLiteral(" Baud, ") + QString::number(s.Line.DataBits) + QChar(parity) +
           QString::number(s.Line.StopBits) + QStringLiteral(", ") +
           QString::fromUtf8(handshakes[int(s.Line.Handshake)]);
}

} // namespace

TSendProgress* SendToPlotter(const ILineSource& lines, QWidget* parent) {
    if (lines.LineCount() == 0) throw Exception("Keine HPGL-Daten zum Senden");
    const TPlotterSettings settings = SavedPlotterSettings();
    if (settings.Port.empty())
        throw Exception("Kein Anschluss für den Plotter eingestellt (Einstellungen, Seite "
                        "„Plotter“)");
    const TSendOptions options = SendOptionsOf(settings);

    if (const auto outside = FindOutOfRange(lines, settings.RangeMin, settings.RangeMax)) {
        const std::string where = DescribeViolation(*outside, lines.LineAt(outside->Line),
                                                    settings.RangeMin, settings.RangeMax);
        if (Questions().Ask(parent, FromMessage(where) + QStringLiteral("\n\nTrotzdem senden?"),
                            TAnswer::No) != TAnswer::Yes)
            return nullptr;
    }

    std::string text;
    for (std::size_t i = 0; i < lines.LineCount(); ++i) {
        text += lines.LineAt(i);
        text += "\r\n";
    }
    auto job = std::make_unique<TSendJob>(
        [port = settings.Port, line = settings.Line] { return OpenPlotterPort(port, line); },
        options, std::move(text));
    auto* window = new TSendProgress(std::move(job), Describe(settings), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);
    window->show();
    window->Start();
    return window;
}

} // namespace plotalon
