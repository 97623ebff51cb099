// The converter's output must not change by one byte when its inner workings are made faster.
// These tests hold checksums of what it wrote before: for the benchmark program through
// plotalon-convert in both readings and both dialects, and for thousands of short seeded
// programs with odd words, odd numbers and random settings straight through the run, faults
// included. A checksum here changes only with a deliberate change of the output.
//
// The programs come from a generator of their own (splitmix64, integers written by hand), so
// that they are the same bytes with any standard library.

#include <cstdint>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "NcProgram.h"
#include "engine/ConversionRun.h"
#include "platform/Errors.h"
#include "tests/support/TempDir.h"
#include "tools/convert/ConvertCli.h"

namespace plotalon {
namespace {

// 64-bit FNV-1a.
class TChecksum {
public:
    void Add(std::string_view bytes) {
        for (const char c : bytes) {
            sum_ ^= static_cast<unsigned char>(c);
            sum_ *= 1099511628211u;
        }
    }
    std::uint64_t Value() const { return sum_; }

private:
    std::uint64_t sum_ = 14695981039346656037u;
};

class TChecksumSink : public ILineSink {
public:
    explicit TChecksumSink(TChecksum& sum) : Sum(sum) {}
    void AppendLine(std::string_view line) override {
        Sum.Add(line);
        Sum.Add("\n");
        ++Lines;
    }
    TChecksum& Sum;
    std::size_t Lines = 0;
};

class TRandom {
public:
    // Every draw is its own statement in the writers below: operands of + and the arguments
    // of one call are evaluated in an order each compiler picks, and the checksums must not
    // depend on the compiler. (The draws are in the order the first compiler happened to use.)
    explicit TRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }
    // lo .. hi, both included.
    std::int64_t Range(std::int64_t lo, std::int64_t hi) {
        return lo + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool Chance(int percent) { return Range(0, 99) < percent; }
    template <typename T, std::size_t N> const T& Pick(const T (&items)[N]) {
        return items[Range(0, N - 1)];
    }

private:
    std::uint64_t state_;
};

// value / 10^decimals as text: "-12.345", "5.000", "0.5"; leading zero and trailing zeros as
// written.
std::string Decimal(std::int64_t value, int decimals) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (decimals > 0) {
        if (digits.size() <= static_cast<std::size_t>(decimals))
            digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), ".");
    }
    return (value < 0 ? "-" : "") + digits;
}

// ---- The literal reading: anything goes, the reader must take every line as it stands ----

std::string LiteralNumber(TRandom& r) {
    static const char* const odd[] = {"",
                                      " ",
                                      "-",
                                      ".",
                                      "-.",
                                      "5.",
                                      ".5",
                                      "1 2.5",
                                      "- 5",
                                      "5-",
                                      "-1.25.3",
                                      "--5",
                                      "+5",
                                      " 7",
                                      "0",
                                      "-0",
                                      "0.0005",
                                      "-0.0005",
                                      "2.5",
                                      "-2.5",
                                      "0.0015",
                                      "1.9999999",
                                      "12 . 5",
                                      "3..",
                                      "0.00000000000000000000000000000012345",
                                      "123.4567890123456789012345",
                                      "0000000000000000000000000012.5"};
    // Beyond a 64-bit plotter coordinate once scaled: an invalid operation ends the run.
    static const char* const huge[] = {"9999999999999999999", "18446744073709551615",
                                       "1234567890123456789.5"};
    if (r.Range(0, 499) == 0) return r.Pick(huge);
    switch (r.Range(0, 5)) {
    case 0:
        return r.Pick(odd);
    case 1:
        return std::to_string(r.Range(-200, 200));
    default: {
        const int decimals = static_cast<int>(r.Range(0, 4));
        return Decimal(r.Range(-200000, 200000), decimals);
    }
    }
}

// A radius of at least one plotter unit at every factor but 0; now and then an odd one.
std::string LiteralRadius(TRandom& r) {
    if (r.Chance(3)) return LiteralNumber(r);
    const std::int64_t thousandths = r.Range(1000, 200000);
    const int decimals = static_cast<int>(r.Range(0, 3));
    return Decimal(r.Chance(30) ? -thousandths : thousandths, decimals);
}

