// The standard reading against LinuxCNC's own interpreter: seeded CAM-style programs go
// through `rs274` (Debian's linuxcnc-uspace, run as a program, never linked) and through the
// conversion run, in both HPGL dialects. The drawn geometry must agree both ways: every point
// that rs274's feed moves draw (at or below the pen level, or with the spindle on) lies within
// 2 plotter units plus the chord sagitta of the HPGL drawing, and every point of the HPGL
// drawing lies as close to rs274's.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <unordered_map>

#include "engine/ConversionRun.h"
#include "tests/engine/CamPrograms.h"

namespace plotalon {
namespace {

namespace fs = std::filesystem;

struct TSeg {
    double X0, Y0, X1, Y1;
};

std::string FindRs274() {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty() && ::access((dir + "/rs274").c_str(), X_OK) == 0) return dir + "/rs274";
    return {};
}

// An arc as short segments whose sagitta stays below a fiftieth of a unit.
void AddArc(std::vector<TSeg>& out, double cx, double cy, double r0, double r1, double a0,
            double sweep) {
    const double r = std::max({r0, r1, 1e-9});
    const double step = std::min(0.08, 2 * std::acos(std::max(-1.0, 1 - 0.02 / r)));
    const int n = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / step)));
    double px = cx + r0 * std::cos(a0), py = cy + r0 * std::sin(a0);
    for (int k = 1; k <= n; ++k) {
        const double t = static_cast<double>(k) / n, a = a0 + sweep * t, rr = r0 + (r1 - r0) * t;
        const double x = cx + rr * std::cos(a), y = cy + rr * std::sin(a);
        out.push_back({px, py, x, y});
        px = x, py = y;
    }
}

struct TSettingsCase {
    std::int32_t Factor, XMove, YMove, Deg, PenZ;
    bool Spindle;
};

// What rs274's canonical moves draw, in plotter units.
struct TOracle {
    std::vector<TSeg> Drawn;
    double LargestRadius = 0; // of the drawn arcs, in plotter units
    std::string Error;        // what rs274 refused, if anything
};

TOracle ReadCanonical(const std::string& text, const TSettingsCase& s) {
    TOracle o;
    double x = 0, y = 0, z = 0;
    bool inch = false, spindle = false;
    const auto units = [&](double v, std::int32_t move) {
        return v * (inch ? 25.4 : 1) * s.Factor + move;
    };
    const auto level = [&] { return s.PenZ / 1000.0; };
    // Drawn part of a move from z0 to z1, as parameters.
    const auto span = [&](double z0, double z1, double& ta, double& tb) {
        if (s.Spindle) {
            ta = 0, tb = 1;
            return spindle;
        }
        const bool b0 = z0 <= level() + 1e-7, b1 = z1 <= level() + 1e-7;
        if (b0 && b1) return ta = 0, tb = 1, true;
        if (!b0 && !b1) return false;
        const double t = std::clamp((level() - z0) / (z1 - z0), 0.0, 1.0);
        if (b0)
            ta = 0, tb = t;
        else
            ta = t, tb = 1;
        return true;
    };
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t first = line.find_first_not_of(' ');
        if (line.empty() || line == "executing") continue;
        if (first == std::string::npos || !std::isdigit(static_cast<unsigned char>(line[first]))) {
            if (o.Error.empty()) o.Error = line;
            continue;
        }
        const std::size_t open = line.find('(');
        std::vector<double> v;
        if (open != std::string::npos) {
            std::string args = line.substr(open + 1);
            std::replace(args.begin(), args.end(), ',', ' ');
            std::istringstream in(args);
            for (double d; in >> d;)
                v.push_back(d);
        }
        if (line.find("USE_LENGTH_UNITS(CANON_UNITS_INCHES)") != std::string::npos)
            inch = true;
        else if (line.find("USE_LENGTH_UNITS(CANON_UNITS_MM)") != std::string::npos)
            inch = false;
        else if (line.find("START_SPINDLE_") != std::string::npos)
            spindle = true;
        else if (line.find("STOP_SPINDLE_TURNING") != std::string::npos)
            spindle = false;
        else if (line.find("STRAIGHT_TRAVERSE(") != std::string::npos)
            x = v[0], y = v[1], z = v[2];
        else if (line.find("STRAIGHT_FEED(") != std::string::npos) {
            double ta = 0, tb = 0;
            if (span(z, v[2], ta, tb)) {
                const auto px = [&](double t) { return units(x + (v[0] - x) * t, s.XMove); };
                const auto py = [&](double t) { return units(y + (v[1] - y) * t, s.YMove); };
                o.Drawn.push_back({px(ta), py(ta), px(tb), py(tb)});
            }
            x = v[0], y = v[1], z = v[2];
        } else if (line.find("ARC_FEED(") != std::string::npos) {
            const double ex = v[0], ey = v[1], cx = v[2], cy = v[3], ez = v[5];
            const int rotation = static_cast<int>(v[4]);
            const double a0 = std::atan2(y - cy, x - cx), a1 = std::atan2(ey - cy, ex - cx);
            double sweep = a1 - a0;
            const bool full = x == ex && y == ey;
            if (rotation > 0)
                sweep = full ? 2 * M_PI : (sweep <= 0 ? sweep + 2 * M_PI : sweep);
            else
                sweep = full ? -2 * M_PI : (sweep >= 0 ? sweep - 2 * M_PI : sweep);
            const double r0 = std::hypot(x - cx, y - cy), r1 = std::hypot(ex - cx, ey - cy);
            double ta = 0, tb = 0;
            if (span(z, ez, ta, tb)) {
                const double scale = (inch ? 25.4 : 1) * s.Factor;
                o.Drawn.reserve(o.Drawn.size() + 64);
                AddArc(o.Drawn, units(cx, s.XMove), units(cy, s.YMove),
                       (r0 + (r1 - r0) * ta) * scale, (r0 + (r1 - r0) * tb) * scale,
                       a0 + sweep * ta, sweep * (tb - ta));
                o.LargestRadius = std::max(o.LargestRadius, std::max(r0, r1) * scale);
            }
            x = ex, y = ey, z = ez;
        }
    }
    return o;
}

