// The chart windows on the offscreen platform against a real workbench and scripted dialogs:
// refresh hooks, clicks on chips, the main window's state left alone, the tolerance set's
// controls and palette, the ColorChecker's refills and file faults.
#include "charts/colorcheckerwindow.h"
#include "charts/huepagewindow.h"
#include "charts/tolerancewindow.h"
#include "charts/valuepagewindow.h"
#include "support/scratchfolder.h"
#include "support/sliderpart.h"
#include "workbench/workbench_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

namespace zul::testing {
namespace {

class ChartWindowTest : public WorkbenchTest {
protected:
    ChartOutput output() {
        return {[this](const ChartPicture& p) {
            printed << p.title;
            return printerPresent;
        }};
    }
    // Widget position of a design point on a window's canvas.
    static QPoint widgetPoint(ChartWindow& w, double x, double y) {
        const QSize d = w.designSize();
        const QRect vp = fittedViewport(d, w.canvas()->rect());
        return QPoint(static_cast<int>(vp.x() + x * vp.width() / d.width()),
                      static_cast<int>(vp.y() + y * vp.height() / d.height()));
    }
    // Shows a chart window at a working size; false when it did not appear.
    [[nodiscard]] static bool shown(ChartWindow& w, int width, int height) {
        w.resize(width, height);
        w.show();
        return QTest::qWaitForWindowExposed(&w);
    }
    // Shows a hue page window filled with the page of `hue`.
    [[nodiscard]] bool showPage(HuePageWindow& w, const char* hue) {
        if (!shown(w, 900, 640)) return false;
        wb->setText(Field::Hue, hue);
        return w.fillbook();
    }
    // The Munsell entry fields as one notation.
    std::string enteredNotation() {
        return text(Field::Hue) + " " + text(Field::Value) + "/" + text(Field::Chroma);
    }
    static void settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    QStringList printed;
    bool printerPresent = false;
};

TEST_F(ChartWindowTest, HooksRecomputeOncePerEventLoopTurn) {
    HuePageWindow w(*wb, output());
    wb->setSwitch(Switch::HuePage, true);
    settle();
    ASSERT_TRUE(w.page());
    EXPECT_EQ(w.page()->hueCaption, "6.4Y");
    const int before = w.recomputeCount();
    for (const char* hue : {"5R", "7.5YR", "2.5PB"})
        ASSERT_TRUE(enter({{Field::Hue, hue}, {Field::Value, "5"}, {Field::Chroma, "4"}}));
    EXPECT_TRUE(w.refreshPending());
    EXPECT_EQ(w.recomputeCount(), before); // nothing yet: the conversions are not held up
    settle();
    EXPECT_EQ(w.recomputeCount(), before + 1);
    EXPECT_EQ(w.page()->hueCaption, "2.5PB");
    // A hue that is no hue keeps the page, and the page adds no box of its own.
    dialogs.clear();
    enter({{Field::Hue, "5Q"}});
    settle();
    EXPECT_EQ(w.page()->hueCaption, "2.5PB");
    EXPECT_EQ(dialogs.messages().count("Format Error"), 1);
}

TEST_F(ChartWindowTest, ArrowsAndEnterChooseAChip) {
    HuePageWindow w(*wb, output());
    ASSERT_TRUE(showPage(w, "5R"));
    w.canvas()->setFocus();
    QTest::keyClick(w.canvas(), Qt::Key_Down); // the first arrow lands on the first chip
    ASSERT_EQ(w.focusedChip(), 0);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(w.canvas(), Qt::Key_Down); // down the neutral column to N 4
    EXPECT_EQ(w.focusedChip(), 5);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(w.canvas(), Qt::Key_Right); // along value 4 to chroma 10
    ASSERT_EQ(w.focusedChip(), 55);
    const ChartChip& chip = w.page()->chips[55];
    EXPECT_EQ(w.canvas()->accessibleDescription().toStdString(), chip.notation);
    QTest::keyClick(w.canvas(), Qt::Key_Return);
    EXPECT_EQ(text(Field::R), std::to_string(chip.rgb[0]));
    EXPECT_EQ(text(Field::Bl), std::to_string(chip.rgb[2]));
    QTest::keyClick(w.canvas(), Qt::Key_Left);
    EXPECT_EQ(w.focusedChip(), 45);
}

TEST_F(ChartWindowTest, ValuePageArrowsAndEnterChooseADot) {
    ValuePageWindow w(*wb, output());
    ASSERT_TRUE(shown(w, 760, 800));
    w.plotvalue(5);
    EXPECT_TRUE(w.canvas()->accessibleDescription().startsWith("Value 5"));
    w.canvas()->setFocus();
    QTest::keyClick(w.canvas(), Qt::Key_Right);
    ASSERT_GE(w.focusedChip(), 0);
    // Outwards along a spoke: each step right lands further right, on another dot.
    double x = w.page()->dots[static_cast<std::size_t>(w.focusedChip())].cx;
    for (int i = 0; i < 3; ++i) {
        const int before = w.focusedChip();
        QTest::keyClick(w.canvas(), Qt::Key_Right);
        ASSERT_NE(w.focusedChip(), before);
        const double now = w.page()->dots[static_cast<std::size_t>(w.focusedChip())].cx;
        EXPECT_GT(now, x);
        x = now;
    }
    QTest::keyClick(w.canvas(), Qt::Key_Up);
    const ChartChip& dot = w.page()->dots[static_cast<std::size_t>(w.focusedChip())];
    EXPECT_EQ(w.canvas()->accessibleDescription().toStdString(), dot.notation);
    EXPECT_TRUE(
        w.findChild<QLabel*>("info")->text().startsWith(QString::fromStdString(dot.notation)));
    QTest::keyClick(w.canvas(), Qt::Key_Return);
    EXPECT_EQ(enteredNotation(), dot.notation);
    // Another value's dots: the keyboard starts again.
    w.plotvalue(3);
    EXPECT_EQ(w.focusedChip(), -1);
}

TEST_F(ChartWindowTest, ClickOnAChipEntersTheChipItself) {
    HuePageWindow w(*wb, output());
    ASSERT_TRUE(showPage(w, "5R"));
    const ChartChip& chip = w.page()->chips[43];
    ASSERT_EQ(chip.notation, "5.00R 6/8");
    QTest::mouseClick(w.canvas(), Qt::LeftButton, {}, widgetPoint(w, chip.cx, chip.cy));
    // The Munsell chain ran on the chip's notation, not on its rounded display colour.
    EXPECT_EQ(enteredNotation(), chip.notation);
    EXPECT_EQ(text(Field::R), std::to_string(chip.rgb[0]));
    EXPECT_EQ(text(Field::G), std::to_string(chip.rgb[1]));
    EXPECT_EQ(text(Field::Bl), std::to_string(chip.rgb[2]));
    EXPECT_NEAR(std::stof(text(Field::Y)), chip.xyz.y, 0.006);
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // The background and an empty slot do nothing.
    wb->setText(Field::R, "1");
    QTest::mouseClick(w.canvas(), Qt::LeftButton, {}, widgetPoint(w, 100, 100));
    QTest::mouseClick(w.canvas(), Qt::LeftButton, {},
                      widgetPoint(w, w.page()->chips[19].cx, w.page()->chips[19].cy));
    EXPECT_EQ(text(Field::R), "1");
    // The black chip fills the fields and converts nothing.
    const std::string hueBefore = text(Field::Hue);
    QTest::mouseClick(w.canvas(), Qt::LeftButton, {},
                      widgetPoint(w, w.page()->chips[9].cx, w.page()->chips[9].cy));
    EXPECT_EQ(text(Field::R), "0");
    EXPECT_EQ(text(Field::Hue), hueBefore);
}

TEST_F(ChartWindowTest, OutOfGamutMainColourKeepsItsWarningWithThePagesOpen) {
    HuePageWindow hue(*wb, output());
    ValuePageWindow value(*wb, output());
    wb->setSwitch(Switch::HuePage, true);
    wb->setSwitch(Switch::ValuePage, true);
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "5"}, {Field::Chroma, "20"}}));
    ASSERT_EQ(wb->rangeWarning(), "Out of RGB Range");
    const auto rgb = wb->displayRgb();
    settle();
    ASSERT_TRUE(hue.page());
    ASSERT_TRUE(value.page());
    EXPECT_EQ(wb->rangeWarning(), "Out of RGB Range");
    EXPECT_TRUE(wb->outOfRange());
    EXPECT_EQ(wb->displayRgb(), rgb);
    EXPECT_FALSE(wb->quiet());
}