std::string LiteralLine(TRandom& r) {
    static const char* const others[] = {"G0",   "G1",    "G2",    "G3",    "G00", "G01", "G02",
                                         "G03",  "G17",   "G21",   "G90",   "G40", "M3",  "M30",
                                         "F300", "N10",   "(MAX)", "(X Y)", "I5",  "J-5", "x10",
                                         ";",    "S1000", "G1G2",  "X",     "Y",   "%",   "\t"};
    static const char axes[] = {'X', 'Y', 'Y', 'X', 'Z', 'R'};
    std::string line;
    const auto pieces = r.Range(0, 5);
    for (std::int64_t k = 0; k < pieces; ++k) {
        if (!line.empty() && r.Chance(80)) line += ' ';
        if (r.Chance(45)) {
            line += r.Pick(others);
        } else {
            const char letter = r.Pick(axes);
            line += letter + (letter == 'R' ? LiteralRadius(r) : LiteralNumber(r));
        }
    }
    return line;
}

TConvSettings LiteralSettings(TRandom& r) {
    static const std::int32_t factors[] = {1000, 1000, 1, 10, 40, 7, 0, -1000};
    static const std::int32_t moves[] = {0, 0, 500, -250, 1};
    static const std::int32_t degrees[] = {10, 10, 1, 7, 45, 90, 360, 0, -5};
    static const std::uint8_t types[] = {1, 1, 2, 2, 0, 3};
    TConvSettings s;
    s.Factor = r.Pick(factors);
    s.XMove = r.Pick(moves);
    s.YMove = r.Pick(moves);
    s.Deg = r.Pick(degrees);
    s.HpglType = r.Pick(types);
    return s;
}

// ---- The standard reading: mostly what CAM systems write, now and then a fault ----

// Arcs are written right after a line that puts the tool at a known place in absolute
// coordinates with incremental centres, so that their ends lie exactly on their circles
// whatever came before.
class TStandardWriter {
public:
    explicit TStandardWriter(TRandom& r) : r_(r) {}

    std::string Line() {
        if (!queued_.empty()) return std::exchange(queued_, {});
        const bool feeding = std::exchange(feeding_, false);
        if (r_.Chance(1)) return r_.Pick(kFaults);
        if (r_.Chance(5)) return r_.Pick(kOther);
        std::string line = r_.Chance(20) ? "N" + std::to_string(r_.Range(1, 99999)) + " " : "";
        switch (r_.Range(0, 16)) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
            line += Feed(feeding);
            break;
        case 6:
        case 7:
            line += Rapid();
            break;
        case 8:
        case 9:
        case 10:
            line += ArcByRadius();
            break;
        case 11:
        case 12:
            line += ArcByCentre();
            break;
        case 13:
            line += Plunge();
            break;
        case 14:
            line += Cycle();
            break;
        case 15:
            line += r_.Pick(kModes);
            break;
        default:
            line += r_.Chance(50) ? r_.Pick(kMachine) : r_.Pick(kHome);
            break;
        }
        if (r_.Chance(10)) line += r_.Chance(50) ? " (G1 X5 naechster Schritt)" : " ; Ende";
        return line;
    }

