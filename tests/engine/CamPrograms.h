#pragma once
// Seeded NC programs in the styles CAM post-processors write: "%" lines, G90 G94 G17 G91.1
// headers, G21 or G20, T1 M6 and G43 H1, numbers such as "5." and "-.5", modal lines that
// name one axis or only an arc's end and centre, N numbers, G00/G01/G02 with leading zeros,
// comments (also ones holding G words), plunges, crossing ramps, helical entries, arcs by
// centre (incremental or absolute) and by radius (also negative), full circles, incremental
// stretches, drilling cycles with G98/G99, returns to the home position and programs in
// inches. A laser-style variant draws with the spindle (M3 ... M5) and never moves Z.
//
// Every value is written rounded to the program's decimals, and the generator moves on from
// the rounded value, so the text describes exactly the geometry it means. The programs are
// valid for LinuxCNC's interpreter (every feed move has a feed rate, arcs are within its
// tolerances).

#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace plotalon::test {

class TCamProgram {
public:
    explicit TCamProgram(unsigned seed, bool laser = false) : Random(seed), Laser(laser) {
        Inch = Chance(0.2);
        Decimals = Inch ? 4 : Pick(3, 4);
        Style = Pick(0, 3);
        LineNumbers = Chance(0.3);
        LeadingZeros = Chance(0.4);
        AbsoluteCentres = Chance(0.2);
        Percent = Chance(0.5);
        Size = Inch ? 4 : 100;
        Safe = Inch ? 0.2 : 5;
        Write();
    }