// What the HPGL lines draw: pen-down moves, dots and AT arcs rendered as the plotter would.
std::vector<TSeg> ReadHpgl(const std::vector<std::string>& lines, std::string& fault) {
    std::vector<TSeg> drawn;
    double x = 0, y = 0;
    bool down = false;
    for (const std::string& line : lines) {
        std::vector<double> v;
        std::string args = line.size() > 2 ? line.substr(2) : "";
        std::replace(args.begin(), args.end(), ',', ' ');
        std::replace(args.begin(), args.end(), ';', ' ');
        std::istringstream in(args);
        for (double d; in >> d;)
            v.push_back(d);
        const std::string command = line.substr(0, 2);
        if (command == "PU") {
            down = false;
            if (v.size() == 2) x = v[0], y = v[1];
        } else if (command == "PD" || command == "PA") {
            if (command == "PD") down = true;
            if (v.empty() && down) drawn.push_back({x, y, x, y});
            if (v.size() == 2) {
                if (down) drawn.push_back({x, y, v[0], v[1]});
                x = v[0], y = v[1];
            }
        } else if (command == "AT" && v.size() == 4) {
            const double ax = x, ay = y, bx = v[0], by = v[1], cx = v[2], cy = v[3];
            const double d = 2 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by));
            if (std::fabs(d) < 1e-9) {
                fault = "AT with three points on one line: " + line;
                return drawn;
            }
            const double a2 = ax * ax + ay * ay, b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
            const double ox = (a2 * (by - cy) + b2 * (cy - ay) + c2 * (ay - by)) / d;
            const double oy = (a2 * (cx - bx) + b2 * (ax - cx) + c2 * (bx - ax)) / d;
            const double r = std::hypot(ax - ox, ay - oy);
            const double s = std::atan2(ay - oy, ax - ox), e = std::atan2(cy - oy, cx - ox);
            const bool ccw = (bx - ax) * (cy - by) - (by - ay) * (cx - bx) > 0;
            double sweep = e - s;
            if (ccw && sweep <= 0) sweep += 2 * M_PI;
            if (!ccw && sweep >= 0) sweep -= 2 * M_PI;
            if (down) AddArc(drawn, ox, oy, r, r, s, sweep);
            x = cx, y = cy;
        } else if (command != "SP") {
            fault = "unexpected HPGL line: " + line;
            return drawn;
        }
    }
    return drawn;
}

