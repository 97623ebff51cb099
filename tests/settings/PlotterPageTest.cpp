#include "settings/PlotterPage.h"

#include "controls/XPSpeedButton.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/Fonts.h"
#include "sender/qt/QtSerialPort.h"
#include "settings/PlotterProfile.h"
#include "settings/Reg.h"
#include "tests/support/TempDir.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

// The page in a page area of the settings dialog's size, shown as the user meets it, with a
// settings folder of its own.
class PlotterPage : public ::testing::Test {
protected:
    void SetUp() override {
        area_.setFont(DefaultWindowFont());
        area_.setFixedSize(400, 287);
        page_ = new TPlotterPage(&area_);
        area_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&area_));
    }
    std::string Ini() const { return test::TTempDir::Read(files_.Path("main.ini")); }
    static void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton, {}, {5, 5}); }
    static void Type(QLineEdit* field, const char* text) {
        field->selectAll();
        QTest::keyClicks(field, QString::fromUtf8(text));
    }

    test::TTempDir files_;
    TProgramFolderOverride folder_{files_.Folder()};
    QWidget area_;
    TPlotterPage* page_ = nullptr;
};

TEST_F(PlotterPage, EveryControlLiesInsideThePageAndNoLabelIsCoveredOrClipped) {
    auto* p = page_;
    const QList<QWidget*> controls = p->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* c : controls)
        EXPECT_TRUE(QRect(0, 0, 400, 287).contains(c->geometry())) << c->metaObject()->className();
    const QLabel* labels[] = {p->LPort,  p->LBaud,      p->LBits,   p->LParity,
                              p->LStop,  p->LHandshake, p->LBlock,  p->LInit,
                              p->LRange, p->LRangeTo,   p->LTimeout};
    for (const QLabel* label : labels) {
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        for (QWidget* c : controls) {
            if (c == label || qobject_cast<const QLabel*>(c)) continue;
            EXPECT_FALSE(label->geometry().intersects(c->geometry()))
                << label->text().toStdString() << " under " << c->metaObject()->className()
                << " at " << c->x() << "," << c->y();
        }
    }
    EXPECT_EQ(p->LPort->text(), u"Anschluss"_qs);
    EXPECT_EQ(p->LParity->text(), u"Parität"_qs);
    EXPECT_EQ(p->EHandshake->count(), 4);
    EXPECT_EQ(p->EHandshake->itemText(3), u"Pufferabfrage (ESC.B)"_qs);
    EXPECT_EQ(p->EBaud->itemText(0), u"300"_qs);
    EXPECT_EQ(p->EBaud->itemText(p->EBaud->count() - 1), u"115200"_qs);
    EXPECT_TRUE(p->EPort->isEditable());
}

TEST_F(PlotterPage, AFileWithoutThePlotterSectionGivesTheDefaults) {
    files_.Write("main.ini", "[convert]\r\nfactor=1000\r\n");
    page_->EBlock->setText("99");
    page_->LoadSettings();
    const TPlotterSettings s = page_->Settings();
    EXPECT_EQ(s.Port, "");
    EXPECT_EQ(s.Line.Baud, 9600);
    EXPECT_EQ(s.Line.DataBits, 8);
    EXPECT_EQ(s.Line.Parity, TParity::None);
    EXPECT_EQ(s.Line.StopBits, 1);
    EXPECT_EQ(s.Line.Handshake, THandshake::None);
    EXPECT_EQ(s.BlockSize, 256);
    EXPECT_EQ(s.RangeMin, -32768);
    EXPECT_EQ(s.RangeMax, 32767);
    EXPECT_EQ(s.TimeoutSeconds, 5);
    EXPECT_EQ(page_->EBaud->currentText(), u"9600"_qs);
    EXPECT_EQ(page_->EParity->currentText(), u"keine"_qs);
    EXPECT_EQ(Ini(), "[convert]\r\nfactor=1000\r\n"); // loading writes nothing
}

