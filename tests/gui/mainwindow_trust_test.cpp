// The main window's marks of fields that do not show the current colour, the question before
// saving them, the nearest displayable colour, the notes under the illuminant caption, the
// Messages field and the window's size. (The QApplication comes from mainwindow_test.cpp.)
#include "gui/mainwindow.h"
#include "support/scripteddialogs.h"
#include "workbench/workbench_fixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>

namespace zul {
namespace {

using testing::ScriptedDialogs;
using testing::sharedTable;

class WindowMarksTest : public testing::WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        window = std::make_unique<MainWindow>(*wb);
        dialogs.clear();
    }
    QLineEdit* field(const char* name) {
        auto* f = window->findChild<QLineEdit*>(name);
        EXPECT_NE(f, nullptr) << name;
        return f;
    }
    void typeAndEnter(const char* name, const QString& text) {
        QLineEdit* f = field(name);
        f->selectAll();
        QTest::keyClicks(f, text);
        QTest::keyClick(f, Qt::Key_Return);
    }
    static bool greyed(QLineEdit* f) {
        return f->palette().color(QPalette::Text) != QApplication::palette().color(QPalette::Text);
    }

    std::unique_ptr<MainWindow> window;
};

TEST_F(WindowMarksTest, MarkedFieldsAreGreyedWithATipAndNoSavesNothing) {
    typeAndEnter("Text12_2", "30"); // 6.4Y 8.6/30: beyond the data
    for (const char* name : {"Text12_0", "Text12_1", "Text12_2"}) {
        EXPECT_TRUE(greyed(field(name))) << name;
        EXPECT_EQ(field(name)->toolTip(), "not converted: press Enter to convert");
    }
    EXPECT_FALSE(greyed(field("Text11_0")));
    EXPECT_TRUE(field("Text11_0")->toolTip().isEmpty());
    EXPECT_TRUE(field("Text3")->text().contains("beyond the renotation data"));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    wb->setPaletteFile(dir.filePath("p"));
    window->findChild<QPushButton*>("Command11")->click();
    EXPECT_EQ(dialogs.questions(), QStringList{"The fields do not show one colour. Save anyway?"});
    EXPECT_FALSE(QFile::exists(dir.filePath("p.csv")));

    typeAndEnter("Text12_2", "10");
    for (const char* name : {"Text12_0", "Text12_1", "Text12_2"})
        EXPECT_FALSE(greyed(field(name))) << name;
    // Typing greys the field at once; Enter converts and clears it.
    field("Text15_0")->selectAll();
    QTest::keyClicks(field("Text15_0"), "50");
    EXPECT_TRUE(greyed(field("Text15_0")));
    QTest::keyClick(field("Text15_0"), Qt::Key_Return);
    EXPECT_FALSE(greyed(field("Text15_0")));
    EXPECT_TRUE(field("Text3")->text().isEmpty()) << field("Text3")->text().toStdString();
}

TEST_F(WindowMarksTest, OutOfRangeSwatchIsBlackWithTheNearestColourInset) {
    typeAndEnter("Text12_0", "5R");
    typeAndEnter("Text12_1", "9");
    typeAndEnter("Text12_2", "4");
    QWidget* swatch = window->findChild<QWidget*>("Picture1");
    ASSERT_NE(swatch, nullptr);
    swatch->resize(240, 200);
    const QImage image = swatch->grab().toImage();
    EXPECT_EQ(image.pixelColor(swatch->width() / 2, swatch->height() / 2), QColor(Qt::black));
    // The inset's middle, in the lower right quarter, shows the clipped colour.
    const auto nearest = *wb->nearestShown();
    bool found = false;
    for (int y = swatch->height() / 2; y < swatch->height() && !found; y += 2)
        for (int x = swatch->width() / 2; x < swatch->width() && !found; x += 2)
            found = image.pixelColor(x, y) == QColor(nearest[0], nearest[1], nearest[2]);
    EXPECT_TRUE(found);

    typeAndEnter("Text1_0", "120"); // an RGB entry: the warning and the inset go
    EXPECT_TRUE(window->findChild<QLabel*>("Label19")->text().isEmpty());
    const QImage plain = swatch->grab().toImage();
    EXPECT_EQ(plain.pixelColor(swatch->width() - 20, swatch->height() - 30),
              plain.pixelColor(swatch->width() / 2, swatch->height() / 2));
}

TEST_F(WindowMarksTest, EntryNoteAndAdaptSwitch) {
    auto* note = window->findChild<QLabel*>("EntryNote");
    auto* adapt = window->findChild<QCheckBox*>("CheckAdapt");
    ASSERT_NE(note, nullptr);
    ASSERT_NE(adapt, nullptr);
    EXPECT_EQ(adapt->text(), "Adapt entries to the illuminant");
    EXPECT_FALSE(adapt->isChecked());
    EXPECT_TRUE(note->text().isEmpty());
    window->findChild<QAbstractButton*>("Option1_1")->click();
    EXPECT_EQ(note->text(), "XYZ, x y, CIELAB and RGB entries are read as illuminant C");
    adapt->click();
    EXPECT_TRUE(wb->adaptEntries());
    EXPECT_TRUE(note->text().isEmpty());
}

TEST_F(WindowMarksTest, WindowFitsA1600By900ScreenAt150Percent) {
    const QSize content = window->contentMinimumSize();
    std::printf("  content minimum %dx%d\n", content.width(), content.height());
    EXPECT_LE(content.width(), 1000);
    EXPECT_LE(content.height(), 560);
    EXPECT_LE(window->minimumSizeHint().width(), 1000);
    EXPECT_LE(window->minimumSizeHint().height(), 560);
    // The extrapolation note has its whole text in view.
    typeAndEnter("Text1_0", "0");
    typeAndEnter("Text1_1", "0");
    typeAndEnter("Text1_2", "255"); // a saturated blue beyond the data
    auto* note = window->findChild<QLabel*>("MunsellNote");
    ASSERT_NE(note, nullptr);
    ASSERT_FALSE(note->text().isEmpty());
    window->resize(window->minimumSizeHint().expandedTo(content));
    window->show();
    QTest::qWait(1);
    EXPECT_GE(note->width(), note->fontMetrics().horizontalAdvance(note->text()));
    EXPECT_GE(note->height(), note->fontMetrics().height());
}

} // namespace
} // namespace zul
