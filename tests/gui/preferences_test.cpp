// What the window face keeps between runs: window sizes fitted to the screen, geometry,
// the workbench's illuminant, switches, gamma and tint, and forgetting them all.
#include "gui/preferences.h"
#include "workbench/workbench_fixture.h"

#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace zul::testing {
namespace {

TEST(FittedSize, NeverLargerThanTheScreen) {
    const QRect screen(0, 0, 1600, 900);
    const QRect scaled(0, 0, 1066, 600); // 1600 x 900 at 150 %
    const struct {
        QSize wanted;
        QRect area;
        QSize expected;
    } cases[] = {
        {{1100, 560}, screen, {1100, 560}}, // fits: its own size
        {{860, 620}, scaled, {860, 568}},   // too tall: the height of the area less the title
        {{1180, 820}, scaled, {1058, 568}},
        {{400, 300}, QRect(), {400, 300}}, // no screen known
    };
    for (const auto& c : cases)
        EXPECT_EQ(fittedSize(c.wanted, c.area), c.expected) << c.wanted.width();
}

TEST(CascadePosition, ApartAndOnTheScreen) {
    const QRect area(0, 30, 1600, 870);
    EXPECT_EQ(cascadePosition(0, {500, 400}, area), QPoint(0, 30));
    const QPoint second = cascadePosition(1, {500, 400}, area);
    const QPoint third = cascadePosition(2, {500, 400}, area);
    EXPECT_NE(second, QPoint(0, 30));
    EXPECT_NE(second, third);
    // A window that would run off the screen starts again at the edge.
    const QPoint wide = cascadePosition(3, {1590, 400}, area);
    EXPECT_EQ(wide.x(), 0);
    EXPECT_TRUE(area.contains(QRect(cascadePosition(20, {800, 600}, area), QSize(800, 600))));
}

class PreferencesTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        settings = std::make_unique<QSettings>(dir.filePath("zul.ini"), QSettings::IniFormat);
    }
    QTemporaryDir dir;
    std::unique_ptr<QSettings> settings;
};

TEST_F(PreferencesTest, WorkbenchChoicesSurviveARestart) {
    wb->sliderMoved(Slider::Gamma, 18);
    wb->sliderMoved(Slider::Tint, 60);
    wb->selectIlluminant(2);
    wb->setPwd(1);
    wb->setAdaptEntries(true);
    saveWorkbenchPreferences(*settings, *wb);
    const Workbench::Options kept = wb->options();
    const QString hue = wb->text(Field::Hue);

    Workbench restarted(sharedTable(), dialogs);
    restarted.startUp();
    restoreWorkbenchPreferences(*settings, restarted);
    EXPECT_EQ(restarted.options(), kept);
    EXPECT_EQ(restarted.illuminantCaption(), wb->illuminantCaption());
    EXPECT_EQ(restarted.text(Field::Hue), hue); // the start-up colour under the illuminant kept
}

TEST_F(PreferencesTest, NothingKeptOrNonsenseKeptIsAFirstStart) {
    Workbench fresh(sharedTable(), dialogs);
    fresh.startUp();
    restoreWorkbenchPreferences(*settings, fresh);
    EXPECT_EQ(fresh.options(), wb->options());
    EXPECT_EQ(fresh.text(Field::X), wb->text(Field::X));

    settings->setValue("workbench/illuminant", 7);
    settings->setValue("workbench/gamma", "abc");
    settings->setValue("workbench/tint", -5);
    settings->setValue("workbench/pwd", 2);
    restoreWorkbenchPreferences(*settings, fresh);
    EXPECT_EQ(fresh.options(), wb->options());
}

TEST_F(PreferencesTest, WindowGeometryKeptAndBoundedToTheScreen) {
    QWidget first;
    placeWindow(first, 1, settings.get(), "hue");
    first.resize(420, 310);
    first.move(140, 90);
    saveWindowGeometry(*settings, first, "hue");

    QWidget again;
    again.resize(900, 700);
    placeWindow(again, 1, settings.get(), "hue");
    EXPECT_EQ(again.size(), QSize(420, 310));

    // Another key, nothing kept: its own size within the screen.
    QWidget other;
    other.resize(100000, 200);
    placeWindow(other, 2, settings.get(), "value");
    EXPECT_LT(other.width(), 100000);
    EXPECT_EQ(other.height(), 200);
}

TEST_F(PreferencesTest, AWindowWithoutAFrameComesBackWhereItWas) {
    // Without a window manager X draws no frame; a frameless window offscreen has none either.
    QWidget first;
    first.setWindowFlag(Qt::FramelessWindowHint);
    placeWindow(first, 0, settings.get(), "main");
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
    ASSERT_EQ(first.frameGeometry(), first.geometry());
    const QRect area = first.screen()->availableGeometry();
    const QRect atTop(area.topLeft(), QSize(300, 200));
    first.setGeometry(atTop);
    saveWindowGeometry(*settings, first, "main");

    QWidget again;
    again.setWindowFlag(Qt::FramelessWindowHint);
    placeWindow(again, 0, settings.get(), "main");
    EXPECT_EQ(again.geometry(), atTop); // not a title bar's height lower
}

TEST_F(PreferencesTest, ResetForgetsEverything) {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    openPreferences()->setValue("workbench/illuminant", 1);
    rememberFolder("Open Palette", dir.filePath("x.csv"));
    EXPECT_EQ(lastFolder("Open Palette"), dir.path());
    const QString file = forgetPreferences();
    EXPECT_TRUE(file.startsWith(dir.path()));
    EXPECT_FALSE(openPreferences()->contains("workbench/illuminant"));
    EXPECT_TRUE(lastFolder("Open Palette").isEmpty());
}

} // namespace
} // namespace zul::testing
