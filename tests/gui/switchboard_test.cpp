// The window switches: one instance per window, made on the first tick, hidden not destroyed,
// and a window closed by its title bar clears its switch.
#include "gui/switchboard.h"

#include "gui/preferences.h"
#include "gui/windows.h"
#include "workbench/workbench_fixture.h"

#include <QApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

namespace zul::testing {
namespace {

class SwitchboardTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        board = std::make_unique<Switchboard>(*wb);
        board->registerWindow(Switch::HuePage, [this] {
            ++made;
            auto* w = new QWidget;
            w->setObjectName("book");
            return w;
        });
    }
    std::unique_ptr<Switchboard> board;
    int made = 0;
};

TEST_F(SwitchboardTest, TickUntickTickKeepsOneInstance) {
    EXPECT_EQ(board->window(Switch::HuePage), nullptr); // nothing made before the first tick
    wb->setSwitch(Switch::HuePage, true);
    QWidget* first = board->window(Switch::HuePage);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    wb->setSwitch(Switch::HuePage, false);
    EXPECT_FALSE(first->isVisible());
    wb->setSwitch(Switch::HuePage, true);
    EXPECT_EQ(board->window(Switch::HuePage), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(made, 1);
    // A switch without a window keeps its state and makes nothing.
    wb->setSwitch(Switch::Viewer, true);
    EXPECT_EQ(board->window(Switch::Viewer), nullptr);
    EXPECT_TRUE(wb->switchOn(Switch::Viewer));
}

TEST_F(SwitchboardTest, ClosingTheWindowClearsItsSwitch) {
    wb->setSwitch(Switch::HuePage, true);
    QWidget* w = board->window(Switch::HuePage);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(wb->switchOn(Switch::HuePage));
    EXPECT_EQ(board->window(Switch::HuePage), w); // kept for the next tick
    EXPECT_EQ(board->ensureWindow(Switch::HuePage), w);
    EXPECT_EQ(made, 1);
}

} // namespace
} // namespace zul::testing

namespace zul::testing {
namespace {

TEST_F(SwitchboardTest, SpectralAndQualityControlOpenAtTheirSizeAndKeepTheirGeometry) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings settings(dir.filePath("zul.ini"), QSettings::IniFormat);
    const Switch windows[] = {Switch::Spectral, Switch::QualityControl};
    const QSize kept(500, 400);
    // The program's windows on a switchboard that keeps geometry in `settings`.
    auto board = [&] {
        auto b = std::make_unique<Switchboard>(*wb);
        b->setPreferences(&settings);
        registerWindows(*b, *wb);
        return b;
    };
    {
        const auto first = board();
        for (Switch s : windows) {
            QWidget* w = first->ensureWindow(s);
            ASSERT_NE(w, nullptr);
            // Its content's size as far as the screen allows, and never beyond the screen.
            const QRect area = w->screen()->availableGeometry();
            EXPECT_EQ(w->size().expandedTo(fittedSize(w->sizeHint(), area)), w->size());
            EXPECT_EQ(fittedSize(w->size(), area), w->size());
            w->resize(kept);
        }
        first->saveGeometries(settings);
    }
    const auto again = board();
    for (Switch s : windows) {
        QWidget* w = again->ensureWindow(s);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->size(), kept) << w->objectName().toStdString();
        EXPECT_TRUE(w->property(kGeometryRestored).toBool());
    }
}

} // namespace
} // namespace zul::testing