TEST_F(PlotterPage, ChoicesTypedAndClickedAreSavedAndLoadedBack) {
    files_.Write("main.ini", "[path]\r\nnc=/x\r\n");
    QTest::keyClicks(page_->EPort->lineEdit(), "/dev/ttyUSB0");
    page_->EBaud->setCurrentIndex(page_->EBaud->findText("4800"));
    page_->EBits->setCurrentIndex(0);   // 7
    page_->EParity->setCurrentIndex(1); // even
    page_->EHandshake->setCurrentIndex(3);
    Click(page_->BlockPlus);    // 256 + 64
    Click(page_->TimeoutMinus); // 5 - 1
    Type(page_->EInit, R"(\e.@1024;0:)");
    page_->SaveSettings();
    EXPECT_EQ(Ini(), "[path]\r\nnc=/x\r\n[plotter]\r\nport=/dev/ttyUSB0\r\nbaud=4800\r\n"
                     "databits=7\r\nparity=even\r\nstopbits=1\r\nhandshake=query\r\nblock=320\r\n"
                     "init=\\e.@1024;0:\r\nrangemin=-32768\r\nrangemax=32767\r\ntimeout=4\r\n");

    TPlotterPage other;
    other.LoadSettings();
    const TPlotterSettings s = other.Settings();
    EXPECT_EQ(s.Port, "/dev/ttyUSB0");
    EXPECT_EQ(s.Line.Baud, 4800);
    EXPECT_EQ(s.Line.DataBits, 7);
    EXPECT_EQ(s.Line.Parity, TParity::Even);
    EXPECT_EQ(s.Line.Handshake, THandshake::Query);
    EXPECT_EQ(s.BlockSize, 320);
    EXPECT_EQ(s.Init, R"(\e.@1024;0:)");
    EXPECT_EQ(s.TimeoutSeconds, 4);
}

// The list is asked for when the page comes into view, not at every load of the settings.
TEST_F(PlotterPage, ShowingThePageOffersTheSystemsPortsNowAndKeepsTheTypedOne) {
    page_->hide();
    page_->EPort->clear();
    page_->EPort->setEditText(u"/dev/ttyUSB7"_qs);
    page_->LoadSettings(); // no file: no port
    page_->EPort->setEditText(u"/dev/ttyUSB7"_qs);
    EXPECT_EQ(page_->EPort->count(), 0);
    page_->show();
    std::vector<std::string> offered;
    for (int i = 0; i < page_->EPort->count(); ++i)
        offered.push_back(page_->EPort->itemText(i).toStdString());
    EXPECT_EQ(offered, AvailablePlotterPorts());
    EXPECT_EQ(page_->EPort->currentText(), u"/dev/ttyUSB7"_qs);
}

TEST_F(PlotterPage, FieldsReplaceWhatTheyCannotTakeAndSteppersStopAtTheirBounds) {
    auto* p = page_;
    const struct {
        QLineEdit* field;
        const char* typed;
        const char* shown;
    } typed[] = {
        {p->EBlock, "abc", "256"},  {p->EBlock, "0", "256"},       {p->EBlock, "65537", "256"},
        {p->EBlock, "12.5", "256"}, {p->EBlock, "1024", "1024"},   {p->ETimeout, "601", "5"},
        {p->ETimeout, "30", "30"},  {p->ERangeMin, "x", "-32768"}, {p->ERangeMax, "10300", "10300"},
    };
    for (const auto& t : typed) {
        Type(t.field, t.typed);
        EXPECT_EQ(t.field->text(), QString::fromUtf8(t.shown)) << t.typed;
    }
    const struct {
        QLineEdit* field;
        TXPSpeedButton* stepper;
        const char* before;
        const char* after;
    } steps[] = {
        {p->EBlock, p->BlockMinus, "64", "   64"},   {p->EBlock, p->BlockMinus, "100", "   36"},
        {p->EBlock, p->BlockPlus, "65472", "65536"}, {p->EBlock, p->BlockPlus, "65500", "65500"},
        {p->ETimeout, p->TimeoutMinus, "1", "  1"},  {p->ETimeout, p->TimeoutPlus, "600", "600"},
    };
    for (const auto& s : steps) {
        s.field->setText(QString::fromUtf8(s.before));
        Click(s.stepper);
        EXPECT_EQ(s.field->text(), QString::fromUtf8(s.after)) << s.before;
    }
}

TEST(PlotterProfile, UnusableValuesInTheFileGiveTheirDefaults) {
    test::TTempDir files;
    files.Write("main.ini",
                "[plotter]\r\nbaud=fast\r\ndatabits=9\r\nparity=mark\r\nstopbits=0\r\n"
                "handshake=dtr\r\nblock=0\r\nrangemin=10\r\nrangemax=-10\r\ntimeout=-1\r\n");
    Reg::IniFolder = files.Folder() + "/";
    Reg::IniName = "main";
    const TPlotterSettings s = ReadPlotterSettings();
    const TPlotterSettings d;
    EXPECT_EQ(s.Line.Baud, d.Line.Baud);
    EXPECT_EQ(s.Line.DataBits, d.Line.DataBits);
    EXPECT_EQ(s.Line.Parity, d.Line.Parity);
    EXPECT_EQ(s.Line.StopBits, d.Line.StopBits);
    EXPECT_EQ(s.Line.Handshake, d.Line.Handshake);
    EXPECT_EQ(s.BlockSize, d.BlockSize);
    EXPECT_EQ(s.RangeMin, d.RangeMin); // a range upside down is no range
    EXPECT_EQ(s.RangeMax, d.RangeMax);
    EXPECT_EQ(s.TimeoutSeconds, d.TimeoutSeconds);
}

} // namespace
} // namespace plotalon
