#pragma once
// Boxes over the plot's steps in their order, so that drawing and hit testing visit only what
// a view can show: a leaf covers kLeafSteps consecutive steps, a node of the next level
// kFanout nodes of the level below. A box holds every point its steps pass through (their
// start included), and a node knows which drawing layers its steps use.
//
// A tool path runs on from where it stopped, so consecutive steps lie close together and the
// boxes stay small: a view culls whole nodes that lie outside it, and a node smaller than a
// pixel is drawn as that pixel without visiting its steps.

#include <cstdint>
#include <vector>

#include "preview/HpglPlot.h"

namespace plotalon {

class TPlotIndex {
public:
    static constexpr std::size_t kLeafSteps = 32;
    static constexpr std::size_t kFanout = 8;

    struct TNode {
        TPlotBounds Box;
        std::uint16_t Layers = 0; // bit n: layer n (LayerOf) has steps here
    };

    TPlotIndex() = default;
    explicit TPlotIndex(const TPlot& plot);

    // Level 0 are the leaves; the last level has at most kFanout nodes. None for an empty plot.
    std::size_t LevelCount() const { return levels_.size(); }
    const std::vector<TNode>& Level(std::size_t level) const { return levels_[level]; }
    // The steps under node i of a level: [First, Last).
    TStepRange StepsUnder(std::size_t level, std::size_t i) const;
    // The stroke that holds the first step of leaf i.
    std::size_t LeafStroke(std::size_t leaf) const { return leafStrokes_[leaf]; }
    // Every layer the plot uses.
    std::uint16_t Layers() const;

private:
    std::size_t stepCount_ = 0;
    std::vector<std::vector<TNode>> levels_;
    std::vector<std::size_t> leafStrokes_;
};

} // namespace plotalon
