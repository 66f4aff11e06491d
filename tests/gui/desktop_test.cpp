// The main window as a desktop program: its size, the keyboard shortcuts, copy and paste of
// colours, and a unique accessible name for every field and slider.
#include "gui/mainwindow.h"
#include "gui/preferences.h"
#include "support/accessibletree.h"
#include "support/scripteddialogs.h"
#include "widgets/filedrop.h"
#include "workbench/workbench_fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace zul {
namespace {

using testing::ScriptedDialogs;

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        wb = std::make_unique<Workbench>(testing::sharedTable(), dialogs);
        wb->startUp();
        window = std::make_unique<MainWindow>(*wb);
        dialogs.clear();
    }
    void showActive() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QLineEdit* field(const char* name) { return window->findChild<QLineEdit*>(name); }

    ScriptedDialogs dialogs;
    std::unique_ptr<Workbench> wb;
    std::unique_ptr<MainWindow> window;
};

TEST_F(DesktopTest, OpensAtItsContentsSizeWithinTheScreen) {
    window->show();
    QTest::qWait(50); // the first layout, then the fit to it
    auto* scroller = window->findChild<QScrollArea*>("FormScroller");
    ASSERT_NE(scroller, nullptr);
    // The contents' size once shown (larger than before the first show), within the screen.
    const QSize need =
        scroller->widget()->sizeHint().expandedTo(scroller->widget()->minimumSizeHint());
    const QRect available = window->screen()->availableGeometry();
    EXPECT_EQ(window->size(), fittedSize(need, available));
    if (window->width() >= need.width() && window->height() >= need.height()) {
        EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(scroller->verticalScrollBar()->isVisible());
    } else {
        // A screen too small (the offscreen one is 800 x 600): the contents scroll.
        EXPECT_TRUE(scroller->horizontalScrollBar()->isVisible() ||
                    scroller->verticalScrollBar()->isVisible());
    }
}

TEST_F(DesktopTest, ShortcutsPressTheirButtons) {
    showActive();
    const struct {
        QKeyCombination keys;
        const char* button;
    } cases[] = {
        {Qt::CTRL | Qt::Key_S, "Command11"}, {Qt::CTRL | Qt::Key_P, "printB"},
        {Qt::CTRL | Qt::Key_E, "saveAs"},    {QKeyCombination(Qt::Key_F1), "Command1"},
        {Qt::CTRL | Qt::Key_Q, "Command2"},
    };
    for (const auto& c : cases) {
        auto* b = window->findChild<QPushButton*>(c.button);
        ASSERT_NE(b, nullptr) << c.button;
        QSignalSpy clicked(b, &QPushButton::clicked);
        QTest::keyClick(window.get(), c.keys.key(), c.keys.keyboardModifiers());
        EXPECT_EQ(clicked.count(), 1) << c.button;
    }
    // What the presses did: the palette asked for in the save dialog, the help shown.
    ASSERT_FALSE(dialogs.shown().isEmpty());
    EXPECT_EQ(dialogs.shown().front().kind, "save");
    EXPECT_TRUE(dialogs.messages().contains(helpText()));
}

TEST_F(DesktopTest, CopyColourAndPasteEachForm) {
    showActive();
    wb->setText(Field::Hue, "5R");
    wb->setText(Field::Value, "4");
    wb->setText(Field::Chroma, "14");
    ASSERT_TRUE(wb->enterPressed(Field::Chroma));
    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "5R 4/14");

    const struct {
        const char* clipboard;
        const char* into;     // the field pasted into
        Field check;          // a field of the form filled
        const char* expected; // its text after the paste
    } cases[] = {
        {"#C85A5A", "Text1_0", Field::R, "200"},
        {"#C85A5A", "Text12_0", Field::G, "90"}, // only RGB in the text: RGB converts
        {"L* 52.0 a* 44.8 b* 23.0", "Text15_1", Field::L, "52.0"},
        {"N 5/", "Text12_2", Field::Value, "5"},
    };
    for (const auto& c : cases) {
        wb->setText(Field::Hue, "5R");
        wb->setText(Field::Value, "4");
        wb->setText(Field::Chroma, "14");
        wb->enterPressed(Field::Chroma);
        const QString before = wb->text(Field::X);
        QGuiApplication::clipboard()->setText(c.clipboard);
        QLineEdit* target = field(c.into);
        ASSERT_NE(target, nullptr) << c.into;
        target->setFocus();
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(wb->text(c.check).trimmed(), c.expected) << c.clipboard;
        EXPECT_NE(wb->text(Field::X), before) << c.clipboard << ": converted";
    }

    // The CSV line of one colour pasted gives that colour back.
    wb->setText(Field::R, "30");
    wb->setText(Field::G, "120");
    wb->setText(Field::Bl, "200");
    ASSERT_TRUE(wb->enterPressed(Field::Bl));
    const QString hue = wb->text(Field::Hue);
    window->copyColour(CopyForm::Csv);
    wb->setText(Field::R, "0");
    wb->enterPressed(Field::Bl);
    ASSERT_TRUE(window->pasteColour(Field::Hue));
    EXPECT_EQ(wb->text(Field::Hue), hue);

    // Anything else pastes as plain text.
    QGuiApplication::clipboard()->setText("12.5");
    EXPECT_FALSE(window->pasteColour(Field::L));
}

TEST_F(DesktopTest, EveryFieldAndSliderHasAUniqueAccessibleName) {
    showActive();
    const QStringList names =
        testing::accessibleNames(window.get(), {QAccessible::EditableText, QAccessible::Slider});
    ASSERT_GE(names.size(), 18 + 8);
    EXPECT_TRUE(testing::namingFaults(names).isEmpty()) << names.join(", ").toStdString();
    for (const char* expected : {"XYZ Y", "CMYK Y", "RGB B", "Chroma slider", "Gamma"})
        EXPECT_TRUE(names.contains(expected)) << expected;

    // The swatch tells what it shows.
    QWidget* swatch = window->findChild<QWidget*>("Picture1");
    ASSERT_NE(swatch, nullptr);
    EXPECT_EQ(swatch->accessibleDescription(), "6.4Y 8.6/10.4");
}

} // namespace
} // namespace zul

namespace zul {
namespace {

TEST(FileDrop, OneLocalFileOfTheGivenKindIsTaken) {
    QWidget target;
    QStringList taken;
    new FileDrop(&target, {"csv"}, [&](const QString& file) { taken << file; });
    EXPECT_TRUE(target.acceptDrops());
    auto mime = [](const QList<QUrl>& urls) {
        auto* data = new QMimeData;
        data->setUrls(urls);
        return data;
    };
    const struct {
        QList<QUrl> urls;
        bool accepted;
    } cases[] = {
        {{QUrl::fromLocalFile("/tmp/palette.CSV")}, true},
        {{QUrl::fromLocalFile("/tmp/picture.jpg")}, false},
        {{QUrl("https://example.org/p.csv")}, false},
        {{QUrl::fromLocalFile("/tmp/a.csv"), QUrl::fromLocalFile("/tmp/b.csv")}, false},
    };
    for (const auto& c : cases) {
        std::unique_ptr<QMimeData> data(mime(c.urls));
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        enter.setAccepted(false);
        QApplication::sendEvent(&target, &enter);
        EXPECT_EQ(enter.isAccepted(), c.accepted) << c.urls.front().toString().toStdString();
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(&target, &drop);
    }
    EXPECT_EQ(taken, QStringList{"/tmp/palette.CSV"});
}

} // namespace
} // namespace zul
