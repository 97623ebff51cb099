#include "editor/view/CodeEditPaneStyle.h"

#include "editor/view/CodeEdit.h"
#include "platform/qt/Fonts.h"

namespace plotalon {

void ApplyNcPaneStyle(TCodeEdit& pane) {
    pane.SetFont(MakeFont(QStringLiteral("Courier New"), 12, fsBold));
    pane.SetFontColor(clNavy);
    pane.SetBorderStyle(TBorderStyle::bsNone);
    pane.SetScrollBars(TScrollStyle::ssVertical);
    TCodeGutter& gutter = pane.Gutter();
    gutter.SetShowLineNumbers(true);
    gutter.SetAutoSize(true);
    gutter.SetColor(16754492);
    gutter.SetFont(MakeFont(QStringLiteral("Terminal"), 8));
    gutter.SetFontColor(clWindowText);
    gutter.SetUseFontStyle(false);
}

} // namespace plotalon
