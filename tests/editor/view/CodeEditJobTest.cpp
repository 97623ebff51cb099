// A pane that takes a whole text built elsewhere, and its jobs off the GUI thread: loading,
// saving and building a text, with progress, cancel and one job at a time.
#include "PaneFixture.h"

#include "editor/ncSyn.h"
#include "tests/editor/CountingNCSyn.h"
#include "tests/support/TempDir.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

namespace plotalon {
namespace {

using namespace plotalon::test;
using TOutcome = TCodeEditJob::TOutcome;
using TEnd = TCodeEditJob::TEnd;
using test::TCountingNCSyn;

std::string BlockText(int i) {
    return (i % 7 == 0 ? "\tG1 X" : "G1 X") + std::to_string(i) + (i % 10 == 0 ? " Y12.5" : "");
}

// A pane with text, a caret and selection away from the start, and a change to undo.
void Prepare(TCodeEdit& pane, TNCSyn& syn) {
    ShowPane(pane);
    pane.SetHighlighter(&syn);
    AddLines(pane, {"G0 X1", "G1 X2 Y3", "(alt)"});
    pane.Core().SetCaretXY({3, 2});
    pane.Core().ExecuteCommand(ecChar, 'Z');
    pane.Core().SetSelection({1, 1}, {4, 3});
    pane.Core().SetBookmark(1, {1, 3});
}

struct TPaneState {
    int Count, Digits, GutterWidth, TopLine, VerticalMax, HorizontalMax;
    TCodePoint Caret, BlockBegin, BlockEnd;
    bool CanUndo, CanRedo, Bookmark;
    std::vector<TCodeRange> Ranges;
    bool operator==(const TPaneState&) const = default;
    friend void PrintTo(const TPaneState& s, std::ostream* out) {
        *out << s.Count << " lines, " << s.Digits << " digits, gutter " << s.GutterWidth << ", top "
             << s.TopLine << ", scroll " << s.VerticalMax << "/" << s.HorizontalMax << ", caret "
             << s.Caret.X << "," << s.Caret.Y << ", block " << s.BlockBegin.X << ","
             << s.BlockBegin.Y << "-" << s.BlockEnd.X << "," << s.BlockEnd.Y << ", undo "
             << s.CanUndo << ", redo " << s.CanRedo << ", bookmark " << s.Bookmark;
    }
};

TPaneState StateOf(TCodeEdit& pane) {
    QApplication::processEvents(); // the scroll bars settle
    TPaneState s{pane.Lines().Count(),
                 pane.Gutter().CurrentDigitCount(),
                 pane.GutterWidth(),
                 pane.TopLine(),
                 pane.verticalScrollBar()->maximum(),
                 pane.horizontalScrollBar()->maximum(),
                 pane.Core().CaretXY(),
                 pane.Core().BlockBegin(),
                 pane.Core().BlockEnd(),
                 pane.Core().CanUndo(),
                 pane.Core().CanRedo(),
                 pane.Core().Bookmark(1).has_value(),
                 {}};
    for (int i = 0; i < pane.Lines().Count(); ++i)
        s.Ranges.push_back(pane.Lines().LineRange(i));
    return s;
}

// The pane and its picture after a million lines came one at a time, and after they came as
// one adopted list: the same, with or without a scroll range that follows the longest line.
TEST(CodeEditAdopt, AMillionAdoptedLinesEndLikeAMillionAppended) {
    constexpr int kLines = 1000000;
    for (bool pastEol : {true, false}) {
        TNCSyn appendedSyn, adoptedSyn;
        TCodeEdit appended, adopted;
        Prepare(appended, appendedSyn);
        Prepare(adopted, adoptedSyn);
        for (TCodeEdit* pane : {&appended, &adopted}) {
            TCodeEditOptions options = pane->Options();
            pane->SetOptions(pastEol ? options | eoScrollPastEol : options & ~eoScrollPastEol);
        }

        appended.Lines().ClearLines();
        for (int i = 0; i < kLines; ++i)
            appended.Lines().AddLine(BlockText(i));
        appended.Lines().AddLine(std::string(300, 'L'));

        TCodeEditDetachedLines built(adopted.Core().TabWidth(), adopted.Highlighter());
        for (int i = 0; i < kLines; ++i)
            built.Lines().AddLine(BlockText(i));
        built.Lines().AddLine(std::string(300, 'L'));
        adopted.AdoptLines(built.Lines());

        const TPaneState state = StateOf(adopted);
        EXPECT_EQ(state, StateOf(appended)) << pastEol;
        EXPECT_EQ(state.Digits, 7);
        EXPECT_FALSE(state.CanUndo);
        EXPECT_EQ(state.Caret, (TCodePoint{1, 1}));
        EXPECT_EQ(Shot(adopted), Shot(appended)) << pastEol;
        EXPECT_EQ(built.Lines().Count(), 3); // the former text, to be freed with the list
    }
}

class CodeEditJobTest : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        Prepare(pane_, syn_);
    }
    // Runs the event loop until the job's finish has run.
    std::optional<TOutcome> Wait() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return outcome_.has_value(); }, 10000));
        return outcome_;
    }
    TCodeEditJob::TFinish Finish() {
        return [this](const TOutcome& o) { outcome_ = o; };
    }
    std::vector<std::string> PaneLines() const {
        std::vector<std::string> lines;
        for (int i = 0; i < pane_.Lines().Count(); ++i)
            lines.emplace_back(pane_.Lines().LineAt(i));
        return lines;
    }

    TNCSyn syn_;
    test::TTempDir dir_;
    std::optional<TOutcome> outcome_;
};

