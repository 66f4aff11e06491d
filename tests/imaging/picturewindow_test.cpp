// The picture window on the offscreen platform, against a real workbench and scripted dialogs.
#include "imaging/picturearea.h"
#include "imaging/picturewindow.h"
#include "imaging_support.h"
#include "support/scratchfolder.h"
#include "workbench/workbench_fixture.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace zul::testing {
namespace {

// Palettes are written in the scratch folder.
class PictureWindowTest : public InScratchFolder<WorkbenchTest> {
protected:
    void SetUp() override {
        InScratchFolder::SetUp();
        QImage image = patternPicture(400, 300);
        // A black and a red patch for the samples touching 0 and 255.
        for (int y = 200; y < 220; ++y)
            for (int x = 0; x < 20; ++x) {
                image.setPixel(x, y, qRgb(0, 0, 0));
                image.setPixel(x + 40, y, qRgb(255, 0, 0));
            }
        pictureFile = dir.filePath("leaf.png");
        ASSERT_TRUE(image.save(pictureFile));
    }

    std::unique_ptr<PictureWindow> open(const QString& picture) {
        auto w = std::make_unique<PictureWindow>(*wb, picture);
        w->setWorkers(2);
        return w;
    }
    QString field(PictureWindow& w, const char* name) {
        auto* f = w.findChild<QLineEdit*>(name);
        return f ? f->text() : QString("<no %1>").arg(name);
    }
    QAction* action(PictureWindow& w, const char* name) { return w.findChild<QAction*>(name); }
    // Name, granularity, Yes at the total.
    void scriptBuild(const QString& name, const QString& n) {
        dialogs.queueReply(name);
        dialogs.queueReply(n);
        dialogs.queueAnswer(Dialogs::Answer::Yes);
    }

    QString pictureFile;
};

TEST_F(PictureWindowTest, OpensWithItsPictureAndNamesTheControls) {
    auto w = open(pictureFile);
    EXPECT_EQ(w->windowTitle(), "Munsell Notation Picture Analysis");
    EXPECT_EQ(field(*w, "Text2"), pictureFile);
    EXPECT_EQ(field(*w, "Text3"), "400");
    EXPECT_EQ(field(*w, "Text4"), "300");
    EXPECT_EQ(field(*w, "Text5"), "Click on picture to display Munsell Notation");
    EXPECT_EQ(field(*w, "Text6"), "Pixel Location");
    EXPECT_NE(w->findChild<PictureArea*>("Picture1"), nullptr);
    EXPECT_EQ(wb->paletteFile(), "leaf"); // "leaf.png" less four characters
    EXPECT_FALSE(action(*w, "mnuView3D")->isVisible());
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(PictureWindowTest, AMissingPictureIsOneMessageAndBuildingRefuses) {
    auto w = open("TestImage.jpg"); // not in this working directory nor beside the test
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("TestImage.jpg"));
    EXPECT_TRUE(w->picture().isNull());
    EXPECT_EQ(field(*w, "Text3"), "");
    w->SamplePicture(0, 0); // nothing to sample: no crash, no change
    EXPECT_EQ(field(*w, "Text5"), "Click on picture to display Munsell Notation");
    dialogs.clear();
    w->BuildPalette();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.shown().size() == 1); // no prompt
}

