#pragma once
// Where the program's windows appear: centred once at their first showing (later showings
// keep the place the user left them at), and a modal window kept above a stay-on-top owner.

#include <QDialog>
#include <QWidget>

namespace plotalon {

// Moves window so that its centre is over the centre of over's window, or of the screen's
// available area when over is nullptr.
void CentreWindow(QWidget& window, const QWidget* over);

// Runs dialog modally (RunModal) above owner's window. A stay-on-top owner would cover a
// window that is not on top itself, so for as long as it is open the dialog stays on top as
// well and is the owner's transient child; afterwards it is as it was.
int RunModalAbove(QDialog& dialog, QWidget* owner);

} // namespace plotalon