std::string ErrorText(const TOutcome& outcome) {
    try {
        std::rethrow_exception(outcome.Error);
    } catch (const std::exception& error) {
        return error.what();
    }
}

TEST_F(CodeEditJobTest, LoadGivesWhatTheSynchronousLoadGives) {
    std::string bytes;
    for (int i = 0; i < 50000; ++i)
        bytes += BlockText(i) + (i == 7 ? "\n" : "\r\n");
    const std::string path = dir_.Write("teil.nc", bytes);

    ASSERT_TRUE(pane_.Job().StartLoad(path, Finish()));
    EXPECT_TRUE(pane_.Job().Busy());
    EXPECT_TRUE(pane_.Core().ReadOnly()); // no edit that the loaded text would throw away
    EXPECT_FALSE(pane_.Job().StartLoad(path, Finish()));
    EXPECT_FALSE(pane_.Job().StartSave(dir_.Path("x.nc"), TLineBreakFormat::LF, Finish()));
    ASSERT_TRUE(Wait());
    EXPECT_EQ(outcome_->End, TEnd::Completed);
    EXPECT_FALSE(pane_.Job().Busy());
    EXPECT_FALSE(pane_.Core().ReadOnly());
    EXPECT_EQ(pane_.Job().Progress().Percent(), 100);

    TNCSyn otherSyn;
    TCodeEdit synchronous;
    Prepare(synchronous, otherSyn);
    synchronous.LoadFile(path);
    EXPECT_EQ(StateOf(pane_), StateOf(synchronous));
    EXPECT_EQ(pane_.Lines().LineBreakFormat(), TLineBreakFormat::CRLF);
    EXPECT_EQ(pane_.Lines().LineAt(49999), BlockText(49999));
}

TEST_F(CodeEditJobTest, FailedLoadLeavesThePaneAsItWas) {
    const auto before = PaneLines();
    const std::string missing = dir_.Path("fehlt.nc");
    ASSERT_TRUE(pane_.Job().StartLoad(missing, Finish()));
    ASSERT_TRUE(Wait());
    EXPECT_EQ(outcome_->End, TEnd::Failed);
    EXPECT_EQ(ErrorText(*outcome_), "Datei " + missing + " kann nicht geöffnet werden");
    EXPECT_EQ(PaneLines(), before);
    EXPECT_TRUE(pane_.Core().CanUndo());
    EXPECT_FALSE(pane_.Core().ReadOnly());
}

