#pragma once
// THilfe: the window "Hilfe", which shows the text file "hilfe.txt" from the program's
// folder, read anew at every showing, unwrapped and scrollable both ways, and a
// "&Schließen" button. The settings dialog opens it modally.

#include <QDialog>

namespace plotalon {

class TMemo;
class TShape;
class TXPSpeedButton;

class THilfe : public QDialog {
public:
    explicit THilfe(QWidget* parent = nullptr);

    // The controls, in the order of the window's layout.
    QWidget* Panel1;
    QWidget* Panel2;
    TXPSpeedButton* Abbruch;
    TMemo* Memo;
    TShape* Shape2;

    // Replaces the memo's text with the help file's, if there is one; a missing file leaves
    // the memo as it is. Throws EFOpenError or EMemoCapacityError, leaving the memo as well.
    void FormShow();
    void AbbruchClick();

    void setVisible(bool visible) override;

protected:
    // Runs FormShow inside the error report: a failure is reported, and the window still
    // opens.
    void showEvent(QShowEvent* event) override;

private:
    bool placed_ = false;
};

} // namespace plotalon