TEST_F(ChartWindowTest, ValuePageFollowsTheValueAndConvertsOnScroll) {
    ValuePageWindow w(*wb, output());
    wb->setText(Field::Value, "5");
    wb->setSwitch(Switch::ValuePage, true);
    settle();
    ASSERT_TRUE(w.page());
    EXPECT_EQ(w.findChild<QLabel*>("Label1")->text(), "Value   5.");
    auto* bar = w.findChild<QScrollBar*>("VScroll1");
    EXPECT_EQ(bar->value(), 550); // 9.5 at the top (100), 1 at the bottom (950)
    wb->setText(Field::Hue, "5R");
    wb->setText(Field::Chroma, "4");
    bar->setValue(350); // an arrow step or a release
    EXPECT_EQ(text(Field::Value), "7");
    settle();
    EXPECT_FLOAT_EQ(w.page()->value, 7);
    EXPECT_EQ(bar->value(), 350);
}

// Up means lighter, and a colour out of range while scrolling says so in Messages, not in a
// box that would catch the mouse release.
TEST_F(ChartWindowTest, ValuePageUpperArrowAndKeysMakeTheColourLighter) {
    ValuePageWindow w(*wb, output());
    ASSERT_TRUE(shown(w, 760, 800));
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "3.99"}, {Field::Chroma, "4"}}));
    wb->setSwitch(Switch::ValuePage, true);
    settle();
    auto* bar = w.findChild<QScrollBar*>("VScroll1");
    ASSERT_EQ(bar->orientation(), Qt::Vertical);
    const QRect up = sliderPart(bar, QStyle::CC_ScrollBar, QStyle::SC_ScrollBarSubLine, false);
    ASSERT_FALSE(up.isEmpty());
    QTest::mouseClick(bar, Qt::LeftButton, {}, up.center());
    EXPECT_NEAR(std::stof(text(Field::Value)), 4.09, 0.001);
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Up);
    EXPECT_NEAR(std::stof(text(Field::Value)), 4.19, 0.001);

    dialogs.clear();
    wb->setText(Field::Chroma, "38");
    QTest::keyClick(bar, Qt::Key_Down); // 5R 4.09/38 is beyond the data
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_FALSE(wb->message().isEmpty());
    EXPECT_TRUE(wb->anyStale());
}

