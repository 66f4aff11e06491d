// Spectral import: the plain layout and CGATS through the IT8 parser.
#include "records/spectralimport.h"

#include <gtest/gtest.h>

namespace zul {
namespace {

QByteArray values(int count, const char* sep) {
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += QByteArray::number(i * 2.5, 'f', 2) + (i < count ? sep : "");
    return out;
}

TEST(Import, OneLineOrOnePerLineAnyLineEnd) {
    for (const char* eol : {"\n", "\r\n", "\r"}) {
        for (const QByteArray& body : {values(40, ","), values(40, eol)}) {
            const ImportResult r = importSpectrum("\xEF\xBB\xBF"
                                                  "sample 12" +
                                                  QByteArray(eol) + body + eol + "ignored");
            ASSERT_TRUE(r.ok) << r.error.toStdString();
            EXPECT_EQ(r.header, "sample 12");
            EXPECT_FLOAT_EQ(r.values[0], 2.5f);
            EXPECT_FLOAT_EQ(r.values[39], 100.0f);
        }
    }
}

TEST(Import, RefusesShortOrBadFiles) {
    ImportResult r = importSpectrum("head\n" + values(39, ","));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.toStdString(), "39 values where 40 are needed");
    QByteArray nan = values(40, ",");
    nan.replace(nan.indexOf("17.50"), 5, "nan");
    r = importSpectrum("head\n" + nan);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("slot 7 (420 nm): \"nan\"")) << r.error.toStdString();
    EXPECT_FALSE(importSpectrum("").ok);
    EXPECT_FALSE(importSpectrum("only a header").ok);
    EXPECT_EQ(importFormatMessage().toStdString(),
              "file import format error\r\nFORMAT\r\nTAG\r\n%R360, ...,%R750");
}

QByteArray cgats(int from, int to, double scale, int sets = 1) {
    QByteArray fmt = "SAMPLE_ID\tSAMPLE_NAME";
    int n = 2;
    for (int nm = from; nm <= to; nm += 10, ++n)
        fmt += "\tSPECTRAL_NM" + QByteArray::number(nm);
    QByteArray data;
    for (int s = 1; s <= sets; ++s) {
        data += QByteArray::number(s) + "\tpatch" + QByteArray::number(s);
        for (int nm = from; nm <= to; nm += 10)
            data += '\t' + QByteArray::number((nm - 300) / 500.0 * scale * s, 'f', 4);
        data += '\n';
    }
    return "CGATS.17\nORIGINATOR\t\"test\"\nNUMBER_OF_FIELDS\t" + QByteArray::number(n) +
           "\nBEGIN_DATA_FORMAT\n" + fmt + "\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t" +
           QByteArray::number(sets) + "\nBEGIN_DATA\n" + data + "END_DATA\n";
}

TEST(Import, CgatsFactorsExtendedTo360And750) {
    const ImportResult r = importSpectrum(cgats(380, 730, 1.0, 2));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_NEAR(r.values[2], 16.0f, 1e-4); // 380 nm: (380-300)/500 = 0.16
    EXPECT_EQ(r.values[0], r.values[2]);   // 360 and 370 repeat 380
    EXPECT_EQ(r.values[39], r.values[37]); // 740 and 750 repeat 730
    EXPECT_NEAR(r.values[37], 86.0f, 1e-4);
    EXPECT_TRUE(r.note.contains("380-730 nm extended to 360-750 nm")) << r.note.toStdString();
    EXPECT_TRUE(r.note.contains("first of 2 samples"));
    EXPECT_TRUE(r.header.contains("CGATS.17"));
}

TEST(Import, CgatsPercentKeptAndGapsRefused) {
    const ImportResult r = importSpectrum(cgats(360, 750, 100.0));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_NEAR(r.values[0], 12.0f, 1e-3);
    EXPECT_FALSE(r.note.contains("extended"));
    QByteArray gap = cgats(380, 730, 1.0);
    gap.replace("SPECTRAL_NM500", "SPECTRAL_NM505");
    EXPECT_FALSE(importSpectrum(gap).ok);
    EXPECT_FALSE(importSpectrum("CGATS.17\nBEGIN_DATA_FORMAT\nEND_DATA").ok);
}

} // namespace
} // namespace zul
