// Reading input lines into records, job by job.
#include "batch/records.h"
#include "records/csvline.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace zul::batch {
namespace {

const Job& job(const char* name) {
    return *jobNamed(name);
}

TEST(BatchJobs, CodesAreExactAndNamesOnlyOnTheCommandLine) {
    for (const char* code : {"xyz", "0", "1", "2", "3", "4", "6"})
        ASSERT_NE(jobByCode(code), nullptr) << code;
    for (const char* other : {"XYZ", "7", "", " 3", "3 ", "steps", "munsell"})
        EXPECT_EQ(jobByCode(other), nullptr) << other;
    EXPECT_EQ(jobNamed("steps"), jobByCode("3"));
    EXPECT_EQ(jobNamed("spectral"), jobByCode("1"));
    EXPECT_EQ(jobNamed("lab")->output, std::string("lab_sRGB.txt"));
}

TEST(BatchRecords, FieldCountsPerJob) {
    Record r;
    EXPECT_EQ(readRecord(job("xyz"), "white,95,100,108", r), "");
    EXPECT_EQ(r.free, std::vector<std::string>{"white"});
    EXPECT_EQ(r.colour[2], "108");
    EXPECT_NE(readRecord(job("xyz"), "95,100,108", r), "");
    EXPECT_NE(readRecord(job("lab"), "50,10", r), "");
    EXPECT_NE(readRecord(job("lab"), "50,10,10,5", r), "");
    EXPECT_EQ(readRecord(job("checker"), "1,dark skin,3.05YR,3.69,3.20", r), "");
    EXPECT_EQ(r.free, (std::vector<std::string>{"1", "dark skin"}));
    EXPECT_EQ(r.colour[0], "3.05YR");
    EXPECT_NE(readRecord(job("checker"), "dark skin,3.05YR,3.69,3.20", r), "");
    EXPECT_EQ(readRecord(job("chart"), "a,b,c,5R,4,14", r), "");
    EXPECT_EQ(r.free.size(), 3u);
    const std::string why = readRecord(job("munsell"), "5R,4", r);
    EXPECT_NE(why.find("expected 3 fields"), std::string::npos) << why;
    EXPECT_NE(why.find("got 2"), std::string::npos) << why;
}

TEST(BatchRecords, QuotesBlanksAndTrailingEmpties) {
    Record r;
    ASSERT_EQ(readRecord(job("chart"), R"( "Red, deep" , "say ""hi""",x,5R , 4,14)", r), "");
    EXPECT_EQ(r.free, (std::vector<std::string>{"Red, deep", "say \"hi\"", "x"}));
    EXPECT_EQ(r.colour[0], "5R");
    // A spreadsheet's trailing commas carry nothing; an empty field inside still counts.
    ASSERT_EQ(readRecord(job("munsell"), "5R,4,14,,", r), "");
    EXPECT_EQ(r.colour[2], "14");
    ASSERT_EQ(readRecord(job("munsell"), "5R,4,,", r), "");
    EXPECT_EQ(r.colour[2], "");
    EXPECT_NE(readRecord(job("munsell"), "5R,4,14,x", r), "");
}

TEST(BatchRecords, MunsellColourAsOneNotation) {
    Record r;
    ASSERT_EQ(readRecord(job("munsell"), "5R 4/14", r), "");
    EXPECT_TRUE(r.notation);
    EXPECT_EQ(r.colour, (std::array<std::string, 3>{"5R", "4", "14"}));
    ASSERT_EQ(readRecord(job("checker"), "19,white,N 9.5/", r), "");
    EXPECT_EQ(r.colour, (std::array<std::string, 3>{"N", "9.5", "0"}));
    EXPECT_NE(readRecord(job("checker"), "19,white,9.5", r), "");
}

TEST(BatchRecords, StepsLinesSplitAtTabs) {
    Record r;
    ASSERT_EQ(readRecord(job("steps"), "5R\t5\t14", r), "");
    EXPECT_EQ(r.colour, (std::array<std::string, 3>{"5R", "5", "14"}));
    ASSERT_EQ(readRecord(job("steps"), "  5R\t5\t14\t", r), ""); // blanks and a last tab dropped
    EXPECT_EQ(r.colour[2], "14");
    ASSERT_EQ(readRecord(job("steps"), "5R 5/14", r), "");
    EXPECT_EQ(r.colour[1], "5");
    EXPECT_NE(readRecord(job("steps"), "5R\t5", r), "");
    EXPECT_NE(readRecord(job("steps"), "5R\t5\t14\t2", r), "");
    EXPECT_NE(readRecord(job("steps"), "5R\t5,5\t14", r), "");
}

std::string spectralLine(const std::string& rest) {
    std::string line = "a,\"b,c\",d";
    for (int i = 0; i < 40; ++i)
        line += "," + std::to_string(10 + i) + ".5";
    return line + rest;
}

TEST(BatchRecords, SpectralRecordAndTheRestOfItsLine) {
    Record r;
    ASSERT_EQ(readRecord(job("spectral"), spectralLine(",  note, with comma "), r), "");
    EXPECT_EQ(r.free, (std::vector<std::string>{"a", "b,c", "d"}));
    EXPECT_FLOAT_EQ(r.reflectance[0], 10.5f);
    EXPECT_FLOAT_EQ(r.reflectance[39], 49.5f);
    EXPECT_EQ(r.rest, "  note, with comma "); // as it stands
    ASSERT_EQ(readRecord(job("spectral"), spectralLine(""), r), "");
    EXPECT_EQ(r.rest, "");
    std::string shortLine = spectralLine("");
    shortLine.resize(shortLine.rfind(','));
    EXPECT_NE(readRecord(job("spectral"), shortLine, r).find("got 42"), std::string::npos);
    std::string bad = spectralLine("");
    bad.replace(bad.find("12.5"), 4, "x");
    EXPECT_NE(readRecord(job("spectral"), bad, r).find("380 nm"), std::string::npos);
}

// The record readers walk a line's fields themselves: the same fields as the file reader's
// splitting, on lines of quotes, doubled quotes, blanks, tabs and commas; and the same count
// in the reasons once a spreadsheet's trailing empties are dropped.
TEST(BatchRecords, FieldsAsTheFileReaderSplitsThem) {
    std::mt19937 rng(23);
    const std::string pieces[] = {"a", "5R", "12.5", " ", "\t", ",", "\"", "\"\"", "x y"};
    std::vector<std::string> split;
    Record r;
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        for (int n = static_cast<int>(rng() % 12); n > 0; --n)
            line += pieces[rng() % std::size(pieces)];
        splitCsvLine(line, split);
        std::vector<std::string> walked;
        std::size_t pos = 0;
        for (std::string field; nextCsvField(line, pos, field);)
            walked.push_back(field);
        ASSERT_EQ(walked, split) << line;

        while (split.size() > 3 && split.back().empty())
            split.pop_back();
        const std::string why = readRecord(job("lab"), line, r);
        if (split.size() == 3) {
            ASSERT_EQ(why, "") << line;
            ASSERT_EQ((std::vector<std::string>(r.colour.begin(), r.colour.end())), split) << line;
        } else {
            ASSERT_EQ(why.substr(why.rfind(", got ")), ", got " + std::to_string(split.size()))
                << line;
        }
    }
}

TEST(BatchRecords, LineOneIsARecordOnlyWhenWellFormed) {
    EXPECT_FALSE(isWellFormedRecord(job("xyz"), "Tag,X,Y,Z"));
    EXPECT_TRUE(isWellFormedRecord(job("xyz"), "white,95,100,108"));
    EXPECT_FALSE(isWellFormedRecord(job("lab"), "L*,a*,b*"));
    EXPECT_TRUE(isWellFormedRecord(job("lab"), "50,-10,.5"));
    EXPECT_FALSE(isWellFormedRecord(job("munsell"), "Hue,Value,Chroma"));
    EXPECT_TRUE(isWellFormedRecord(job("munsell"), "5R,4,14"));
    EXPECT_TRUE(isWellFormedRecord(job("munsell"), "N,5,0"));
    EXPECT_TRUE(isWellFormedRecord(job("munsell"), "5R 4/14"));
}

} // namespace
} // namespace zul::batch
