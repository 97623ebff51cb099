#pragma once
// The plot side of plotalon-view: the drawing of a saved PLT file, as the plotter would draw
// it, written as PNG or SVG (by the name's extension) or shown in the preview window. The PNG
// is painted by the same painter as the window, so it needs the application object.

#include <string>

class QWidget;

namespace plotalon {

// Writes the drawing of the HPGL file plt to out. Raises the file errors of reading plt and
// of creating out; an existing out survives a failure.
void WritePlotOfFile(const std::string& plt, const std::string& out);

// A preview window showing the drawing of the HPGL file plt, titled with its name. Raises the
// file error of reading it.
QWidget* MakePlotWindow(const std::string& plt);

} // namespace plotalon
