// CGATS.17 in and out.
#include "batch/cgats.h"
#include "batch_support.h"
#include "records/csvline.h"

#include <gtest/gtest.h>

namespace zul::testing {
namespace {

const batch::Job& job(const char* name) {
    return *batch::jobNamed(name);
}

std::string cgats(const std::string& fields, const std::vector<std::string>& rows) {
    std::string text = "CGATS.17\nORIGINATOR \"test\"\nNUMBER_OF_FIELDS " +
                       std::to_string(std::count(fields.begin(), fields.end(), ' ') + 1) +
                       "\nBEGIN_DATA_FORMAT\n" + fields + "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " +
                       std::to_string(rows.size()) + "\nBEGIN_DATA\n";
    for (const std::string& r : rows)
        text += r + "\n";
    return text + "END_DATA\n";
}

TEST(Cgats, XyzAndLabRecordsInTheJobsOrder) {
    EXPECT_EQ(
        batch::cgatsToRecords(job("xyz"), cgats("XYZ_Z SAMPLE_ID XYZ_X XYZ_Y",
                                                {"108 white 95 100", "5 \"red, deep\" 20 10"})),
        "white,95,100,108\n\"red, deep\",20,10,5\n");
    EXPECT_EQ(batch::cgatsToRecords(job("lab"), cgats("LAB_L LAB_A LAB_B", {"50 10 -10"})),
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
    EXPECT_EQ(batch::cgatsToRecords(job("spectral"), cgats(fields, {row})), expected + "\n");
}

TEST(Cgats, MissingFieldsAndBrokenFilesAreErrors) {
    EXPECT_THROW(batch::cgatsToRecords(job("xyz"), cgats("SAMPLE_ID XYZ_X XYZ_Y", {"a 1 2"})),
                 batch::CgatsError);
    EXPECT_THROW(batch::cgatsToRecords(job("lab"), "not a measurement file"), batch::CgatsError);
    EXPECT_THROW(batch::cgatsToRecords(job("steps"), cgats("LAB_L", {"1"})), batch::CgatsError);
}

TEST(Cgats, OutputCarriesTheResultsOfConvertedRecordsOnly) {
    const JobRun r = runJob("steps", "5R\t5\t14\n10R\t9\t40\n2.5YR\t6\t8\n");
    const std::string out = batch::recordsToCgats(job("steps"), r.out);
    // Read back as a lab job's input: the CIELAB texts of the table, failed record left out.
    const std::string lab = batch::cgatsToRecords(job("lab"), out);
    const auto tableLines = crlfLines(r.out);
    std::vector<std::string> back, f;
    for (std::size_t start = 0, end; (end = lab.find('\n', start)) != std::string::npos;
         start = end + 1)
        back.push_back(lab.substr(start, end - start));
    ASSERT_EQ(back.size(), 2u);
    std::size_t row = 0;
    for (std::size_t i : {1u, 3u}) {
        std::vector<std::string> values;
        splitCsvLine(tableLines[i], f);
        splitCsvLine(back[row++], values);
        ASSERT_EQ(values.size(), 3u);
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_DOUBLE_EQ(std::stod(values[k]), std::stod(f[6 + k])) << tableLines[i];
    }
    EXPECT_NE(out.find("SAMPLE_ID\tXYZ_X"), std::string::npos);
}

TEST(Cgats, ADamagedTableRowIsLeftOutNotWrittenAsBrokenColumns) {
    // The munsell table's nine results, then C, M, Y, K; the second row's X holds text.
    const std::string table = "5R,4,14,41.2,21.3,1.9,50,15,-20,200,50,0,1,2,3,4\n"
                              "5R,4,14,41.LAB_L2,21.3,1.9,50,15,-20,200,50,0,1,2,3,4\n";
    const std::string out = batch::recordsToCgats(job("munsell"), table);
    EXPECT_EQ(batch::cgatsToRecords(job("xyz"), out), "1,41.2,21.3,1.9\n");
}

} // namespace
} // namespace zul::testing
