#pragma once
// One shown editor pane as the main window has it, with the NC highlighter attached, on the
// platform the benchmark runs on (offscreen unless told otherwise).

#include "editor/ncSyn.h"
#include "editor/view/CodeEdit.h"
#include "editor/view/CodeEditPaneStyle.h"

#include <QApplication>

namespace plotalon::bench {

struct TShownPane {
    TNCSyn syn;
    TCodeEdit pane;
    TShownPane() {
        ApplyNcPaneStyle(pane);
        pane.SetHighlighter(&syn);
        pane.resize(960, 40 * pane.LineHeight());
        pane.show();
        QApplication::processEvents();
    }
};

} // namespace plotalon::bench
