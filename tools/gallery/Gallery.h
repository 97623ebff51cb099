#pragma once
// The gallery window: the flat speed button in every look (up, hot, pressed, latched,
// latched and hot, disabled) for the kinds of buttons the windows use, and every glyph of
// the artwork on a button of its own, so that a person can look the controls over.

#include <QWidget>

namespace plotalon {

class TGallery : public QWidget {
public:
    explicit TGallery(QWidget* parent = nullptr);
    // Puts every sample into its look; call once the window is shown.
    void ApplyLooks();

private:
    void BuildLookMatrix();
    void BuildGlyphSheet();
};

} // namespace plotalon
