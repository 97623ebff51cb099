#include "preview/PlotIndex.h"

#include <algorithm>

#include "preview/PlotPicture.h"

namespace plotalon {

TPlotIndex::TPlotIndex(const TPlot& plot) : stepCount_(plot.StepCount()) {
    if (stepCount_ == 0) return;
    const std::vector<TPlotStroke>& strokes = plot.Strokes();
    const std::vector<TPlotStep>& steps = plot.Steps();
    std::vector<TNode> leaves((stepCount_ + kLeafSteps - 1) / kLeafSteps);
    leafStrokes_.resize(leaves.size());
    std::size_t stroke = 0;
    for (std::size_t s = 0; s < stepCount_; ++s) {
        while (s >= strokes[stroke].FirstStep + strokes[stroke].StepCount)
            ++stroke;
        const std::size_t leaf = s / kLeafSteps;
        TNode& node = leaves[leaf];
        if (s % kLeafSteps == 0) {
            leafStrokes_[leaf] = stroke;
            node.Box.Add(s == strokes[stroke].FirstStep ? strokes[stroke].Start : steps[s - 1].To);
        }
        node.Box.Add(steps[s].To);
        if (steps[s].IsArc()) node.Box.Add(plot.Arcs()[std::size_t(steps[s].Arc)].Bounds());
        node.Layers |= std::uint16_t(1u << LayerOf(strokes[stroke]));
    }
    levels_.push_back(std::move(leaves));
    while (levels_.back().size() > kFanout) {
        const std::vector<TNode>& below = levels_.back();
        std::vector<TNode> level((below.size() + kFanout - 1) / kFanout);
        for (std::size_t i = 0; i < below.size(); ++i) {
            level[i / kFanout].Box.Add(below[i].Box);
            level[i / kFanout].Layers |= below[i].Layers;
        }
        levels_.push_back(std::move(level));
    }
}

TStepRange TPlotIndex::StepsUnder(std::size_t level, std::size_t i) const {
    std::size_t span = kLeafSteps;
    for (std::size_t l = 0; l < level; ++l)
        span *= kFanout;
    return {i * span, std::min(stepCount_, (i + 1) * span)};
}

std::uint16_t TPlotIndex::Layers() const {
    std::uint16_t layers = 0;
    if (!levels_.empty())
        for (const TNode& node : levels_.back())
            layers |= node.Layers;
    return layers;
}

} // namespace plotalon
