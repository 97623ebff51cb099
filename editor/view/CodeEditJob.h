#pragma once
// Long work on one editor pane, off the GUI thread: loading a file into it, saving it, or
// building a whole new text for it (a conversion run into the target pane). Each pane owns
// one (TCodeEdit::Job()), so there is one job per pane at a time; a second start is
// refused. While a job runs the pane is read-only, so that neither the lines a save reads
// nor edits that an adopted text would replace can change under it; the pane's own
// read-only state comes back at the end. A new text is built in a detached list (tab width
// and highlighter kind of the pane) and adopted in one step, so a cancelled or failed job
// leaves the pane as it was.
//
// Lines changed behind the pane's back (a program clearing it, say) are not held off; the
// window keeps such commands disabled while Busy().

#include "editor/CodeEditDetachedLines.h"
#include "platform/qt/WorkerJob.h"

#include <functional>
#include <string>

namespace plotalon {

class TCodeEdit;

class TCodeEditJob {
public:
    using TOutcome = TWorkerJob::TOutcome;
    using TEnd = TWorkerJob::TEnd;
    using TFinish = std::function<void(const TOutcome& outcome)>;
    // Fills the detached list (Lines(), or the engine's AppendLine on it) on the worker.
    using TBuild = std::function<void(TCodeEditDetachedLines& lines, TProgress& progress)>;

    // Which ends of a build put its lines into the pane.
    enum class TAdoptOn {
        Completion,          // a failed build leaves the pane as it was
        CompletionOrFailure, // a failed build shows the lines it made before the error
    };

    // Where the work runs. Work too small to be worth a thread runs at once on the caller's
    // thread, through the same steps: the result is the worker's, the start returns after
    // the finish, and an error of the finish reaches the caller.
    enum class TRunOn { Worker, Caller };

    explicit TCodeEditJob(TCodeEdit& pane);
    // A running job is abandoned.
    ~TCodeEditJob();
    TCodeEditJob(const TCodeEditJob&) = delete;
    TCodeEditJob& operator=(const TCodeEditJob&) = delete;

    // Each returns false, and starts nothing, while a job runs. finish runs on the GUI
    // thread after the pane has taken the result.
    // Reads the file (progress: bytes of the file size); errors as TCodeEdit::LoadFile.
    bool StartLoad(const std::string& path, TFinish finish, TRunOn runOn = TRunOn::Worker);
    // Writes the lines (progress: lines written); a cancel keeps the old file.
    bool StartSave(const std::string& path, TLineBreakFormat format, TFinish finish,
                   TRunOn runOn = TRunOn::Worker);
    // highlighter: the one the pane takes with the new text, its ranges stored as the lines
    // are built by one of its kind; nullptr: the pane keeps its own, and one of its kind
    // stores them.
    bool StartBuild(TBuild build, TAdoptOn adoptOn, TFinish finish,
                    TCodeCustomHighlighter* highlighter = nullptr, TRunOn runOn = TRunOn::Worker);

    void Cancel() { job_.Cancel(); }
    // Waits up to timeout for the running job to end, blocking this thread; a job that ends
    // in time settles and finishes before this returns. True when no job runs any more.
    bool EndWithin(std::chrono::milliseconds timeout) { return job_.EndWithin(timeout); }
    // Stops a running job and waits for its thread: the pane keeps its lines, its read-only
    // state comes back, and the finish does not run.
    void Abandon();
    bool Busy() const { return job_.Running(); }
    const TProgress& Progress() const { return job_.Progress(); }
    // Called about every 30 ms while a job runs.
    std::function<void(const TProgress& progress)>& OnProgress() { return job_.OnProgress; }

private:
    // settle runs first on the GUI thread, with the pane writable again, then finish.
    bool Run(TWorkerJob::TWork work, TFinish settle, TFinish finish, TRunOn runOn);

    TCodeEdit& pane_;
    TWorkerJob job_;
    bool wasReadOnly_ = false;
};

} // namespace plotalon
