#include "settings/Unit2.h"

#include "controls/XPSpeedButton.h"
#include "engine/ConvState.h"
#include "engine/ConversionRun.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/Memo.h"
#include "platform/qt/Shape.h"
#include "settings/PlotterPage.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace plotalon {
namespace {

// The dialog shown over a main window stand-in, active, as the user meets it.
class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        main_.setGeometry(100, 80, 900, 700);
        main_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main_));
        dialog_ = new TForm_Einstellungen(&main_);
    }
    void TearDown() override { delete dialog_; }

    void Show() {
        dialog_->show();
        dialog_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_));
        QCoreApplication::processEvents(); // the focus follows the activation
    }
    static void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton, {}, {5, 5}); }
    // Alt plus a key, as the keyboard sends it to the focused control.
    void AltKey(char key) {
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : dialog_;
        QTest::keyClick(focus, key, Qt::AltModifier);
    }

    // A page button added below the first two: in their strip, group and look, up at start,
    // its page where theirs lie.
    void ExpectPageButton(TXPSpeedButton* button, int top, const char16_t* caption, QWidget* page) {
        SCOPED_TRACE(QString::fromUtf16(caption).toStdString());
        EXPECT_EQ(button->parentWidget(), dialog_->Panel1);
        EXPECT_EQ(button->geometry(), QRect(8, top, 113, 30));
        EXPECT_EQ(button->Caption(), QString::fromUtf16(caption));
        EXPECT_EQ(button->GroupIndex(), 10);
        EXPECT_EQ(button->Margin(), 5);
        EXPECT_FALSE(button->Down());
        EXPECT_EQ(button->Glyph().Image(), dialog_->BHPGL->Glyph().Image());
        EXPECT_EQ(page->parentWidget(), dialog_->Panel2);
        EXPECT_EQ(page->geometry(), QRect(129, 0, 400, 287));
    }

    QWidget main_;
    TForm_Einstellungen* dialog_ = nullptr;
};

