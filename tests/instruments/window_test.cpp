// The instrument group on the real main window, offscreen, against a simulated instrument on
// ZUL_COMM1: the window keeps running during Measure, Stop ends the exchange at once and nothing
// changes; a full measurement fills the fields.
#include "gui/mainwindow.h"
#include "support/scratchfolder.h"
#include "support/scripteddialogs.h"
#include "workbench/workbench_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace zul {
namespace {

// The settings file goes in the scratch folder.
class InstrumentWindow : public testing::InScratchFolder<
                             ::testing::TestWithParam<std::pair<const char*, const char*>>> {
protected:
    void SetUp() override {
        InScratchFolder::SetUp();
        wb = std::make_unique<Workbench>(testing::sharedTable(), dialogs);
        wb->startUp();
        window = std::make_unique<MainWindow>(*wb);
        window->show();
    }
    void TearDown() override {
        qunsetenv("ZUL_COMM1");
        window.reset(); // whatever it writes on closing stays in the scratch folder
        wb.reset();
        InScratchFolder::TearDown();
    }
    template <typename T> T* find(const char* name) { return window->findChild<T*>(name); }
    void choose(const char* instrument) {
        auto* combo = find<QComboBox>("Combo1");
        combo->setCurrentIndex(combo->findText(instrument));
        emit combo->activated(combo->currentIndex());
    }
    std::vector<QString> fields() {
        std::vector<QString> out;
        for (QLineEdit* e : window->findChildren<QLineEdit*>())
            out.push_back(e->objectName() + "=" + e->text());
        return out;
    }

    testing::ScriptedDialogs dialogs;
    std::unique_ptr<Workbench> wb;
    std::unique_ptr<MainWindow> window;
};

TEST_P(InstrumentWindow, StaysLiveAndStopsWithinOneStep) {
    qputenv("ZUL_COMM1", GetParam().second);
    choose(GetParam().first);
    auto* measure = find<QPushButton>("Command8");
    auto* calibrate = find<QPushButton>("Command7");
    ASSERT_TRUE(measure->isVisible());
    const auto before = fields();

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    bool sawStop = false, othersDisabled = false;
    QElapsedTimer sinceStop;
    QTimer::singleShot(400, [&] {
        sawStop = measure->text() == "Stop";
        othersDisabled = !calibrate->isEnabled() && !find<QComboBox>("Combo1")->isEnabled() &&
                         !find<QLineEdit>("Text4")->isEnabled();
        sinceStop.start();
        QTest::mouseClick(measure, Qt::LeftButton);
    });
    measure->click(); // returns when the exchange has ended
    const qint64 stopMs = sinceStop.elapsed();
    ticker.stop();

    EXPECT_TRUE(sawStop);
    EXPECT_TRUE(othersDisabled);
    EXPECT_LT(stopMs, 100);
    EXPECT_GE(ticks, 10); // the 20 ms timer kept firing for 400 ms
    EXPECT_EQ(measure->text(), "Measure");
    EXPECT_TRUE(calibrate->isEnabled());
    EXPECT_EQ(find<QLineEdit>("Text3")->text(), "Stopped");
    EXPECT_EQ(fields().size(), before.size());
    auto after = fields();
    std::erase_if(after, [](const QString& s) { return s.startsWith("Text3="); });
    auto expected = before;
    std::erase_if(expected, [](const QString& s) { return s.startsWith("Text3="); });
    EXPECT_EQ(after, expected);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Slow, InstrumentWindow,
                         ::testing::Values(std::pair{"CE7000", "sim:ce7000,byte-delay=50"},
                                           std::pair{"XTH", "sim:xth,byte-delay=50"}));

using InstrumentWindowFill = InstrumentWindow;

TEST_F(InstrumentWindowFill, MeasureFillsTheWindow) {
    qputenv("ZUL_COMM1", "sim:ce2180");
    choose("CE2180");
    find<QPushButton>("Command8")->click();
    EXPECT_EQ(find<QLineEdit>("Text3")->text(), "Measured");
    EXPECT_EQ(find<QLineEdit>("Text11_0")->text(), wb->text(Field::X));
    EXPECT_NE(wb->text(Field::X), "");
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

} // namespace
} // namespace zul
