// What the settings dialog costs where it is used often or with much text: the memo lines
// that every conversion run takes, a keystroke in a numeric field with its validator, and
// loading the settings, with block files of a few lines and with a memo filled to its
// capacity.
#include "platform/ProgramFolder.h"
#include "platform/qt/Memo.h"
#include "settings/Unit2.h"

#include <QLineEdit>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <stdlib.h>

namespace {

using namespace plotalon;

// Memo text of about the given size, in HPGL lines of 16 bytes.
std::string BlockText(std::size_t bytes) {
    std::string text;
    while (text.size() + 16 <= bytes)
        text += "PA10000,20000;\r\n";
    return text;
}

void BM_PrefixLines(benchmark::State& state) {
    TForm_Einstellungen dialog;
    dialog.EVorspann->SetText(BlockText(std::size_t(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(dialog.PrefixLines());
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_PrefixLines)->Arg(64)->Arg(TMemo::kCapacity)->Unit(benchmark::kMicrosecond);

void BM_KeystrokeInField(benchmark::State& state) {
    TForm_Einstellungen dialog;
    bool grow = true;
    for (auto _ : state) {
        dialog.EFaktor->setText(grow ? QStringLiteral("10000") : QStringLiteral("1000"));
        grow = !grow;
    }
}
BENCHMARK(BM_KeystrokeInField);

class TFolder {
public:
    explicit TFolder(std::size_t blockBytes) {
        std::string pattern = (std::filesystem::temp_directory_path() / "plotalon-bench-XXXXXX");
        Path = mkdtemp(pattern.data());
        Write("main.ini", "[path]\r\nnc=/home/nc\r\nhpgl=/home/plt\r\n[convert]\r\nfactor=40\r\n"
                          "xmove=0\r\nymove=0\r\ndeg=5\r\ntype=1\r\n");
        Write("vorspann.plt", BlockText(blockBytes));
        Write("nachspann.plt", "SP0;\r\n");
    }
    ~TFolder() { std::filesystem::remove_all(Path); }
    void Write(const char* name, const std::string& bytes) {
        std::ofstream(Path + "/" + name, std::ios::binary) << bytes;
    }
    std::string Path;
};

void BM_LoadSettings(benchmark::State& state) {
    TFolder folder{std::size_t(state.range(0))};
    TProgramFolderOverride program(folder.Path);
    TForm_Einstellungen dialog;
    for (auto _ : state)
        dialog.LoadSettings();
}
BENCHMARK(BM_LoadSettings)->Arg(64)->Arg(TMemo::kCapacity)->Unit(benchmark::kMicrosecond);

} // namespace
