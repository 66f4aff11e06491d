#include "munsell/table.h"
#include "text/errors.h"
#include "tools/muncie_gen.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace zul {
namespace {

const std::string kData = std::string(ZUL_SOURCE_DIR) + "/data/";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class LoadedTable : public ::testing::Test {
protected:
    static void SetUpTestSuite() { table = loadRenotationTable(kData + "Muncie.dat"); }
    static inline std::shared_ptr<const RenotationTable> table;
};

TEST_F(LoadedTable, NeutralColumnIsTheWhitePoint) {
    for (int v = 0; v < 11; ++v)
        for (int h = 0; h <= 40; ++h) {
            ASSERT_EQ(table->at(v, h, 0, 0), 3101);
            ASSERT_EQ(table->at(v, h, 0, 1), 3163);
        }
}

TEST_F(LoadedTable, HueCircleClosedAndGuardEntriesEmpty) {
    for (int v = 0; v < 11; ++v) {
        for (int c = 0; c <= 16; ++c)
            for (int k = 0; k < 2; ++k) {
                ASSERT_EQ(table->at(v, 40, c, k), table->at(v, 0, c, k));
                ASSERT_EQ(table->at(v, 41, c, k), 0);
            }
        for (int h = 0; h < 42; ++h)
            for (int c = 17; c < 31; ++c)
                ASSERT_EQ(table->at(v, h, c, 0), 0);
    }
}

TEST_F(LoadedTable, HoldsTheRenotationData) {
    // 5R 4/10 is x 0.5043, y 0.3176 in the renotation source.
    EXPECT_EQ(table->at(4, 2, 5, 0), 5043);
    EXPECT_EQ(table->at(4, 2, 5, 1), 3176);
    // 10RP 10/2 is in the source; level 10 is not extrapolated there.
    EXPECT_EQ(table->at(10, 0, 1, 0), 3220);
    EXPECT_EQ(table->at(10, 0, 1, 1), 3160);
}

TEST_F(LoadedTable, ChromaRunsHaveNoHoles) {
    for (int v = 0; v < 11; ++v)
        for (int h = 0; h < 40; ++h) {
            bool ended = false;
            for (int c = 0; c <= 16; ++c) {
                const bool empty = table->at(v, h, c, 0) == 0;
                ASSERT_FALSE(ended && !empty) << "v " << v << " h " << h << " c " << c;
                ended = ended || empty;
            }
        }
}

TEST(MuncieFile, GeneratorReproducesCommittedFile) {
    std::ifstream source(kData + "renotation/all.dat");
    ASSERT_TRUE(source);
    std::ostringstream out;
    generateMuncie(source, out);
    EXPECT_EQ(out.str(), readFile(kData + "Muncie.dat"));
}

TEST(MuncieFile, GeneratorRefusesMalformedRows) {
    const std::string header = "H V C x y Y\n";
    for (const char* row : {"5R 4 10 0.5043\n", "5N 4 10 0.5 0.3 12\n", "5R 4 -2 0.5 0.3 12\n",
                            "5R 4 -1e300 0.5 0.3 12\n"}) {
        std::istringstream source(header + "5R 4 8 0.47 0.32 12\n" + row);
        std::ostringstream out;
        EXPECT_THROW(generateMuncie(source, out), DataFileError) << row;
    }
}

// A table file with every number set to `n`, records separated as in `separator`.
std::string uniformFile(int n, const std::string& separator = "\n", int numbers = 14960) {
    std::string s;
    for (int i = 0; i < numbers; ++i)
        s += std::to_string(n) + (i % 2 ? separator : ",");
    return s;
}

TEST(MuncieLoader, OverwritesNeutralRecordsAndAcceptsAnySeparators) {
    std::istringstream in(uniformFile(-7, " ,  \r\n\t"));
    RenotationTable t;
    t.load(in);
    EXPECT_EQ(t.at(3, 5, 0, 0), 3101);
    EXPECT_EQ(t.at(3, 5, 1, 0), -7);
    EXPECT_EQ(t.at(10, 39, 16, 1), -7);
    EXPECT_EQ(t.at(10, 40, 16, 1), -7);
}

TEST(MuncieLoader, IgnoresAnythingAfterTheLastNumber) {
    std::istringstream in(uniformFile(5) + "trailing words");
    RenotationTable t;
    EXPECT_NO_THROW(t.load(in));
}

void expectLoadFault(const std::string& text, const std::string& fragment) {
    std::istringstream in(text);
    RenotationTable t;
    t.set(1, 1, 1, 0, 1234);
    try {
        t.load(in, "Muncie.dat");
        FAIL() << "no error for " << fragment;
    } catch (const DataFileError& e) {
        EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
    }
    EXPECT_EQ(t.at(1, 1, 1, 0), 1234) << "a failed load must leave the table as it was";
}

TEST(MuncieLoader, FaultsNameFileLineAndNumber) {
    expectLoadFault("", "Muncie.dat is too short: it ends after 0 of the 14960");
    expectLoadFault(uniformFile(1, "\n", 14959), "ends after 14959 of the 14960");
    std::string bad = uniformFile(1);
    bad.replace(bad.find('1', 40), 1, "x");
    expectLoadFault(bad, "Muncie.dat, line 11: number 21 is \"x\"");
    expectLoadFault("1,40000\n", "number 2 is \"40000\"; expected a whole number");
    expectLoadFault("1,2.5\n", "number 2 is \"2.5\"");
    // An empty field is reported where it stands, not taken as a separator.
    expectLoadFault("1,2\n3,,4\n", "Muncie.dat, line 2: number 4 is \"\"");
    expectLoadFault(", 1,2\n", "number 1 is \"\"");
}

TEST(MuncieLoader, MissingFileIsNamed) {
    RenotationTable t;
    try {
        t.load(std::filesystem::path("no/such/Muncie.dat"));
        FAIL();
    } catch (const DataFileError& e) {
        EXPECT_EQ(std::string(e.what()), "no/such/Muncie.dat: file not found");
    }
}

} // namespace
} // namespace zul