// Segments by grid cell, each in the cells along it and their neighbours, so that a point
// finds every segment within `reach` of it in its own cell.
class TSegmentGrid {
public:
    TSegmentGrid(const std::vector<TSeg>& segs, double reach) : segs_(segs), cell_(reach) {
        for (std::size_t i = 0; i < segs.size(); ++i) {
            const TSeg& s = segs[i];
            const double length = std::hypot(s.X1 - s.X0, s.Y1 - s.Y0);
            const int steps = static_cast<int>(length / (cell_ / 2)) + 1;
            for (int k = 0; k <= steps; ++k) {
                const double t = static_cast<double>(k) / steps;
                const std::int64_t gx = Index(s.X0 + (s.X1 - s.X0) * t);
                const std::int64_t gy = Index(s.Y0 + (s.Y1 - s.Y0) * t);
                for (std::int64_t dx = -1; dx <= 1; ++dx)
                    for (std::int64_t dy = -1; dy <= 1; ++dy) {
                        std::vector<std::size_t>& list = cells_[Key(gx + dx, gy + dy)];
                        if (list.empty() || list.back() != i) list.push_back(i);
                    }
            }
        }
    }
    double Distance(double x, double y) const {
        const auto found = cells_.find(Key(Index(x), Index(y)));
        double best = 1e300;
        if (found == cells_.end()) return best;
        for (std::size_t i : found->second)
            best = std::min(best, ToSegment(segs_[i], x, y));
        return best;
    }

private:
    static double ToSegment(const TSeg& s, double x, double y) {
        const double dx = s.X1 - s.X0, dy = s.Y1 - s.Y0, l2 = dx * dx + dy * dy;
        const double t =
            l2 > 0 ? std::clamp(((x - s.X0) * dx + (y - s.Y0) * dy) / l2, 0.0, 1.0) : 0;
        return std::hypot(x - (s.X0 + t * dx), y - (s.Y0 + t * dy));
    }
    std::int64_t Index(double v) const { return static_cast<std::int64_t>(std::floor(v / cell_)); }
    static std::uint64_t Key(std::int64_t gx, std::int64_t gy) {
        return (static_cast<std::uint64_t>(gx) << 32) ^ static_cast<std::uint32_t>(gy);
    }
    const std::vector<TSeg>& segs_;
    double cell_;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> cells_;
};

// The first point of `from` (sampled every half unit) farther than tolerance from `to`.
std::string FirstStray(const std::vector<TSeg>& from, const std::vector<TSeg>& to,
                       double tolerance) {
    const TSegmentGrid grid(to, tolerance);
    for (const TSeg& s : from) {
        const double length = std::hypot(s.X1 - s.X0, s.Y1 - s.Y0);
        const int n = static_cast<int>(std::ceil(length / 0.5));
        for (int k = 0; k <= n; ++k) {
            const double t = n ? static_cast<double>(k) / n : 0;
            const double x = s.X0 + (s.X1 - s.X0) * t, y = s.Y0 + (s.Y1 - s.Y0) * t;
            const double d = grid.Distance(x, y);
            if (d > tolerance) {
                std::ostringstream where;
                where << "point (" << x << ", " << y << ") is "
                      << (d > 1e299 ? std::string("far") : std::to_string(d)) << " units away";
                return where.str();
            }
        }
    }
    return {};
}