TEST_F(SettingsDialog, EveryControlAtItsPlace) {
    EXPECT_EQ(dialog_->windowTitle(), u"Einstellungen"_qs);
    EXPECT_EQ(dialog_->size(), QSize(529, 334));
    EXPECT_EQ(dialog_->minimumSize(), dialog_->maximumSize()); // not resizable
    EXPECT_TRUE(dialog_->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog_->font().pixelSize(), 11);

    auto* d = dialog_;
    const struct {
        QWidget* control;
        QWidget* region;
        QRect geometry;
    } controls[] = {
        {d->Panel2, d, {0, 0, 529, 287}},
        {d->Panel3, d, {0, 287, 529, 47}},
        {d->Panel1, d->Panel2, {0, 0, 129, 287}},
        {d->Shape1, d->Panel1, {128, 0, 1, 287}},
        {d->Panel_DIR, d->Panel2, {129, 0, 400, 287}},
        {d->Panel_HPGL, d->Panel2, {129, 0, 400, 287}},
        {d->BHPGL, d->Panel1, {8, 12, 113, 30}},
        {d->BDir, d->Panel1, {8, 52, 113, 30}},
        {d->Shape2, d->Panel3, {0, 0, 529, 1}},
        {d->Abbruch, d->Panel3, {8, 11, 113, 30}},
        {d->XPSpeedButton1, d->Panel3, {210, 11, 113, 30}},
        {d->XPSpeedButton3, d->Panel3, {409, 11, 113, 30}},
        {d->FMinus, d->Panel_HPGL, {140, 12, 19, 19}},
        {d->EFaktor, d->Panel_HPGL, {158, 12, 50, 19}},
        {d->FPlus, d->Panel_HPGL, {207, 12, 19, 19}},
        {d->XMinus, d->Panel_HPGL, {140, 36, 19, 19}},
        {d->EXVersatz, d->Panel_HPGL, {158, 36, 50, 19}},
        {d->XPlus, d->Panel_HPGL, {207, 36, 19, 19}},
        {d->YMinus, d->Panel_HPGL, {140, 60, 19, 19}},
        {d->EYVersatz, d->Panel_HPGL, {158, 60, 50, 19}},
        {d->YPlus, d->Panel_HPGL, {207, 60, 19, 19}},
        {d->EVorspann, d->Panel_HPGL, {140, 88, 229, 57}},
        {d->ENachspann, d->Panel_HPGL, {140, 152, 229, 57}},
        {d->EHPGL1, d->Panel_HPGL, {32, 216, 81, 25}},
        {d->EHPGL2, d->Panel_HPGL, {32, 252, 81, 25}},
        {d->GMinus, d->Panel_HPGL, {260, 220, 19, 19}},
        {d->EGrad, d->Panel_HPGL, {278, 220, 50, 19}},
        {d->GPlus, d->Panel_HPGL, {327, 220, 19, 19}},
        {d->ENCDIR, d->Panel_DIR, {32, 32, 329, 19}},
        {d->BNCDIR, d->Panel_DIR, {363, 32, 23, 22}},
        {d->EHPGLDIR, d->Panel_DIR, {32, 80, 329, 19}},
        {d->BHPGLDIR, d->Panel_DIR, {363, 80, 23, 22}},
    };
    for (const auto& c : controls) {
        EXPECT_EQ(c.control->parentWidget(), c.region) << c.geometry.x() << "," << c.geometry.y();
        EXPECT_EQ(c.control->geometry(), c.geometry);
    }

    const struct {
        QLabel* label;
        QWidget* region;
        QPoint at;
        const char16_t* text;
    } labels[] = {
        {d->Label2, d->Panel_HPGL, {32, 16}, u"Skalierungsfaktor"},
        {d->Label3, d->Panel_HPGL, {32, 40}, u"Ursprung X"},
        {d->Label4, d->Panel_HPGL, {32, 64}, u"Ursprung Y"},
        {d->Label7, d->Panel_HPGL, {32, 88}, u"Vorspann"},
        {d->Label8, d->Panel_HPGL, {32, 152}, u"Nachspann"},
        {d->Label1, d->Panel_HPGL, {144, 224}, u"Auflösung Bogen (Grad)"},
        {d->Label5, d->Panel_DIR, {32, 16}, u"NC-Dateien"},
        {d->Label6, d->Panel_DIR, {32, 64}, u"HPGL-Dateien"},
    };
    for (const auto& l : labels) {
        EXPECT_EQ(l.label->parentWidget(), l.region);
        EXPECT_EQ(l.label->pos(), l.at);
        EXPECT_EQ(l.label->text(), QString::fromUtf16(l.text));
        // Nothing clipped: the label is as wide as its text.
        EXPECT_GE(l.label->width(), l.label->fontMetrics().horizontalAdvance(l.label->text()));
    }
    // The arc resolution label ends before its minus stepper.
    EXPECT_LT(d->Label1->geometry().right(), d->GMinus->x());

    const struct {
        TXPSpeedButton* button;
        const char16_t* caption;
        int group;
        bool down;
        int margin;
    } buttons[] = {
        {d->BHPGL, u"&HPGL", 10, true, 5},
        {d->BDir, u"&Verzeichnisse", 10, false, 5},
        {d->EHPGL1, u"H&PGL 1", 11, true, 5},
        {d->EHPGL2, u"HP&GL 2", 11, false, 5},
        {d->Abbruch, u"&Abbrechen", 0, false, -1},
        {d->XPSpeedButton1, u"&Hilfe", 0, false, -1},
        {d->XPSpeedButton3, u"&Speichern", 0, false, -1},
    };
    for (const auto& b : buttons) {
        EXPECT_EQ(b.button->Caption(), QString::fromUtf16(b.caption));
        EXPECT_EQ(b.button->GroupIndex(), b.group) << b.button->Caption().toStdString();
        EXPECT_EQ(b.button->Down(), b.down) << b.button->Caption().toStdString();
        EXPECT_EQ(b.button->Margin(), b.margin) << b.button->Caption().toStdString();
        EXPECT_FALSE(b.button->Glyph().Empty());
    }
    EXPECT_EQ(d->EHPGL1->NumGlyphs(), 4);
    EXPECT_EQ(d->BNCDIR->BrushDown().Color, kHouseActive);
    EXPECT_EQ(d->FMinus->PenNormal().Color, clWindowFrame);
    EXPECT_EQ(d->GPlus->PenDown().Color, clNavy);

    const struct {
        QLineEdit* edit;
        const char* text;
    } initial[] = {{d->EFaktor, "1000"}, {d->EXVersatz, "0"}, {d->EYVersatz, "0"},
                   {d->EGrad, "10"},     {d->ENCDIR, ""},     {d->EHPGLDIR, ""}};
    for (const auto& i : initial)
        EXPECT_EQ(i.edit->text(), QString::fromUtf8(i.text));
    EXPECT_EQ(d->EVorspann->Text(), "");
    EXPECT_EQ(d->ENachspann->Text(), "");
}

TEST_F(SettingsDialog, CentredOverTheMainWindowOnceThenWhereTheUserLeftIt) {
    Show();
    EXPECT_LE(
        (dialog_->frameGeometry().center() - main_.frameGeometry().center()).manhattanLength(), 2);
    dialog_->move(dialog_->pos() + QPoint(40, 30));
    const QPoint moved = dialog_->pos();
    dialog_->hide();
    Show();
    EXPECT_EQ(dialog_->pos(), moved);
}

TEST_F(SettingsDialog, SteppersStepRoundAndRightAlign) {
    Show();
    auto* d = dialog_;
    const struct {
        QLineEdit* field;
        TXPSpeedButton* stepper;
        const char* before;
        const char* after;
    } cases[] = {
        {d->EFaktor, d->FPlus, "1000", " 1010"}, {d->EFaktor, d->FMinus, "15", "    5"},
        {d->EFaktor, d->FMinus, "10", "   10"},  {d->EFaktor, d->FMinus, "5", "    5"},
        {d->EXVersatz, d->XMinus, "0", "  -10"}, {d->EXVersatz, d->XPlus, "12.5", "   23"},
        {d->EYVersatz, d->YMinus, "0", "  -10"}, {d->EYVersatz, d->YPlus, "-7", "    3"},
        {d->EGrad, d->GPlus, "360", "360"},      {d->EGrad, d->GMinus, "1", "  1"},
        {d->EGrad, d->GPlus, "359.6", "1"}, // 361 is out of range, and the validator says so
    };
    for (const auto& c : cases) {
        c.field->setText(QString::fromUtf8(c.before));
        Click(c.stepper);
        EXPECT_EQ(c.field->text(), QString::fromUtf8(c.after)) << c.before;
    }
}

