#include "editor/view/CodeEditJob.h"

#include "editor/view/CodeEdit.h"

#include <memory>
#include <utility>

namespace plotalon {

TCodeEditJob::TCodeEditJob(TCodeEdit& pane) : Pane(pane) {}

TCodeEditJob::~TCodeEditJob() {
    if (Job.Running()) Pane.Core().SetReadOnly(WasReadOnly);
}

bool TCodeEditJob::Run(TWorkerJob::TWork work, TFinish settle, TFinish finish) {
    if (Job.Running()) return false;
    WasReadOnly = Pane.Core().ReadOnly();
    Pane.Core().SetReadOnly(true);
    return Job.Start(std::move(work), [this, settle = std::move(settle),
                                       finish = std::move(finish)](const TOutcome& outcome) {
        Pane.Core().SetReadOnly(WasReadOnly);
        if (settle) settle(outcome);
        if (finish) finish(outcome);
    });
}

bool TCodeEditJob::StartBuild(TBuild build, TAdoptOn adoptOn, TFinish finish) {
    if (Job.Running()) return false;
    auto lines =
        std::make_shared<TCodeEditDetachedLines>(Pane.Core().TabWidth(), Pane.Highlighter());
    // Without eoScrollPastEol the pane's scroll range needs the longest line: measured here,
    // adopting it costs nothing.
    const bool measure = !Pane.Core().HasOption(eoScrollPastEol);
    auto work = [lines, measure, build = std::move(build)](TProgress& progress) {
        build(*lines, progress);
        if (measure) lines->Lines().LongestLineLength();
    };
    auto adopt = [this, lines, adoptOn](const TOutcome& outcome) {
        if (outcome.End == TEnd::Completed ||
            (outcome.End == TEnd::Failed && adoptOn == TAdoptOn::CompletionOrFailure))
            Pane.AdoptLines(lines->Lines());
    };
    return Run(std::move(work), std::move(adopt), std::move(finish));
}

bool TCodeEditJob::StartLoad(const std::string& path, TFinish finish) {
    return StartBuild([path](TCodeEditDetachedLines& lines,
                             TProgress& progress) { lines.Lines().LoadFile(path, &progress); },
                      TAdoptOn::Completion, std::move(finish));
}

bool TCodeEditJob::StartSave(const std::string& path, TLineBreakFormat format, TFinish finish) {
    const TCodeEditStringList& lines = Pane.Lines();
    return Run(
        [&lines, path, format](TProgress& progress) { lines.SaveFile(path, format, &progress); },
        nullptr, std::move(finish));
}

} // namespace plotalon
