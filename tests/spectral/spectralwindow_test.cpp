#include "spectral/indices.h"
#include "spectral/spectralwindow.h"
#include "workbench_fixture.h"

#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QTableWidget>
#include <QTemporaryDir>

namespace zul::testing {
namespace {

using namespace zul::spectral;

class SpectralWindowTest : public WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        for (std::size_t k = 0; k < 40; ++k)
            wb->reflectance()[k] = 20.0f + static_cast<float>(k);
        window = std::make_unique<SpectralWindow>(*wb);
    }
    QString cgats(const char* name, const QByteArray& rows, int sets) {
        QByteArray b = "CGATS.17\nNUMBER_OF_FIELDS 5\nBEGIN_DATA_FORMAT\nSAMPLE_NAME "
                       "SPECTRAL_NM400 SPECTRAL_NM420 SPECTRAL_NM440 SPECTRAL_NM460\n"
                       "END_DATA_FORMAT\nNUMBER_OF_SETS " +
                       QByteArray::number(sets) + "\nBEGIN_DATA\n" + rows + "END_DATA\n";
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b);
        return f.fileName();
    }
    QTableWidget* table(const char* name) { return window->findChild<QTableWidget*>(name); }
    QTemporaryDir dir;
    std::unique_ptr<SpectralWindow> window;
};

TEST_F(SpectralWindowTest, TableShowsTheCurrentSpectrumUnderEveryCondition) {
    ASSERT_EQ(window->curves().size(), 1u);
    EXPECT_EQ(window->curves()[0].name, "Current");
    QTableWidget* t = table("ConditionTable");
    ASSERT_EQ(t->rowCount(), 20);
    const auto all = allConditions();
    for (int row : {0, 4, 14, 19}) {
        const ConditionColour c = colourUnder(window->curves()[0].spectrum, all[row]);
        EXPECT_EQ(t->item(row, 0)->text().toStdString(), illuminantName(all[row].illuminant));
        EXPECT_EQ(t->item(row, 2)->text(), QString::number(c.xyz.x, 'f', 2));
        EXPECT_EQ(t->item(row, 9)->text(), QString::number(c.lab.b, 'f', 2));
    }
}

TEST_F(SpectralWindowTest, NewReadingKeepsTheOldCurveAndFilesAddCurves) {
    for (std::size_t k = 0; k < 40; ++k)
        wb->reflectance()[k] = 60.0f;
    window->refreshCurrent();
    ASSERT_EQ(window->curves().size(), 2u);
    EXPECT_EQ(window->curves()[1].name, "Reading 1");
    EXPECT_EQ(window->curves()[0].spectrum.values[0], 60.0);
    window->refreshCurrent(); // unchanged: nothing added
    EXPECT_EQ(window->curves().size(), 2u);

    EXPECT_TRUE(window->addFile(cgats("two.cgats", "a 0.5 0.5 0.5 0.5\nb 0.2 0.6 0.2 0.6\n", 2)));
    ASSERT_EQ(window->curves().size(), 4u);
    EXPECT_EQ(window->curves()[3].name, "b");
    EXPECT_EQ(window->findChild<QListWidget*>("CurveList")->count(), 4);

    // Standard and sample the same: no metamerism; the grey and the bumpy one differ under A.
    auto* standard = window->findChild<QComboBox*>("MetamerismStandard");
    auto* sample = window->findChild<QComboBox*>("MetamerismSample");
    standard->setCurrentIndex(2);
    sample->setCurrentIndex(2);
    EXPECT_EQ(table("MetamerismTable")->item(0, 1)->text(), "0.00");
    sample->setCurrentIndex(3);
    const double expected =
        metamerismIndex(window->curves()[2].spectrum, window->curves()[3].spectrum,
                        {Illuminant::A, Observer::Deg10});
    EXPECT_EQ(table("MetamerismTable")->item(0, 1)->text(), QString::number(expected, 'f', 2));

    // An unreadable file says why; nothing is added.
    EXPECT_FALSE(window->addFile(cgats("bad.cgats", "c 1 x 1 1\n", 1)));
    EXPECT_EQ(window->curves().size(), 4u);
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().last().contains("not a number"));

    // The current spectrum cannot be removed; another can.
    auto* list = window->findChild<QListWidget*>("CurveList");
    list->setCurrentRow(0);
    window->removeSelected();
    EXPECT_EQ(window->curves().size(), 4u);
    list->setCurrentRow(2);
    window->removeSelected();
    ASSERT_EQ(window->curves().size(), 3u);
    EXPECT_EQ(window->curves()[2].name, "b");
}

// The CIE test colours of Debian's colord-data: SPEC_360..SPEC_830, 5 nm, factors.
TEST_F(SpectralWindowTest, ReadsCommonSpectralFieldSpellings) {
    const QString tcs = "/usr/share/colord/ref/CIE-TCS.sp";
    if (!QFile::exists(tcs)) GTEST_SKIP() << "colord-data is not installed";
    ASSERT_TRUE(window->addFile(tcs)) << dialogs.messages().join('|').toStdString();
    ASSERT_EQ(window->curves().size(), 16u);
    EXPECT_EQ(window->curves()[1].name, "TCS01");
    EXPECT_EQ(window->curves()[1].spectrum.interval, 5);
    EXPECT_NEAR(window->curves()[1].spectrum.values[0], 12, 1e-9); // 0.12 as percent

    QFile none(dir.filePath("none.cgats"));
    ASSERT_TRUE(none.open(QIODevice::WriteOnly));
    none.write("CGATS.17\nNUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\nSAMPLE_ID XYZ_X\n"
               "END_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n1 2\nEND_DATA\n");
    none.close();
    EXPECT_FALSE(window->addFile(none.fileName()));
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().last().startsWith(none.fileName() + ": "));
    EXPECT_TRUE(dialogs.messages().last().contains("SPEC_nnn"));
}

TEST(SpectralCurvePainter, DrawsEachCurveInItsColourOnTheAxes) {
    std::vector<NamedSpectrum> curves = {{"flat", {360, 10, std::vector<double>(40, 50.0)}},
                                         {"high", {400, 20, std::vector<double>(16, 80.0)}}};
    QImage image(500, 320, QImage::Format_RGB32);
    QPainter p(&image);
    const QRectF area(0, 0, 500, 320);
    paintCurves(p, area, curves);
    p.end();
    const CurveAxes a = curveAxes(area, curves);
    EXPECT_EQ(a.topPercent, 100);
    auto near = [&](QPointF q, QColor c) {
        for (int dy = -1; dy <= 1; ++dy) {
            const QColor got = image.pixelColor(q.toPoint() + QPoint(0, dy));
            if (std::abs(got.red() - c.red()) < 40 && std::abs(got.green() - c.green()) < 40 &&
                std::abs(got.blue() - c.blue()) < 40)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(near(a.at(600, 50), curveColour(0)));
    EXPECT_TRUE(near(a.at(600, 80), curveColour(1)));
    EXPECT_FALSE(near(a.at(600, 65), curveColour(0)));
    // A curve above 100 % raises the scale to the next 20.
    curves[1].spectrum.values[3] = 131;
    EXPECT_EQ(curveAxes(area, curves).topPercent, 140);
}

} // namespace
} // namespace zul::testing
