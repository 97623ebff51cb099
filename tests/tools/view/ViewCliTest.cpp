// plotalon-view as a user's shell runs it: what it says, its exit status, and what it leaves
// on disk when it fails.
#include "tests/support/RunTool.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

using test::RunTool;
using test::TTempDir;

const std::string kView = VIEW_PROGRAM;

TEST(ViewCli, HelpIsGermanAndNamesEveryOptionAndExitCode) {
    const auto run = RunTool(kView, {"--help"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    for (const char* text : {"Aufruf: plotalon-view", "--png BILD", "--scale N", "--lines N",
                             "--select X1,Y1,X2,Y2", "--plot", "--help", "Rückgabewerte:",
                             "0  angezeigt", "1  Datei nicht lesbar", "2  falscher Aufruf"})
        EXPECT_NE(run.Out.find(text), std::string::npos) << text;
}

TEST(ViewCli, ExitStatusTellsUsageFromFailure) {
    TTempDir dir;
    const std::string missing = dir.Path("fehlt.nc");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{}, 2, "plotalon-view: Keine Datei angegeben\n(--help zeigt den Aufruf)\n"},
        {{"a.nc", "--farbe", "rot"},
         2,
         "plotalon-view: Unbekannte Option: --farbe\n(--help zeigt den Aufruf)\n"},
        {{missing, "--png", dir.Path("a.png")},
         1,
         "plotalon-view: Datei " + missing +
             " kann nicht geöffnet werden (Datei oder Ordner nicht vorhanden)\n"},
        {{"--plot", missing, "--png", dir.Path("a.svg")},
         1,
         "plotalon-view: Datei " + missing +
             " kann nicht geöffnet werden (Datei oder Ordner nicht vorhanden)\n"},
    };
    for (const auto& c : cases) {
        const auto run = RunTool(kView, c.args);
        EXPECT_EQ(run.Status, c.status) << run.Err;
        // The toolkit may have its own say first (a missing runtime folder, say).
        EXPECT_TRUE(run.Err.ends_with(c.err)) << run.Err;
        EXPECT_EQ(run.Out, "");
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Folder()));
}

// `ulimit -v 300000`, as a user would set it: the text of 10 million empty lines, or a
// 1 GiB drawing (a sparse file, which costs no disk), does not fit.
TEST(ViewCli, OutOfMemoryIsReportedAndLeavesThePictureAlone) {
    if (test::kAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer cannot run under an address-space limit";
    TTempDir dir;
    const std::string text = dir.Write("leer.nc", std::string(10'000'000, '\n'));
    const std::string plot = dir.Path("riesig.plt");
    std::filesystem::resize_file(dir.Write("riesig.plt", ""), std::uintmax_t{1} << 30);
    const std::string old = "das Bild von gestern";
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{text, "--png", dir.Path("text.png")}, dir.Path("text.png")},
        {{"--plot", plot, "--png", dir.Path("plot.png")}, dir.Path("plot.png")},
        {{"--plot", plot, "--png", dir.Path("plot.svg")}, dir.Path("plot.svg")},
    };
    for (const auto& c : cases) {
        dir.Write(std::filesystem::path(c.out).filename().string(), old);
        const auto run = RunTool(kView, c.args, rlim_t{300'000} * 1024);
        EXPECT_EQ(run.Status, 1) << c.out << ": " << run.Err;
        EXPECT_NE(run.Err.find("plotalon-view: Zu wenig Arbeitsspeicher\n"), std::string::npos)
            << run.Err;
        EXPECT_EQ(run.Err.find("bad_alloc"), std::string::npos) << run.Err;
        EXPECT_EQ(TTempDir::Read(c.out), old);
    }
    // Nothing else left behind: no half-written picture under another name.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()),
                            std::filesystem::directory_iterator()),
              5);
}

} // namespace
} // namespace plotalon