TEST_F(ChartWindowTest, ValuePageHoverAndPress) {
    ValuePageWindow w(*wb, output());
    ASSERT_TRUE(shown(w, 760, 800));
    w.plotvalue(5);
    const ChartChip* inGamut = nullptr;
    const ChartChip* outside = nullptr;
    for (const ChartChip& d : w.page()->dots) {
        if (!d.outOfRange && !inGamut && d.element % 100 == 4) inGamut = &d;
        if (d.outOfRange && !outside && d.element % 100 >= 10) outside = &d;
    }
    ASSERT_TRUE(inGamut && outside);
    QTest::mouseMove(w.canvas(), widgetPoint(w, inGamut->cx, inGamut->cy));
    QApplication::processEvents();
    auto* readout = w.findChild<QLabel*>("Label3");
    EXPECT_EQ(readout->text().toStdString(), "R= " + std::to_string(inGamut->rgb[0]) +
                                                 "  G= " + std::to_string(inGamut->rgb[1]) +
                                                 "  B= " + std::to_string(inGamut->rgb[2]));
    EXPECT_TRUE(w.findChild<QLabel*>("info")->text().contains("in gamut"));
    QTest::mouseMove(w.canvas(), widgetPoint(w, outside->cx, outside->cy));
    QApplication::processEvents();
    EXPECT_EQ(readout->text(), "Out of RGB Gamut");
    // The grey background leaves the readout as it is.
    QTest::mouseMove(w.canvas(), widgetPoint(w, 200, 200));
    QApplication::processEvents();
    EXPECT_EQ(readout->text(), "Out of RGB Gamut");

    QTest::mouseClick(w.canvas(), Qt::LeftButton, {}, widgetPoint(w, inGamut->cx, inGamut->cy));
    EXPECT_EQ(text(Field::R), std::to_string(inGamut->rgb[0]));
    EXPECT_EQ(text(Field::Bl), std::to_string(inGamut->rgb[2]));
    EXPECT_EQ(enteredNotation(), inGamut->notation);
}

