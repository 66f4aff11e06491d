// The palette viewer behind its switch: made by a file handed over from another window, and
// reloaded by "Save to Palette" while switched on.
#include "app/switchboard.h"
#include "app/windows.h"
#include "viewer/form3.h"
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
    Form3* viewer() { return qobject_cast<Form3*>(board->window(Switch::Viewer)); }

    InTempDir dir;
    std::unique_ptr<Switchboard> board;
};

TEST_F(ViewerWindowTest, AHandedFileMakesShowsAndLoadsTheViewer) {
    wb->setPaletteFile("saved.csv");
    emit wb->viewerReload(); // no viewer yet: nothing happens
    EXPECT_EQ(viewer(), nullptr);

    emit wb->paletteViewRequested("handed.csv");
    Form3* v = viewer();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(wb->switchOn(Switch::Viewer));
    EXPECT_TRUE(v->isVisible());
    QSignalSpy done(v, &Form3::loadFinished);
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

} // namespace
} // namespace zul::testing
