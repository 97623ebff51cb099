#include "editor/view/CodeEditJob.h"

#include "editor/view/CodeEdit.h"

#include <memory>
#include <utility>

namespace plotalon {

TCodeEditJob::TCodeEditJob(TCodeEdit& pane) : pane_(pane) {}

TCodeEditJob::~TCodeEditJob() {
    Abandon();
}

void TCodeEditJob::Abandon() {
    if (!job_.Running()) return;
    job_.Abandon();
    pane_.Core().SetReadOnly(wasReadOnly_);
}

bool TCodeEditJob::Run(TWorkerJob::TWork work, TFinish settle, TFinish finish, TRunOn runOn) {
    if (job_.Running()) return false;
    wasReadOnly_ = pane_.Core().ReadOnly();
    pane_.Core().SetReadOnly(true);
    auto end = [this, settle = std::move(settle),
                finish = std::move(finish)](const TOutcome& outcome) {
        pane_.Core().SetReadOnly(wasReadOnly_);
        if (settle) settle(outcome);
        if (finish) finish(outcome);
    };
    if (runOn == TRunOn::Worker) return job_.Start(std::move(work), std::move(end));
    TProgress progress;
    end(TWorkerJob::Perform(work, progress));
    return true;
}

bool TCodeEditJob::StartBuild(TBuild build, TAdoptOn adoptOn, TFinish finish,
                              TCodeCustomHighlighter* highlighter, TRunOn runOn) {
    if (job_.Running()) return false;
    auto lines = std::make_shared<TCodeEditDetachedLines>(
        pane_.Core().TabWidth(), highlighter != nullptr ? highlighter : pane_.Highlighter());
    // Without eoScrollPastEol the pane's scroll range needs the longest line: measured here,
    // adopting it costs nothing.
    const bool measure = !pane_.Core().HasOption(eoScrollPastEol);
    auto work = [lines, measure, build = std::move(build)](TProgress& progress) {
        build(*lines, progress);
        if (measure) lines->Lines().LongestLineLength();
    };
    auto adopt = [this, lines, adoptOn, highlighter](const TOutcome& outcome) {
        if (outcome.End == TEnd::Cancelled ||
            (outcome.End == TEnd::Failed && adoptOn == TAdoptOn::Completion))
            return;
        if (highlighter != nullptr)
            pane_.AdoptLines(lines->Lines(), highlighter);
        else
            pane_.AdoptLines(lines->Lines());
    };
    return Run(std::move(work), std::move(adopt), std::move(finish), runOn);
}

bool TCodeEditJob::StartLoad(const std::string& path, TFinish finish, TRunOn runOn) {
    return StartBuild([path](TCodeEditDetachedLines& lines,
                             TProgress& progress) { lines.Lines().LoadFile(path, &progress); },
                      TAdoptOn::Completion, std::move(finish), nullptr, runOn);
}

bool TCodeEditJob::StartSave(const std::string& path, TLineBreakFormat format, TFinish finish,
                             TRunOn runOn) {
    const TCodeEditStringList& lines = pane_.Lines();
    return Run(
        [&lines, path, format](TProgress& progress) { lines.SaveFile(path, format, &progress); },
        nullptr, std::move(finish), runOn);
}

} // namespace plotalon
