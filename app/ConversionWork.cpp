#include "app/ConversionWork.h"

#include "engine/ConversionRun.h"

#include <utility>

namespace plotalon {

namespace {

// Passes every line on and records which source line the run was reading when it came.
class TTracingSink : public ILineSink {
public:
    TTracingSink(ILineSink& target, TCodeEditLineOrigins& origins)
        : target_(target), origins_(origins) {}
    void Trace(const TConversionRun& run) { run_ = &run; }
    void AppendLine(std::string_view line) override {
        target_.AppendLine(line);
        origins_.Append(run_->SourceLine());
    }

private:
    ILineSink& target_;
    TCodeEditLineOrigins& origins_;
    const TConversionRun* run_ = nullptr;
};

// Lines between two looks at the progress: the cancel answers within a fraction of a
// millisecond, and the look costs nothing measurable.
constexpr std::size_t kProgressStep = 1024;

} // namespace

TConversionWork::TConversionWork(const TConvSettings& settings, TLineVector prefix,
                                 TLineVector suffix, const ILineSource& source)
    : settings_(settings), prefix_(std::move(prefix)), suffix_(std::move(suffix)), source_(source) {
}

std::string TConversionWork::Run(ILineSink& target, TCodeEditLineOrigins& origins,
                                 TProgress& progress) {
    TTracingSink traced(target, origins);
    TConversionRun run(settings_, state_, traced);
    traced.Trace(run);
    const std::size_t count = source_.LineCount();
    progress.SetTotal(static_cast<std::int64_t>(count));
    std::string status;
    try {
        run.Begin(prefix_);
        // Block by block as TConversionRun::Execute goes, with a look at the progress between.
        for (std::size_t i = 0; i < count && !run.Ended(); ++i) {
            if (i % kProgressStep == 0) {
                progress.SetDone(static_cast<std::int64_t>(i));
                progress.ThrowIfCancelled();
            }
            run.Block(source_.LineAt(i));
        }
        status = run.Finish(suffix_);
    } catch (...) {
        failed_ = run.FailedLine();
        throw;
    }
    progress.SetDone(static_cast<std::int64_t>(count));
    return status;
}

} // namespace plotalon
