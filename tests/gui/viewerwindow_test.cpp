// The palette viewer behind its switch: made by a file handed over from another window, and
// reloaded by "Save to Palette" while switched on.
#include "gui/switchboard.h"
#include "gui/windows.h"
#include "viewer/paletteviewerwindow.h"
#include "viewer/viewer_support.h"
#include "workbench/workbench_fixture.h"

#include <QSignalSpy>

namespace zul::testing {
namespace {

class ViewerWindowTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        board = std::make_unique<Switchboard>(*wb);
        registerWindows(*board, *wb);
        writeFile("handed.csv", record("h", "5R", "4", "6") + record("i", "5G", "5", "4"));
        writeFile("saved.csv", record("s", "5B", "6", "4"));
    }
    void TearDown() override { board.reset(); }
    PaletteViewerWindow* viewer() {
        return qobject_cast<PaletteViewerWindow*>(board->window(Switch::Viewer));
    }

    ScratchFolder dir;
    std::unique_ptr<Switchboard> board;
};

TEST_F(ViewerWindowTest, AHandedFileMakesShowsAndLoadsTheViewer) {
    wb->setPaletteFile("saved.csv");
    emit wb->viewerReload(); // no viewer yet: nothing happens
    EXPECT_EQ(viewer(), nullptr);

    emit wb->paletteViewRequested("handed.csv");
    PaletteViewerWindow* v = viewer();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(wb->switchOn(Switch::Viewer));
    EXPECT_TRUE(v->isVisible());
    QSignalSpy done(v, &PaletteViewerWindow::loadFinished);
    ASSERT_TRUE(done.wait(30000));
    EXPECT_EQ(done.count(), 1); // the handed file only, not the last palette as well
    EXPECT_EQ(v->loadedFile(), "handed.csv");
    EXPECT_EQ(v->points().size(), 2u);
    EXPECT_EQ(wb->paletteFile(), "saved.csv"); // shown, not made current
    v->stopRotation();

    // "Save to Palette" while switched on: the current palette file.
    emit wb->viewerReload();
    ASSERT_TRUE(done.wait(30000));
    EXPECT_EQ(v->loadedFile(), "saved.csv");
    EXPECT_EQ(board->window(Switch::Viewer), v); // still the one instance
}

TEST_F(ViewerWindowTest, NewPaletteShowsTheMainWindowThroughTheSwitchboard) {
    QWidget main;
    board->setMainWindow(&main);
    board->open(Switch::Viewer); // ticked as the user ticks it
    PaletteViewerWindow* v = viewer();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(wb->switchOn(Switch::Viewer));
    v->cancelLoad();
    v->stopRotation();
    EXPECT_FALSE(main.isVisible());
    v->newPalette();
    EXPECT_TRUE(main.isVisible());
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().last().contains("'Save Palette'"));
}

} // namespace
} // namespace zul::testing