// One illuminant rule: adapting under D50, the set's Standard is the main colour; without
// adaptation the set is as before and says how it reads CIELAB, as the main window does.
TEST_F(ChartWindowTest, ToleranceStandardFollowsTheMainWindowsAdaptation) {
    ToleranceWindow w(*wb, output());
    wb->setSwitch(Switch::Tolerance, true);
    wb->selectIlluminant(1);
    for (const bool adapt : {true, false}) {
        wb->setAdaptEntries(adapt);
        ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "5"}, {Field::Chroma, "10"}}));
        settle();
        ASSERT_TRUE(w.set());
        const ToleranceSwatch& standard = w.set()->swatches[0];
        ASSERT_TRUE(standard.ok);
        const auto main = wb->displayRgb();
        const std::array<int, 3> set = {standard.rgb[0], standard.rgb[1], standard.rgb[2]};
        auto* note = w.findChild<QLabel*>("note");
        ASSERT_TRUE(note);
        if (adapt) {
            EXPECT_EQ(set, main);
            EXPECT_EQ(standard.hue.back(), 'R') << standard.hue;
            EXPECT_NEAR(standard.valueNumber, 5, 0.02);
            EXPECT_NEAR(standard.chromaNumber, 10, 0.05);
            EXPECT_TRUE(note->isHidden());
        } else {
            EXPECT_NE(set, main); // CIELAB read as illuminant C, as before
            EXPECT_FALSE(note->isHidden());
            EXPECT_EQ(note->text(), wb->entryNote());
            EXPECT_FALSE(note->text().isEmpty());
        }
    }
}

TEST_F(ChartWindowTest, ToleranceSetBeyondValueTenLeavesTheMainChainSuccessful) {
    ToleranceWindow w(*wb, output());
    wb->setSwitch(Switch::Tolerance, true);
    dialogs.clear();
    // Y 94.8 under C is L* 97.95: "Lighter" lies beyond value 10.
    EXPECT_TRUE(enter({{Field::X, "93.0"}, {Field::Y, "94.8"}, {Field::Z, "112.1"}}));
    EXPECT_EQ(text(Field::L), "97.95");
    settle();
    ASSERT_TRUE(w.set());
    EXPECT_FALSE(w.set()->swatches[1].ok); // drawn empty
    EXPECT_TRUE(w.set()->swatches[0].ok);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(w.findChild<QLineEdit*>("Text2_0")->text(), "97.95");
    EXPECT_FALSE(text(Field::Hue).empty());
    EXPECT_EQ(wb->rangeWarning(), "");
}

TEST_F(ChartWindowTest, ToleranceScrollsBlackLinesAndTypedCentre) {
    ToleranceWindow w(*wb, output());
    auto* bar = w.findChild<QScrollBar*>("HScroll1_0");
    ASSERT_EQ(bar->value(), 50);
    w.findChild<QScrollBar*>("HScroll1_2")->setValue(40); // nothing drawn yet: no complaint
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(w.findChild<QLabel*>("Label2_5")->text(), "B -  4");
    w.MakeCTol({50, 40, 20});
    EXPECT_FLOAT_EQ(w.set()->swatches[5].lab.b, 24);
    bar->setValue(25);
    EXPECT_EQ(w.findChild<QLabel*>("Label2_0")->text(), "L + 2.5");
    EXPECT_EQ(w.findChild<QLabel*>("Label2_1")->text(), "L - 2.5");
    EXPECT_FLOAT_EQ(w.set()->swatches[1].lab.l, 52.5f);
    // A typed centre counts from the next scroll or "Black Lines" click.
    w.findChild<QLineEdit*>("Text2_0")->setText("60");
    EXPECT_FLOAT_EQ(w.set()->centre.l, 50);
    w.findChild<QCheckBox*>("Check1")->click();
    EXPECT_FLOAT_EQ(w.set()->centre.l, 60);
    // Not a number: one message naming the field, the set stays.
    w.findChild<QLineEdit*>("Text2_1")->setText("abc");
    w.findChild<QCheckBox*>("Check1")->click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("a*"));
    EXPECT_FLOAT_EQ(w.set()->centre.l, 60);
}