class Rs274Differential : public ::testing::Test {
protected:
    void SetUp() override {
        rs274_ = FindRs274();
        if (rs274_.empty())
            GTEST_SKIP() << "rs274 (Debian package linuxcnc-uspace) is not installed; the "
                            "comparison with LinuxCNC's interpreter is skipped";
        dir_ = fs::temp_directory_path() / ("plotalon-rs274-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        std::ofstream(dir_ / "tool.tbl") << "T1 P1 Z0 D6 ;\n";
    }
    void TearDown() override {
        if (!dir_.empty() && !HasFailure()) fs::remove_all(dir_);
    }

    // Every program through rs274, eight at a time: it spends most of its time waiting.
    std::vector<std::string> RunAll(const std::vector<std::string>& programs) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            std::ofstream(dir_ / ("p" + std::to_string(i) + ".ngc")) << programs[i];
            std::ofstream(dir_ / ("p" + std::to_string(i) + ".var"));
            fs::create_directory(dir_ / ("p" + std::to_string(i) + ".home"));
        }
        // Each run gets a home folder of its own: rs274 maps its tool table to a file there,
        // which runs side by side would otherwise share.
        const std::string command =
            "cd '" + dir_.string() +
            "' && ls p*.ngc | xargs -P 8 -n 1 sh -c 'HOME=\"$PWD/${0%.ngc}.home\" \"" + rs274_ +
            "\" -g -t tool.tbl -v \"${0%.ngc}.var\" \"$0\" > \"${0%.ngc}.out\" 2>&1 </dev/null'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        std::vector<std::string> outputs;
        for (std::size_t i = 0; i < programs.size(); ++i) {
            std::ifstream in(dir_ / ("p" + std::to_string(i) + ".out"));
            outputs.emplace_back(std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>());
        }
        return outputs;
    }

    // The program through the standard reading and the comparison both ways; a message
    // where they disagree.
    static std::string Compare(const std::string& program, const std::string& canonical,
                               const TSettingsCase& c, std::uint8_t type) {
        TConvSettings settings;
        settings.Factor = c.Factor;
        settings.XMove = c.XMove;
        settings.YMove = c.YMove;
        settings.Deg = c.Deg;
        settings.HpglType = type;
        settings.NcMode = TNcMode::nmStandard;
        settings.PenZ = c.PenZ;
        settings.PenSource = c.Spindle ? TPenSource::psSpindle : TPenSource::psZ;
        settings.DrillMarks = true;
        settings.ToolPens = (c.Deg % 2) == 0;
        TLineVector source, none, target;
        std::istringstream in(program);
        for (std::string line; std::getline(in, line);)
            source.AppendLine(line);
        TModalState state;
        TConversionRun run(settings, state, target);
        try {
            run.Execute(source, none, none);
        } catch (const Exception& e) {
            return "the standard reading refused it: " + e.Message();
        }
        const TOracle oracle = ReadCanonical(canonical, c);
        if (!oracle.Error.empty()) return "rs274 refused it: " + oracle.Error;
        std::string fault;
        const std::vector<TSeg> ours = ReadHpgl(target.Lines, fault);
        if (!fault.empty()) return fault;
        const double step = std::min(90, std::max(1, c.Deg)) * M_PI / 180;
        const double sagitta = type == 1 ? oracle.LargestRadius * (1 - std::cos(step / 2)) : 0;
        const double tolerance = 2 + sagitta;
        if (std::string stray = FirstStray(oracle.Drawn, ours, tolerance); !stray.empty())
            return "rs274 draws what the HPGL misses: " + stray;
        if (std::string stray = FirstStray(ours, oracle.Drawn, tolerance); !stray.empty())
            return "the HPGL draws what rs274 does not: " + stray;
        return {};
    }

    std::string rs274_;
    fs::path dir_;
};

TEST_F(Rs274Differential, CamProgramsDrawAsLinuxCncInterpretsThem) {
    constexpr unsigned kMill = 240, kLaser = 60;
    std::vector<std::string> programs;
    std::vector<bool> inch;
    for (unsigned seed = 0; seed < kMill + kLaser; ++seed) {
        const test::TCamProgram program(seed + 1, seed >= kMill);
        programs.push_back(program.Text);
        inch.push_back(program.Inch);
    }
    const std::vector<std::string> canonical = RunAll(programs);
    std::mt19937 random(99);
    int failures = 0;
    for (std::size_t i = 0; i < programs.size() && failures < 3; ++i) {
        const std::int32_t deepLevel = inch[i] ? -10 : -200;
        const TSettingsCase c{random() % 4 ? 40 : 100,
                              static_cast<std::int32_t>(random() % 2001) - 1000,
                              static_cast<std::int32_t>(random() % 2001) - 1000,
                              std::array<std::int32_t, 4>{5, 10, 15, 30}[random() % 4],
                              random() % 3 ? 0 : deepLevel,
                              i >= kMill};
        for (std::uint8_t type : {1, 2}) {
            const std::string fault = Compare(programs[i], canonical[i], c, type);
            if (!fault.empty()) {
                ++failures;
                ADD_FAILURE() << "program " << i << " (seed " << i + 1 << "), HPGL " << int(type)
                              << ", factor " << c.Factor << ", pen level " << c.PenZ << ": "
                              << fault << "\n"
                              << programs[i];
                break;
            }
        }
    }
}

} // namespace
} // namespace plotalon
