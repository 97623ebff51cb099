#include "app/ConversionWork.h"

#include "engine/ConversionRun.h"

#include <utility>

namespace plotalon {

namespace {

// Passes every line on and records which source line the run was reading when it came.
class TTracingSink : public ILineSink {
public:
    TTracingSink(ILineSink& target, TCodeEditLineOrigins& origins)
        : Target(target), Origins(origins) {}
    void Trace(const TConversionRun& run) { Run = &run; }
    void AppendLine(std::string_view line) override {
        Target.AppendLine(line);
        Origins.Append(Run->SourceLine());
    }

private:
    ILineSink& Target;
    TCodeEditLineOrigins& Origins;
    const TConversionRun* Run = nullptr;
};

// Lines between two looks at the progress: the cancel answers within a fraction of a
// millisecond, and the look costs nothing measurable.
constexpr std::size_t kProgressStep = 1024;

} // namespace

TConversionWork::TConversionWork(const TConvSettings& settings, TLineVector prefix,
                                 TLineVector suffix, const ILineSource& source)
    : Settings(settings), Prefix(std::move(prefix)), Suffix(std::move(suffix)), Source(source) {}

std::string TConversionWork::Run(ILineSink& target, TCodeEditLineOrigins& origins,
                                 TProgress& progress) {
    TTracingSink traced(target, origins);
    TConversionRun run(Settings, State, traced);
    traced.Trace(run);
    const std::size_t count = Source.LineCount();
    progress.SetTotal(static_cast<std::int64_t>(count));
    std::string status;
    try {
        run.Begin(Prefix);
        // Block by block as TConversionRun::Execute goes, with a look at the progress between.
        for (std::size_t i = 0; i < count && !run.Ended(); ++i) {
            if (i % kProgressStep == 0) {
                progress.SetDone(static_cast<std::int64_t>(i));
                progress.ThrowIfCancelled();
            }
            run.Block(Source.LineAt(i));
        }
        status = run.Finish(Suffix);
    } catch (...) {
        Failed = run.FailedLine();
        throw;
    }
    progress.SetDone(static_cast<std::int64_t>(count));
    return status;
}

} // namespace plotalon
