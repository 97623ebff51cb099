#pragma once
// TInfo, the window "Info ": which program and version this is and how to reach its maker.
// Two columns on a light-blue panel: the version with a short description on the left, the
// contact data with a mail and a web button on the right, and "&Schließen" below. The
// addresses the buttons hand to the shell are their captions at the moment of the click.
//
// The program creates it once, with the main window as parent (the window the web link names
// to the shell), and shows it with ShowModal from "&Info" and from the program icon. Closing
// only hides it.

#include "controls/XPSpeedButton.h"
#include "platform/qt/Image.h"
#include "platform/qt/Shape.h"

#include <QDialog>
#include <QLabel>

namespace plotalon {

class TInfo : public QDialog {
public:
    explicit TInfo(QWidget* parent = nullptr);

    // Shows the window modally (through the platform's modal runner) until it is closed.
    void ShowModal();

    // The controls in creation order; later ones lie on top.
    TShape* Shape4;
    TXPSpeedButton* Email;
    TShape* Shape3;
    TShape* Shape5;
    TImage* Image1;
    QLabel* Label5;
    QLabel* Label8;
    QLabel* Name;
    QLabel* Label6;
    QLabel* Label9;
    QLabel* Telefon;
    QLabel* Telefax;
    TXPSpeedButton* Link;
    QLabel* Version;
    QLabel* Label13;
    TShape* Shape1;
    QLabel* Label2;
    TXPSpeedButton* Schliessen;
    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label4;

    void FormShow();
    void SchliessenClick();
    void LinkClick();
    void EmailClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* MakeLabel(const char* name, int x, int y, const QString& text, unsigned styles = 0);
    TShape* MakeShape(const char* name, QRect geometry, TColor fill);
    TXPSpeedButton* MakeButton(const char* name, QRect geometry, const char* caption,
                               std::string_view glyph, int margin);
};

} // namespace plotalon
