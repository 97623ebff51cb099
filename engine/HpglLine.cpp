#include "engine/HpglLine.h"

#include <cstring>

#include "engine/BlockTranslator.h"

namespace plotalon {

namespace {

// Room for a two-letter command, four 20-character coordinates, separators and ";".
struct TLineBuffer {
    char text[2 + 4 * 21 + 1];
    std::size_t size = 0;

    void Put(std::string_view s) {
        std::memcpy(text + size, s.data(), s.size());
        size += s.size();
    }
    void Coord(long double v) { size += FormatCoord(v, text + size); }
    std::string_view View() const { return {text, size}; }
};

} // namespace

void AppendPoint(ILineSink& target, std::string_view command, long double x, long double y) {
    TLineBuffer line;
    line.Put(command);
    line.Coord(x);
    line.Put(",");
    line.Coord(y);
    line.Put(";");
    target.AppendLine(line.View());
}

void AppendArcThrough(ILineSink& target, long double xi, long double yi, long double xe,
                      long double ye) {
    TLineBuffer line;
    line.Put("AT");
    line.Coord(xi);
    line.Put(",");
    line.Coord(yi);
    line.Put(",");
    line.Coord(xe);
    line.Put(",");
    line.Coord(ye);
    line.Put(";");
    target.AppendLine(line.View());
}

} // namespace plotalon
