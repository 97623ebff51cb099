#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <thread>
#include <utility>

#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"
#include "tools/convert/ConvertCli.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plotalon {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

class ConvertCli : public ::testing::Test {
protected:
    ConvertCli() {
        Put(dir_ / "main.ini", "[path]\r\nnc=\r\n[convert]\r\nfactor=1000\r\nxmove=0\r\n"
                               "ymove=0\r\ndeg=45\r\ntype=1\r\n");
        Put(dir_ / "vorspann.plt", "IN;SP1;");
        Put(dir_ / "nachspann.plt", "SP0;\r\n");
        Put(dir_ / "in.nc", "G0 X0 Y0\nG1 Z-1\r\nG1 X10\rG3 X20 Y0 R5\nG0 Z5\nM30\n");
    }

    int Run(std::vector<std::string> args) {
        out_.str("");
        err_.str("");
        return RunConvertCli(args, dir_.string() + "/", out_, err_);
    }

    test::TTempDir temp_;
    fs::path dir_{temp_.Folder()};
    std::ostringstream out_, err_;
};

const char* const kExample = "IN;SP1;\r\nPU0,0;\r\nPD;\r\nPA10000,0;\r\nPA11464,-3536;\r\n"
                             "PA15000,-5000;\r\nPA18536,-3536;\r\nPA20000,0;\r\nSP0;\r\n";

TEST_F(ConvertCli, CompleteExampleByteForByte) {
    EXPECT_EQ(Run({"-o", (dir_ / "out.plt").string(), (dir_ / "in.nc").string()}), 0);
    EXPECT_EQ(Slurp(dir_ / "out.plt"), kExample);
    EXPECT_EQ(err_.str(), "HPGL1-Konvertierung beendet\n");
    EXPECT_EQ(out_.str(), "");
    // Without -o the same bytes go to standard output.
    EXPECT_EQ(Run({(dir_ / "in.nc").string()}), 0);
    EXPECT_EQ(out_.str(), kExample);
}

TEST_F(ConvertCli, OptionsOverrideOneValueEach) {
    Put(dir_ / "pre.txt", "A\nB");
    EXPECT_EQ(Run({"--settings", dir_.string(), "--type", "2", "--factor", "1", "--xmove", "5",
                   "--prefix", (dir_ / "pre.txt").string(), (dir_ / "in.nc").string()}),
              0);
    EXPECT_EQ(out_.str(), "A\r\nB\r\nPU5,0;\r\nPD;\r\nPA15,0;\r\nAT20,-5,25,0;\r\nSP0;\r\n");
    EXPECT_EQ(err_.str(), "HPGL2-Konvertierung beendet\n");
}

TEST_F(ConvertCli, MissingSettingsReadAsZero) {
    const fs::path empty = dir_ / "empty";
    fs::create_directories(empty);
    Put(dir_ / "lines.nc", "G0 X1 Y1\nG1 X2\n");
    EXPECT_EQ(Run({"--settings", empty.string(), (dir_ / "lines.nc").string()}), 0);
    EXPECT_EQ(out_.str(), "PU0,0;\r\nPD0,0;\r\n");
    EXPECT_EQ(err_.str(), "HPGL2-Konvertierung beendet\n");
}

TEST_F(ConvertCli, FaultNamesTheLineAndLeavesTheOutputAlone) {
    Put(dir_ / "bad.nc", "G0 X0 Y0\nG1 Z-1\nG2 X5 Y0\nG1 X1\n");
    Put(dir_ / "out.plt", "old");
    EXPECT_EQ(Run({"-o", (dir_ / "out.plt").string(), (dir_ / "bad.nc").string()}), 1);
    EXPECT_EQ(err_.str(), "Zeile 3: Gleitkommadivision durch Null\n");
    EXPECT_EQ(Slurp(dir_ / "out.plt"), "old");
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(Run({"-o", (dir_ / "new.plt").string(), (dir_ / "bad.nc").string()}), 1);
    EXPECT_FALSE(fs::exists(dir_ / "new.plt"));
}

