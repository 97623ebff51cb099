#pragma once
// Everything a preview shows of one HPGL text, read once: the plot, the commands it left out,
// the index for drawing and the statistics. Plain C++ without shared state, so a worker
// thread may read a model while the window still shows the one before.

#include <memory>
#include <stop_token>
#include <string>
#include <string_view>

#include "engine/LineSeams.h"
#include "preview/HpglReader.h"
#include "preview/PlotIndex.h"
#include "preview/PlotStatistics.h"

namespace plotalon {

struct TPlotModel {
    TPlot Plot;
    TIgnoredCommands Ignored;
    TPlotIndex Index;
    TPlotStatistics Statistics;
    std::uint64_t LineCount = 0;
};

// The model of what reader has read; the reader is left empty.
std::unique_ptr<TPlotModel> FinishPlotModel(THpglReader& reader);

// Every line of lines; nothing when stop was requested before the end.
std::unique_ptr<TPlotModel> ReadPlotModel(const ILineSource& lines, std::stop_token stop = {});

// A whole text, split into lines as THpglReader::ReadText does.
std::unique_ptr<TPlotModel> PlotModelOfText(std::string_view text);

// A file, or a pipe, read in pieces so that its text is never held whole. Raises EFOpenError
// when it cannot be opened and EInOutError ("Stream-Lesefehler") when reading fails.
std::unique_ptr<TPlotModel> ReadPlotModelFile(const std::string& path);

// "3 Befehle nicht ausgewertet: LT 2, PW 1"; empty when everything was evaluated (UTF-8).
std::string DescribeUnevaluated(const TIgnoredCommands& ignored);

} // namespace plotalon
