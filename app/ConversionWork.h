#pragma once
// One conversion of the source pane's text into a new target text, made ready on the GUI
// thread and carried out there or on a worker. What may change while it runs is copied: the
// settings and the prefix and suffix lines (the settings dialog stays usable). The source
// lines are read in place, so the source must not change until the run has ended.
//
// Beside every target line the run records the source line that produced it (none for the
// prefix and suffix lines), and it counts its progress in source lines: a cancel stops it
// between two blocks.

#include "editor/CodeEditLineOrigins.h"
#include "engine/ConvState.h"
#include "engine/LineSeams.h"
#include "platform/Progress.h"

#include <cstddef>
#include <string>

namespace plotalon {

class TConversionWork {
public:
    TConversionWork(const TConvSettings& settings, TLineVector prefix, TLineVector suffix,
                    const ILineSource& source);

    // The whole run into target; returns the completion status text. A faulty block ends it
    // with the error of TConversionRun::Block, the lines before it in target and origins,
    // and FailedLine() naming it; a cancel ends it with ECancelled.
    std::string Run(ILineSink& target, TCodeEditLineOrigins& origins, TProgress& progress);

    // Index of the source line a fault stopped the run at.
    std::size_t FailedLine() const { return failed_; }

private:
    const TConvSettings settings_;
    const TLineVector prefix_;
    const TLineVector suffix_;
    const ILineSource& source_;
    TModalState state_;
    std::size_t failed_ = 0;
};

} // namespace plotalon
