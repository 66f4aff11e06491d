// The main window's sliders and gamma field under a colour out of range (Messages and marks,
// never a box), and its "Save as…" PDF: the whole window, its text kept as text.
#include "gui/mainwindow.h"
#include "gui/printing.h"
#include "support/scripteddialogs.h"
#include "support/sliderpart.h"
#include "workbench/workbench.h"
#include "workbench/workbench_fixture.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPicture>
#include <QRegularExpression>
#include <QSlider>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace zul::testing {
namespace {

class MainWindowCalmTest : public testing::WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        window = std::make_unique<MainWindow>(*wb);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        dialogs.clear();
    }
    template <typename T> T* find(const char* name) {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void enterMunsell(const char* hue, const char* value, const char* chroma) {
        wb->setText(Field::Hue, hue);
        wb->setText(Field::Value, value);
        wb->setText(Field::Chroma, chroma);
        ASSERT_TRUE(wb->enterPressed(Field::Chroma));
        dialogs.clear();
    }

    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowCalmTest, OneClickOnTheChromaTrackIsOneStepAndNoBox) {
    enterMunsell("5R", "5", "20");
    auto* chroma = find<QSlider>("VScroll3");
    ASSERT_EQ(chroma->value(), 20);
    ASSERT_EQ(chroma->orientation(), Qt::Vertical); // its minimum at the bottom
    const QRect handle = sliderPart(chroma, QStyle::CC_Slider, QStyle::SC_SliderHandle, true);
    const QPoint above(chroma->width() / 2, std::max(1, handle.top() - 8));
    QTest::mouseClick(chroma, Qt::LeftButton, {}, above);
    QTest::qWait(700); // longer than the auto-repeat delay: a held button would repeat by now
    const int moved = chroma->value() - 20;
    EXPECT_GT(moved, 0);
    EXPECT_LE(moved, chroma->pageStep());
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_FALSE(wb->message().isEmpty()); // why the colour is out of range
    EXPECT_TRUE(wb->anyStale());           // the fields are marked
}

TEST_F(MainWindowCalmTest, TypingTheGammaReportsWithoutABoxPerKeystroke) {
    enterMunsell("5R", "5", "20");
    wb->setText(Field::Chroma, "38"); // typed, not converted: the next chain fails
    auto* gamma = find<QLineEdit>("Text5");
    gamma->selectAll();
    QTest::keyClicks(gamma, "1.8");
    EXPECT_EQ(wb->text(Field::Gamma), "1.8");
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('|').toStdString();
    EXPECT_FALSE(wb->message().isEmpty());

    // Enter in a Munsell field keeps its box.
    EXPECT_FALSE(wb->enterPressed(Field::Chroma));
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST_F(MainWindowCalmTest, SaveAsPdfIsTheWholeWindowInVector) {
    window->resize(1100, 700);
    QApplication::processEvents();
    // The recording covers the window to its far corner.
    const QPicture recording = windowRecording(*window);
    EXPECT_GE(recording.boundingRect().right(), window->width() - 20);
    EXPECT_GE(recording.boundingRect().bottom(), window->height() - 20);

    // Played back on a device of another resolution, the window keeps its place and size: the
    // swatch's centre and the far corner show what the window shows.
    const QImage shown = window->grab().toImage();
    QImage drawn(window->size(), QImage::Format_RGB32);
    drawn.setDotsPerMeterX(47244); // 1200 dots per inch, as the PDF's painter
    drawn.setDotsPerMeterY(47244);
    drawn.fill(Qt::white);
    {
        QPainter painter(&drawn);
        renderPicture(painter, windowPicture(*window), drawn.rect());
    }
    QWidget* swatch = window->findChild<QWidget*>("Picture1");
    ASSERT_TRUE(swatch);
    for (const QPoint at : {swatch->mapTo(window.get(), swatch->rect().center()),
                            QPoint(window->width() - 4, window->height() - 4),
                            QPoint(window->width() / 2, window->height() / 2)}) {
        const QColor a = shown.pixelColor(at), b = drawn.pixelColor(at);
        EXPECT_LT(std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                      std::abs(a.blue() - b.blue()),
                  30)
            << at.x() << "," << at.y();
    }

    QTemporaryDir dir;
    const QString file = dir.filePath("main.pdf");
    ASSERT_EQ(saveChartPdf(file, windowPicture(*window)), QString());
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.contains("/FontFile")); // the captions and fields are text
    const QString text = QString::fromLatin1(bytes);
    // One page of the window's size at 0.75 pt a pixel.
    const QRegularExpressionMatch box =
        QRegularExpression(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])").match(text);
    ASSERT_TRUE(box.hasMatch());
    EXPECT_DOUBLE_EQ(box.captured(1).toDouble(), window->width() * 0.75);
    EXPECT_DOUBLE_EQ(box.captured(2).toDouble(), window->height() * 0.75);
}

} // namespace
} // namespace zul::testing