TEST_F(PictureWindowTest, AClickSamplesTheBlockAndShowsItsNotation) {
    auto w = open(pictureFile);
    auto* area = w->findChild<PictureArea*>("Picture1");
    const QImage before = w->picture().image;
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(120, 45));

    // The window's own average of the 9 x 9 block, through the main workbench's chain.
    const Rgb8 avg = *sampleAverage(w->picture().view(), 120, 45, 4);
    EXPECT_EQ(wb->text(Field::R), QString::number(avg.r));
    EXPECT_EQ(wb->text(Field::Bl), QString::number(avg.b));
    EXPECT_FALSE(wb->text(Field::Hue).isEmpty());
    EXPECT_EQ(field(*w, "Text5"), "Hue = " + wb->text(Field::Hue) +
                                      "   Value = " + wb->text(Field::Value) +
                                      "   Chroma = " + wb->text(Field::Chroma));
    EXPECT_EQ(field(*w, "Text6"), "Position  X = 120  Y = 45");
    const auto rgb = wb->displayRgb();
    EXPECT_EQ(rgb, (std::array<int, 3>{avg.r, avg.g, avg.b}));

    // The block flashes as an overlay; the picture itself never changes.
    EXPECT_TRUE(area->flashing());
    EXPECT_EQ(w->picture().image, before);
    QTRY_VERIFY_WITH_TIMEOUT(!area->flashing(), 2000);

    // In click mode movement changes nothing; in continuous mode a press changes nothing.
    const QString shown = field(*w, "Text6");
    emit area->moved(QPoint(10, 10));
    EXPECT_EQ(field(*w, "Text6"), shown);
    w->setDisplayMode(PictureWindow::DisplayMode::Continuous);
    emit area->pressed(QPoint(30, 30));
    EXPECT_EQ(field(*w, "Text6"), shown);
    QMouseEvent move(QEvent::MouseMove, QPointF(31.5, 32.5), QPointF(31.5, 32.5), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(area, &move);
    EXPECT_EQ(field(*w, "Text6"), "Position  X = 31  Y = 32");
}