TEST_F(SettingsDialog, ValidatorsReplaceInvalidTextAtOnce) {
    Show();
    auto* d = dialog_;
    // Deleting the last character leaves an empty text, which is replaced.
    const struct {
        QLineEdit* field;
        const char* replacement;
    } emptied[] = {{d->EFaktor, "1000"}, {d->EXVersatz, "0"}, {d->EYVersatz, "0"}, {d->EGrad, "1"}};
    for (const auto& e : emptied) {
        e.field->setText(u"7"_qs);
        e.field->setFocus();
        e.field->end(false);
        QTest::keyClick(e.field, Qt::Key_Backspace);
        EXPECT_EQ(e.field->text(), QString::fromUtf8(e.replacement));
    }

    for (const char* text : {"0", "-5", "361", "abc"}) {
        d->EGrad->setText(QString::fromUtf8(text));
        EXPECT_EQ(d->EGrad->text(), u"1"_qs) << text;
    }
    for (const char* text : {"360.5", "0.5"}) {
        d->EGrad->setText(QString::fromUtf8(text));
        EXPECT_EQ(d->EGrad->text(), QString::fromUtf8(text));
    }

    // Typing: a lone sign is replaced, so a negative origin gets its sign in front of digits.
    d->EXVersatz->clear(); // "0"
    d->EXVersatz->setFocus();
    d->EXVersatz->selectAll();
    QTest::keyClicks(d->EXVersatz, "-");
    EXPECT_EQ(d->EXVersatz->text(), u"0"_qs);
    d->EXVersatz->setText(u"25"_qs);
    d->EXVersatz->home(false);
    QTest::keyClicks(d->EXVersatz, "-");
    EXPECT_EQ(d->EXVersatz->text(), u"-25"_qs);
    QTest::keyClicks(d->EXVersatz, "x");
    EXPECT_EQ(d->EXVersatz->text(), u"0"_qs);
}

TEST_F(SettingsDialog, PageButtonsShowOnePageAndLatch) {
    Show();
    auto* d = dialog_;
    EXPECT_TRUE(d->Panel_HPGL->isVisible());
    EXPECT_FALSE(d->Panel_DIR->isVisible());
    Click(d->BDir);
    EXPECT_TRUE(d->Panel_DIR->isVisible());
    EXPECT_FALSE(d->Panel_HPGL->isVisible());
    EXPECT_TRUE(d->BDir->Down());
    EXPECT_FALSE(d->BHPGL->Down());
    Click(d->BDir); // pressed again: stays down, the page stays
    EXPECT_TRUE(d->BDir->Down());
    EXPECT_TRUE(d->Panel_DIR->isVisible());
    Click(d->BHPGL);
    EXPECT_TRUE(d->Panel_HPGL->isVisible());
    EXPECT_FALSE(d->Panel_DIR->isVisible());
}

// The third page: its button below the other two, the page with its controls inside it,
// nothing clipped, and accelerators of its own (no letter taken twice on any page).
TEST_F(SettingsDialog, NcFormatPageBesideTheOthers) {
    auto* d = dialog_;
    ExpectPageButton(d->BNCFormat, 92, u"&NC-Format", d->Panel_NCFormat);

    const QRect page(0, 0, 400, 287);
    for (QLabel* label : {d->Label9, d->Label10, d->Label11, d->Label12}) {
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        EXPECT_TRUE(page.contains(label->geometry())) << label->text().toStdString();
    }
    EXPECT_LT(d->Label11->geometry().right(), d->SMinus->x());
    const struct {
        TXPSpeedButton* button;
        const char16_t* caption;
        int group;
        bool down;
    } buttons[] = {
        {d->EWoertlich, u"&Wörtlich (alt)", 12, true},
        {d->EStandard, u"S&tandard (RS274)", 12, false},
        {d->EStiftZHoehe, u"&Z-Höhe", 13, true},
        {d->EStiftSpindel, u"Spindel/Laser (&M3)", 13, false},
        {d->EWerkzeugStift, u"Stift aus Wer&kzeug (T n M6)", 14, false},
        {d->EBohrpunkte, u"&Bohrungen als Punkte", 15, false},
    };
    for (const auto& b : buttons) {
        EXPECT_EQ(b.button->Caption(), QString::fromUtf16(b.caption));
        EXPECT_EQ(b.button->GroupIndex(), b.group);
        EXPECT_EQ(b.button->Down(), b.down);
        EXPECT_EQ(b.button->NumGlyphs(), 4);
        EXPECT_TRUE(page.contains(b.button->geometry()));
    }
    EXPECT_EQ(d->EStiftZ->text(), u"0"_qs);
    // Stepper, field and stepper overlap by a pixel, as on the HPGL page.
    EXPECT_EQ(d->EStiftZ->x(), d->SMinus->geometry().right());
    EXPECT_EQ(d->SPlus->x(), d->EStiftZ->geometry().right());
    EXPECT_EQ(d->SMinus->PenDown().Color, clNavy);

    // Every accelerator of the dialog's buttons belongs to one button, but for the two the
    // original layout shares ("&HPGL" and "&Hilfe").
    std::map<QChar, int> uses;
    for (TXPSpeedButton* button : d->findChildren<TXPSpeedButton*>()) {
        const QString caption = button->Caption();
        const qsizetype amp = caption.indexOf(u'&');
        if (amp >= 0 && amp + 1 < caption.size()) ++uses[caption[amp + 1].toLower()];
    }
    for (const auto& [letter, count] : uses)
        EXPECT_EQ(count, letter == u'h' ? 2 : 1) << QString(letter).toStdString();
}

