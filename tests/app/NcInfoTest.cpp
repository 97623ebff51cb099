#include "app/NcInfo.h"

#include "platform/qt/FileDialogs.h"
#include "platform/qt/Shell.h"

#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

// The about dialog, owned by a stand-in for the main window, as the program creates it.
struct AboutDialog : testing::Test {
    QWidget main;
    TInfo* info = new TInfo(&main);

    // Shows it modally through the scripted runner; the script sees it open.
    void ShowModal(std::function<void(QDialog&)> script = {}) {
        TScriptedModal modal;
        modal.Script = std::move(script);
        info->ShowModal();
        ASSERT_EQ(modal.Shown.size(), 1u);
    }
    void ClickOn(QWidget* control) {
        QTest::mouseClick(info->windowHandle(), Qt::LeftButton, {}, control->geometry().center());
    }
};

TEST_F(AboutDialog, ShowsVersionOnePointOneAtEveryShowing) {
    EXPECT_EQ(info->Version->text(), "2.0");
    ShowModal();
    EXPECT_EQ(info->Version->text(), "Version 1.1");
    info->Version->setText("2.0");
    ShowModal([](QDialog& d) { EXPECT_EQ(static_cast<TInfo&>(d).Version->text(), "Version 1.1"); });
    EXPECT_FALSE(info->isVisible());
}

TEST_F(AboutDialog, TypingSCloses) {
    for (auto modifiers : {Qt::KeyboardModifiers{}, Qt::KeyboardModifiers{Qt::AltModifier}}) {
        bool closedByKey = false;
        ShowModal([&](QDialog& d) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
            QTest::keyClick(d.windowHandle(), Qt::Key_S, modifiers);
            closedByKey = !d.isVisible();
        });
        EXPECT_TRUE(closedByKey);
    }
    // Any other character leaves it open.
    bool open = false;
    ShowModal([&](QDialog& d) {
        QTest::keyClick(d.windowHandle(), Qt::Key_X);
        open = d.isVisible();
    });
    EXPECT_TRUE(open);
}

TEST_F(AboutDialog, TheContactButtonsHandTheirCaptionsToTheShell) {
    TShellRecorder shell;
    ShowModal([&](QDialog&) {
        ClickOn(info->Link);
        ClickOn(info->Email);
        // The captions are read at the click: they are the one place the addresses live.
        info->Link->SetCaption("plotter.example.org");
        ClickOn(info->Link);
    });
    ASSERT_EQ(shell.Calls.size(), 3u);
    EXPECT_EQ(shell.Calls[0].verb, "open");
    EXPECT_EQ(shell.Calls[0].file, "http://www.example.com");
    EXPECT_EQ(shell.Calls[0].parent, &main);
    EXPECT_EQ(shell.Calls[0].show, swShowNormal);
    EXPECT_EQ(shell.Calls[1].verb, "open");
    EXPECT_EQ(shell.Calls[1].file, "mailto:info@example.com?subject=Kontakt PLOTALON 1.1&Body=");
    EXPECT_EQ(shell.Calls[1].parent, nullptr);
    EXPECT_EQ(shell.Calls[1].show, swShow);
    EXPECT_EQ(shell.Calls[2].file, "http://plotter.example.org");
}

TEST_F(AboutDialog, LayoutInCreationOrder) {
    struct Control {
        const char* name;
        QRect geometry; // labels: width and height 0, they size themselves to their text
        const char* text = nullptr;
    };
    const Control layout[] = {
        {"Shape4", {8, 32, 361, 161}},
        {"Email", {168, 104, 129, 33}},
        {"Shape3", {152, 8, 217, 25}},
        {"Shape5", {8, 8, 145, 25}},
        {"Image1", {16, 40, 33, 33}},
        {"Label5", {16, 14, 0, 0}, "Version"},
        {"Label8", {168, 14, 0, 0}, "Kontakt"},
        {"Name", {168, 40, 0, 0}},
        {"Label6", {168, 64, 0, 0}, "Telefon"},
        {"Label9", {168, 80, 0, 0}, "Telefax"},
        {"Telefon", {216, 64, 0, 0}},
        {"Telefax", {216, 80, 0, 0}},
        {"Link", {168, 144, 129, 33}},
        {"Version", {18, 96, 0, 0}},
        {"Label13", {18, 80, 0, 0}, "Plotalon"},
        {"Shape1", {152, 32, 1, 161}},
        {"Label2", {66, 152, 0, 0}},
        {"Schliessen", {120, 200, 145, 33}},
        {"Label1", {18, 112, 0, 0}, "Konvertiert DIN-ISO-Code"},
        {"Label3", {18, 128, 0, 0}, "in HPGL-1 oder HPGL-2"},
        {"Label4", {18, 152, 0, 0}},
    };
    const QList<QWidget*> children = info->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), qsizetype(std::size(layout)));
    for (std::size_t i = 0; i < std::size(layout); ++i) {
        const Control& c = layout[i];
        QWidget* w = children[qsizetype(i)];
        SCOPED_TRACE(c.name);
        EXPECT_EQ(w->objectName(), c.name);
        if (c.geometry.width() > 0) {
            EXPECT_EQ(w->geometry(), c.geometry);
        } else {
            EXPECT_EQ(w->pos(), c.geometry.topLeft());
            auto* label = qobject_cast<QLabel*>(w);
            ASSERT_NE(label, nullptr);
            if (c.text) {
                EXPECT_EQ(label->text(), c.text);
            }
        }
    }
    EXPECT_EQ(info->windowTitle(), "Info ");
    EXPECT_EQ(info->size(), QSize(377, 239));
    EXPECT_EQ(info->minimumSize(), info->maximumSize());
    EXPECT_EQ(info->Schliessen->Caption(), "&Schließen");
    EXPECT_EQ(info->Schliessen->Margin(), -1);
    EXPECT_EQ(info->Email->Margin(), 8);
    EXPECT_EQ(info->Link->Margin(), 8);
    EXPECT_TRUE(info->Label5->font().bold());
    EXPECT_FALSE(info->Name->font().bold());
}

TEST_F(AboutDialog, EveryTextFitsItsColumnAndTheWindowIsCentred) {
    ShowModal([&](QDialog& d) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        const QRect screen = d.screen()->geometry();
        EXPECT_LE((d.geometry().center() - screen.center()).manhattanLength(), 1);
        info->Version->setText("Version 1.1");
        for (QLabel* left :
             {info->Label13, info->Version, info->Label1, info->Label3, info->Label2})
            EXPECT_LE(left->geometry().right(), 151) << left->objectName().toStdString();
        EXPECT_LE(info->Label4->geometry().right(), info->Label2->x() - 4);
        for (QLabel* right : {info->Name, info->Telefon, info->Telefax})
            EXPECT_LE(right->geometry().right(), 368) << right->objectName().toStdString();
        // The panel, the line between the columns and a header box, as drawn.
        const QImage shot = d.grab().toImage();
        EXPECT_EQ(shot.pixelColor(100, 185), QColor(218, 228, 241));
        EXPECT_EQ(shot.pixelColor(152, 185), QColor(0, 0, 0));
        EXPECT_EQ(shot.pixelColor(120, 20), QColor(255, 255, 255));
    });
}

} // namespace
} // namespace plotalon