TEST_F(PictureWindowTest, TheKeyboardMovesAndPressesAsThePointerDoes) {
    auto w = open(pictureFile);
    auto* area = w->pictureArea();
    QTest::keyClick(area, Qt::Key_Return); // the middle of the picture
    EXPECT_EQ(field(*w, "Text6"), "Position  X = 200  Y = 150");
    QTest::keyClick(area, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(area, Qt::Key_Up);
    EXPECT_EQ(field(*w, "Text6"),
              "Position  X = 200  Y = 150"); // click mode: moving is not sampling
    QTest::keyClick(area, Qt::Key_Space);
    EXPECT_EQ(field(*w, "Text6"), "Position  X = 210  Y = 149");
    w->setDisplayMode(PictureWindow::DisplayMode::Continuous);
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(area, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(field(*w, "Text6"), "Position  X = 399  Y = 149"); // stops at the edge
}

TEST_F(PictureWindowTest, SamplesTouching0And255UpdateTheNotation) {
    auto w = open(pictureFile);
    w->setSamplePixels(1);
    w->SamplePicture(120, 45);
    const QString grey = field(*w, "Text5");
    w->SamplePicture(45, 210); // pure red
    EXPECT_EQ(wb->text(Field::R), "255");
    EXPECT_NE(field(*w, "Text5"), grey);
    EXPECT_TRUE(field(*w, "Text5").startsWith("Hue = " + wb->text(Field::Hue)));
    EXPECT_TRUE(wb->text(Field::Hue).endsWith("R"));
    const QString red = field(*w, "Text5");
    w->SamplePicture(5, 210); // black
    EXPECT_EQ(wb->text(Field::R), "0");
    EXPECT_NE(field(*w, "Text5"), red);
    EXPECT_EQ(wb->displayRgb(), (std::array<int, 3>{0, 0, 0}));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(PictureWindowTest, BuildsThePaletteOnceAndHandsItToTheViewer) {
    auto w = open(pictureFile);
    scriptBuild("leaves", "10");
    w->BuildPalette();
    EXPECT_EQ(dialogs.proposals().value(0), "leaf.csv");
    EXPECT_EQ(dialogs.shown().value(0).kind, "save");
    EXPECT_EQ(dialogs.questions(), QStringList{"Total Pixels  1200   Generate Palette"});
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("|").toStdString();
    // The name as typed, ".csv" added; the status names the whole path.
    QFile palette(dir.filePath("leaves.csv"));
    ASSERT_TRUE(palette.open(QIODevice::ReadOnly));
    EXPECT_EQ(palette.readAll().count('\n'), 1200);
    EXPECT_EQ(field(*w, "Text1"), "Palette Done and saved as " + dir.filePath("leaves.csv"));
    EXPECT_EQ(wb->paletteFile(), dir.filePath("leaves.csv"));
    EXPECT_EQ(wb->lastPaletteName(), dir.filePath("leaves.csv"));
    EXPECT_EQ(w->pictureArea()->gridStep(), 10);
    ASSERT_TRUE(action(*w, "mnuView3D")->isVisible());

    QSignalSpy spy(wb.get(), &Workbench::paletteViewRequested);
    action(*w, "mnuView3D")->trigger();
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy[0][0].toString(), QFileInfo(palette).absoluteFilePath());

    dialogs.clear();
    w->BuildPalette();
    EXPECT_EQ(dialogs.messages(), QStringList{"Palette already made - reload or load new picture"});
}

TEST_F(PictureWindowTest, GranularityAnswersAreCheckedAndAskedAgain) {
    auto w = open(pictureFile);
    dialogs.queueReply("pal");
    for (const char* n : {"0", "ten", "301", "1", "20"})
        dialogs.queueReply(n);
    dialogs.queueAnswer(Dialogs::Answer::Ok); // "0"
    dialogs.queueAnswer(Dialogs::Answer::Ok); // "ten"
    dialogs.queueAnswer(Dialogs::Answer::Ok); // "301"
    dialogs.queueAnswer(Dialogs::Answer::Ok); // too many at 1
    dialogs.queueAnswer(Dialogs::Answer::No); // 20: No, asked again
    dialogs.queueReply("");                   // then cancelled
    w->BuildPalette();
    const QStringList m = dialogs.messages();
    ASSERT_EQ(m.size(), 4);
    EXPECT_EQ(m[3], "Too many pixels  120000 Maximun 10,000 - increase granularity ");
    EXPECT_EQ(dialogs.questions(), QStringList{"Total Pixels  300   Generate Palette"});
    // The last answer is proposed again each time.
    EXPECT_EQ(dialogs.proposals().mid(1), (QStringList{"10", "0", "ten", "301", "1", "20"}));
    EXPECT_FALSE(QFile::exists(dir.filePath("pal.csv")));
    EXPECT_FALSE(w->paletteMade());

    // A cancelled name builds nothing and leaves the name empty.
    dialogs.clear();
    dialogs.queueReply("");
    w->BuildPalette();
    EXPECT_TRUE(wb->paletteFile().isEmpty());
    EXPECT_FALSE(w->paletteMade());
}

TEST_F(PictureWindowTest, AnExistingPaletteIsReplacedOnlyAfterYes) {
    const QByteArray old = "\"01-01-2026\",\"10:00:00\",\"mine\"\r\n";
    const QString kept = dir.filePath("Keep.csv");
    const QString question = "The palette " + kept + " already exists. Replace it?";
    auto w = open(pictureFile);
    QFile existing(kept);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write(old);
    existing.close();

    // No: the dialog opens again on the same name; a cancel there leaves the file as it was.
    dialogs.queueReply("Keep");
    dialogs.queueAnswer(Dialogs::Answer::No);
    w->BuildPalette();
    EXPECT_EQ(dialogs.questions(), QStringList{question});
    EXPECT_EQ(dialogs.proposals(), (QStringList{"leaf.csv", kept}));
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), old);
    existing.close();
    EXPECT_FALSE(w->paletteMade());

    // Yes: rebuilt from empty.
    dialogs.clear();
    scriptBuild("Keep.csv", "10");
    dialogs.queueAnswer(Dialogs::Answer::Yes); // answers queue in order: replace, then total
    w->BuildPalette();
    ASSERT_EQ(dialogs.questions().value(0), question);
    ASSERT_TRUE(w->paletteMade());
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    const QByteArray rebuilt = existing.readAll();
    EXPECT_FALSE(rebuilt.contains("mine"));
    EXPECT_EQ(rebuilt.count('\n'), 1200);
}

