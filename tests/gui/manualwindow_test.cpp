// "User manual": the button beside Help opens one manual window, which shows the built HTML
// with its pictures, or says where it looked when there is none.
#include "gui/mainwindow.h"
#include "gui/manualwindow.h"
#include "support/scripteddialogs.h"
#include "workbench/workbench.h"
#include "workbench/workbench_fixture.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace zul {
namespace {

TEST(ManualWindow, ShowsTheBuiltManualWithItsPictures) {
    ASSERT_TRUE(QFileInfo::exists(ZUL_MANUAL_HTML)) << "build the manual-html target first";
    ManualWindow w(ZUL_MANUAL_HTML);
    EXPECT_EQ(w.windowTitle(), "ZUL User manual");
    EXPECT_EQ(w.file(), ZUL_MANUAL_HTML);
    const QString text = w.browser()->toPlainText();
    EXPECT_TRUE(text.startsWith("ZUL user manual")) << text.left(80).toStdString();
    EXPECT_TRUE(text.contains("Troubleshooting"));
    // Pictures are found beside the page: the first one loads as an image of its own size.
    const QVariant picture = w.browser()->document()->resource(QTextDocument::ImageResource,
                                                               QUrl("pictures/window-main.png"));
    ASSERT_TRUE(picture.isValid());
    EXPECT_GT(picture.value<QImage>().width(), 400);
}

TEST(ManualWindow, SaysWhereItLookedWhenThereIsNoManual) {
    // The test program lives where no manual is beside it.
    ASSERT_TRUE(findManual().isEmpty());
    ManualWindow w;
    EXPECT_TRUE(w.file().isEmpty());
    EXPECT_EQ(w.browser()->toPlainText(), manualMissingText());
}

TEST(ManualWindow, OpensOnceFromTheButtonBesideHelp) {
    testing::ScriptedDialogs dialogs;
    Workbench wb(testing::sharedTable(), dialogs);
    wb.startUp();
    MainWindow window(wb);
    auto* button = window.findChild<QPushButton*>("manualB");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "User manual");
    // Beside Help, in the same row.
    auto* help = window.findChild<QPushButton*>("Command1");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(button->parentWidget(), help->parentWidget());

    EXPECT_EQ(window.findChild<ManualWindow*>(), nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    const QList<ManualWindow*> opened = window.findChildren<ManualWindow*>();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.front()->isVisible());
    EXPECT_TRUE(opened.front()->isWindow());
    EXPECT_TRUE(dialogs.shown().isEmpty()) << "the manual is no message box";
}

} // namespace
} // namespace zul
