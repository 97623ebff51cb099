#include "controls/GlyphArt.h"

#include <QFile>

// The resources live in a static library, so they are registered by hand before use.
static void InitGlyphResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(glyphs);
        return true;
    }();
    (void)done;
}

namespace plotalon {

QString GlyphPath(std::string_view name) {
    return QStringLiteral(":/glyphs/") + QString::fromLatin1(name.data(), qsizetype(name.size())) +
           QStringLiteral(".xpm");
}

TBitmap LoadGlyph(std::string_view name) {
    InitGlyphResources();
    return TBitmap::FromFile(GlyphPath(name));
}

} // namespace plotalon