TEST_F(PictureWindowTest, AnUnwritableFolderGivesOneMessage) {
    auto w = open(pictureFile);
    scriptBuild(dir.filePath("missing/folder/p"), "10");
    w->BuildPalette();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(dir.filePath("missing/folder/p.csv")));
    EXPECT_FALSE(w->paletteMade());
    EXPECT_EQ(field(*w, "Text1"), "Palette not built");
}

TEST_F(PictureWindowTest, TheClipboardPictureReplacesTheShownOne) {
    auto w = open(pictureFile);
    scriptBuild("first", "10");
    w->BuildPalette();
    ASSERT_TRUE(w->paletteMade());

    QGuiApplication::clipboard()->setImage(filledPicture(64, 48, qRgb(90, 140, 60)));
    dialogs.clear();
    w->getClipboard();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(field(*w, "Text3"), "64");
    EXPECT_EQ(field(*w, "Text4"), "48");
    EXPECT_EQ(field(*w, "Text1"), "");
    EXPECT_FALSE(w->paletteMade());
    EXPECT_FALSE(action(*w, "mnuView3D")->isVisible());
    w->SamplePicture(10, 10);
    EXPECT_EQ(wb->displayRgb(), (std::array<int, 3>{90, 140, 60}));

    QGuiApplication::clipboard()->setMimeData(new QMimeData);
    w->getClipboard();
    EXPECT_EQ(dialogs.messages(), QStringList{"Clipboard empty or Picture too big"});
    EXPECT_EQ(field(*w, "Text3"), "64"); // the shown picture stays
}

TEST_F(PictureWindowTest, LoadPictureTakesTheChosenFileAndACancelKeepsTheShownOne) {
    auto w = open(pictureFile);
    const QString other = dir.filePath("other.png");
    ASSERT_TRUE(filledPicture(30, 20, qRgb(1, 2, 3)).save(other));
    dialogs.queueReply(other);
    w->loadPicture();
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_TRUE(dialogs.shown()[0].text.endsWith("|*.jpg|*.jpg|All files|*"));
    EXPECT_EQ(field(*w, "Text2"), other);
    EXPECT_EQ(field(*w, "Text3"), "30");
    EXPECT_EQ(wb->paletteFile(), "other");

    dialogs.queueReply("");
    w->loadPicture();
    EXPECT_EQ(field(*w, "Text2"), other);
    EXPECT_FALSE(w->picture().isNull());
}

TEST_F(PictureWindowTest, ExitClearsTheImageAnalysisSwitch) {
    auto w = open(pictureFile);
    wb->setSwitch(Switch::ImageAnalysis, true);
    action(*w, "mnuExit")->trigger();
    EXPECT_FALSE(wb->switchOn(Switch::ImageAnalysis));
}

TEST_F(PictureWindowTest, HelpIsOneMessageTitledOptions) {
    auto w = open(pictureFile);
    w->showHelp();
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].title, "Options");
    EXPECT_TRUE(dialogs.shown()[0].text.startsWith(
        "Displays Munsell Notation of Selected Pixels of Pictures on Your computer\r\n\r\n"));
    EXPECT_TRUE(
        dialogs.shown()[0].text.endsWith("View 3D Palette - Displays Palette in 3D display\r\n"));
}

TEST_F(PictureWindowTest, FitToWindowMapsThePointerToPicturePixels) {
    auto w = open(pictureFile);
    w->resize(500, 400);
    w->show();
    w->setFitToWindow(true);
    auto* area = w->pictureArea();
    const double zoom = area->zoom();
    ASSERT_LT(zoom, 1.0);
    const QPoint at(static_cast<int>(200 * zoom) + 1, static_cast<int>(100 * zoom) + 1);
    const auto px = area->pixelAt(at);
    ASSERT_TRUE(px);
    EXPECT_EQ(px->x(), static_cast<int>(std::floor(at.x() / zoom)));
    EXPECT_EQ(px->y(), static_cast<int>(std::floor(at.y() / zoom)));
    w->setFitToWindow(false);
    EXPECT_EQ(area->zoom(), 1.0);
}

} // namespace
} // namespace zul::testing