TEST_F(SettingsDialog, NcFormatPageByMouseAndKeyboard) {
    Show();
    auto* d = dialog_;
    Click(d->BNCFormat);
    EXPECT_TRUE(d->Panel_NCFormat->isVisible());
    EXPECT_FALSE(d->Panel_HPGL->isVisible());
    EXPECT_FALSE(d->Panel_DIR->isVisible());
    EXPECT_TRUE(d->BNCFormat->Down());
    EXPECT_FALSE(d->BHPGL->Down());
    Click(d->BDir);
    EXPECT_FALSE(d->Panel_NCFormat->isVisible());
    AltKey('n');
    EXPECT_TRUE(d->Panel_NCFormat->isVisible());
    EXPECT_TRUE(d->BNCFormat->Down());

    // The pairs latch one of two, by mouse and by accelerator.
    Click(d->EStandard);
    EXPECT_TRUE(d->EStandard->Down());
    EXPECT_FALSE(d->EWoertlich->Down());
    AltKey('w');
    EXPECT_TRUE(d->EWoertlich->Down());
    EXPECT_FALSE(d->EStandard->Down());
    AltKey('t');
    EXPECT_TRUE(d->EStandard->Down());
    AltKey('m');
    EXPECT_TRUE(d->EStiftSpindel->Down());
    EXPECT_FALSE(d->EStiftZHoehe->Down());
    Click(d->EStiftZHoehe);
    EXPECT_TRUE(d->EStiftZHoehe->Down());

    // The options latch and release, by mouse and by accelerator alike.
    for (auto [option, key] : {std::pair{d->EWerkzeugStift, 'k'}, std::pair{d->EBohrpunkte, 'b'}}) {
        Click(option);
        EXPECT_TRUE(option->Down());
        Click(option);
        EXPECT_FALSE(option->Down());
        AltKey(key);
        EXPECT_TRUE(option->Down());
        AltKey(key);
        EXPECT_FALSE(option->Down());
        Click(option);
        EXPECT_TRUE(option->Down());
    }

    // The pen level: steppers of a tenth, a validator like the HPGL page's.
    const struct {
        TXPSpeedButton* stepper; // nullptr: typed
        const char* before;
        const char* after;
    } cases[] = {
        {d->SMinus, "0", "-0.1"},        {d->SPlus, "0.95", "1.05"}, {d->SPlus, "-0.1", "0"},
        {d->SMinus, "999.95", "999.85"}, {d->SPlus, "1000", "1000"}, {nullptr, "-0.5", "-0.5"},
        {nullptr, "abc", "0"},           {nullptr, "2000", "0"},     {nullptr, "1,5", "0"},
        {nullptr, "-2.25", "-2.25"},
    };
    for (const auto& c : cases) {
        d->EStiftZ->setText(QString::fromUtf8(c.before));
        if (c.stepper) Click(c.stepper);
        EXPECT_EQ(d->EStiftZ->text(), QString::fromUtf8(c.after)) << c.before;
    }
    d->EStiftZ->setText(u"7"_qs);
    d->EStiftZ->setFocus();
    d->EStiftZ->end(false);
    QTest::keyClick(d->EStiftZ, Qt::Key_Backspace);
    EXPECT_EQ(d->EStiftZ->text(), u"0"_qs);
}

// The fourth page: its button below the third, and reached by mouse and by Alt+L from every
// other page, the keyboard's focus going along to its first field.
TEST_F(SettingsDialog, PlotterPageByMouseAndKeyboard) {
    auto* d = dialog_;
    ExpectPageButton(d->BPlotter, 132, u"P&lotter", d->Panel_Plotter);

    Show();
    QWidget* pages[] = {d->Panel_HPGL, d->Panel_DIR, d->Panel_NCFormat, d->Panel_Plotter};
    const auto shown = [&] {
        std::vector<QWidget*> visible;
        for (QWidget* page : pages)
            if (page->isVisible()) visible.push_back(page);
        return visible;
    };
    Click(d->BPlotter);
    EXPECT_EQ(shown(), std::vector<QWidget*>{d->Panel_Plotter});
    EXPECT_TRUE(d->BPlotter->Down());
    EXPECT_FALSE(d->BHPGL->Down());
    const struct {
        TXPSpeedButton* button;
        QWidget* page;
    } others[] = {
        {d->BHPGL, d->Panel_HPGL}, {d->BDir, d->Panel_DIR}, {d->BNCFormat, d->Panel_NCFormat}};
    for (const auto& other : others) {
        Click(other.button);
        EXPECT_EQ(shown(), std::vector<QWidget*>{other.page});
        EXPECT_FALSE(d->BPlotter->Down());
        AltKey('l');
        EXPECT_EQ(shown(), std::vector<QWidget*>{d->Panel_Plotter});
        EXPECT_TRUE(d->BPlotter->Down());
        EXPECT_FALSE(other.button->Down());
        EXPECT_TRUE(d->Panel_Plotter->isAncestorOf(QApplication::focusWidget()));
    }
    EXPECT_FALSE(d->EStiftSpindel->Down()); // Alt+L is the page's alone

    // Tab walks the page's fields and comes round to the first.
    TPlotterPage* p = d->Panel_Plotter;
    p->EPort->setFocus();
    const QWidget* order[] = {p->EBaud,      p->EBits,    p->EParity, p->EStop,
                              p->EHandshake, p->EBlock,   p->EInit,   p->ERangeMin,
                              p->ERangeMax,  p->ETimeout, p->EPort};
    for (const QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->metaObject()->className();
    }
}

