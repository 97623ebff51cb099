#include "platform/qt/ErrorReport.h"
#include "platform/Errors.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(ErrorReport, FullStopIsAddedWhenTheLastCharacterSortsAboveIt) {
    struct Case {
        const char16_t* message;
        const char16_t* shown;
    } cases[] = {
        {u"Datei x kann nicht geöffnet werden", u"Datei x kann nicht geöffnet werden."},
        {u"Fertig.", u"Fertig."},
        {u"Achtung!", u"Achtung!"},
        {u"Wert (1,5)", u"Wert (1,5)"},
        {u"Pfad C:/", u"Pfad C:/."},
        {u"Zahl 7", u"Zahl 7."},
        {u"", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReportText(QString::fromUtf16(c.message)), QString::fromUtf16(c.shown));
}

TEST(ErrorReport, GuardedHandlerErrorIsShownWithTitleAndGoesOn) {
    TErrorRecorder recorder;
    bool after = false;
    EXPECT_FALSE(RunGuarded([] { throw EZeroDivide(); }));
    EXPECT_TRUE(RunGuarded([&] { after = true; }));
    ASSERT_EQ(recorder.Entries.size(), 1u);
    EXPECT_EQ(recorder.Entries[0].caption, u"Plotalon"_qs);
    EXPECT_EQ(recorder.Entries[0].message, u"Gleitkommadivision durch Null."_qs);
    EXPECT_TRUE(after);
}

class ThrowingWidget : public QWidget {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) throw EFOpenError("C:\\a.nc");
        return QWidget::event(event);
    }
};

TEST(ErrorReport, ErrorsInEventHandlersEndInTheReport) {
    TErrorRecorder recorder;
    ThrowingWidget widget;
    QEvent event(QEvent::User);
    QApplication::sendEvent(&widget, &event);
    ASSERT_EQ(recorder.Entries.size(), 1u);
    EXPECT_EQ(recorder.Entries[0].message, u"Datei C:\\a.nc kann nicht geöffnet werden."_qs);
}

class FailingShow : public QWidget {
protected:
    void showEvent(QShowEvent*) override { throw EInOutError("Lesefehler"); }
};

TEST(ErrorReport, WindowWhoseShowHandlerFailsIsShownAllTheSame) {
    TErrorRecorder recorder;
    FailingShow window;
    window.show();
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(recorder.Entries.size(), 1u);
    EXPECT_EQ(recorder.Entries[0].message, u"Lesefehler."_qs);
}

TEST(ErrorReport, RecorderRestoresThePreviousSink) {
    TErrorRecorder outer;
    {
        TErrorRecorder inner;
        RunGuarded([] { throw Exception("eins"); });
        EXPECT_EQ(inner.Entries.size(), 1u);
    }
    RunGuarded([] { throw Exception("zwei"); });
    ASSERT_EQ(outer.Entries.size(), 1u);
    EXPECT_EQ(outer.Entries[0].message, u"zwei."_qs);
}

} // namespace
} // namespace plotalon
