// The chart windows behind the main window's switches, as the program registers them: one
// instance each, refilled on every tick, closing clears the box, printing without a printer.
#include "charts/huepagewindow.h"
#include "gui/mainwindow.h"
#include "gui/switchboard.h"
#include "gui/windows.h"
#include "workbench/workbench_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>

namespace zul::testing {
namespace {

class ChartSwitchesTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        window = std::make_unique<MainWindow>(*wb);
        board = std::make_unique<Switchboard>(*wb);
        registerWindows(*board, *wb);
    }
    void TearDown() override {
        board.reset();
        window.reset();
    }
    QCheckBox* box(const char* name) { return window->findChild<QCheckBox*>(name); }
    static void settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<Switchboard> board;
};

TEST_F(ChartSwitchesTest, TickUntickTickGivesTheSameHuePageRefilled) {
    box("Check2")->click();
    settle();
    auto* book = qobject_cast<HuePageWindow*>(board->window(Switch::HuePage));
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->objectName(), "book");
    EXPECT_EQ(book->windowTitle(), "Munsell Book of Color");
    EXPECT_TRUE(book->isVisible());
    ASSERT_TRUE(book->page());
    EXPECT_EQ(book->page()->hueCaption, "6.4Y");

    box("Check2")->click();
    EXPECT_FALSE(book->isVisible());
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "4"}, {Field::Chroma, "10"}}));
    settle();
    EXPECT_EQ(book->page()->hueCaption, "6.4Y"); // switched off: not kept current

    box("Check2")->click();
    settle();
    EXPECT_EQ(board->window(Switch::HuePage), book);
    EXPECT_TRUE(book->isVisible());
    EXPECT_EQ(book->page()->hueCaption, "5R");

    // Closing by the title bar clears the box and the switch; the window waits hidden.
    EXPECT_TRUE(book->close());
    EXPECT_FALSE(wb->switchOn(Switch::HuePage));
    EXPECT_FALSE(box("Check2")->isChecked());
    EXPECT_EQ(board->window(Switch::HuePage), book);
}

TEST_F(ChartSwitchesTest, EveryChartHasItsWindow) {
    for (const char* name : {"Check3", "Check4", "Check5"})
        box(name)->click();
    settle();
    EXPECT_EQ(board->window(Switch::Tolerance)->objectName(), "CTol");
    EXPECT_EQ(board->window(Switch::ValuePage)->objectName(), "book2");
    EXPECT_EQ(board->window(Switch::ColorChecker)->objectName(), "CChecker");
    EXPECT_EQ(board->window(Switch::ColorChecker)->windowTitle(),
              QString("The Macbeth ColorChecker\u00AE"));
}

TEST_F(ChartSwitchesTest, PrintWithoutPrinterShowsOneMessage) {
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a default printer is installed; not printing from a test";
    box("Check2")->click();
    settle();
    board->window(Switch::HuePage)->findChild<QPushButton*>("Command1")->click();
    EXPECT_EQ(dialogs.messages(), QStringList{"Printer not Found"});
}

TEST_F(ChartSwitchesTest, MainWindowSaveAsWritesAPdf) {
    QTemporaryDir dir;
    dialogs.queueReply(dir.filePath("main")); // no suffix: a PDF
    window->findChild<QPushButton*>("saveAs")->click();
    QFile pdf(dir.filePath("main.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

} // namespace
} // namespace zul::testing