TEST_F(SettingsDialog, DialectButtonsKeepExactlyOneDown) {
    Show();
    Click(dialog_->EHPGL2);
    EXPECT_TRUE(dialog_->EHPGL2->Down());
    EXPECT_FALSE(dialog_->EHPGL1->Down());
    Click(dialog_->EHPGL2);
    EXPECT_TRUE(dialog_->EHPGL2->Down());
    Click(dialog_->EHPGL1);
    EXPECT_TRUE(dialog_->EHPGL1->Down());
    EXPECT_FALSE(dialog_->EHPGL2->Down());
}

TEST_F(SettingsDialog, TabWalksTheFieldsOfTheShownPage) {
    Show();
    auto* d = dialog_;
    EXPECT_EQ(QApplication::focusWidget(), d->EFaktor);
    const QWidget* hpglOrder[] = {d->EXVersatz, d->EYVersatz,  d->EGrad,
                                  d->EVorspann, d->ENachspann, d->EFaktor};
    for (const QWidget* next : hpglOrder) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    Click(d->BDir);
    d->ENCDIR->setFocus();
    QTest::keyClick(d->ENCDIR, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), d->EHPGLDIR);
    QTest::keyClick(d->EHPGLDIR, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), d->ENCDIR);
}

TEST_F(SettingsDialog, AcceleratorsPressTheirButtons) {
    Show();
    auto* d = dialog_;
    // Group buttons latch from the keyboard too, so the look tells the page and dialect.
    AltKey('v');
    EXPECT_TRUE(d->Panel_DIR->isVisible());
    EXPECT_TRUE(d->BDir->Down());
    AltKey('h'); // "&HPGL" comes before "&Hilfe" in the window
    EXPECT_TRUE(d->Panel_HPGL->isVisible());
    EXPECT_TRUE(d->BHPGL->Down());
    EXPECT_EQ(QApplication::focusWidget(), d->EFaktor); // the field of the page that came
    AltKey('g');
    EXPECT_TRUE(d->EHPGL2->Down());
    EXPECT_FALSE(d->EHPGL1->Down());
    AltKey('p');
    EXPECT_TRUE(d->EHPGL1->Down());
    // A plain letter in a field is typed, not taken as an accelerator.
    d->EXVersatz->setFocus();
    d->EXVersatz->end(false);
    QTest::keyClicks(d->EXVersatz, "5");
    EXPECT_EQ(d->EXVersatz->text(), u"05"_qs);
    AltKey('a');
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
}

TEST_F(SettingsDialog, CancelKeepsEveryEdit) {
    Show();
    auto* d = dialog_;
    d->EFaktor->setText(u"250"_qs);
    d->EVorspann->SetText("IN;");
    Click(d->EHPGL2);
    Click(d->BDir);
    d->ENCDIR->setText(u"/tmp"_qs);
    Click(d->Abbruch);
    EXPECT_FALSE(d->isVisible());
    Show();
    EXPECT_EQ(d->EFaktor->text(), u"250"_qs);
    EXPECT_EQ(d->EVorspann->Text(), "IN;");
    EXPECT_TRUE(d->EHPGL2->Down());
    EXPECT_TRUE(d->Panel_DIR->isVisible());
    EXPECT_EQ(d->ENCDIR->text(), u"/tmp"_qs);
}

