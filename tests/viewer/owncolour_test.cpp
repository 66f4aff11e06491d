// Exports and the comparison rows keep each record's own colour: its R, G, B and its L*, a*, b*
// fields, never values recomputed from the rounded notation.
#include "records/paletterecord.h"
#include "viewer/compare.h"
#include "viewer/palettefiles.h"
#include "viewer/paletteloader.h"

#include "records/csvline.h"
#include "support/zulprocess.h"
#include "viewer_support.h"
#include "workbench/workbench_fixture.h"

#include <QtEndian>

#include <cstring>

namespace zul::testing {
namespace {

class OwnColourTest : public WorkbenchTest {
protected:
    PaletteLoadResult loadFile(const QString& name) {
        PaletteLoadRequest r;
        r.table = sharedTable();
        r.options = wb->options();
        return loadPaletteFile(name, r);
    }
};

// "R G B" of each record of a palette file, in file order.
QStringList recordColours(const QByteArray& palette) {
    QStringList out;
    std::vector<std::string> fields;
    for (const QByteArray& line : palette.split('\n')) {
        if (line.trimmed().isEmpty()) continue;
        splitCsvLine(line.trimmed().toStdString(), fields);
        if (fields.size() < 18) return {};
        out << QString::fromStdString(fields[15] + ' ' + fields[16] + ' ' + fields[17]);
    }
    return out;
}

TEST_F(OwnColourTest, ExportsOfAPictureKeepEveryRecordsRgb) {
    ScratchFolder dir;
    const ProgramRun made =
        runZul({"palette-from-picture", QString(ZUL_SOURCE_DIR) + "/data/TestImage.jpg", "--grid",
                "10", "-o", "T.CSV"},
               {}, dir.path());
    ASSERT_EQ(made.status, 0) << made.err;
    const QStringList expected = recordColours(readFile("T.CSV"));
    ASSERT_EQ(expected.size(), 2400);

    const PaletteLoadResult loaded = loadFile("T.CSV");
    ASSERT_TRUE(loaded.complete());
    ASSERT_EQ(exportGpl(loaded.points, "T", "T.gpl"), "");
    QStringList gpl;
    for (const QString& line : QString::fromUtf8(readFile("T.gpl")).split('\n').mid(4))
        if (!line.isEmpty()) gpl << line.split('\t')[0].simplified();
    ASSERT_EQ(gpl.size(), expected.size());
    int recomputedWouldDiffer = 0;
    for (qsizetype i = 0; i < gpl.size(); ++i) {
        EXPECT_EQ(gpl[i], expected[i]) << "record " << i + 1;
        const std::uint32_t c = loaded.points.colours[static_cast<std::size_t>(i)];
        recomputedWouldDiffer +=
            QStringLiteral("%1 %2 %3").arg((c >> 16) & 0xff).arg((c >> 8) & 0xff).arg(c & 0xff) !=
            expected[i];
    }
    EXPECT_GT(recomputedWouldDiffer, 1000); // what the notation's colour would have lost

    ASSERT_EQ(exportAse(loaded.points, "T.ase"), "");
    const QByteArray ase = readFile("T.ase");
    ASSERT_EQ(qFromBigEndian<quint32>(ase.constData() + 8), 2400u);
    // The first block's colour: name, then "RGB " and three floats.
    const int chars = qFromBigEndian<quint16>(ase.constData() + 18);
    const int at = 18 + 2 + 2 * chars + 4;
    QStringList first;
    for (int k = 0; k < 3; ++k) {
        const quint32 bits = qFromBigEndian<quint32>(ase.constData() + at + 4 * k);
        float v = 0;
        std::memcpy(&v, &bits, 4);
        first << QString::number(qRound(v * 255));
    }
    EXPECT_EQ(first.join(' '), expected[0]);
}

TEST_F(OwnColourTest, ComparisonRowsUseTheRecordsOwnCielab) {
    // Both notations reach past the table's top and would be computed at value 9.5.
    auto line = [](const std::string& hue, const std::string& value, const std::string& l) {
        return "\"12-07-2026\",\"10:00:00\",\"w\",\"" + hue + "\",\"" + value +
               "\",\".03\",\"95.00\",\"100.00\",\"108.00\",\"" + l +
               "\",\"0\",\".50\",.9,.9,.9,\"250\",\"251\",\"252\",\"0\",\"0\",\"0\",\"1\"\r\n";
    };
    ScratchFolder dir;
    writeFile("w.csv", line("5.52P", "9.90", "100.00") + line("5.36P", "9.57", "96.65"));
    const PaletteLoadResult loaded = loadFile("w.csv");
    ASSERT_EQ(loaded.points.size(), 2u);
    const ColourSample a = sampleOf(loaded.points, 0), b = sampleOf(loaded.points, 1);
    EXPECT_EQ(a.colour, 0xfffafbfcu);
    const Comparison c = compareSamples(a, b);
    ASSERT_TRUE(c.colorimetric);
    EXPECT_NEAR(c.deltaEab, 3.35, 0.005);
    EXPECT_NEAR(c.deltaE2000, 1.95, 0.005);

    // A record without those fields keeps the colour of its notation.
    PaletteFields f;
    std::vector<std::string> scratch;
    ASSERT_EQ(readPaletteRecord("\"d\",\"t\",\"x\",\"5R\",\"4\",\"10\"", scratch, f), "");
    EXPECT_FALSE(f.own.hasRgb);
    EXPECT_FALSE(f.own.hasLab);
}

TEST_F(OwnColourTest, ZeroColorimetryRecordsCompareAndExportByTheirNotation) {
    // Cpalette.csv as the tolerance set wrote it: zeros for X, Y, Z and L*, a*, b*.
    auto line = [](const char* tag, const char* chroma) {
        return std::string("12-07-2026,10:43:54,") + tag + ",5.00R,5.00," + chroma +
               ",0,0,0,0,0,0,0,0,0, 128 , 64 , 32 ,end\r\n";
    };
    ScratchFolder dir;
    writeFile("Cpalette.csv", line("1", "4.00") + line("0", "6.00"));
    const PaletteLoadResult loaded = loadFile("Cpalette.csv");
    ASSERT_EQ(loaded.points.size(), 2u);
    const Comparison c = compareSamples(sampleOf(loaded.points, 0), sampleOf(loaded.points, 1));
    ASSERT_TRUE(c.colorimetric);
    // 5R 5/4 against 5R 5/6: L* 51.57 both, a* 16.89 and 25.32, b* 8.42 and 13.01.
    EXPECT_NEAR(c.deltaEab, 9.60, 0.01);
    ASSERT_EQ(exportGpl(loaded.points, "C", "C.gpl"), "");
    const QStringList gpl = QString::fromUtf8(readFile("C.gpl")).split('\n');
    ASSERT_GT(gpl.size(), 4);
    const std::uint32_t notation = loaded.points.colours[0];
    EXPECT_EQ(gpl[4].split('\t')[0].simplified(), QStringLiteral("%1 %2 %3")
                                                      .arg((notation >> 16) & 0xff)
                                                      .arg((notation >> 8) & 0xff)
                                                      .arg(notation & 0xff));
}

} // namespace
} // namespace zul::testing