    std::string Text;
    bool Inch = false;

private:
    // ---- Random choices ----
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(Random) < p; }
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(Random); }
    double Uniform(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(Random);
    }
    double Round(double v) const {
        const double scale = std::pow(10.0, Decimals);
        return std::round(v * scale) / scale;
    }

    // ---- Text ----
    // A number in the program's style: "5.000", "5.", "5" or with the leading zero dropped.
    std::string Number(double v) const {
        char text[48];
        std::snprintf(text, sizeof text, "%.*f", Decimals, v);
        std::string s = text;
        if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) s = "0";
        if (Style >= 1 && s.find('.') != std::string::npos) {
            while (s.back() == '0')
                s.pop_back(); // "5." stays "5."
            if (Style == 2 && s.back() == '.') s.pop_back();
        }
        if (Style == 3) {
            if (s.rfind("0.", 0) == 0) s.erase(0, 1);
            if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
        }
        return s;
    }
    std::string Word(char letter, double v) { return std::string(1, letter) + Number(v); }
    std::string G(int code) {
        if (LeadingZeros && code < 10) return "G0" + std::to_string(code);
        return "G" + std::to_string(code);
    }
    void Line(std::string line) {
        if (LineNumbers) line = "N" + std::to_string(++Block * 10) + " " + line;
        if (Chance(0.05)) line += " (G41 ist hier nur Text)";
        if (Chance(0.03)) line += " ; G2 X5 Kommentar";
        Text += line + "\n";
    }
    // The motion word when the mode changes; modal lines leave it out.
    std::string Motion(int code) {
        if (code == Mode && Chance(0.6)) return "";
        Mode = code;
        return G(code) + " ";
    }
    std::string Feed() {
        if (HaveFeed && Chance(0.8)) return "";
        HaveFeed = true;
        return " F" + std::to_string(Pick(2, 12) * 100) + ".";
    }

    // ---- Moves; X, Y, Z hold the values as written ----
    void Rapid(double x, double y) {
        X = Round(x), Y = Round(y);
        Line(Motion(0) + Word('X', X) + " " + Word('Y', Y));
    }
    void RapidZ(double z) {
        Z = Round(z);
        Line(Motion(0) + Word('Z', Z));
    }
    void FeedZ(double z) {
        Z = Round(z);
        Line(Motion(1) + Word('Z', Z) + Feed());
    }
    void FeedTo(double x, double y) {
        const double nx = Round(x), ny = Round(y);
        std::string words;
        // Modal lines that name only the axis that changes.
        if (nx != X || !Chance(0.3)) words += Word('X', nx);
        if (ny != Y || words.empty()) words += (words.empty() ? "" : " ") + Word('Y', ny);
        X = nx, Y = ny;
        Line(Motion(1) + words + Feed());
    }
    void Ramp(double x, double y, double z) {
        X = Round(x), Y = Round(y), Z = Round(z);
        Line(Motion(1) + Word('X', X) + " " + Word('Y', Y) + " " + Word('Z', Z) + Feed());
    }
    // An arc about a centre at distance r from the current point, sweeping the given angle
    // (positive counter-clockwise); z changes along it where given.
    void ArcByCentre(double r, double sweep, const double* z = nullptr) {
        const double a = Uniform(0, 2 * M_PI);
        const double cx = Round(X + r * std::cos(a)), cy = Round(Y + r * std::sin(a));
        const double start = std::atan2(Y - cy, X - cx);
        const double radius = std::hypot(X - cx, Y - cy);
        const double ex = Round(cx + radius * std::cos(start + sweep));
        const double ey = Round(cy + radius * std::sin(start + sweep));
        const bool full = std::fabs(std::fabs(sweep) - 2 * M_PI) < 1e-9;
        std::string words = Motion(sweep < 0 ? 2 : 3);
        if (!full)
            words += Word('X', ex) + " " + Word('Y', ey) + " ";
        else if (Chance(0.5))
            words += Word('X', X) + " " + Word('Y', Y) + " ";
        if (z) words += Word('Z', Round(*z)) + " ";
        const double i = AbsoluteCentres ? cx : cx - X, j = AbsoluteCentres ? cy : cy - Y;
        words += Word('I', i) + " " + Word('J', j);
        Line(words + Feed());
        if (!full) X = ex, Y = ey;
        if (z) Z = Round(*z);
    }
    void ArcByRadius() {
        const double d = Uniform(Size * 0.02, Size * 0.15), a = Uniform(0, 2 * M_PI);
        const double ex = Round(X + d * std::cos(a)), ey = Round(Y + d * std::sin(a));
        const double chord = std::hypot(ex - X, ey - Y);
        if (chord < Size * 0.01) return;
        double r = Round(chord / 2 * Uniform(1.05, 3));
        if (Chance(0.3)) r = -r; // the longer arc
        Line(Motion(Chance(0.5) ? 2 : 3) + Word('X', ex) + " " + Word('Y', ey) + " " +
             Word('R', r) + Feed());
        X = ex, Y = ey;
    }
    double Inside(double v) const { return std::fmin(Size, std::fmax(0, v)); }

    // ---- Operations ----
    void Contour() {
        Rapid(Uniform(0, Size), Uniform(0, Size));
        RapidZ(Safe);
        const double depth = -Uniform(Size * 0.005, Size * 0.03);
        if (Laser) {
            Line(Chance(0.5) ? "M3 S" + std::to_string(Pick(1, 10) * 100) : "M4");
        } else {
            switch (Pick(0, 2)) {
            case 0:
                FeedZ(depth);
                break;
            case 1: { // a ramp that crosses the pen level on its way down
                Ramp(Inside(X + Uniform(-1, 1) * Size * 0.1),
                     Inside(Y + Uniform(-1, 1) * Size * 0.1), depth);
                break;
            }
            default: { // a helical entry: part of a turn, or a whole one with no X and Y
                const double z = depth;
                if (Chance(0.5))
                    ArcByCentre(Size * 0.03, Chance(0.5) ? -2 * M_PI : 2 * M_PI, &z);
                else
                    ArcByCentre(Size * 0.04, Uniform(-4, 4), &z);
            }
            }
        }
        const int moves = Pick(4, 16);
        for (int k = 0; k < moves; ++k) {
            const int kind = Pick(0, 9);
            if (kind <= 3) {
                FeedTo(Inside(X + Uniform(-1, 1) * Size * 0.2),
                       Inside(Y + Uniform(-1, 1) * Size * 0.2));
            } else if (kind <= 5) {
                ArcByCentre(Uniform(Size * 0.01, Size * 0.1),
                            Uniform(0.1, 5.5) * (Chance(0.5) ? 1 : -1));
            } else if (kind <= 7) {
                ArcByRadius();
            } else if (kind == 8) {
                ArcByCentre(Uniform(Size * 0.01, Size * 0.05), Chance(0.5) ? 2 * M_PI : -2 * M_PI);
            } else if (!Laser) { // up through the pen level and back down
                Ramp(Inside(X + Uniform(-1, 1) * Size * 0.05),
                     Inside(Y + Uniform(-1, 1) * Size * 0.05), Safe * 0.5);
                FeedZ(depth);
            }
        }
        if (Laser)
            Line("M5");
        else
            RapidZ(Safe);
    }

    void Incremental() {
        Rapid(Uniform(0, Size), Uniform(0, Size));
        RapidZ(Safe);
        Line("G91");
        Line(Motion(1) + Word('Z', Round(-Safe - Size * 0.01)) + Feed());
        Z = Round(Z + Round(-Safe - Size * 0.01));
        if (Laser) Line("M3");
        for (int k = Pick(2, 6); k > 0; --k) {
            const double dx = Round(Uniform(-1, 1) * Size * 0.1),
                         dy = Round(Uniform(-1, 1) * Size * 0.1);
            Line(Motion(1) + Word('X', dx) + " " + Word('Y', dy));
            X = Round(X + dx), Y = Round(Y + dy);
        }
        if (Laser) Line("M5");
        Line(Motion(0) + Word('Z', Round(Safe - Z)));
        Z = Round(Safe);
        Line("G90");
    }

    void Drill() {
        if (Laser) return;
        std::string head = Chance(0.5) ? (Chance(0.5) ? "G98 " : "G99 ") : "";
        const int cycle = std::array<int, 4>{73, 81, 82, 83}[static_cast<std::size_t>(Pick(0, 3))];
        const double r = Round(Size * 0.02), bottom = Round(-Size * Uniform(0.01, 0.05));
        X = Round(Uniform(0, Size)), Y = Round(Uniform(0, Size));
        std::string words = head + "G" + std::to_string(cycle) + " " + Word('X', X) + " " +
                            Word('Y', Y) + " " + Word('Z', bottom) + " " + Word('R', r);
        if (cycle == 82) words += " P0.5";
        if (cycle == 73 || cycle == 83) words += " " + Word('Q', Round(Size * 0.01));
        Line(words + " F" + std::to_string(Pick(1, 5) * 100) + ".");
        for (int k = Pick(1, 5); k > 0; --k) {
            X = Round(Uniform(0, Size)), Y = Round(Uniform(0, Size));
            Line(Word('X', X) + " " + Word('Y', Y));
        }
        Line("G80");
        Mode = -1;
        // The tool ends at the R plane or higher; go on from a known height.
        RapidZ(Safe);
    }

    void Home() {
        if (Laser) return;
        switch (Pick(0, 2)) {
        case 0:
            Line("G91 G28 Z0");
            Line("G90");
            break;
        case 1:
            Line("G28");
            break;
        default:
            Line("G53 G0 Z0");
            Mode = 0;
            break;
        }
        // Where the tool stands in Z is unknown now; the next operation sets it first.
        Rapid(Uniform(0, Size), Uniform(0, Size));
        RapidZ(Safe);
    }

    void Write() {
        if (Percent) Text += "%\n";
        Line("(Programm " + std::to_string(Pick(1, 9999)) + ")");
        Line(std::string("G90 G94 G17") + (AbsoluteCentres ? " G90.1"
                                           : Chance(0.5)   ? " G91.1"
                                                           : ""));
        Line(Inch ? "G20" : "G21");
        if (!Laser) {
            Line("T1 M6");
            Line("G0 G43 " + Word('Z', Round(Safe * 3)) + " H1");
            Z = Round(Safe * 3);
            Mode = 0;
            Line("S" + std::to_string(Pick(10, 200) * 100) + " M3");
        }
        for (int op = Pick(2, 6); op > 0; --op) {
            Line("(Nr. " + std::to_string(op) + ": Kontur)");
            const int kind = Pick(0, 9);
            if (kind <= 5)
                Contour();
            else if (kind <= 7)
                Drill();
            else if (kind == 8)
                Incremental();
            else
                Home();
        }
        if (!Laser) RapidZ(Safe * 3);
        Line("M5");
        Line(Chance(0.5) ? "M30" : "M2");
        if (Percent) Text += "%\n";
    }

    std::mt19937 Random;
    bool Laser;
    int Decimals = 3, Style = 0;
    bool LineNumbers = false, LeadingZeros = false, AbsoluteCentres = false, Percent = false;
    double Size = 100, Safe = 5;
    double X = 0, Y = 0, Z = 0;
    int Mode = -1, Block = 0;
    bool HaveFeed = false;
};

} // namespace plotalon::test
