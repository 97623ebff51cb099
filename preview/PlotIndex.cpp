#include "preview/PlotIndex.h"

#include <algorithm>

#include "preview/PlotPicture.h"

namespace plotalon {

TPlotIndex::TPlotIndex(const TPlot& plot) : StepCount_(plot.StepCount()) {
    if (StepCount_ == 0) return;
    const std::vector<TPlotStroke>& strokes = plot.Strokes();
    const std::vector<TPlotStep>& steps = plot.Steps();
    std::vector<TNode> leaves((StepCount_ + kLeafSteps - 1) / kLeafSteps);
    LeafStrokes_.resize(leaves.size());
    std::size_t stroke = 0;
    for (std::size_t s = 0; s < StepCount_; ++s) {
        while (s >= strokes[stroke].FirstStep + strokes[stroke].StepCount)
            ++stroke;
        const std::size_t leaf = s / kLeafSteps;
        TNode& node = leaves[leaf];
        if (s % kLeafSteps == 0) {
            LeafStrokes_[leaf] = stroke;
            node.Box.Add(s == strokes[stroke].FirstStep ? strokes[stroke].Start : steps[s - 1].To);
        }
        node.Box.Add(steps[s].To);
        if (steps[s].IsArc()) node.Box.Add(plot.Arcs()[std::size_t(steps[s].Arc)].Bounds());
        node.Layers |= std::uint16_t(1u << LayerOf(strokes[stroke]));
    }
    Levels_.push_back(std::move(leaves));
    while (Levels_.back().size() > kFanout) {
        const std::vector<TNode>& below = Levels_.back();
        std::vector<TNode> level((below.size() + kFanout - 1) / kFanout);
        for (std::size_t i = 0; i < below.size(); ++i) {
            level[i / kFanout].Box.Add(below[i].Box);
            level[i / kFanout].Layers |= below[i].Layers;
        }
        Levels_.push_back(std::move(level));
    }
}

TStepRange TPlotIndex::StepsUnder(std::size_t level, std::size_t i) const {
    std::size_t span = kLeafSteps;
    for (std::size_t l = 0; l < level; ++l)
        span *= kFanout;
    return {i * span, std::min(StepCount_, (i + 1) * span)};
}

std::uint16_t TPlotIndex::Layers() const {
    std::uint16_t layers = 0;
    if (!Levels_.empty())
        for (const TNode& node : Levels_.back())
            layers |= node.Layers;
    return layers;
}

} // namespace plotalon
