// Loading palettes on the pipeline: what is tolerated, what is a format error and where, the
// limit, cancelling, and the colours matching a serial run of the Munsell entry chain.
#include "records/paletterecord.h"
#include "viewer/palettefiles.h"
#include "viewer/paletteloader.h"

#include "viewer_support.h"
#include "workbench/workbench_fixture.h"

#include <QDir>

namespace zul::testing {
namespace {

PaletteLoadRequest requestFor(const Workbench& wb, std::size_t limit = 10000) {
    PaletteLoadRequest r;
    r.table = sharedTable();
    r.options = wb.options();
    r.limit = limit;
    return r;
}

// A chunk reader over a string, `chunk` bytes at a time.
struct StringInput {
    std::string text;
    std::size_t pos = 0, chunk = 1 << 16;
    std::function<void()> afterFirst;
    ChunkReader reader() {
        return [this](char* buffer, std::size_t size) {
            const std::size_t n = std::min({size, chunk, text.size() - pos});
            text.copy(buffer, n, pos);
            pos += n;
            if (afterFirst) std::exchange(afterFirst, nullptr)();
            return n;
        };
    }
};

PaletteLoadResult load(const std::string& text, const PaletteLoadRequest& r) {
    StringInput in;
    in.text = text;
    const ChunkReader read = in.reader();
    return loadPalette(read, r);
}

class LoaderTest : public WorkbenchTest {};

TEST_F(LoaderTest, ToleratesLineEndsBomBlankLinesHeaderAndTheToleranceLayout) {
    // Line 2 ends in a lone CR, line 3 in LF; lines 4 and 5 are blank.
    const std::string text = "\xEF\xBB\xBF"
                             "Date,Time,Tag,Hue,Value,Chroma,X\r\n" +
                             record("A1", "5R", "4", "10", "\r") +
                             record("a, quoted", "10YR", "6", "4", "\n") + "\n   \r\n" +
                             "12/07/2026,10:43:54,0,5.00Y,8.00,6.00,0,0,0,0,0,0,0,0,0, 200 , 190 "
                             ", 90 ,end\r\n" +
                             record("last", "N", "5", "0", ""); // no line end at the end
    const PaletteLoadResult r = load(text, requestFor(*wb));
    EXPECT_TRUE(r.complete()) << r.firstFormatReason;
    ASSERT_EQ(r.points.size(), 4u);
    EXPECT_EQ(r.points.names[0], "A1");
    EXPECT_EQ(r.points.names[1], "a, quoted");
    EXPECT_EQ(r.points.names[2], "0");
    EXPECT_EQ(r.points.hueTexts[1], "10YR"); // as written; the list lowers it
    EXPECT_EQ(r.points.lines, (std::vector<long>{2, 3, 6, 7}));
    EXPECT_FLOAT_EQ(r.points.hueSteps[1], 20);
    EXPECT_EQ(r.points.angles[3], 0.0f);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(r.points.converted[i]) << i;
}

TEST_F(LoaderTest, FormatErrorsAreNamedByLineAndTheOtherRecordsStay) {
    std::string text;
    for (int i = 1; i <= 9; ++i) {
        if (i == 4)
            text += "\"d\",\"t\",\"short\",\"5R\",\"4\"\r\n"; // the chroma went to the next line
        else if (i == 7)
            text += record("bad", "5R", "nan", "4");
        else
            text += record("S" + std::to_string(i), "5R", "4", "6");
    }
    const PaletteLoadResult r = load(text, requestFor(*wb));
    EXPECT_FALSE(r.complete());
    EXPECT_EQ(r.formatErrors, 2);
    EXPECT_EQ(r.firstFormatLine, 4);
    EXPECT_EQ(r.firstFormatReason,
              "5 fields, a record needs date, time, tag, hue, value and chroma");
    ASSERT_EQ(r.points.size(), 7u);
    EXPECT_EQ(r.points.names[3], "S5"); // the line after the short one is its own record
    EXPECT_EQ(r.points.lines.back(), 9);
}

TEST_F(LoaderTest, ChainFailureKeepsItsPlaceWithoutAColour) {
    const std::string text = record("in", "5R", "5", "10") + record("beyond", "5R", "9", "30") +
                             record("in2", "5PB", "4", "6");
    const PaletteLoadResult r = load(text, requestFor(*wb));
    EXPECT_TRUE(r.complete());
    ASSERT_EQ(r.points.size(), 3u);
    EXPECT_EQ(r.points.converted, (std::vector<std::uint8_t>{1, 0, 1}));
    EXPECT_EQ(r.unconverted, 1);
    EXPECT_EQ(r.firstUnconverted, std::vector<long>{2});
    EXPECT_FLOAT_EQ(r.points.chromas[1], 30); // still placed where it belongs
}

TEST_F(LoaderTest, LimitKeepsTheFirstRecordsAndIgnoresTheRest) {
    const std::string exact = manyRecords(10000);
    PaletteLoadResult r = load(exact, requestFor(*wb));
    EXPECT_EQ(r.points.size(), 10000u);
    EXPECT_TRUE(r.limited);
    // Past the limit even a broken line is not read.
    r = load(exact + "broken\r\n" + record("x", "5R", "4", "4"), requestFor(*wb));
    EXPECT_EQ(r.points.size(), 10000u);
    EXPECT_TRUE(r.limited);
    EXPECT_EQ(r.formatErrors, 0);
    EXPECT_EQ(r.points.names.back(), "S10000");
    r = load(manyRecords(2500), requestFor(*wb, 2000));
    EXPECT_EQ(r.points.size(), 2000u);
    r = load(manyRecords(1999), requestFor(*wb, 2000));
    EXPECT_FALSE(r.limited);
}

TEST_F(LoaderTest, ParallelLoadEqualsASerialRunOfTheChain) {
    // Settings that change the colours: D65, luminance relative to the perfect diffuser, gamma
    // 1.8, tint 80.
    wb->selectIlluminant(2);
    wb->setPwd(1);
    wb->setText(Field::Gamma, "1.8");
    wb->sliderMoved(Slider::Tint, 80);
    const Workbench::Options options = wb->options();
    ASSERT_EQ(options.illuminant, 2);
    ASSERT_EQ(options.tintSlider, 80);
    const std::string text = manyRecords(5000) + record("beyond", "5R", "9", "30");
    PaletteLoadRequest request = requestFor(*wb);
    request.workers = 2;
    const PaletteLoadResult r = load(text, request);
    ASSERT_EQ(r.points.size(), 5001u);

    ScriptedDialogs quiet;
    Workbench serial(sharedTable(), quiet);
    serial.startUp();
    serial.applyOptions(options);
    std::vector<std::string> scratch;
    PaletteFields f;
    std::size_t i = 0, start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_EQ(readPaletteRecord(std::string_view(text).substr(start, end - start), scratch, f),
                  "");
        serial.setText(Field::Hue, QString::fromStdString(f.hue));
        serial.setText(Field::Value, QString::fromStdString(f.value));
        serial.setText(Field::Chroma, QString::fromStdString(f.chroma));
        const bool ok = serial.muncie();
        ASSERT_EQ(r.points.converted[i] != 0, ok) << i;
        if (ok) {
            const auto rgb = serial.displayRgb();
            const std::uint32_t c = r.points.colours[i];
            ASSERT_EQ(static_cast<int>((c >> 16) & 0xff), rgb[0]) << i;
            ASSERT_EQ(static_cast<int>((c >> 8) & 0xff), rgb[1]) << i;
            ASSERT_EQ(static_cast<int>(c & 0xff), rgb[2]) << i;
            ASSERT_EQ(r.points.labL[i], serial.text(Field::L).trimmed().toFloat()) << i;
            ASSERT_EQ(r.points.labA[i], serial.text(Field::A).trimmed().toFloat()) << i;
            ASSERT_EQ(r.points.labB[i], serial.text(Field::B).trimmed().toFloat()) << i;
        }
        ++i;
        start = end + 2;
    }
    EXPECT_EQ(i, 5001u);
}

TEST_F(LoaderTest, CancelStopsTheLoad) {
    std::atomic<bool> cancel{false};
    PaletteLoadRequest request = requestFor(*wb, 100000);
    request.cancel = &cancel;
    StringInput in;
    in.text = manyRecords(50000);
    in.chunk = 4096;
    in.afterFirst = [&] { cancel = true; };
    const ChunkReader read = in.reader();
    const PaletteLoadResult r = loadPalette(read, request);
    EXPECT_TRUE(r.cancelled);
    EXPECT_LT(r.points.size(), 50000u);
}

TEST_F(LoaderTest, MissingFileIsReportedNotLoaded) {
    const PaletteLoadResult r = loadPaletteFile("/nonexistent/palette.csv", requestFor(*wb));
    EXPECT_FALSE(r.fileError.isEmpty());
    EXPECT_TRUE(r.points.empty());
    EXPECT_FALSE(r.complete());
}

TEST_F(LoaderTest, LastPaletteHoldsTheWholeNameAndIsReplacedWhole) {
    ScratchFolder dir;
    EXPECT_EQ(readLastPalette(), "newpalette2.csv"); // none yet
    writeFile("LastPalette.txt", "");
    EXPECT_EQ(readLastPalette(), "newpalette2.csv");
    const QString name = dir.path() + "/my palettes, 2026/ZULpalette.csv";
    EXPECT_EQ(writeLastPalette(name), "");
    EXPECT_EQ(readFile("LastPalette.txt"), (name + "\r\n").toUtf8());
    EXPECT_EQ(readLastPalette(), name);
    // Not writable: the old contents stay.
    QDir().mkdir("ro");
    writeFile("ro/LastPalette.txt", "old.csv\r\n");
    QFile::setPermissions("ro", QFile::ReadOwner | QFile::ExeOwner);
    if (!QFile("ro/probe").open(QIODevice::WriteOnly)) { // root writes anyway
        EXPECT_NE(writeLastPalette("new.csv", "ro/LastPalette.txt"), "");
        EXPECT_EQ(readLastPalette("ro/LastPalette.txt"), "old.csv");
    }
    QFile::setPermissions("ro", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
} // namespace zul::testing