// The dialog with the program's folder in a fresh temporary folder and the conversion
// settings as at program start.
class SettingsFiles : public SettingsDialog {
protected:
    void SetUp() override {
        SettingsDialog::SetUp();
        ConvSettings() = TConvSettings();
    }
    std::string Ini() const { return test::TTempDir::Read(files_.Path("main.ini")); }
    void Save() { Click(dialog_->XPSpeedButton3); }
    std::vector<std::string> FolderContents() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(files_.Folder()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TTempDir files_;
    TProgramFolderOverride folder_{files_.Folder()};
    TErrorRecorder errors_;
};

TEST_F(SettingsFiles, FirstStartShowsValidatedDefaultsAndTheFirstSaveWritesThem) {
    dialog_->LoadSettings();
    auto* d = dialog_;
    EXPECT_EQ(d->EFaktor->text(), u"1000"_qs);
    EXPECT_EQ(d->EXVersatz->text(), u"0"_qs);
    EXPECT_EQ(d->EYVersatz->text(), u"0"_qs);
    EXPECT_EQ(d->EGrad->text(), u"1"_qs); // the empty text is replaced, not the design value
    EXPECT_TRUE(d->EHPGL1->Down());
    EXPECT_EQ(d->ENCDIR->text(), u""_qs);
    EXPECT_EQ(d->EVorspann->Text(), "");
    const TConvSettings& s = ConvSettings();
    EXPECT_EQ(std::tie(s.Factor, s.XMove, s.YMove, s.Deg, s.HpglType),
              std::make_tuple(0, 0, 0, 0, std::uint8_t(0)));
    EXPECT_TRUE(FolderContents().empty()); // loading writes nothing

    Show();
    AltKey('s');
    EXPECT_TRUE(errors_.Entries.empty());
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(Ini(),
              "[path]\r\nnc=\r\nhpgl=\r\n[convert]\r\nfactor=1000\r\nxmove=0\r\n"
              "ymove=0\r\ndeg=1\r\ntype=1\r\nncmode=0\r\npenz=0\r\npensource=0\r\n"
              "toolpens=0\r\ndrillmarks=0\r\n[plotter]\r\nport=\r\nbaud=9600\r\ndatabits=8\r\n"
              "parity=none\r\nstopbits=1\r\nhandshake=none\r\nblock=256\r\ninit=\r\n"
              "rangemin=-32768\r\nrangemax=32767\r\ntimeout=5\r\n");
    EXPECT_EQ(FolderContents(),
              (std::vector<std::string>{"main.ini", "nachspann.plt", "vorspann.plt"}));
    EXPECT_EQ(test::TTempDir::Read(files_.Path("vorspann.plt")), "");
    EXPECT_EQ(test::TTempDir::Read(files_.Path("nachspann.plt")), "");
    EXPECT_EQ(std::tie(s.Factor, s.XMove, s.YMove, s.Deg, s.HpglType),
              std::make_tuple(1000, 0, 0, 1, std::uint8_t(1)));
}

TEST_F(SettingsFiles, NcFormatIsSavedAfterTheTypeAndReadBack) {
    Show();
    auto* d = dialog_;
    Click(d->BNCFormat);
    Click(d->EStandard);
    d->EStiftZ->setText(u"-0.5"_qs);
    Click(d->EStiftSpindel);
    Click(d->EBohrpunkte);
    Save();
    EXPECT_TRUE(errors_.Entries.empty());
    EXPECT_NE(Ini().find("type=1\r\nncmode=1\r\npenz=-500\r\npensource=1\r\ntoolpens=0\r\n"
                         "drillmarks=1\r\n"),
              std::string::npos)
        << Ini();
    const TConvSettings& s = ConvSettings();
    EXPECT_EQ(s.NcMode, TNcMode::nmStandard);
    EXPECT_EQ(s.PenZ, -500);
    EXPECT_EQ(s.PenSource, TPenSource::psSpindle);
    EXPECT_FALSE(s.ToolPens);
    EXPECT_TRUE(s.DrillMarks);

    // Loaded from a file: the page shows it. Without the keys the literal reading comes back,
    // and the conversion is exactly the literal one.
    files_.Write("main.ini", "[convert]\r\nfactor=40\r\ntype=1\r\nncmode=1\r\npenz=1250\r\n"
                             "pensource=0\r\ntoolpens=1\r\ndrillmarks=0\r\n");
    d->LoadSettings();
    EXPECT_TRUE(d->EStandard->Down());
    EXPECT_EQ(d->EStiftZ->text(), u"1.25"_qs);
    EXPECT_TRUE(d->EStiftZHoehe->Down());
    EXPECT_TRUE(d->EWerkzeugStift->Down());
    EXPECT_FALSE(d->EBohrpunkte->Down());
    EXPECT_TRUE(s.ToolPens);
    EXPECT_EQ(s.PenZ, 1250);

    files_.Write("main.ini", "[convert]\r\nfactor=40\r\ntype=1\r\n");
    d->LoadSettings();
    EXPECT_TRUE(d->EWoertlich->Down());
    EXPECT_EQ(d->EStiftZ->text(), u"0"_qs);
    EXPECT_FALSE(d->EWerkzeugStift->Down());
    EXPECT_EQ(s.NcMode, TNcMode::nmLiteral);
    TLineVector source{"G01 X1 Y2"}, none, target;
    TModalState state;
    TConversionRun(s, state, target).Execute(source, none, none);
    EXPECT_EQ(target.Lines, (std::vector<std::string>{"PU40,80;"})); // G01 is a rapid move
}

// The page's section comes after every key of the other pages, which stay as they were; a
// file without it gives the page's defaults, whatever the page held before.
TEST_F(SettingsFiles, PlotterSectionIsSavedAfterTheOthersAndReadBack) {
    files_.Write("main.ini", "[path]\r\nnc=/nc\r\nhpgl=/plt\r\n[convert]\r\nfactor=40\r\n"
                             "xmove=0\r\nymove=0\r\ndeg=10\r\ntype=2\r\n");
    dialog_->LoadSettings();
    Show();
    AltKey('l');
    TPlotterPage* page = dialog_->Panel_Plotter;
    QTest::keyClicks(page->EPort->lineEdit(), "/dev/ttyUSB0");
    page->EHandshake->setCurrentIndex(1); // XON/XOFF
    page->ERangeMax->setText(u"10300"_qs);
    Save();
    EXPECT_TRUE(errors_.Entries.empty());
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(Ini(), "[path]\r\nnc=/nc\r\nhpgl=/plt\r\n[convert]\r\nfactor=40\r\nxmove=0\r\n"
                     "ymove=0\r\ndeg=10\r\ntype=2\r\nncmode=0\r\npenz=0\r\npensource=0\r\n"
                     "toolpens=0\r\ndrillmarks=0\r\n[plotter]\r\nport=/dev/ttyUSB0\r\nbaud=9600\r\n"
                     "databits=8\r\nparity=none\r\nstopbits=1\r\nhandshake=xonxoff\r\nblock=256\r\n"
                     "init=\r\nrangemin=-32768\r\nrangemax=10300\r\ntimeout=5\r\n");
    EXPECT_EQ(ConvSettings().Factor, 40); // the conversion's keys read as before

    // Loaded by the dialog: a section changed outside shows on the page.
    files_.Write("main.ini", "[plotter]\r\nport=/dev/ttyS1\r\nbaud=19200\r\nhandshake=query\r\n");
    dialog_->LoadSettings();
    TPlotterSettings s = page->Settings();
    EXPECT_EQ(s.Port, "/dev/ttyS1");
    EXPECT_EQ(s.Line.Baud, 19200);
    EXPECT_EQ(s.Line.Handshake, THandshake::Query);
    EXPECT_EQ(s.RangeMax, 32767);

    files_.Write("main.ini", "[convert]\r\nfactor=40\r\n");
    dialog_->LoadSettings();
    s = page->Settings();
    const TPlotterSettings defaults;
    EXPECT_EQ(s.Port, "");
    EXPECT_EQ(s.Line.Baud, defaults.Line.Baud);
    EXPECT_EQ(s.Line.Handshake, defaults.Line.Handshake);
    EXPECT_EQ(Ini(), "[convert]\r\nfactor=40\r\n"); // loading writes nothing
}

TEST_F(SettingsFiles, StepperBlanksAreSavedAndDroppedOnReadingBack) {
    Show();
    Click(dialog_->FPlus); // " 1010"
    Click(dialog_->EHPGL2);
    Click(dialog_->BDir);
    dialog_->ENCDIR->setText(u"/home/jörg/nc"_qs);
    Save();
    EXPECT_NE(Ini().find("factor= 1010\r\n"), std::string::npos);
    EXPECT_NE(Ini().find("type=2\r\n"), std::string::npos);
    EXPECT_NE(Ini().find("nc=/home/j\xc3\xb6rg/nc\r\n"),
              std::string::npos);                    // as the desktop names it
    EXPECT_EQ(dialog_->EFaktor->text(), u"1010"_qs); // read back by the save's own load
    EXPECT_EQ(ConvSettings().Factor, 1010);
    EXPECT_EQ(ConvSettings().HpglType, 2);
    EXPECT_EQ(ConvSettings().NcFolder, "/home/j\xc3\xb6rg/nc");
}

TEST_F(SettingsFiles, StoredValuesReachFieldsThroughTheValidatorsAndSettingsAsWholeNumbers) {
    const struct {
        const char* convert; // the [convert] section's lines
        bool hpgl2Before;    // dialect chosen before loading
        const char* factorField;
        std::int32_t factor;
        bool hpgl2After;
        std::uint8_t type;
    } cases[] = {
        {"factor=12.5\r\ntype=1\r\n", true, "12.5", 0, false, 1},
        {"factor=0x10\r\ntype=2\r\n", false, "1000", 16, true, 2},
        {"factor=  -40  \r\ntype=3\r\n", true, "-40", -40, true, 3}, // type 3 keeps
        {"factor=7\r\n", true, "7", 7, true, 0},                     // no type keeps
        {"factor=5\r\ntype=258\r\n", false, "5", 5, false, 2},       // low 8 bits only
    };
    for (const auto& c : cases) {
        files_.Write("main.ini", std::string("[convert]\r\n") + c.convert);
        (c.hpgl2Before ? dialog_->EHPGL2 : dialog_->EHPGL1)->SetDown(true);
        dialog_->LoadSettings();
        EXPECT_EQ(dialog_->EFaktor->text(), QString::fromUtf8(c.factorField)) << c.convert;
        EXPECT_EQ(ConvSettings().Factor, c.factor) << c.convert;
        EXPECT_EQ(dialog_->EHPGL2->Down(), c.hpgl2After) << c.convert;
        EXPECT_NE(dialog_->EHPGL1->Down(), dialog_->EHPGL2->Down()) << c.convert;
        EXPECT_EQ(ConvSettings().HpglType, c.type) << c.convert;
    }
}

TEST_F(SettingsFiles, BlockFilesKeepTheirBytesAndGetCrLfLineEnds) {
    // Every byte value but NUL, CR and LF goes from file to memo to file unchanged.
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') bytes.push_back(char(b));
    files_.Write("vorspann.plt", "IN;\nSP1;\n" + bytes);
    files_.Write("nachspann.plt", "SP0;");
    dialog_->LoadSettings();
    EXPECT_EQ(dialog_->PrefixLines().Lines, (std::vector<std::string>{"IN;", "SP1;", bytes}));
    EXPECT_EQ(dialog_->SuffixLines().Lines, (std::vector<std::string>{"SP0;"}));
    Show();
    Save();
    EXPECT_EQ(test::TTempDir::Read(files_.Path("vorspann.plt")), "IN;\r\nSP1;\r\n" + bytes);
    EXPECT_EQ(test::TTempDir::Read(files_.Path("nachspann.plt")), "SP0;");

    // Two lines of three and four characters are nine bytes: no break after the last line.
    dialog_->EVorspann->SetText("abc\r\ndefg");
    Show();
    Save();
    EXPECT_EQ(test::TTempDir::Read(files_.Path("vorspann.plt")), "abc\r\ndefg");
    // A final break adds no line for the run.
    dialog_->ENachspann->SetText("SP0;\r\n");
    EXPECT_EQ(dialog_->SuffixLines().Lines, (std::vector<std::string>{"SP0;"}));
    dialog_->ENachspann->SetText("");
    EXPECT_TRUE(dialog_->SuffixLines().Lines.empty());
}

TEST_F(SettingsFiles, CancelKeepsEditsButOnlyTheMemosReachTheNextRun) {
    files_.Write("main.ini", "[convert]\r\nfactor=1000\r\ntype=1\r\n");
    dialog_->LoadSettings();
    Show();
    dialog_->EFaktor->setText(u"250"_qs);
    dialog_->EVorspann->SetText("IN;");
    Click(dialog_->Abbruch);

    TLineVector source{"G0 X1 Y2"}, target;
    TModalState state;
    TConversionRun(ConvSettings(), state, target)
        .Execute(source, dialog_->PrefixLines(), dialog_->SuffixLines());
    EXPECT_EQ(target.Lines, (std::vector<std::string>{"IN;", "PU1000,2000;"}));
    Show();
    EXPECT_EQ(dialog_->EFaktor->text(), u"250"_qs);
}

TEST_F(SettingsFiles, ASaveStoppedByAReadOnlyFolderWritesNothingAndLeavesTheDialogOpen) {
    const std::string before = "[convert]\r\nfactor=500\r\n";
    files_.Write("main.ini", before);
    ASSERT_TRUE(test::GiveToUnprivilegedUser(files_.Path("main.ini")));
    ASSERT_TRUE(test::GiveToUnprivilegedUser(files_.Folder()));
    ASSERT_EQ(chmod(files_.Folder().c_str(), 0555), 0);
    Show();
    const std::string expected =
        "In " + files_.Path("main.ini") + " kann nicht geschrieben werden.";
    // The child process clicks without the mouse: it must not paint, since the painting
    // threads stay behind in a fork.
    EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                  dialog_->XPSpeedButton3->Click();
                  std::string failures;
                  if (errors_.Entries.size() != 1)
                      return "reports: " + std::to_string(errors_.Entries.size());
                  if (errors_.Entries[0].message.toStdString() != expected)
                      failures += "message: " + errors_.Entries[0].message.toStdString() + "; ";
                  if (errors_.Entries[0].caption != ApplicationTitle()) failures += "caption; ";
                  if (!dialog_->isVisible()) failures += "the dialog closed; ";
                  return failures;
              }),
              "");
    EXPECT_EQ(Ini(), before);
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"main.ini"});
}

