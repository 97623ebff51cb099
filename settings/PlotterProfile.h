#pragma once
// The plotter's settings in the settings file, section "plotter" (the sections "path" and
// "convert" stay as they are):
//
//   port       the device: /dev/ttyUSB0, /dev/ttyS0, /dev/usb/lp0 or a file (empty: none yet)
//   baud       9600; databits 8 (or 7); parity none, even or odd; stopbits 1 (or 2)
//   handshake  none, xonxoff, rtscts or query
//   block      256: bytes written at a time, and at most per buffer query
//   init       the set-up string sent first, "\e" standing for ESC (empty: none)
//   rangemin   -32768, rangemax 32767: the coordinates the plotter takes
//   timeout    5: seconds the plotter may take to answer a query
//
// A key that is missing or holds a value outside what it takes gives its default, so a
// settings file without the section gives the settings of a 16-bit plotter at 9600 8N1
// without handshake.

#include "sender/PlotterSettings.h"

namespace plotalon {

inline constexpr int kMaxTimeoutSeconds = 600;

// Reads section "plotter" of the settings file Reg names (Reg's folder and name are the
// caller's; the section is set here and left at "plotter").
TPlotterSettings ReadPlotterSettings();

// Writes every key of section "plotter". Throws Reg::EIniWriteError at the first write that
// fails; keys written before it stay.
void WritePlotterSettings(const TPlotterSettings& settings);

} // namespace plotalon
