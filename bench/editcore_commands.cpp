// Editing-core speed on an NC text of realistic size: typing, undoing a run of typing,
// deleting and restoring the whole text, pasting a block, and bracket matching over the text.

#include <benchmark/benchmark.h>

#include "editor/core/CodeEditCore.h"

#include <string>

namespace {

using namespace plotalon;

void Fill(TCodeEditCore& core, int lines) {
    for (int i = 0; i < lines; ++i)
        core.Lines().AddLine("N" + std::to_string(i * 10) + " G01 X" + std::to_string(i % 97) +
                             ".5 Y-" + std::to_string(i % 31) + " (step)");
}

// Characters typed in the middle of a long text, then undone in one step.
void BM_TypeAndUndo(benchmark::State& state) {
    const int typed = static_cast<int>(state.range(0));
    TCodeEditCore core;
    Fill(core, 10000);
    for (auto _ : state) {
        core.SetCaretXY({5, 5000});
        for (int i = 0; i < typed; ++i)
            core.ExecuteCommand(ecChar, 'A');
        core.ExecuteCommand(ecUndo);
    }
    state.SetItemsProcessed(state.iterations() * typed);
}
BENCHMARK(BM_TypeAndUndo)->Arg(100)->Arg(1000);

// Select all, delete, undo, redo, undo: the whole text is taken and put back each time.
void BM_DeleteAllAndUndo(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    TCodeEditCore core;
    Fill(core, lines);
    for (auto _ : state) {
        core.ExecuteCommand(ecSelectAll);
        core.ExecuteCommand(ecDeleteChar);
        core.ExecuteCommand(ecUndo);
        core.ExecuteCommand(ecRedo);
        core.ExecuteCommand(ecUndo);
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_DeleteAllAndUndo)->Arg(1000)->Arg(10000);

// A copied block of many lines pasted into the text in each mode, then undone.
void BM_PasteBlock(benchmark::State& state) {
    const auto mode = static_cast<TCodeSelectionMode>(state.range(0));
    TCodeEditCore core;
    Fill(core, 10000);
    core.SetSelection({1, 100}, {1, 2100});
    core.SetSelectionMode(mode);
    core.ExecuteCommand(ecCopy);
    core.SetSelectionMode(TCodeSelectionMode::smNormal);
    for (auto _ : state) {
        core.SetCaretXY({3, 5000});
        core.ExecuteCommand(ecPaste);
        core.ExecuteCommand(ecUndo);
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_PasteBlock)->Arg(0)->Arg(1)->Arg(2);

// The partner of a bracket at the start is searched through the whole text.
void BM_MatchBracketAcrossText(benchmark::State& state) {
    TCodeEditCore core;
    core.Lines().AddLine("[");
    Fill(core, 10000);
    core.Lines().AddLine("]");
    for (auto _ : state) {
        core.SetCaretXY({1, 1});
        core.ExecuteCommand(ecMatchBracket);
        benchmark::DoNotOptimize(core.CaretXY());
    }
    state.SetBytesProcessed(state.iterations() * 10000 * 40);
}
BENCHMARK(BM_MatchBracketAcrossText);

} // namespace