// A build that runs until it is told to stop, having added two lines.
TCodeEditJob::TBuild HeldBuild(std::atomic<bool>& fail) {
    return [&fail](TCodeEditDetachedLines& lines, TProgress& progress) {
        lines.Lines().AddLine("PU0,0;");
        lines.Lines().AddLine("PD;");
        for (;;) {
            progress.ThrowIfCancelled();
            if (fail) throw EZeroDivide();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
}

TEST_F(CodeEditJobTest, CancelledOrFailedBuildAdoptsOnlyWhereAsked) {
    const auto before = PaneLines();
    std::atomic<bool> fail{false};
    using TAdoptOn = TCodeEditJob::TAdoptOn;

    ASSERT_TRUE(pane_.Job().StartBuild(HeldBuild(fail), TAdoptOn::CompletionOrFailure, Finish()));
    QTest::qWait(50);
    pane_.Job().Cancel();
    ASSERT_TRUE(Wait());
    EXPECT_EQ(outcome_->End, TEnd::Cancelled);
    EXPECT_EQ(PaneLines(), before);

    outcome_.reset();
    ASSERT_TRUE(pane_.Job().StartBuild(HeldBuild(fail), TAdoptOn::Completion, Finish()));
    fail = true;
    ASSERT_TRUE(Wait());
    EXPECT_EQ(outcome_->End, TEnd::Failed);
    EXPECT_EQ(PaneLines(), before);
    EXPECT_TRUE(pane_.Core().CanUndo());

    // A conversion shows the lines before its faulty block.
    outcome_.reset();
    ASSERT_TRUE(pane_.Job().StartBuild(HeldBuild(fail), TAdoptOn::CompletionOrFailure, Finish()));
    ASSERT_TRUE(Wait());
    EXPECT_EQ(ErrorText(*outcome_), "Gleitkommadivision durch Null");
    EXPECT_EQ(PaneLines(), (std::vector<std::string>{"PU0,0;", "PD;"}));
    EXPECT_EQ(pane_.Lines().LineRange(1), 0); // scanned where it was built
}

TEST_F(CodeEditJobTest, SaveWritesWhatTheSynchronousSaveWrites) {
    for (int i = 0; i < 20000; ++i)
        pane_.Lines().AddLine(BlockText(i));
    pane_.Core().SetReadOnly(true); // stays so after the job
    const std::string path = dir_.Write("ziel.plt", "alt\r\n");
    ASSERT_TRUE(pane_.Job().StartSave(path, TLineBreakFormat::CRLF, Finish()));
    EXPECT_FALSE(pane_.Job().StartSave(path, TLineBreakFormat::CRLF, Finish()));
    // The pane goes on painting and measuring lines while the worker reads them.
    for (int top = 1; top < 20000 && !outcome_; top += 997) {
        pane_.SetTopLine(top);
        pane_.viewport()->repaint();
        pane_.Lines().LongestLineLength();
    }
    ASSERT_TRUE(Wait());
    EXPECT_EQ(outcome_->End, TEnd::Completed);
    EXPECT_TRUE(pane_.Core().ReadOnly());
    const std::string reference = dir_.Path("reference.plt");
    pane_.Lines().SaveFile(reference, TLineBreakFormat::CRLF);
    EXPECT_EQ(test::TTempDir::Read(path), test::TTempDir::Read(reference));
}

// Work too small for a thread runs at once through the same steps: the pane ends as the
// worker leaves it, with the highlighter the build was given and no line scanned again.
TEST_F(CodeEditJobTest, ABuildOnTheCallersThreadEndsAsOnTheWorker) {
    using TRunOn = TCodeEditJob::TRunOn;
    auto build = [](TCodeEditDetachedLines& lines, TProgress&) {
        for (int i = 0; i < 30000; ++i)
            lines.Lines().AddLine(BlockText(i));
    };
    TNCSyn otherSyn;
    TCodeEdit other;
    Prepare(other, otherSyn);
    TCountingNCSyn workerSyn, callerSyn;
    ASSERT_TRUE(pane_.Job().StartBuild(build, TCodeEditJob::TAdoptOn::Completion, Finish(),
                                       &workerSyn, TRunOn::Worker));
    ASSERT_TRUE(Wait());
    std::optional<TOutcome> callerOutcome;
    ASSERT_TRUE(other.Job().StartBuild(
        build, TCodeEditJob::TAdoptOn::Completion,
        [&](const TOutcome& o) {
            EXPECT_FALSE(other.Job().Busy());
            callerOutcome = o;
        },
        &callerSyn, TRunOn::Caller));
    ASSERT_TRUE(callerOutcome); // ended before the start returned
    EXPECT_EQ(callerOutcome->End, TEnd::Completed);
    EXPECT_EQ(outcome_->End, TEnd::Completed);
    EXPECT_EQ(pane_.Highlighter(), &workerSyn);
    EXPECT_EQ(other.Highlighter(), &callerSyn);
    EXPECT_EQ(workerSyn.Scans + callerSyn.Scans, 0);
    EXPECT_FALSE(other.Core().ReadOnly());
    EXPECT_EQ(StateOf(pane_), StateOf(other));
    EXPECT_EQ(Shot(pane_), Shot(other));

    // An error of the finish reaches the caller, with the pane settled.
    EXPECT_THROW(other.Job().StartLoad(
                     dir_.Path("fehlt.nc"),
                     [](const TOutcome& o) { std::rethrow_exception(o.Error); }, TRunOn::Caller),
                 EFOpenError);
    EXPECT_FALSE(other.Job().Busy());
    EXPECT_FALSE(other.Core().ReadOnly());
    EXPECT_EQ(other.Lines().Count(), 30000);
}

TEST(CodeEditJob, PaneGoingAwayStopsItsJob) {
    std::atomic<bool> fail{false};
    bool finished = false;
    {
        TCodeEdit pane;
        ASSERT_TRUE(pane.Job().StartBuild(HeldBuild(fail), TCodeEditJob::TAdoptOn::Completion,
                                          [&](const TOutcome&) { finished = true; }));
        QTest::qWait(20);
    }
    QTest::qWait(50);
    EXPECT_FALSE(finished);
}

} // namespace
} // namespace plotalon
