#pragma once
// The page "P&lotter" of the settings dialog: the port the plotter hangs on (the ports the
// system reports to choose from, or any device or file typed in), the line's baud rate, data
// bits, parity and stop bits, the handshake, the block size, the set-up string, the range of
// coordinates the plotter takes and how long it may take to answer. It fills a page area of
// 400 × 287 pixels. Like the dialog's other fields, its fields are the working copy: Load
// fills them from section "plotter" of the settings file, Save writes them there.

#include "sender/PlotterSettings.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

namespace plotalon {

class TXPSpeedButton;

class TPlotterPage : public QWidget {
    Q_OBJECT
public:
    explicit TPlotterPage(QWidget* parent = nullptr);

    // From "main.ini" in the program's folder; missing or unusable values give the defaults.
    void LoadSettings();
    // To "main.ini" in the program's folder. Throws Reg::EIniWriteError at the first write
    // that fails.
    void SaveSettings();

    // The values the fields hold now.
    TPlotterSettings Settings() const;
    void SetSettings(const TPlotterSettings& settings);
    // Offers the ports the system reports now, keeping the text in the field. Done whenever
    // the page is shown.
    void RefreshPorts();

    QLabel* LPort;
    QComboBox* EPort;
    QLabel* LBaud;
    QComboBox* EBaud;
    QLabel* LBits;
    QComboBox* EBits;
    QLabel* LParity;
    QComboBox* EParity;
    QLabel* LStop;
    QComboBox* EStop;
    QLabel* LHandshake;
    QComboBox* EHandshake;
    QLabel* LBlock;
    TXPSpeedButton* BlockMinus;
    QLineEdit* EBlock;
    TXPSpeedButton* BlockPlus;
    QLabel* LInit;
    QLineEdit* EInit;
    QLabel* LRange;
    QLineEdit* ERangeMin;
    QLabel* LRangeTo;
    QLineEdit* ERangeMax;
    QLabel* LTimeout;
    TXPSpeedButton* TimeoutMinus;
    QLineEdit* ETimeout;
    TXPSpeedButton* TimeoutPlus;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BindHandlers();
};

} // namespace plotalon