TEST_F(ConvertCli, BadCallsExitWithTwoAndAMessage) {
    const std::string in = (dir_ / "in.nc").string();
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{}, "Keine Eingabedatei"},
        {{(dir_ / "nope.nc").string()},
         "kann nicht geöffnet werden (Datei oder Ordner nicht vorhanden)"},
        {{dir_.string()}, "kann nicht geöffnet werden (Ist ein Ordner)"}, // a folder is no input
        {{"--factor", "12.5", in}, "Ungültige Zahl für --factor: 12.5"},
        {{"--deg", "99999999999", in}, "Ungültige Zahl für --deg"},
        {{"--type"}, "erwartet einen Wert"},
        {{"--bogus", "1", in}, "Unbekannte Option"},
        {{in, in}, "Nur eine Eingabedatei"},
        {{"--prefix", (dir_ / "nope.plt").string(), in}, "kann nicht geöffnet werden"},
        {{"-o", (dir_ / "no-such-dir" / "x.plt").string(), in},
         "kann nicht erstellt werden (Datei oder Ordner nicht vorhanden)"},
        // a folder stays a folder
        {{"-o", dir_.string(), in}, "kann nicht erstellt werden (Ist ein Ordner)"},
        {{"-o", "/dev/full", in}, "/dev/full kann nicht erstellt werden (Datenträger voll)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        EXPECT_EQ(Run(c.args), 2);
        EXPECT_NE(err_.str().find(c.says), std::string::npos) << err_.str();
    }
    EXPECT_EQ(Run({"--help"}), 0);
    for (const char* text :
         {"--settings", "Auflösung", "Bögen", "vollständig", "Rückgabewerte", "--nc-mode",
          "--pen-z", "--pen-from", "--tool-pens", "--drill-marks", "AT-Befehl", "Millimeter"})
        EXPECT_NE(out_.str().find(text), std::string::npos) << text;
}

// The standard reading comes from the options or from main.ini; without either the literal
// reading gives exactly what it always gave.
TEST_F(ConvertCli, StandardReadingFromOptionsOrSettings) {
    Put(dir_ / "cam.nc", "%\nG21 G90\nG00 X0 Y0 Z1.\nG01 Z-1. F100\nG01 X10.\n"
                         "G02 X20 Y0 I5 J0\nG00 Z5.\nM30\n%\n");
    const std::string cam = (dir_ / "cam.nc").string();
    const std::string literal = "IN;SP1;\r\nPU0,0;\r\nPU10000,0;\r\nPU20000,0;\r\nSP0;\r\n";
    const std::string standard =
        "IN;SP1;\r\nPU0,0;\r\nPD;\r\nPA10000,0;\r\nPA11464,3536;\r\n"
        "PA15000,5000;\r\nPA18536,3536;\r\nPA20000,0;\r\nPU20000,0;\r\nSP0;\r\n";
    EXPECT_EQ(Run({cam}), 0);
    EXPECT_EQ(out_.str(), literal);
    EXPECT_EQ(Run({"--nc-mode", "standard", cam}), 0);
    EXPECT_EQ(out_.str(), standard);

    Put(dir_ / "main.ini", "[convert]\r\nfactor=1000\r\ndeg=45\r\ntype=1\r\nncmode=1\r\n"
                           "penz=-1500\r\npensource=0\r\ntoolpens=1\r\ndrillmarks=1\r\n");
    EXPECT_EQ(Run({cam}), 0);
    EXPECT_EQ(out_.str(),
              "IN;SP1;\r\nPU0,0;\r\nPU10000,0;\r\nPU20000,0;\r\nSP0;\r\n"); // Z-1 is above -1.5
    EXPECT_EQ(Run({"--pen-z", "-1", cam}), 0);
    EXPECT_EQ(out_.str(), standard);
    EXPECT_EQ(Run({"--pen-from", "spindle", cam}), 0);
    EXPECT_EQ(out_.str(), "IN;SP1;\r\nPU0,0;\r\nPU10000,0;\r\nPU20000,0;\r\nSP0;\r\n"); // no M3
    EXPECT_EQ(Run({"--nc-mode", "literal", cam}), 0);
    EXPECT_EQ(out_.str(), literal);

    Put(dir_ / "holes.nc", "T3 M6\nG0 Z5\nG81 X1 Y1 Z-2 R1 F100\nG80\n");
    EXPECT_EQ(Run({"--pen-z", "0", (dir_ / "holes.nc").string()}), 0);
    EXPECT_EQ(out_.str(),
              "IN;SP1;\r\nSP3;\r\nPU0,0;\r\nPU1000,1000;\r\nPD;\r\nPU1000,1000;\r\nSP0;\r\n");
}

TEST_F(ConvertCli, StandardReadingFaultNamesTheLineAndWritesNothing) {
    Put(dir_ / "comp.nc", "G21\nG0 X0 Y0 Z-1\nG41 D1 G1 X10 F100\nG1 Y10\n");
    Put(dir_ / "out.plt", "old");
    EXPECT_EQ(Run({"--nc-mode", "standard", "-o", (dir_ / "out.plt").string(),
                   (dir_ / "comp.nc").string()}),
              1);
    EXPECT_EQ(err_.str(), "Zeile 3: G41 wird nicht unterstützt\n");
    EXPECT_EQ(Slurp(dir_ / "out.plt"), "old");
    EXPECT_EQ(Run({"--nc-mode", "standard", (dir_ / "comp.nc").string()}), 1);
    EXPECT_EQ(out_.str(), "");

    const std::string in = (dir_ / "in.nc").string();
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"--nc-mode", "rs274", in},
         "Ungültiger Wert für --nc-mode: rs274 (erlaubt: literal oder standard)"},
        {{"--pen-from", "laser", in},
         "Ungültiger Wert für --pen-from: laser (erlaubt: z oder spindle)"},
        {{"--pen-z", "1,5", in}, "Ungültige Zahl für --pen-z: 1,5"},
        {{"--pen-z", "5000", in}, "Ungültige Zahl für --pen-z: 5000"},
        {{"--pen-z"}, "erwartet einen Wert"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        EXPECT_EQ(Run(c.args), 2);
        EXPECT_NE(err_.str().find(c.says), std::string::npos) << err_.str();
    }
}