TEST_F(ChartWindowTest, SavePaletteWritesCpaletteAndHandsItToTheViewer) {
    ScratchFolder dir;
    ToleranceWindow w(*wb, output());
    w.setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(10, 11, 12)); });
    w.MakeCTol({50, 40, 20});
    wb->setPaletteFile("mine.csv");
    QSignalSpy spy(wb.get(), &Workbench::paletteViewRequested);
    w.findChild<QPushButton*>("Command2")->click();
    QFile f(dir.filePath("Cpalette.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(), cpaletteText(*w.set(), "12-07-2026", "10:11:12"));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0][0].toString(), QFileInfo(dir.filePath("Cpalette.csv")).absoluteFilePath());
    EXPECT_EQ(wb->paletteFile(), "mine.csv");   // not made the current palette
    EXPECT_TRUE(dialogs.questions().isEmpty()); // nothing to replace the first time

    // An existing Cpalette.csv is replaced only after a Yes.
    w.MakeCTol({60, 10, 10});
    w.findChild<QPushButton*>("Command2")->click(); // no answer queued: No
    EXPECT_EQ(dialogs.questions(), QStringList{"Cpalette.csv exists. Replace it?"});
    EXPECT_EQ(spy.count(), 1);
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_NE(f.readAll().toStdString(), cpaletteText(*w.set(), "12-07-2026", "10:11:12"));
    f.close();
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    w.findChild<QPushButton*>("Command2")->click();
    EXPECT_EQ(spy.count(), 2);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(), cpaletteText(*w.set(), "12-07-2026", "10:11:12"));
}

TEST_F(ChartWindowTest, PrintFailureSaysPrinterNotFoundOnce) {
    ColorCheckerWindow w(*wb, output());
    w.findChild<QPushButton*>("Command1")->click();
    EXPECT_EQ(printed, QStringList{QString("The Macbeth ColorChecker\u00AE")});
    EXPECT_EQ(dialogs.messages(), QStringList{"Printer not Found"});
    printerPresent = true;
    w.findChild<QPushButton*>("Command1")->click();
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST_F(ChartWindowTest, ColorCheckerRefillsOnGammaIlluminantAndTint) {
    const QString old = QDir::currentPath();
    QDir::setCurrent(ZUL_SOURCE_DIR "/data"); // the shipped ccnames.csv
    ColorCheckerWindow w(*wb, output());
    w.show();
    wb->setSwitch(Switch::ColorChecker, true);
    settle();
    ASSERT_TRUE(w.chart());
    EXPECT_EQ(w.chart()->patches[0].rgb, (DisplayRgb{114, 82, 68}));
    auto patch = [&] { return w.chart()->patches[0].rgb; };
    DisplayRgb before = patch();
    wb->sliderMoved(Slider::Gamma, 18);
    settle();
    EXPECT_NE(patch(), before);
    before = patch();
    wb->selectIlluminant(1);
    settle();
    EXPECT_NE(patch(), before);
    before = patch();
    wb->sliderMoved(Slider::Tint, 70);
    settle();
    EXPECT_NE(patch(), before);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    QDir::setCurrent(old);
}

TEST_F(ChartWindowTest, FaultyCcnamesShowsNaAndOneMessage) {
    ScratchFolder dir;
    QFile f("ccnames.csv");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("No,Name,Hue,Value,Chroma\n1,a,5R,4,12\n2,b,nonsense,5,5\n");
    f.close();
    ColorCheckerWindow w(*wb, output());
    w.fillCC();
    w.fillCC();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("ccnames.csv: line 3: hue \"nonsense\""));
    EXPECT_TRUE(w.chart()->patches[0].inReach);
    EXPECT_FALSE(w.chart()->patches[1].inReach);
    EXPECT_FALSE(w.chart()->patches[23].inReach);
}

} // namespace
} // namespace zul::testing