private:
    static constexpr const char* kModes[] = {"G90", "G91",     "G90.1",           "G91.1",
                                             "G21", "G20 G90", "G21 G90 G94 G17", "G98",
                                             "G99", "G80",     "G40 G49"};
    static constexpr const char* kMachine[] = {"M3 S12000", "M4", "M5", "T2 M6",   "T0 M6",
                                               "T1 M06",    "M8", "M9", "G4 P0.5", "G64 P0.01"};
    static constexpr const char* kHome[] = {"G28", "G28 Z5", "G30 X0 Y0", "G53 G0 Z0",
                                            "G53 G1 X10 Y10"};
    static constexpr const char* kOther[] = {"",           "  ",  "N100",        "/G0 X1",
                                             "(nur Text)", "G54", "g1 x1.5 y-2", "\tG0\tX1"};
    static constexpr const char* kFaults[] = {"G41 D1",       "#1=5",     "G1 X[1+2]", "O100 SUB",
                                              "G1 X1 X2",     "G0 G1 X1", "G2 X1 Y1",  "G1 X1 N5",
                                              "G1 X1 (offen", "I5",       "G81 X1",    "G18",
                                              "X1.2.3",       "G1 X",     "G1 X1 &"};

    std::string Axis(char letter, std::int64_t thousandths) {
        std::string text(1, letter);
        if (r_.Chance(5)) text += ' ';
        const int decimals = static_cast<int>(r_.Range(0, 3));
        std::int64_t v = thousandths;
        for (int d = decimals; d < 3; ++d)
            v /= 10;
        text += Decimal(v, decimals);
        if (decimals > 0 && r_.Chance(10)) text.pop_back(); // "5.5" written "5."
        return text;
    }
    std::string Move(const char* code, bool z) {
        std::string line = code;
        if (r_.Chance(80)) line += " " + Axis('X', r_.Range(-150000, 150000));
        if (r_.Chance(80)) line += " " + Axis('Y', r_.Range(-150000, 150000));
        if (z || r_.Chance(15)) line += " " + Axis('Z', r_.Range(-5000, 5000));
        if (r_.Chance(30)) line += " F" + std::to_string(r_.Range(50, 3000));
        return line;
    }
    // A feed move; after one, the next may leave out its G1.
    std::string Feed(bool feeding) {
        feeding_ = true;
        return Move(feeding && r_.Chance(30) ? "" : r_.Chance(30) ? "G01" : "G1", false);
    }
    std::string Rapid() { return Move(r_.Chance(30) ? "G00" : "G0", false); }
    std::string Plunge() {
        const std::string z = Axis('Z', r_.Range(-3000, 5000));
        return std::string(r_.Chance(50) ? "G1" : "G0") + " " + z;
    }
    std::string ArcCode() {
        static const char* const codes[] = {"G2", "G3", "G02", "G03"};
        return r_.Pick(codes);
    }
    // Moves to a start (whole millimetres) and returns it; the arc follows as the next line.
    std::string Start(std::int64_t& x, std::int64_t& y) {
        x = r_.Range(-100, 100) * 1000;
        y = r_.Range(-100, 100) * 1000;
        return "G90 G91.1 G0 X" + Decimal(x, 3) + " Y" + Decimal(y, 3);
    }
    std::string ZWord() { return r_.Chance(20) ? " " + Axis('Z', r_.Range(-2000, 1000)) : ""; }
    // End points whole millimetres apart and a radius of at least half the chord.
    std::string ArcByRadius() {
        std::int64_t x = 0, y = 0;
        const std::string start = Start(x, y);
        const std::int64_t dx = r_.Range(-40, 40), dy = r_.Range(-40, 40);
        std::int64_t radius = (std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy) + 1) * 1000;
        if (r_.Chance(30)) radius = -radius;
        if (r_.Chance(1)) radius = 1;
        const std::string z = ZWord();
        const std::string r = Axis('R', radius);
        const std::string ey = Axis('Y', y + dy * 1000);
        const std::string ex = Axis('X', x + dx * 1000);
        queued_ = ArcCode() + " " + ex + " " + ey + " " + r + z;
        return start;
    }
    // A full, half or quarter circle about a centre I, J off the start: exact ends without
    // any trigonometry.
    std::string ArcByCentre() {
        std::int64_t x = 0, y = 0;
        const std::string start = Start(x, y);
        const std::int64_t i = r_.Range(-30, 30) * 1000, j = r_.Range(-30, 30) * 1000;
        std::int64_t ex = x, ey = y;
        switch (r_.Range(0, 2)) {
        case 0:
            break;
        case 1:
            ex += 2 * i, ey += 2 * j;
            break;
        default:
            ex += i + j, ey += j - i;
            break;
        }
        const std::string z = ZWord();
        const std::string jw = Axis('J', j);
        const std::string iw = Axis('I', i);
        const std::string yw = Axis('Y', ey);
        const std::string xw = Axis('X', ex);
        queued_ = ArcCode() + " " + xw + " " + yw + " " + iw + " " + jw + z;
        return start;
    }
    std::string Cycle() {
        static const char* const codes[] = {"G81", "G82", "G83", "G73"};
        std::string line = r_.Pick(codes);
        const std::string y = Axis('Y', r_.Range(-50000, 50000));
        const std::string x = Axis('X', r_.Range(-50000, 50000));
        line += " " + x + " " + y;
        const std::string r = Axis('R', r_.Range(0, 3000));
        const std::string z = Axis('Z', r_.Range(-5000, -1000));
        line += " " + z + " " + r;
        if (line[2] == '2') line += " P0.2";
        if (line[2] == '3') line += " Q0.5";
        if (r_.Chance(20)) line += " L" + std::to_string(r_.Range(1, 4));
        return line;
    }

    TRandom& r_;
    std::string queued_;
    bool feeding_ = false;
};