TEST_F(ConvertCli, OutputThatIsTheInputIsRefused) {
    const std::string nc = Slurp(dir_ / "in.nc");
    fs::create_symlink("in.nc", dir_ / "link.nc");
    fs::create_hard_link(dir_ / "in.nc", dir_ / "hard.nc");
    for (const fs::path& output :
         {dir_ / "in.nc", dir_ / "link.nc", dir_ / "hard.nc", dir_ / "." / "in.nc"}) {
        SCOPED_TRACE(output);
        EXPECT_EQ(Run({"-o", output.string(), (dir_ / "in.nc").string()}), 2);
        EXPECT_EQ(err_.str(),
                  "plotalon-convert: Ausgabedatei ist die Eingabedatei: " + output.string() + "\n");
        EXPECT_EQ(Slurp(dir_ / "in.nc"), nc);
    }
    EXPECT_EQ(Run({"-o", (dir_ / "link.nc").string(), (dir_ / "hard.nc").string()}), 2);
    EXPECT_EQ(Slurp(dir_ / "in.nc"), nc);
}

// Collects what reaches a FIFO while the converter runs. It holds a write end of its own,
// so that its reads never see an end before the converter has come and gone.
class TFifoReader {
public:
    explicit TFifoReader(const fs::path& fifo)
        : reader_(open(fifo.c_str(), O_RDONLY | O_NONBLOCK)),
          keeper_(open(fifo.c_str(), O_WRONLY | O_NONBLOCK)), thread_([this] { Collect(); }) {}
    // Everything received, once the converter has finished.
    std::string Finish() {
        close(keeper_);
        thread_.join();
        close(reader_);
        return received_;
    }

private:
    void Collect() {
        char buffer[65536];
        for (;;) {
            pollfd ready{reader_, POLLIN, 0};
            poll(&ready, 1, 1000);
            const ssize_t n = read(reader_, buffer, sizeof buffer);
            if (n == 0) return; // every writer has gone
            if (n > 0) received_.append(buffer, static_cast<std::size_t>(n));
        }
    }
    int reader_, keeper_;
    std::string received_;
    std::thread thread_;
};

TEST_F(ConvertCli, FifoOutputGetsTheTextOnlyWhenTheRunSucceeds) {
    const fs::path fifo = dir_ / "plotter";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Megabytes of output before the fault: more than the converter collects before it
    // writes to a file.
    std::string longBad = "G0 X0 Y0\nG1 Z-1\n";
    for (int i = 0; i < 150000; ++i)
        longBad += "G1 X1\nG1 X2\n";
    Put(dir_ / "bad.nc", longBad + "G2 X5 Y0\n");
    const struct {
        const char* input;
        int code;
        std::string received;
    } cases[] = {{"in.nc", 0, kExample}, {"bad.nc", 1, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        TFifoReader reader(fifo);
        EXPECT_EQ(Run({"-o", fifo.string(), (dir_ / c.input).string()}), c.code);
        const std::string received = reader.Finish();
        EXPECT_TRUE(received == c.received) << received.size() << " bytes received";
        EXPECT_TRUE(fs::is_fifo(fifo));
    }
}

// As an unprivileged user, so that a regression fails to rename in /dev instead of deleting
// the machine's /dev/null.
TEST_F(ConvertCli, DevNullStaysTheDevice) {
    ASSERT_TRUE(test::GiveToUnprivilegedUser(dir_.string())); // the input lies in it
    EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                  const int code = Run({"-o", "/dev/null", (dir_ / "in.nc").string()});
                  return code == 0 ? "" : "exit " + std::to_string(code) + ": " + err_.str();
              }),
              "");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// More output than the converter holds in memory: standard output gets it from the staging
