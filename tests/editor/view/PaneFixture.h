#pragma once
// A pane as the main window configures it, shown offscreen, with an in-memory clipboard,
// and helpers that find its cells and read its pixels.

#include "editor/view/CodeEdit.h"
#include "editor/view/CodeEditPaneStyle.h"
#include "platform/qt/Colors.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace plotalon::test {

inline void ShowPane(TCodeEdit& pane, int visibleLines = 12) {
    ApplyNcPaneStyle(pane);
    pane.resize(pane.TextStart() + 90 * pane.CharWidth() +
                    pane.verticalScrollBar()->sizeHint().width(),
                visibleLines * pane.LineHeight());
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
}

inline void AddLines(TCodeEdit& pane, std::initializer_list<const char*> lines) {
    for (const char* line : lines)
        pane.Lines().AddLine(line);
}

// The middle of a position's cell, in viewport coordinates.
inline QPoint Cell(const TCodeEdit& pane, int column, int line) {
    return pane.RowColumnToPixels({column, line}) +
           QPoint(pane.CharWidth() / 2, pane.LineHeight() / 2);
}

inline QRect CellRect(const TCodeEdit& pane, int column, int line) {
    return {pane.RowColumnToPixels({column, line}), QSize(pane.CharWidth(), pane.LineHeight())};
}

inline QImage Shot(TCodeEdit& pane) {
    QApplication::processEvents();
    return pane.viewport()->grab().toImage();
}

// Pixels of exactly this colour within rect.
inline int CountColor(const QImage& image, const QRect& rect, TColor color) {
    const QRgb wanted = ToQColor(color).rgb();
    int count = 0;
    const QRect inside = rect.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += (image.pixel(x, y) | 0xFF000000) == wanted;
    return count;
}

// Pixels that differ from the background colour within rect.
inline int CountInk(const QImage& image, const QRect& rect, TColor background) {
    return rect.intersected(image.rect()).width() * rect.intersected(image.rect()).height() -
           CountColor(image, rect, background);
}

class PaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No blinking, so that a picture shows the caret whenever the pane has the focus.
        QApplication::setCursorFlashTime(0);
        pane_.SetClipboard(&clipboard_);
    }

    TCodeEdit pane_;
    InMemoryClipboard clipboard_;
};

} // namespace plotalon::test