TConvSettings StandardSettings(TRandom& r) {
    static const std::int32_t factors[] = {40, 40, 1000, 1, 0};
    static const std::int32_t moves[] = {0, 0, 500, -250};
    static const std::int32_t degrees[] = {10, 10, 1, 5, 45, 90, 0};
    static const std::int32_t penLevels[] = {0, 0, -500, 1000};
    TConvSettings s;
    s.NcMode = TNcMode::nmStandard;
    s.Factor = r.Pick(factors);
    s.XMove = r.Pick(moves);
    s.YMove = r.Pick(moves);
    s.Deg = r.Pick(degrees);
    s.HpglType = r.Chance(50) ? 1 : 2;
    s.PenZ = r.Pick(penLevels);
    s.PenSource = r.Chance(20) ? TPenSource::psSpindle : TPenSource::psZ;
    s.ToolPens = r.Chance(30);
    s.DrillMarks = r.Chance(30);
    return s;
}

// Runs every program through its own run and sums up what each wrote: its lines, then its
// status text, or the fault's message and the line it stopped at.
template <typename MakeSettings, typename MakeProgram>
std::uint64_t RandomRuns(std::uint64_t seed, int programs, MakeSettings settingsOf,
                         MakeProgram programOf, std::size_t& written) {
    TRandom random(seed);
    TChecksum sum;
    TChecksumSink sink(sum);
    const TLineVector prefix{"IN;"}, suffix{"SP0;"};
    for (int p = 0; p < programs; ++p) {
        const TConvSettings settings = settingsOf(random);
        const TLineVector source(programOf(random));
        TModalState state;
        TConversionRun run(settings, state, sink);
        try {
            sum.Add(run.Execute(source, prefix, suffix));
        } catch (const Exception& fault) {
            sum.Add(fault.Message() + " @" + std::to_string(run.FailedLine()));
        }
        sum.Add("\n");
    }
    written = sink.Lines;
    return sum.Value();
}

TEST(OutputGuard, SeededLiteralProgramsWithOddWordsAndNumbers) {
    std::size_t lines = 0;
    const auto program = [](TRandom& r) {
        std::vector<std::string> lines(30);
        lines[0] = "G0 X0 Y0 R5";
        for (std::size_t k = 1; k < lines.size(); ++k)
            lines[k] = LiteralLine(r);
        return lines;
    };
    const std::uint64_t sum = RandomRuns(18, 4000, LiteralSettings, program, lines);
    EXPECT_EQ(sum, 17539208053958500311u) << lines << " lines";
}

TEST(OutputGuard, SeededStandardPrograms) {
    std::size_t lines = 0;
    const auto program = [](TRandom& r) {
        TStandardWriter writer(r);
        std::vector<std::string> lines;
        if (r.Chance(30)) lines.push_back("%");
        for (int k = 0; k < 40; ++k)
            lines.push_back(writer.Line());
        if (r.Chance(20)) lines.push_back(r.Chance(50) ? "M30" : "M2");
        if (!lines.empty() && lines[0] == "%" && r.Chance(50)) lines.push_back("%");
        return lines;
    };
    const std::uint64_t sum = RandomRuns(1818, 3000, StandardSettings, program, lines);
    EXPECT_EQ(sum, 9749218265128432064u) << lines << " lines";
}

// The benchmark program through the whole converter: line splitting, both readings, both
// dialects, the PLT file with its CR LF, the status text.
TEST(OutputGuard, BenchmarkProgramThroughTheConverter) {
    const test::TTempDir dir;
    dir.Write("main.ini", "[convert]\r\nfactor=1000\r\ndeg=10\r\ntype=1\r\n");
    const std::string input = dir.Write("in.nc", bench::GenerateNcProgram(1000000));
    const struct {
        const char* mode;
        const char* type;
        std::uint64_t sum;
    } cases[] = {{"literal", "1", 15278452723802242987u},
                 {"literal", "2", 4535843777510118788u},
                 {"standard", "1", 17415220243382322620u},
                 {"standard", "2", 13810753484567634147u}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " HPGL " + c.type);
        std::ostringstream out, err;
        ASSERT_EQ(RunConvertCli({"--settings", dir.Folder(), "--nc-mode", c.mode, "--type", c.type,
                                 "-o", dir.Path("out.plt"), input},
                                dir.Folder(), out, err),
                  0);
        TChecksum sum;
        sum.Add(test::TTempDir::Read(dir.Path("out.plt")));
        sum.Add(err.str());
        EXPECT_EQ(sum.Value(), c.sum);
    }
}

} // namespace
} // namespace plotalon
