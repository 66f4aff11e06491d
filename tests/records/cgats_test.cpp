// CGATS.17 in and out: the records a batch job reads, the table it writes, and the one reader of
// spectral fields.
#include "records/cgats.h"
#include "records/csvline.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zul {
namespace {

std::string cgats(const std::string& fields, const std::vector<std::string>& rows,
                  const std::string& keywords = {}) {
    std::string text = "CGATS.17\nORIGINATOR \"test\"\n" + keywords + "NUMBER_OF_FIELDS " +
                       std::to_string(std::count(fields.begin(), fields.end(), ' ') + 1) +
                       "\nBEGIN_DATA_FORMAT\n" + fields + "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " +
                       std::to_string(rows.size()) + "\nBEGIN_DATA\n";
    for (const std::string& r : rows)
        text += r + "\n";
    return text + "END_DATA\n";
}

TEST(Cgats, XyzAndLabRecordsInTheJobsOrder) {
    EXPECT_EQ(
        cgatsToRecords(CgatsRecords::Xyz, cgats("XYZ_Z SAMPLE_ID XYZ_X XYZ_Y",
                                                {"108 white 95 100", "5 \"red, deep\" 20 10"})),
        "white,95,100,108\n\"red, deep\",20,10,5\n");
    EXPECT_EQ(cgatsToRecords(CgatsRecords::Lab, cgats("LAB_L LAB_A LAB_B", {"50 10 -10"})),
              "50,10,-10\n");
}

TEST(Cgats, SpectralFieldsByWavelength) {
    std::string fields = "SAMPLE_ID SAMPLE_NAME";
    std::string row = "7 leaf";
    std::string expected = "7,leaf,";
    for (int nm = 350; nm <= 760; nm += 10) {
        fields += " SPECTRAL_NM" + std::to_string(nm);
        row += " " + std::to_string(nm / 10);
        if (nm >= 360 && nm <= 750) expected += "," + std::to_string(nm / 10);
    }
    EXPECT_EQ(cgatsToRecords(CgatsRecords::Spectral, cgats(fields, {row})), expected + "\n");
}

TEST(Cgats, MissingFieldsAndBrokenFilesAreErrors) {
    EXPECT_THROW(cgatsToRecords(CgatsRecords::Xyz, cgats("SAMPLE_ID XYZ_X XYZ_Y", {"a 1 2"})),
                 CgatsError);
    EXPECT_THROW(cgatsToRecords(CgatsRecords::Lab, "not a measurement file"), CgatsParseError);
    EXPECT_THROW(cgatsToRecords(CgatsRecords::Spectral, cgats("SPEC_400 SPEC_410", {"1 2"})),
                 CgatsError);
}

TEST(Cgats, OutputCarriesTheResultsOfConvertedRecordsOnly) {
    // A steps table: a heading, a converted record, a failed one, a converted one.
    const std::string table = "hue,value,chroma,X,Y,Z,L*,a*,b*,R,G,B\n"
                              "5R,5,14,30.1,19.8,7.5,51.6,47.2, 21.3,229,80,94\n"
                              "10R,9,40,,,,,,,,,\n"
                              "2.5YR,6,8,35.5,30.1,19.9,61.7,20.4,25.1,200,135,110\n";
    const std::string out = recordsToCgats({"steps", 1, 0, false}, table);
    EXPECT_NE(out.find("SAMPLE_ID\tXYZ_X"), std::string::npos);
    EXPECT_EQ(cgatsToRecords(CgatsRecords::Lab, out), "51.6,47.2,21.3\n61.7,20.4,25.1\n");
    EXPECT_EQ(cgatsToRecords(CgatsRecords::Xyz, out), "1,30.1,19.8,7.5\n3,35.5,30.1,19.9\n");
}

TEST(Cgats, ADamagedTableRowIsLeftOutNotWrittenAsBrokenColumns) {
    // The munsell table's nine results, then C, M, Y, K; the second row's X holds text.
    const std::string table = "5R,4,14,41.2,21.3,1.9,50,15,-20,200,50,0,1,2,3,4\n"
                              "5R,4,14,41.LAB_L2,21.3,1.9,50,15,-20,200,50,0,1,2,3,4\n";
    const std::string out = recordsToCgats({"munsell", 0, 4, false}, table);
    EXPECT_EQ(cgatsToRecords(CgatsRecords::Xyz, out), "1,41.2,21.3,1.9\n");
}

TEST(Cgats, SpectralFieldSpellings) {
    const std::pair<const char*, int> cases[] = {
        {"SPEC_360", 360},
        {"spectral_nm380", 380},
        {"SPECTRAL_NM_400", 400},
        {"Spectral_830", 830},
        {"NM_420", 420},
        {"nm440", 440},
        {"R700", 700},
        {"SPEC_1050", 1050},
        {"RGB_R", 0},
        {"R", 0},
        {"NM5", 0},
        {"SPEC_12345", 0},
        {"SAMPLE_ID", 0},
        {"SPEC_4x0", 0},
    };
    for (const auto& [field, nm] : cases)
        EXPECT_EQ(spectralFieldWavelength(field), nm) << field;
}

// Percent or factors for the whole file, never per sample.
TEST(Cgats, OneScalePerFile) {
    struct Case {
        std::vector<std::string> rows;
        std::string keywords;
        bool factors, note;
    };
    const Case cases[] = {
        // (Velvet beside paper in percent, and a lone sample, run through zul spectral.)
        {{"paper 0.90 0.92 0.93", "velvet 0.008 0.009 0.012"}, "", true, false},
        // Two dark samples of a percent file, above 1: read as factors, with the note...
        {{"velvet 0.8 0.9 1.2", "trap 0.1 0.2 0.3"}, "", true, true},
        // ...unless the file says what a perfect reflector reads.
        {{"velvet 0.8 0.9 1.2"}, "SPECTRAL_NORM 100\n", false, false},
        {{"velvet 3 4 5", "x 1 1 1"}, "SPECTRAL_NORM 1\n", true, false},
    };
    for (const Case& c : cases) {
        const CgatsSpectra s =
            cgatsSpectra(cgats("SAMPLE_NAME nm400 nm410 nm420", c.rows, c.keywords));
        EXPECT_EQ(s.factors, c.factors) << c.rows[0] << " / " << c.keywords;
        EXPECT_EQ(!s.scaleNote.empty(), c.note) << c.rows[0] << " / " << c.keywords;
    }
    // The batch job's records are in percent either way.
    std::string fields = "SAMPLE_ID", row = "1";
    for (int nm = 360; nm <= 750; nm += 10) {
        fields += " SPEC_" + std::to_string(nm);
        row += " 0.29";
    }
    std::vector<std::string> items;
    splitCsvLine(cgatsToRecords(CgatsRecords::Spectral, cgats(fields, {row})), items);
    ASSERT_EQ(items.size(), 43u);
    EXPECT_EQ(items[3], "29");
}

} // namespace
} // namespace zul
