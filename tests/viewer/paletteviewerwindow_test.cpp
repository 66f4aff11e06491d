// The viewer window offscreen: loading in the background (limit, failures, cancel, supersede),
// identification and comparison by presses, the list, and redrawing only on change.
#include "viewer/palettefiles.h"
#include "viewer/paletteview.h"
#include "viewer/paletteviewerwindow.h"
#include "viewer/pointlist.h"

#include "viewer_support.h"
#include "workbench/workbench_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace zul::testing {
namespace {

constexpr int kLoadWait = 30000; // ms; a load of 10,000 records takes milliseconds

class PaletteViewerWindowTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        form = std::make_unique<PaletteViewerWindow>(*wb);
    }
    void TearDown() override { form.reset(); }

    // Loads and waits for the end; the result's `ok`.
    bool load(const QString& file) {
        QSignalSpy spy(form.get(), &PaletteViewerWindow::loadFinished);
        form->loadPalette(file);
        EXPECT_TRUE(spy.wait(kLoadWait)) << file.toStdString();
        return !spy.isEmpty() && spy.first().first().toBool();
    }
    template <class T = QWidget> T* find(const QString& name) {
        T* w = form->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QString status() { return find<QLineEdit>("Text1")->text(); }
    QString statusStyle() { return find<QLineEdit>("Text1")->styleSheet(); }
    PaletteView* view() { return find<PaletteView>("Picture1"); }
    // Shows the window without its start-up load and rotation.
    void showStill() {
        form->loadPalette("none-yet.csv"); // counts as the first load
        form->cancelLoad();
        form->show();
        form->stopRotation();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QPoint pixelOf(std::size_t i) {
        const View v = view()->view();
        const PixelMapping m(v, view()->width(), view()->height());
        const ScreenPoint p = project(form->points(), i, v);
        return {static_cast<int>(std::floor(m.px(p.x))), static_cast<int>(std::floor(m.py(p.y)))};
    }

    ScratchFolder dir;
    std::unique_ptr<PaletteViewerWindow> form;
};

TEST_F(PaletteViewerWindowTest, TenThousandAndOneMoreBothStopAtTheLimit) {
    writeFile("exact.csv", manyRecords(10000));
    writeFile("more.csv", manyRecords(10001));
    for (const char* name : {"exact.csv", "more.csv"}) {
        dialogs.clear();
        EXPECT_TRUE(load(name));
        EXPECT_EQ(form->points().size(), 10000u);
        EXPECT_EQ(dialogs.messages(), QStringList{"Palette limited to 10000"});
        EXPECT_EQ(status(), QString("Loaded Palette ") + name);
        EXPECT_TRUE(statusStyle().contains("#00ff00"));
        EXPECT_EQ(readLastPalette(), name);
        EXPECT_EQ(find<QListView>("List1")->model()->rowCount(), 10000);
    }
}

// The colour being worked on stays: a load writes none of the main window's fields.
TEST_F(PaletteViewerWindowTest, LoadingLeavesTheMainColourAlone) {
    ASSERT_TRUE(enter({{Field::Hue, "10YR"}, {Field::Value, "4"}, {Field::Chroma, "3"}}));
    const auto rgb = wb->displayRgb();
    const int hueSlider = wb->slider(Slider::Hue);
    writeFile("other.csv", manyRecords(20));
    EXPECT_TRUE(load("other.csv"));
    EXPECT_EQ(wb->text(Field::Hue), "10YR");
    EXPECT_EQ(wb->text(Field::Value), "4");
    EXPECT_EQ(wb->text(Field::Chroma), "3");
    EXPECT_EQ(wb->displayRgb(), rgb);
    EXPECT_EQ(wb->slider(Slider::Hue), hueSlider);
    EXPECT_FALSE(wb->anyStale());
}

TEST_F(PaletteViewerWindowTest, FormatErrorAtLine7KeepsTheOtherRecordsAndTheLastPaletteName) {
    writeFile("LastPalette.txt", "earlier.csv\r\n");
    std::string text;
    for (int i = 1; i <= 10; ++i)
        text += i == 7 ? record("bad", "5R", "four", "6") : record("S", "5R", "4", "6");
    writeFile("bad.csv", text);
    EXPECT_FALSE(load("bad.csv"));
    EXPECT_EQ(form->points().size(), 9u);
    EXPECT_EQ(dialogs.messages(), QStringList{"File format Error or Palette not generatedbad.csv"});
    EXPECT_TRUE(status().startsWith("Loading Palette bad.csv"));
    EXPECT_TRUE(status().contains(R"(line 7: value: "four" is not a number)"))
        << status().toStdString();
    EXPECT_TRUE(statusStyle().contains("#ffff00"));
    EXPECT_EQ(readFile("LastPalette.txt"), "earlier.csv\r\n");
}

TEST_F(PaletteViewerWindowTest, ChainFailuresGiveOneMessageNamingTheLines) {
    writeFile("p.csv", record("a", "5R", "9", "30") + record("b", "5R", "4", "6") +
                           record("c", "5R", "9", "32"));
    EXPECT_TRUE(load("p.csv"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith("2 of 3 records are out of Munsell range"));
    EXPECT_TRUE(dialogs.messages()[0].contains("lines 1, 3"))
        << dialogs.messages()[0].toStdString();
    EXPECT_EQ(readLastPalette(), "p.csv");
}

TEST_F(PaletteViewerWindowTest, StartWithoutAnyPaletteNamesTheFallbackFile) {
    QSignalSpy spy(form.get(), &PaletteViewerWindow::loadFinished);
    form->show();
    ASSERT_TRUE(spy.wait(kLoadWait));
    EXPECT_TRUE(form->rotating());
    form->stopRotation();
    EXPECT_EQ(dialogs.messages(),
              QStringList{"File format Error or Palette not generatednewpalette2.csv"});
    EXPECT_TRUE(form->points().empty());
}

TEST_F(PaletteViewerWindowTest, EscapeCancelsAndKeepsThePreviousPalette) {
    writeFile("small.csv", manyRecords(3));
    writeFile("big.csv", manyRecords(10000));
    ASSERT_TRUE(load("small.csv"));
    QSignalSpy spy(form.get(), &PaletteViewerWindow::loadFinished);
    form->loadPalette("big.csv");
    EXPECT_TRUE(form->loading());
    QTest::keyClick(form.get(), Qt::Key_Escape);
    ASSERT_TRUE(spy.wait(kLoadWait));
    EXPECT_FALSE(spy.first().first().toBool());
    EXPECT_FALSE(form->loading());
    EXPECT_EQ(form->points().size(), 3u);
    EXPECT_EQ(form->loadedFile(), "small.csv");
    EXPECT_EQ(status(), "Cancelled loading big.csv");
    EXPECT_EQ(readLastPalette(), "small.csv");
}

TEST_F(PaletteViewerWindowTest, ANewerLoadSupersedesARunningOne) {
    writeFile("big.csv", manyRecords(10000));
    writeFile("second.csv", manyRecords(5));
    QSignalSpy spy(form.get(), &PaletteViewerWindow::loadFinished);
    form->loadPalette("big.csv");
    form->loadPalette("second.csv");
    ASSERT_TRUE(spy.wait(kLoadWait));
    EXPECT_TRUE(spy.first().first().toBool());
    EXPECT_EQ(form->loadedFile(), "second.csv");
    EXPECT_EQ(form->points().size(), 5u);
    EXPECT_TRUE(dialogs.messages().isEmpty()); // nothing about the abandoned file
    EXPECT_FALSE(spy.wait(300));               // and no second ending
    EXPECT_EQ(readLastPalette(), "second.csv");
}

TEST_F(PaletteViewerWindowTest, WheelZoomsAndADragTurnsWithoutIdentifying) {
    writeFile("p.csv", record("first", "5R", "4", "0.5") + record("second", "5PB", "6", "8"));
    ASSERT_TRUE(load("p.csv"));
    showStill();
    auto* zoom = find<QScrollBar>("VScroll2");
    auto* rotation = find<QScrollBar>("HScroll1");
    auto* tilt = find<QScrollBar>("VScroll1");
    const int zoomBefore = zoom->value(), rotationBefore = rotation->value();
    const int tiltBefore = tilt->value();
    const QPoint centre = view()->rect().center();
    QWheelEvent wheel(centre, view()->mapToGlobal(centre), {}, {0, 240}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &wheel);
    EXPECT_EQ(zoom->value(), zoomBefore - 2); // two notches closer

    const QString row = find<QLineEdit>("Text3_0")->text();
    QTest::mousePress(view(), Qt::LeftButton, {}, centre);
    QMouseEvent move(QEvent::MouseMove, QPointF(centre + QPoint(40, 20)),
                     view()->mapToGlobal(QPointF(centre + QPoint(40, 20))), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(view(), &move);
    QTest::mouseRelease(view(), Qt::LeftButton, {}, centre + QPoint(40, 20));
    EXPECT_EQ(rotation->value(), rotationBefore + 20);
    EXPECT_EQ(tilt->value(), tiltBefore + 10);
    EXPECT_EQ(find<QLineEdit>("Text3_0")->text(), row); // a drag identifies nothing
}

TEST_F(PaletteViewerWindowTest, ArrowsStepThroughTheDotsAndEnterIdentifies) {
    writeFile("p.csv", record("first", "5R", "4", "0.5") + record("second", "5PB", "6", "8") +
                           record("third", "5Y", "8", "10"));
    ASSERT_TRUE(load("p.csv"));
    showStill();
    view()->setFocus();
    QTest::keyClick(view(), Qt::Key_Right);
    EXPECT_EQ(view()->selected(), 0);
    QTest::keyClick(view(), Qt::Key_Right);
    QTest::keyClick(view(), Qt::Key_Right);
    QTest::keyClick(view(), Qt::Key_Right); // stays on the last
    EXPECT_EQ(view()->selected(), 2);
    EXPECT_TRUE(view()->accessibleDescription().contains("third"));
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(find<QLineEdit>("Text3_0")->text(), "third");
    QTest::keyClick(view(), Qt::Key_Up);
    QTest::keyClick(view(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(find<QLineEdit>("Text3_1")->text(), "second");
    EXPECT_EQ(find<QListView>("List1")->currentIndex().row(), 1);
}

TEST_F(PaletteViewerWindowTest, LeftAndRightPressesFillTheTwoRows) {
    writeFile("p.csv", record("first", "5R", "4", "0.5") + record("second", "5PB", "6", "8") +
                           record("third", "5Y", "8", "10"));
    ASSERT_TRUE(load("p.csv"));
    showStill();
    QTest::mouseClick(view(), Qt::LeftButton, {}, pixelOf(1));
    EXPECT_EQ(find<QLineEdit>("Text3_0")->text(), "second");
    EXPECT_EQ(find<QListView>("List1")->currentIndex().row(), 1);
    EXPECT_EQ(view()->selected(), 1);
    QTest::mouseClick(view(), Qt::RightButton, {}, pixelOf(0));
    EXPECT_EQ(find<QLineEdit>("Text3_1")->text(), "first");
    EXPECT_EQ(find<QLineEdit>("Text3_0")->text(), "second"); // untouched
    EXPECT_EQ(find<QLineEdit>("Text4_1")->text(), "5R 4.00/.50");
    const QColor swatch =
        form->row(1)->converted ? QColor::fromRgb(form->row(1)->colour) : QColor();
    EXPECT_TRUE(find<QFrame>("Shape2")->styleSheet().contains(swatch.name()));
    EXPECT_TRUE(find<QLabel>("Compare")->text().contains("\u0394E2000"));
    // A further left press replaces only the first row.
    QTest::mouseClick(view(), Qt::LeftButton, {}, pixelOf(2));
    EXPECT_EQ(find<QLineEdit>("Text3_0")->text(), "third");
    EXPECT_EQ(find<QLineEdit>("Text3_1")->text(), "first");
    // The middle button has no row.
    QTest::mouseClick(view(), Qt::MiddleButton, {}, pixelOf(1));
    EXPECT_EQ(find<QLineEdit>("Text3_0")->text(), "third");
    // A line chosen in the list marks its dot.
    auto* list = find<QListView>("List1");
    list->setCurrentIndex(list->model()->index(0, 0));
    EXPECT_EQ(view()->selected(), 0);
    // Another palette leaves the rows as they were.
    writeFile("q.csv", record("other", "5G", "5", "4"));
    ASSERT_TRUE(load("q.csv"));
    EXPECT_EQ(find<QLineEdit>("Text3_1")->text(), "first");
    EXPECT_EQ(view()->selected(), -1);
}

TEST_F(PaletteViewerWindowTest, RowsWriteNotationsAsTheCopiesDo) {
    writeFile("p.csv", record("grey", "5R", "5.23", "0") + record("end", ".00r", "4", "6") +
                           record("yr", "10yr", "7", "2.5"));
    ASSERT_TRUE(load("p.csv"));
    showStill();
    const struct {
        std::size_t entry;
        const char* row; // the notation field it fills
        const char* expected;
    } cases[] = {
        {0, "Text4_0", "N 5.23/"},        // a neutral: no hue, no chroma
        {1, "Text4_1", "10RP 4.00/6.00"}, // the end of the family before
        {2, "Text4_0", "10YR 7.00/2.50"},
    };
    for (const auto& c : cases) {
        const Qt::MouseButton button =
            QString(c.row).endsWith('0') ? Qt::LeftButton : Qt::RightButton;
        QTest::mouseClick(view(), button, {}, pixelOf(c.entry));
        EXPECT_EQ(find<QLineEdit>(c.row)->text(), c.expected);
    }
}

TEST_F(PaletteViewerWindowTest, ListLinesPadNameAndHueToTheirColumns) {
    writeFile("p.csv", record("x", "5R", "4", "1") + record("y", "5R", "4", "1") +
                           record("A1", "5r", "4", "0.5"));
    ASSERT_TRUE(load("p.csv"));
    const QString line = find<QListView>("List1")->model()->index(2, 0).data().toString();
    EXPECT_TRUE(
        QRegularExpression("^3    A1 +     H 5r +   V 4\\.00     C \\.50$").match(line).hasMatch())
        << line.toStdString();
    // The blanks reach the 2000-twip column and no further than one blank past it.
    auto* list = find<QListView>("List1");
    const QFontMetricsF fm(list->font());
    const double column = 2000.0 / 1440 * list->logicalDpiX();
    const QString name = line.left(line.indexOf("     H "));
    EXPECT_GE(fm.horizontalAdvance(name), column);
    EXPECT_LT(fm.horizontalAdvance(name.chopped(1)), column + 0.5);
}

TEST_F(PaletteViewerWindowTest, RedrawsOnlyWhenSomethingChanges) {
    writeFile("p.csv", manyRecords(200));
    ASSERT_TRUE(load("p.csv"));
    showStill();
    QSignalSpy frames(view(), &PaletteView::frameDrawn);
    frames.wait(200); // the first showing
    frames.clear();
    EXPECT_FALSE(frames.wait(500)); // idle: nothing is drawn
    EXPECT_EQ(frames.count(), 0);
    find<QScrollBar>("VScroll1")->setValue(40);
    EXPECT_TRUE(frames.wait(1000));
    EXPECT_EQ(frames.count(), 1);
    find<QCheckBox>("Check1")->setChecked(true);
    EXPECT_TRUE(frames.wait(1000));
}

TEST_F(PaletteViewerWindowTest, RotationStepsOneDegreeAndWrapsAt180) {
    showStill();
    auto* rotation = find<QScrollBar>("HScroll1");
    rotation->setValue(178);
    QSignalSpy steps(rotation, &QScrollBar::valueChanged);
    form->startRotation();
    EXPECT_TRUE(find<QWidget>("Command1")->styleSheet().contains("224,160,160"));
    for (int i = 0; i < 4 && steps.count() < 4; ++i)
        steps.wait(1000);
    form->stopRotation();
    ASSERT_GE(steps.count(), 4);
    QList<int> seen;
    for (int i = 0; i < 4; ++i)
        seen << steps[i].first().toInt();
    EXPECT_EQ(seen, (QList<int>{179, 180, -180, -179}));
    // Hidden, the timer rests.
    form->startRotation();
    form->hide();
    steps.clear();
    EXPECT_FALSE(steps.wait(100));
}

TEST_F(PaletteViewerWindowTest, OpenMenuCancelledKeepsThePaletteExportsGoThroughTheSaveDialog) {
    writeFile("p.csv", manyRecords(4));
    ASSERT_TRUE(load("p.csv"));
    form->GetData(0); // the dialog answers nothing: cancelled
    EXPECT_FALSE(form->loading());
    EXPECT_EQ(dialogs.shown().last().kind, "open");
    EXPECT_EQ(dialogs.shown().last().text, "DataBase Files (*.csv)|*.csv");
    EXPECT_EQ(form->points().size(), 4u);

    EXPECT_EQ(form->exportPalette("out.gpl"), "");
    EXPECT_TRUE(readFile("out.gpl").startsWith("GIMP Palette\nName: p\n"));
    EXPECT_EQ(form->exportPalette("out.ase"), "");
    EXPECT_TRUE(readFile("out.ase").startsWith("ASEF"));
}

} // namespace
} // namespace zul::testing

namespace zul::testing {
namespace {

// A palette sampled from the shipped picture loads whole; with ZUL_PICTURE_PALETTE set, the
// palette is also kept there (for looking at the window by hand).
TEST_F(PaletteViewerWindowTest, PaletteOfThePictureLoadsWhole) {
    const int saved = writePicturePalette(*wb, QString(ZUL_SOURCE_DIR) + "/data/TestImage.jpg", 48,
                                          36, "TestImage.csv");
    ASSERT_GT(saved, 48 * 36 * 9 / 10);
    dialogs.clear();
    EXPECT_TRUE(load("TestImage.csv"));
    EXPECT_EQ(form->points().size(), static_cast<std::size_t>(saved));
    EXPECT_EQ(form->points().names[1], "1,0");
    EXPECT_TRUE(statusStyle().contains("#00ff00"));
    const QString keep = qEnvironmentVariable("ZUL_PICTURE_PALETTE");
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        EXPECT_TRUE(QFile::copy("TestImage.csv", keep));
    }
}

} // namespace
} // namespace zul::testing
