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
    explicit TCamProgram(unsigned seed, bool laser = false) : random_(seed), laser_(laser) {
        Inch = Chance(0.2);
        decimals_ = Inch ? 4 : Pick(3, 4);
        style_ = Pick(0, 3);
        lineNumbers_ = Chance(0.3);
        leadingZeros_ = Chance(0.4);
        absoluteCentres_ = Chance(0.2);
        percent_ = Chance(0.5);
        size_ = Inch ? 4 : 100;
        safe_ = Inch ? 0.2 : 5;
        Write();
    }

    std::string Text;
    bool Inch = false;

private:
    // ---- Random choices ----
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    double Uniform(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random_);
    }
    double Round(double v) const {
        const double scale = std::pow(10.0, decimals_);
        return std::round(v * scale) / scale;
    }

    // ---- Text ----
    // A number in the program's style: "5.000", "5.", "5" or with the leading zero dropped.
    std::string Number(double v) const {
        char text[48];
        std::snprintf(text, sizeof text, "%.*f", decimals_, v);
        std::string s = text;
        if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) s = "0";
        if (style_ >= 1 && s.find('.') != std::string::npos) {
            while (s.back() == '0')
                s.pop_back(); // "5." stays "5."
            if (style_ == 2 && s.back() == '.') s.pop_back();
        }
        if (style_ == 3) {
            if (s.rfind("0.", 0) == 0) s.erase(0, 1);
            if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
        }
        return s;
    }
    std::string Word(char letter, double v) { return std::string(1, letter) + Number(v); }
    std::string G(int code) {
        if (leadingZeros_ && code < 10) return "G0" + std::to_string(code);
        return "G" + std::to_string(code);
    }
    void Line(std::string line) {
        if (lineNumbers_) line = "N" + std::to_string(++block_ * 10) + " " + line;
        if (Chance(0.05)) line += " (G41 ist hier nur Text)";
        if (Chance(0.03)) line += " ; G2 X5 Kommentar";
        Text += line + "\n";
    }
    // The motion word when the mode changes; modal lines leave it out.
    std::string Motion(int code) {
        if (code == mode_ && Chance(0.6)) return "";
        mode_ = code;
        return G(code) + " ";
    }
    std::string Feed() {
        if (haveFeed_ && Chance(0.8)) return "";
        haveFeed_ = true;
        return " F" + std::to_string(Pick(2, 12) * 100) + ".";
    }

    // ---- Moves; X, Y, Z hold the values as written ----
    void Rapid(double x, double y) {
        x_ = Round(x), y_ = Round(y);
        Line(Motion(0) + Word('X', x_) + " " + Word('Y', y_));
    }
    void RapidZ(double z) {
        z_ = Round(z);
        Line(Motion(0) + Word('Z', z_));
    }
    void FeedZ(double z) {
        z_ = Round(z);
        Line(Motion(1) + Word('Z', z_) + Feed());
    }
    void FeedTo(double x, double y) {
        const double nx = Round(x), ny = Round(y);
        std::string words;
        // Modal lines that name only the axis that changes.
        if (nx != x_ || !Chance(0.3)) words += Word('X', nx);
        if (ny != y_ || words.empty()) words += (words.empty() ? "" : " ") + Word('Y', ny);
        x_ = nx, y_ = ny;
        Line(Motion(1) + words + Feed());
    }
    void Ramp(double x, double y, double z) {
        x_ = Round(x), y_ = Round(y), z_ = Round(z);
        Line(Motion(1) + Word('X', x_) + " " + Word('Y', y_) + " " + Word('Z', z_) + Feed());
    }
    // An arc about a centre at distance r from the current point, sweeping the given angle
    // (positive counter-clockwise); z changes along it where given.
    void ArcByCentre(double r, double sweep, const double* z = nullptr) {
        const double a = Uniform(0, 2 * M_PI);
        const double cx = Round(x_ + r * std::cos(a)), cy = Round(y_ + r * std::sin(a));
        const double start = std::atan2(y_ - cy, x_ - cx);
        const double radius = std::hypot(x_ - cx, y_ - cy);
        const double ex = Round(cx + radius * std::cos(start + sweep));
        const double ey = Round(cy + radius * std::sin(start + sweep));
        const bool full = std::fabs(std::fabs(sweep) - 2 * M_PI) < 1e-9;
        std::string words = Motion(sweep < 0 ? 2 : 3);
        if (!full)
            words += Word('X', ex) + " " + Word('Y', ey) + " ";
        else if (Chance(0.5))
            words += Word('X', x_) + " " + Word('Y', y_) + " ";
        if (z) words += Word('Z', Round(*z)) + " ";
        const double i = absoluteCentres_ ? cx : cx - x_, j = absoluteCentres_ ? cy : cy - y_;
        words += Word('I', i) + " " + Word('J', j);
        Line(words + Feed());
        if (!full) x_ = ex, y_ = ey;
        if (z) z_ = Round(*z);
    }
    void ArcByRadius() {
        const double d = Uniform(size_ * 0.02, size_ * 0.15), a = Uniform(0, 2 * M_PI);
        const double ex = Round(x_ + d * std::cos(a)), ey = Round(y_ + d * std::sin(a));
        const double chord = std::hypot(ex - x_, ey - y_);
        if (chord < size_ * 0.01) return;
        double r = Round(chord / 2 * Uniform(1.05, 3));
        if (Chance(0.3)) r = -r; // the longer arc
        Line(Motion(Chance(0.5) ? 2 : 3) + Word('X', ex) + " " + Word('Y', ey) + " " +
             Word('R', r) + Feed());
        x_ = ex, y_ = ey;
    }
    double Inside(double v) const { return std::fmin(size_, std::fmax(0, v)); }

    // ---- Operations ----
    void Contour() {
        Rapid(Uniform(0, size_), Uniform(0, size_));
        RapidZ(safe_);
        const double depth = -Uniform(size_ * 0.005, size_ * 0.03);
        if (laser_) {
            Line(Chance(0.5) ? "M3 S" + std::to_string(Pick(1, 10) * 100) : "M4");
        } else {
            switch (Pick(0, 2)) {
            case 0:
                FeedZ(depth);
                break;
            case 1: { // a ramp that crosses the pen level on its way down
                Ramp(Inside(x_ + Uniform(-1, 1) * size_ * 0.1),
                     Inside(y_ + Uniform(-1, 1) * size_ * 0.1), depth);
                break;
            }
            default: { // a helical entry: part of a turn, or a whole one with no X and Y
                const double z = depth;
                if (Chance(0.5))
                    ArcByCentre(size_ * 0.03, Chance(0.5) ? -2 * M_PI : 2 * M_PI, &z);
                else
                    ArcByCentre(size_ * 0.04, Uniform(-4, 4), &z);
            }
            }
        }
        const int moves = Pick(4, 16);
        for (int k = 0; k < moves; ++k) {
            const int kind = Pick(0, 9);
            if (kind <= 3) {
                FeedTo(Inside(x_ + Uniform(-1, 1) * size_ * 0.2),
                       Inside(y_ + Uniform(-1, 1) * size_ * 0.2));
            } else if (kind <= 5) {
                ArcByCentre(Uniform(size_ * 0.01, size_ * 0.1),
                            Uniform(0.1, 5.5) * (Chance(0.5) ? 1 : -1));
            } else if (kind <= 7) {
                ArcByRadius();
            } else if (kind == 8) {
                ArcByCentre(Uniform(size_ * 0.01, size_ * 0.05),
                            Chance(0.5) ? 2 * M_PI : -2 * M_PI);
            } else if (!laser_) { // up through the pen level and back down
                Ramp(Inside(x_ + Uniform(-1, 1) * size_ * 0.05),
                     Inside(y_ + Uniform(-1, 1) * size_ * 0.05), safe_ * 0.5);
                FeedZ(depth);
            }
        }
        if (laser_)
            Line("M5");
        else
            RapidZ(safe_);
    }

    void Incremental() {
        Rapid(Uniform(0, size_), Uniform(0, size_));
        RapidZ(safe_);
        Line("G91");
        Line(Motion(1) + Word('Z', Round(-safe_ - size_ * 0.01)) + Feed());
        z_ = Round(z_ + Round(-safe_ - size_ * 0.01));
        if (laser_) Line("M3");
        for (int k = Pick(2, 6); k > 0; --k) {
            const double dx = Round(Uniform(-1, 1) * size_ * 0.1),
                         dy = Round(Uniform(-1, 1) * size_ * 0.1);
            Line(Motion(1) + Word('X', dx) + " " + Word('Y', dy));
            x_ = Round(x_ + dx), y_ = Round(y_ + dy);
        }
        if (laser_) Line("M5");
        Line(Motion(0) + Word('Z', Round(safe_ - z_)));
        z_ = Round(safe_);
        Line("G90");
    }

    void Drill() {
        if (laser_) return;
        std::string head = Chance(0.5) ? (Chance(0.5) ? "G98 " : "G99 ") : "";
        const int cycle = std::array<int, 4>{73, 81, 82, 83}[static_cast<std::size_t>(Pick(0, 3))];
        const double r = Round(size_ * 0.02), bottom = Round(-size_ * Uniform(0.01, 0.05));
        x_ = Round(Uniform(0, size_)), y_ = Round(Uniform(0, size_));
        std::string words = head + "G" + std::to_string(cycle) + " " + Word('X', x_) + " " +
                            Word('Y', y_) + " " + Word('Z', bottom) + " " + Word('R', r);
        if (cycle == 82) words += " P0.5";
        if (cycle == 73 || cycle == 83) words += " " + Word('Q', Round(size_ * 0.01));
        Line(words + " F" + std::to_string(Pick(1, 5) * 100) + ".");
        for (int k = Pick(1, 5); k > 0; --k) {
            x_ = Round(Uniform(0, size_)), y_ = Round(Uniform(0, size_));
            Line(Word('X', x_) + " " + Word('Y', y_));
        }
        Line("G80");
        mode_ = -1;
        // The tool ends at the R plane or higher; go on from a known height.
        RapidZ(safe_);
    }

    void Home() {
        if (laser_) return;
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
            mode_ = 0;
            break;
        }
        // Where the tool stands in Z is unknown now; the next operation sets it first.
        Rapid(Uniform(0, size_), Uniform(0, size_));
        RapidZ(safe_);
    }

    void Write() {
        if (percent_) Text += "%\n";
        Line("(Programm " + std::to_string(Pick(1, 9999)) + ")");
        Line(std::string("G90 G94 G17") + (absoluteCentres_ ? " G90.1"
                                           : Chance(0.5)    ? " G91.1"
                                                            : ""));
        Line(Inch ? "G20" : "G21");
        if (!laser_) {
            Line("T1 M6");
            Line("G0 G43 " + Word('Z', Round(safe_ * 3)) + " H1");
            z_ = Round(safe_ * 3);
            mode_ = 0;
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
        if (!laser_) RapidZ(safe_ * 3);
        Line("M5");
        Line(Chance(0.5) ? "M30" : "M2");
        if (percent_) Text += "%\n";
    }

    std::mt19937 random_;
    bool laser_;
    int decimals_ = 3, style_ = 0;
    bool lineNumbers_ = false, leadingZeros_ = false, absoluteCentres_ = false, percent_ = false;
    double size_ = 100, safe_ = 5;
    double x_ = 0, y_ = 0, z_ = 0;
    int mode_ = -1, block_ = 0;
    bool haveFeed_ = false;
};

} // namespace plotalon::test