TEST_F(SettingsFiles, ASaveStopsAtTheFirstFailureAndKeepsWhatWasWrittenBefore) {
    // A folder where the prefix file belongs: every key is written, then the save stops.
    std::filesystem::create_directory(files_.Path("vorspann.plt"));
    Show();
    Click(dialog_->FPlus); // " 1010", which the closing load would trim
    Save();
    ASSERT_EQ(errors_.Entries.size(), 1u);
    EXPECT_EQ(errors_.Entries[0].message.toStdString(),
              "Datei " + files_.Path("vorspann.plt") + " kann nicht erstellt werden.");
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_NE(Ini().find("type=1\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(files_.Path("nachspann.plt")));
    EXPECT_EQ(dialog_->EFaktor->text(), u" 1010"_qs); // no load after the failure
    EXPECT_EQ(ConvSettings().Factor, 0);

    // A key the settings file cannot hold stops the save at that key.
    std::filesystem::remove(files_.Path("main.ini"));
    dialog_->EHPGLDIR->setText(u"/tmp/two\nlines"_qs);
    errors_.Entries.clear();
    Save();
    ASSERT_EQ(errors_.Entries.size(), 1u);
    EXPECT_EQ(errors_.Entries[0].message.toStdString(),
              "In " + files_.Path("main.ini") + " kann nicht geschrieben werden.");
    EXPECT_EQ(Ini(), "[path]\r\nnc=\r\n");
}

TEST_F(SettingsFiles, ABlockFileThatCannotBeLoadedStopsTheLoad) {
    dialog_->ENachspann->SetText("old suffix");
    files_.Write("nachspann.plt", "new suffix");
    files_.Write("vorspann.plt", std::string(TMemo::kCapacity + 1, 'x'));
    EXPECT_THROW(
        {
            try {
                dialog_->LoadSettings();
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), "Text überschreitet Memo-Kapazität");
                throw;
            }
        },
        EMemoCapacityError);
    EXPECT_EQ(dialog_->EVorspann->Text(), "");
    EXPECT_EQ(dialog_->ENachspann->Text(), "old suffix");

    files_.Write("vorspann.plt", "IN;");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(files_.Folder()));
    ASSERT_EQ(chmod(files_.Path("vorspann.plt").c_str(), 0), 0);
    const std::string expected =
        "Datei " + files_.Path("vorspann.plt") + " kann nicht geöffnet werden";
    EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                  try {
                      dialog_->LoadSettings();
                  } catch (const EFOpenError& e) {
                      if (e.Message() != expected) return "message: " + e.Message();
                      return dialog_->ENachspann->Text() == "old suffix" ? "" : "suffix loaded";
                  }
                  return "no error";
              }),
              "");
}

} // namespace
} // namespace plotalon
