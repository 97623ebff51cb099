#include "preview/HpglReader.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>

namespace plotalon {

namespace {

constexpr double kMaxNumber = 1e15;
constexpr double kMaxCoord = 1e18;
// An arc that bows less than this from its chord (in plotter units) is drawn as the chord:
// nearly collinear points give radii so large that the circle's arithmetic loses its digits.
constexpr double kFlatArc = 1e-3;
constexpr char kEsc = '\x1B';
constexpr char kEtx = '\x03';
constexpr TPlotPoint kDefaultP1{0, 0};
constexpr TPlotPoint kDefaultP2{11880, 8400};

constexpr int Code(char a, char b) {
    return (a - 'A') * 26 + (b - 'A');
}
constexpr int kAT = Code('A', 'T'), kDF = Code('D', 'F'), kDT = Code('D', 'T'),
              kIN = Code('I', 'N'), kIP = Code('I', 'P'), kLB = Code('L', 'B'),
              kPA = Code('P', 'A'), kPD = Code('P', 'D'), kPE = Code('P', 'E'),
              kPR = Code('P', 'R'), kPU = Code('P', 'U'), kSC = Code('S', 'C'),
              kSP = Code('S', 'P'), kVS = Code('V', 'S');

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
char Upper(char c) {
    return c >= 'a' ? char(c - 'a' + 'A') : c;
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool IsSeparator(char c) {
    return IsBlank(c) || c == ';' || c == ',';
}
bool StartsCommand(std::string_view line, std::size_t i) {
    return IsLetter(line[i]) && i + 1 < line.size() && IsLetter(line[i + 1]);
}
bool InRange(TPlotPoint p) {
    return std::abs(p.X) <= kMaxCoord && std::abs(p.Y) <= kMaxCoord;
}

std::size_t SkipTo(std::string_view line, std::size_t i, char end) {
    const std::size_t at = line.find(end, i);
    return at == std::string_view::npos ? line.size() : at + 1;
}

// ESC . x [digits and ;] [:] (plotter device control), ESC % [sign] digits letter (language
// switch), or ESC and one byte.
std::size_t SkipEscape(std::string_view line, std::size_t i) {
    const std::size_t n = line.size();
    if (++i >= n) return i;
    if (line[i] == '.') {
        i = std::min(n, i + 2);
        while (i < n && (IsDigit(line[i]) || line[i] == ';'))
            ++i;
        return i < n && line[i] == ':' ? i + 1 : i;
    }
    if (line[i] == '%') {
        ++i;
        if (i < n && (line[i] == '-' || line[i] == '+')) ++i;
        while (i < n && IsDigit(line[i]))
            ++i;
        return i < n && IsLetter(line[i]) ? i + 1 : i;
    }
    return i + 1;
}

std::size_t SkipUnreadable(std::string_view line, std::size_t i) {
    for (++i; i < line.size(); ++i)
        if (IsSeparator(line[i]) || line[i] == kEsc || StartsCommand(line, i)) break;
    return i;
}

// The arc from s through m to e, or nothing when the three make a straight line (or a dot).
// An end point on the start point closes the circle whose diameter runs from s to m.
std::optional<TPlotArc> ThreePointArc(TPlotPoint s, TPlotPoint m, TPlotPoint e) {
    constexpr double turn = 2 * std::numbers::pi;
    const double bx = m.X - s.X, by = m.Y - s.Y, cx = e.X - s.X, cy = e.Y - s.Y;
    if (s == e) {
        if (m == s) return std::nullopt;
        const double r = std::hypot(bx, by) / 2;
        return TPlotArc{{s.X + bx / 2, s.Y + by / 2}, r, r, std::atan2(-by, -bx), turn};
    }
    if (m == s || m == e) return std::nullopt;
    const double cross = bx * cy - by * cx;
    if (!(std::abs(cross) > 1e-12 * std::hypot(bx, by) * std::hypot(cx, cy))) return std::nullopt;
    const double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    const double ux = (cy * b2 - by * c2) / (2 * cross), uy = (bx * c2 - cx * b2) / (2 * cross);
    const TPlotPoint centre{s.X + ux, s.Y + uy};
    const double r = std::hypot(ux, uy);
    // The angle from the chord, not from the end point's own angle: for an enormous circle
    // the two end angles may agree to the last digit even when the arc goes almost all round.
    const double shortWay = 2 * std::asin(std::min(1.0, std::hypot(cx, cy) / (2 * r)));
    // With m on the centre's side of the chord the arc takes the long way round.
    const double centreSide = cx * uy - cy * ux;
    const bool longWay = centreSide != 0 && (centreSide > 0) == (cross < 0);
    const double magnitude = longWay ? turn - shortWay : shortWay;
    // Counter-clockwise exactly when s, m, e turn left.
    const double sweep = cross > 0 ? magnitude : -magnitude;
    const double start = std::atan2(-uy, -ux);
    return TPlotArc{centre, r, r, start, sweep};
}

} // namespace

std::uint64_t TIgnoredCommands::Total() const {
    std::uint64_t total = Escapes + Unreadable;
    for (int i = 0; i < kMnemonics; ++i)
        total += Skipped[i] + Malformed[i];
    return total;
}

std::string DescribeIgnored(const TIgnoredCommands& ignored) {
    constexpr int kMaxItems = 12;
    std::string text;
    int items = 0;
    auto add = [&](const std::string& what, std::uint64_t count) {
        if (count == 0) return;
        if (items++ == kMaxItems) text += ", ...";
        if (items > kMaxItems) return;
        if (!text.empty()) text += ", ";
        text += what + " " + std::to_string(count);
    };
    auto mnemonic = [](int i) { return std::string{char('A' + i / 26), char('A' + i % 26)}; };
    for (int i = 0; i < TIgnoredCommands::kMnemonics; ++i)
        add(mnemonic(i), ignored.Skipped[i]);
    for (int i = 0; i < TIgnoredCommands::kMnemonics; ++i)
        add(mnemonic(i) + " fehlerhaft", ignored.Malformed[i]);
    add("Escape-Sequenzen", ignored.Escapes);
    add("unlesbar", ignored.Unreadable);
    return text;
}

std::size_t FindLineBreak(std::string_view text, std::size_t from) {
    // A plain loop: find_first_of with a set of two searches the set for every byte.
    const char* p = text.data();
    const std::size_t n = text.size();
    for (std::size_t i = from; i < n; ++i)
        if (p[i] == '\n' || p[i] == '\r') return i;
    return n;
}

THpglReader::THpglReader() {
    Initialise();
}

void THpglReader::ReadText(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = FindLineBreak(text, start);
        ReadLine(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}

bool THpglReader::ReadLines(const ILineSource& source, std::stop_token stop) {
    constexpr std::size_t kBetweenChecks = 4096;
    const std::size_t count = source.LineCount();
    for (std::size_t i = 0; i < count; ++i) {
        if (i % kBetweenChecks == 0 && stop.stop_requested()) return false;
        ReadLine(source.LineAt(i));
    }
    return true;
}

void THpglReader::ReadLine(std::string_view line) {
    ReadCommands(line);
    ++line_;
}

void THpglReader::ReadCommands(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsSeparator(line[i])) {
            ++i;
        } else if (line[i] == kEsc) {
            i = SkipEscape(line, i);
            ++ignored_.Escapes;
        } else if (StartsCommand(line, i)) {
            i = ReadCommand(line, i);
        } else {
            i = SkipUnreadable(line, i);
            ++ignored_.Unreadable;
        }
    }
}

std::size_t THpglReader::ReadCommand(std::string_view line, std::size_t at) {
    const int code = Code(Upper(line[at]), Upper(line[at + 1]));
    std::size_t i = at + 2;
    if (code == kLB) {
        ++ignored_.Skipped[code];
        return SkipTo(line, i, labelEnd_);
    }
    if (code == kPE) {
        ++ignored_.Skipped[code];
        return SkipTo(line, i, ';');
    }
    if (code == kDT) {
        // The terminator is the byte right after the mnemonic; "DT;" restores ETX.
        const bool given = i < line.size() && line[i] != ';';
        labelEnd_ = given ? line[i] : kEtx;
        if (given) ++i;
    }
    bool usable = true;
    i = ReadParameters(line, i, usable);
    Execute(code, usable);
    return i;
}

std::size_t THpglReader::ReadParameters(std::string_view line, std::size_t i, bool& usable) {
    params_.clear();
    const std::size_t n = line.size();
    while (i < n) {
        const char c = line[i];
        if (c == ';') return i + 1;
        if (IsLetter(c) || c == kEsc) return i;
        if (IsBlank(c) || c == ',') {
            ++i;
        } else if (IsDigit(c) || c == '+' || c == '-' || c == '.') {
            const bool negative = c == '-';
            const std::size_t start = c == '+' || negative ? i + 1 : i;
            std::size_t end = start, digits = 0;
            // Whole numbers, as the converter writes them, are summed up on the way; up to
            // 15 digits they are exact.
            std::uint64_t whole = 0;
            for (; end < n && IsDigit(line[end]); ++end, ++digits)
                whole = whole * 10 + std::uint64_t(line[end] - '0');
            const bool integral = !(end < n && line[end] == '.') && digits > 0 && digits <= 15;
            if (end < n && line[end] == '.')
                for (++end; end < n && IsDigit(line[end]); ++end)
                    ++digits;
            double value = double(whole);
            bool readable = integral;
            if (!integral && digits > 0) {
                const auto [ptr, ec] = std::from_chars(line.data() + start, line.data() + end,
                                                       value, std::chars_format::fixed);
                readable = ec == std::errc() && ptr == line.data() + end;
            }
            if (!readable || !(value <= kMaxNumber))
                usable = false;
            else
                params_.push_back(negative ? -value : value);
            i = std::max(end, i + 1);
        } else if (c == '"') {
            // No command the preview evaluates takes a string.
            usable = false;
            i = SkipTo(line, i + 1, '"');
        } else {
            usable = false;
            ++i;
        }
    }
    return i;
}

void THpglReader::Execute(int code, bool usable) {
    bool done = usable;
    switch (code) {
    case kPU:
        done = done && Move(TPenAction::paUp, TModeAction::maKeep);
        break;
    case kPD:
        done = done && Move(TPenAction::paDown, TModeAction::maKeep);
        break;
    case kPA:
        done = done && Move(TPenAction::paKeep, TModeAction::maAbsolute);
        break;
    case kPR:
        done = done && Move(TPenAction::paKeep, TModeAction::maRelative);
        break;
    case kAT:
        done = done && Arc();
        break;
    case kIN:
        done = done && params_.size() <= 1;
        if (done) Initialise();
        break;
    case kDF:
        done = done && params_.empty();
        if (done) Defaults();
        break;
    case kSP:
        done = done && SelectPen();
        break;
    case kSC:
        done = done && Scale();
        break;
    case kIP:
        done = done && InputWindow();
        break;
    case kVS:
        done = done && Velocity();
        break;
    case kDT: // the terminator is set already; its mode parameter changes nothing here
        break;
    default:
        ++ignored_.Skipped[code];
        return;
    }
    if (!done) ++ignored_.Malformed[code];
}

bool THpglReader::Move(TPenAction pen, TModeAction mode) {
    if (params_.size() % 2 != 0) return false;
    const bool relative = mode == TModeAction::maKeep ? relative_ : mode == TModeAction::maRelative;
    auto next = [&](TPlotPoint from, std::size_t i) {
        return relative ? TPlotPoint{from.X + x_.Factor * params_[i],
                                     from.Y + y_.Factor * params_[i + 1]}
                        : ToPlotter(params_[i], params_[i + 1]);
    };
    // Every target is checked before the first one moves the pen, so that an unusable
    // command changes nothing.
    TPlotPoint p = pos_;
    for (std::size_t i = 0; i < params_.size(); i += 2)
        if (!InRange(p = next(p, i))) return false;
    if (pen != TPenAction::paKeep) penDown_ = pen == TPenAction::paDown;
    relative_ = relative;
    for (std::size_t i = 0; i < params_.size(); i += 2)
        LineTo(next(pos_, i));
    return true;
}

bool THpglReader::Arc() {
    if (params_.size() != 4 && params_.size() != 5) return false; // the fifth: chord angle
    const TPlotPoint end = ToPlotter(params_[2], params_[3]);
    std::optional<TPlotArc> arc =
        ThreePointArc(ToUser(pos_), {params_[0], params_[1]}, {params_[2], params_[3]});
    if (arc) {
        // The circle of the user's units, through the scaling onto the plotter's.
        arc->Centre = ToPlotter(arc->Centre.X, arc->Centre.Y);
        arc->RadiusX *= x_.Factor;
        arc->RadiusY *= y_.Factor;
        const double bow = std::max(std::abs(arc->RadiusX), std::abs(arc->RadiusY)) * 2 *
                           std::pow(std::sin(arc->Sweep / 4), 2);
        if (std::abs(arc->Sweep) < std::numbers::pi && bow < kFlatArc) arc.reset();
    }
    if (arc) {
        const TPlotBounds b = arc->Bounds();
        if (!InRange({b.MinX, b.MinY}) || !InRange({b.MaxX, b.MaxY})) return false;
    }
    if (!InRange(end)) return false;
    if (arc)
        plot_.ArcTo(PenState(), pos_, *arc, end, line_);
    else
        LineTo(end);
    pos_ = end;
    return true;
}

bool THpglReader::SelectPen() {
    if (params_.size() > 1) return false;
    const double pen = params_.empty() ? 0 : params_[0];
    if (pen < 0 || pen > 1e6) return false;
    pen_ = int(pen);
    UpdateSpeed();
    return true;
}

bool THpglReader::Velocity() {
    if (params_.size() > 2) return false;
    const double speed = params_.empty() ? 0 : params_[0];
    if (!(speed >= 0 && speed <= 1e6)) return false;
    if (params_.size() == 2) {
        const double pen = params_[1];
        if (!(pen >= 0 && pen <= 1e6)) return false;
        penSpeed_[int(pen)] = float(speed);
    } else {
        allPensSpeed_ = float(speed);
        penSpeed_.clear();
    }
    UpdateSpeed();
    return true;
}

void THpglReader::UpdateSpeed() {
    const auto own = penSpeed_.find(pen_);
    speed_ = own != penSpeed_.end() ? own->second : allPensSpeed_;
}

bool THpglReader::Scale() {
    if (params_.empty()) {
        scaling_ = false;
        x_ = y_ = TAxis{};
        return true;
    }
    const std::vector<double> previous = scaleParams_;
    scaleParams_ = params_;
    if (!ComputeScaling()) {
        scaleParams_ = previous;
        return false;
    }
    scaling_ = true;
    return true;
}

bool THpglReader::InputWindow() {
    const TPlotPoint p1 = p1_, p2 = p2_;
    if (params_.empty()) {
        p1_ = kDefaultP1;
        p2_ = kDefaultP2;
    } else if (params_.size() == 2 || params_.size() == 4) {
        p1_ = {params_[0], params_[1]};
        // Given P1 alone, P2 keeps its distance from it.
        p2_ = params_.size() == 4 ? TPlotPoint{params_[2], params_[3]}
                                  : TPlotPoint{p2.X + p1_.X - p1.X, p2.Y + p1_.Y - p1.Y};
    } else {
        return false;
    }
    if (scaling_ && !ComputeScaling()) {
        p1_ = p1;
        p2_ = p2;
        return false;
    }
    return true;
}

// SC xmin,xmax,ymin,ymax[,0]: the user range fills P1..P2 on each axis.
// SC xmin,xmax,ymin,ymax,1[,left,bottom]: the same with one factor for both axes, the spare
// room split by the percentages (50 each unless given).
// SC xmin,xfactor,ymin,yfactor,2: user (xmin, ymin) lies at P1, with the given factors.
bool THpglReader::ComputeScaling() {
    const std::vector<double>& p = scaleParams_;
    const std::size_t n = p.size();
    if (n != 4 && n != 5 && n != 7) return false;
    const double type = n >= 5 ? p[4] : 0;
    if ((type != 1 && n == 7) || (type != 0 && type != 1 && type != 2)) return false;
    TAxis x, y;
    if (type == 2) {
        x = {p1_.X - p[0] * p[1], p[1]};
        y = {p1_.Y - p[2] * p[3], p[3]};
    } else {
        const double ux = p[1] - p[0], uy = p[3] - p[2];
        const double wx = p2_.X - p1_.X, wy = p2_.Y - p1_.Y;
        x.Factor = wx / ux;
        y.Factor = wy / uy;
        double spareX = 0, spareY = 0;
        if (type == 1) {
            const double left = n == 7 ? p[5] : 50, bottom = n == 7 ? p[6] : 50;
            if (!(left >= 0 && left <= 100 && bottom >= 0 && bottom <= 100)) return false;
            const double common = std::min(std::abs(x.Factor), std::abs(y.Factor));
            x.Factor = std::copysign(common, x.Factor);
            y.Factor = std::copysign(common, y.Factor);
            spareX = (wx - ux * x.Factor) * left / 100;
            spareY = (wy - uy * y.Factor) * bottom / 100;
        }
        x.Offset = p1_.X + spareX - p[0] * x.Factor;
        y.Offset = p1_.Y + spareY - p[2] * y.Factor;
    }
    const bool usable = std::isfinite(x.Factor) && std::isfinite(y.Factor) && x.Factor != 0 &&
                        y.Factor != 0 && std::isfinite(x.Offset) && std::isfinite(y.Offset);
    if (usable) {
        x_ = x;
        y_ = y;
    }
    return usable;
}

void THpglReader::Initialise() {
    Defaults();
    pos_ = {0, 0};
    penDown_ = false;
    p1_ = kDefaultP1;
    p2_ = kDefaultP2;
    allPensSpeed_ = 0;
    penSpeed_.clear();
    UpdateSpeed();
}

void THpglReader::Defaults() {
    relative_ = false;
    scaling_ = false;
    x_ = y_ = TAxis{};
    labelEnd_ = kEtx;
}

TPlotPoint THpglReader::ToPlotter(double x, double y) const {
    return {x_.Offset + x_.Factor * x, y_.Offset + y_.Factor * y};
}

TPlotPoint THpglReader::ToUser(TPlotPoint p) const {
    return {(p.X - x_.Offset) / x_.Factor, (p.Y - y_.Offset) / y_.Factor};
}

TPenState THpglReader::PenState() const {
    const bool drawn = penDown_ && pen_ != 0;
    return {drawn ? TStrokeKind::skDrawn : TStrokeKind::skTravel, drawn ? pen_ : 0, speed_};
}

void THpglReader::LineTo(TPlotPoint to) {
    if (to == pos_) return;
    plot_.LineTo(PenState(), pos_, to, line_);
    pos_ = to;
}

} // namespace plotalon