// file after a successful run, and nothing at all when the run faults at its end.
TEST_F(ConvertCli, StandardOutputGetsLongTextOnlyWhenTheRunSucceeds) {
    std::string program = "G0 X0 Y0\nG1 Z-1\n";
    for (int i = 0; i < 100000; ++i)
        program += "G1 X1\nG1 X2\n";
    Put(dir_ / "long.nc", program);
    Put(dir_ / "bad.nc", program + "G2 X5 Y0\n");
    EXPECT_EQ(Run({"-o", (dir_ / "long.plt").string(), (dir_ / "long.nc").string()}), 0);
    const std::string expected = Slurp(dir_ / "long.plt");
    ASSERT_GT(expected.size(), 2u << 20);
    EXPECT_EQ(Run({(dir_ / "long.nc").string()}), 0);
    EXPECT_TRUE(out_.str() == expected) << out_.str().size() << " bytes";
    EXPECT_EQ(Run({(dir_ / "bad.nc").string()}), 1);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str(), "Zeile 200003: Gleitkommadivision durch Null\n");

    // Without a usable temporary folder the long text cannot be staged: a clear error and no
    // output; a short one still fits in memory.
    const char* const tmpdir = std::getenv("TMPDIR");
    const std::string saved = tmpdir ? tmpdir : "";
    setenv("TMPDIR", (dir_ / "no-such-dir").c_str(), 1);
    EXPECT_EQ(Run({(dir_ / "long.nc").string()}), 2);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(err_.str().find("Zwischendatei in"), std::string::npos) << err_.str();
    EXPECT_EQ(Run({(dir_ / "in.nc").string()}), 0);
    EXPECT_EQ(out_.str(), kExample);
    if (tmpdir)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

TEST_F(ConvertCli, ArbitraryBytesConvertOrFaultCleanly) {
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::string bytes(static_cast<std::size_t>(random() % 200000), '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() % 256);
        if (round % 2) bytes[0] = 'G'; // text before the first NUL
        Put(dir_ / "noise.nc", bytes);
        const int code = Run({(dir_ / "noise.nc").string()});
        EXPECT_TRUE(code == 0 || code == 1) << err_.str();
    }
}

TEST(SplitSourceText, EveryLineBreakStyleEndsALine) {
    using L = std::vector<std::string>;
    const struct {
        std::string bytes;
        L lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb", {"a", "b"}}, // a lone CR ends its line; the byte after it stays
        {"a\r\r\nb", {"a", "", "b"}},
        {"\n\n", {"", ""}},
        {std::string("a\nb\0c\nd", 7), {"a", "b"}}, // NUL ends the text
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitSourceText(c.bytes), c.lines);
}

// The lines of bytes fed to a splitter in random pieces of 1 to longest bytes.
std::vector<std::string> SplitInPieces(const std::string& bytes, std::mt19937& random,
                                       unsigned longest) {
    std::vector<std::string> lines;
    TSourceLineSplitter splitter;
    const auto keep = [&](std::string_view line) { lines.emplace_back(line); };
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t piece = std::min<std::size_t>(1 + random() % longest, bytes.size() - at);
        splitter.Feed(std::string_view(bytes).substr(at, piece), keep);
        at += piece;
    }
    splitter.End(keep);
    return lines;
}

// The converter reads its input in pieces: wherever a piece ends (between CR and LF, say),
// the lines are those of the whole text.
TEST(SourceLineSplitter, PiecesOfAnySizeGiveTheLinesOfTheWholeText) {
    std::mt19937 random(11);
    const std::string alphabet = "ab\r\n\r\n";
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 60, 'a');
        for (char& c : bytes)
            c = alphabet[random() % alphabet.size()];
        if (round % 10 == 0 && !bytes.empty()) bytes[random() % bytes.size()] = '\0';
        EXPECT_EQ(SplitInPieces(bytes, random, 5), SplitSourceText(bytes))
            << testing::PrintToString(bytes);
    }
}

// Line ends are found sixteen bytes at a time: long random texts with line ends at every
// place in such a block, split in pieces, against the rule taken byte by byte.
TEST(SourceLineSplitter, LongLinesSplitAsTheByteRuleSays) {
    const auto byRule = [](std::string_view bytes) {
        std::vector<std::string> lines;
        std::string line;
        bool open = false;
        for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\0'; ++i) {
            const char c = bytes[i];
            if (c == '\r' || c == '\n') {
                lines.push_back(std::exchange(line, {}));
                open = false;
                if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            } else {
                line += c;
                open = true;
            }
        }
        if (open) lines.push_back(line);
        return lines;
    };
    std::mt19937 random(18);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 400, 'x');
        const unsigned breaks = 1 + random() % 40;
        for (char& c : bytes) {
            const unsigned roll = random() % (breaks * 3);
            if (roll == 0)
                c = '\r';
            else if (roll == 1)
                c = '\n';
            else if (roll == 2 && random() % 50 == 0)
                c = '\0';
            else
                c = static_cast<char>('a' + random() % 26);
        }
        EXPECT_EQ(SplitInPieces(bytes, random, 100), byRule(bytes))
            << testing::PrintToString(bytes);
        EXPECT_EQ(SplitSourceText(bytes), byRule(bytes));
    }
}

} // namespace
} // namespace plotalon
