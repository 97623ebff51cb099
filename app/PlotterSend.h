#pragma once
// "An &Plotter senden ..." (Ctrl+P) of the main window: sends the HPGL lines of the target
// pane as they stand, CR LF after every line as in a PLT file, to the plotter of the saved
// settings (section "plotter" of the settings file in the program's folder).
//
// Before anything is sent every coordinate is checked against the plotter's range; the first
// line outside it is named, and the user may stop there. Then the progress window opens over
// parent, window-modal but not blocking: the sending runs on a thread of its own.

#include "engine/LineSeams.h"

class QWidget;

namespace plotalon {

class TSendProgress;

// The progress window, shown and sending (it deletes itself when closed); nullptr when the
// user stopped at the range check. Throws Exception when there is nothing to send, no port is
// set or the set-up string cannot be read; a port that cannot be opened fails in the window.
TSendProgress* SendToPlotter(const ILineSource& lines, QWidget* parent);

} // namespace plotalon
