// Every window apart from the main one, by keyboard and screen reader: a unique accessible name
// on each control, a mnemonic on each button, group and menu, a tooltip on each button and
// slider, and its chart or picture described in words.
#include "charts/colorcheckerwindow.h"
#include "charts/huepagewindow.h"
#include "charts/tolerancewindow.h"
#include "charts/valuepagewindow.h"
#include "imaging/picturewindow.h"
#include "qc/qcwindow.h"
#include "spectral/spectralwindow.h"
#include "support/accessibletree.h"
#include "viewer/paletteviewerwindow.h"
#include "workbench/workbench_fixture.h"

#include <QDir>
#include <QWidget>

#include <functional>
#include <memory>

namespace zul::testing {
namespace {

class WindowAccessTest : public WorkbenchTest {
protected:
    // The shipped picture and ccnames.csv are taken from the working folder.
    void SetUp() override {
        WorkbenchTest::SetUp();
        QDir::setCurrent(ZUL_SOURCE_DIR "/data");
    }
    void TearDown() override { QDir::setCurrent(previous); }
    const QString previous = QDir::currentPath();
};

TEST_F(WindowAccessTest, EveryControlNamedWithItsKeysAndTips) {
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "4"}, {Field::Chroma, "10"}}));
    const struct {
        const char* window;
        std::function<QWidget*(Workbench&)> make;
        const char* described; // object name of the view that says what it shows
        const char* says;      // a part of what it says
        int controls;          // at least this many named controls
    } cases[] = {
        {"hue page",
         [](Workbench& wb) {
             auto* w = new HuePageWindow(wb, {});
             w->fillbook();
             return w;
         },
         "canvas", "Hue 5R", 3},
        {"value page",
         [](Workbench& wb) {
             auto* w = new ValuePageWindow(wb, {});
             w->plotvalue(4);
             return w;
         },
         "canvas", "Value 4", 3},
        {"tolerance",
         [](Workbench& wb) {
             auto* w = new ToleranceWindow(wb, {});
             w->MakeCTol({50, 10, -5});
             return w;
         },
         "canvas", "L* 50.00 a* 10.00 b* -5.00", 10},
        {"ColorChecker",
         [](Workbench& wb) {
             auto* w = new ColorCheckerWindow(wb, {});
             w->fillCC();
             return w;
         },
         "canvas", "24 of 24 patches", 2},
        {"picture", [](Workbench& wb) { return new PictureWindow(wb); }, "Picture1",
         "TestImage.jpg, ", 8},
        {"viewer", [](Workbench& wb) { return new PaletteViewerWindow(wb); }, nullptr, nullptr, 15},
        {"spectral", [](Workbench& wb) { return new spectral::SpectralWindow(wb); }, "CurveChart",
         "1 curve", 7},
        {"quality control", [](Workbench& wb) { return new QcWindow(wb); }, "QcPlot", "No standard",
         15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window);
        const std::unique_ptr<QWidget> w(c.make(*wb));
        const QStringList names = accessibleNames(w.get());
        EXPECT_GE(names.size(), c.controls) << names.join(", ").toStdString();
        EXPECT_TRUE(namingFaults(names).isEmpty()) << namingFaults(names).join("; ").toStdString()
                                                   << " in " << names.join(", ").toStdString();
        EXPECT_TRUE(mnemonicFaults(w.get()).isEmpty())
            << mnemonicFaults(w.get()).join("; ").toStdString();
        EXPECT_TRUE(tooltipFaults(w.get()).isEmpty())
            << tooltipFaults(w.get()).join("; ").toStdString();
        if (!c.described) continue;
        auto* view = w->findChild<QWidget*>(c.described);
        ASSERT_NE(view, nullptr);
        EXPECT_FALSE(view->accessibleName().isEmpty());
        EXPECT_TRUE(view->accessibleDescription().contains(c.says))
            << view->accessibleDescription().toStdString();
    }
}

} // namespace
} // namespace zul::testing
