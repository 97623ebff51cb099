#pragma once
// The look of the program's two panes, source and target: "Courier New" 12 points bold
// navy, no border, only the vertical scroll bar, and a gutter with line numbers of
// automatic width in 16754492, numbered in the pane's own font without its bold.

namespace plotalon {

class TCodeEdit;

void ApplyNcPaneStyle(TCodeEdit& pane);

} // namespace plotalon
