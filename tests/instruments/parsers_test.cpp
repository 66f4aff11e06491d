// Reply parsers on the instruments' field positions, and the number rule they share.
#include "instruments/parsers.h"
#include "instruments/simulator.h"

#include <gtest/gtest.h>

namespace zul::instruments {
namespace {

// A CE7000 reply with value 10 + slot/100 in slot i at characters 10 i + 11 (1-based).
QByteArray ce7000Reply() {
    QByteArray r(422, ' ');
    r.replace(0, 2, "11");
    for (int i = 1; i <= 40; ++i)
        r.replace(10 * i + 10, 7, QByteArray::number(10 + i / 100.0, 'f', 2).rightJustified(7));
    return r;
}

TEST(Parsers, PlainDecimalAcceptsOnlyDecimalNumbers) {
    EXPECT_FLOAT_EQ(*plainDecimal("  45.12 "), 45.12f);
    EXPECT_FLOAT_EQ(*plainDecimal("-0.5"), -0.5f);
    EXPECT_FLOAT_EQ(*plainDecimal("+7"), 7.0f);
    EXPECT_FLOAT_EQ(*plainDecimal(".25"), 0.25f);
    for (const char* bad :
         {"", "   ", "nan", "inf", "-inf", "0x1A", "1e3", "4,5", "1.2.3", "12a", ".", "-", "+-1"})
        EXPECT_FALSE(plainDecimal(bad)) << bad;
}

TEST(Parsers, Ce7000FieldsAtTheirPositions) {
    const SpectrumReading r = parseCe7000Reply(ce7000Reply());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_FLOAT_EQ(r.values[0], 10.01f);
    EXPECT_FLOAT_EQ(r.values[6], 10.07f);
    EXPECT_FLOAT_EQ(r.values[39], 10.40f);
}

TEST(Parsers, Ce7000RefusesNanShortAndLetters) {
    QByteArray nan = ce7000Reply();
    nan.replace(80, 7, "    nan"); // slot 7: characters 81..87
    SpectrumReading r = parseCe7000Reply(nan);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.toStdString(), "slot 7 (420 nm): \"    nan\" is not a number");

    r = parseCe7000Reply(ce7000Reply().left(416)); // slot 40 needs up to character 417
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.startsWith("slot 40 (750 nm)"));

    QByteArray blank = ce7000Reply();
    blank.replace(20, 7, "       ");
    EXPECT_TRUE(parseCe7000Reply(blank).error.startsWith("slot 1 "));
}

TEST(Parsers, Ce2180RowsOfSixWithOneExtraCharacter) {
    // Slot i (1-based character 7 i + k - 6): 1, 8, 15, 22, 29, 36, then 44 after the row end.
    QByteArray data(290, '#');
    for (int i = 1; i <= 40; ++i) {
        const int at = 7 * i + (i - 1) / 6 - 7;
        data.replace(at, 6, QByteArray::number(i, 'f', 1).rightJustified(6));
    }
    const SpectrumReading r = parseCe2180Data(data);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    for (int i = 0; i < 40; ++i)
        EXPECT_FLOAT_EQ(r.values[static_cast<std::size_t>(i)], static_cast<float>(i + 1));
    EXPECT_EQ(data.mid(43, 6), QByteArray("   7.0")); // slot 7 at character 44
    EXPECT_EQ(data.mid(279, 6), QByteArray("  40.0"));
}

TEST(Parsers, CiTakesTheDigitsAroundEachPoint) {
    QByteArray reply = "SCE\r\n";
    for (int i = 1; i <= 40; ++i)
        reply += (i == 1   ? QByteArray(" 45.123")
                  : i == 2 ? QByteArray("100.00")
                           : QByteArray("  7.5")) +
                 ",";
    SpectrumReading r = parseCiReply(reply + ">");
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_FLOAT_EQ(r.values[0], 45.123f);
    EXPECT_FLOAT_EQ(r.values[1], 100.0f);
    EXPECT_FLOAT_EQ(r.values[39], 7.5f);
    // A point at the very start reads nothing before the reply.
    r = parseCiReply(".5" + reply.mid(5));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_FLOAT_EQ(r.values[0], 0.5f);
    // 39 points: refused, not padded.
    EXPECT_EQ(parseCiReply(reply.left(reply.lastIndexOf(','))).ok, true);
    EXPECT_EQ(parseCiReply(reply.left(reply.lastIndexOf('.'))).error.toStdString(),
              "only 39 values where 40 are needed");
    // A point with no digit around it.
    EXPECT_TRUE(parseCiReply("a . b" + reply).error.startsWith("slot 1 (360 nm)"));
}

TEST(Parsers, SpectrolinoFactorsIntoSlots3To38AndZeroEnds) {
    QByteArray reply(10, '#');
    for (int i = 1; i <= 36; ++i)
        reply += (i == 1 ? QByteArray("0.0500") : QByteArray(" 0.250")) + ' ';
    SpectrumReading r = parseSpectrolinoReply(reply + "\r\n");
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_FLOAT_EQ(r.values[2], 5.0f); // slot 3, 380 nm
    EXPECT_FLOAT_EQ(r.values[37], 25.0f);
    for (int i : {0, 1, 38, 39})
        EXPECT_EQ(r.values[static_cast<std::size_t>(i)], 0.0f);
    EXPECT_FALSE(parseSpectrolinoReply(reply.left(260)).ok); // field 36 ends at character 261
    EXPECT_TRUE(parseSpectrolinoReply(reply.left(261)).ok);
}

TEST(Parsers, XthEightCharacterRecords) {
    QByteArray reply = QByteArray("11").leftJustified(18, ' ');
    for (int i = 1; i <= 40; ++i)
        reply += QByteArray::number(i + 0.25, 'f', 2).rightJustified(6) + "  ";
    const SpectrumReading r = parseXthReply(reply);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(reply.mid(18, 6), QByteArray("  1.25")); // characters 19..24
    EXPECT_FLOAT_EQ(r.values[0], 1.25f);
    EXPECT_FLOAT_EQ(r.values[39], 40.25f);
}

TEST(Parsers, StatusIsTheFirstTwoCharacters) {
    EXPECT_TRUE(statusCalibrated("11 MEASURE"));
    EXPECT_FALSE(statusCalibrated("1"));
    EXPECT_FALSE(statusCalibrated("01 11"));
}

} // namespace
} // namespace zul::instruments
