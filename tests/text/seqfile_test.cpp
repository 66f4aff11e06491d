#include "text/errors.h"
#include "text/numtext.h"
#include "text/seqfile.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zul {
namespace {

std::vector<std::pair<int, std::string>> allFields(const std::string& text) {
    std::istringstream in(text);
    FieldReader reader(in);
    std::vector<std::pair<int, std::string>> out;
    while (auto field = reader.next())
        out.emplace_back(reader.line(), *field);
    EXPECT_TRUE(reader.atEnd());
    return out;
}

using Fields = std::vector<std::pair<int, std::string>>;

TEST(FieldReader, FieldsEndAtCommasAndLineEnds) {
    EXPECT_EQ(allFields("a, b ,\"c,d\"  junk,\te\t\r\n\r\n  \t\n12,x\n"),
              (Fields{{1, "a"}, {1, "b"}, {1, "c,d"}, {1, "e"}, {4, "12"}, {4, "x"}}));
    EXPECT_EQ(allFields("a,\nb"), (Fields{{1, "a"}, {1, ""}, {2, "b"}}));
    EXPECT_EQ(allFields(",,"), (Fields{{1, ""}, {1, ""}, {1, ""}}));
    EXPECT_EQ(allFields("a\rb\r\nc"), (Fields{{1, "a"}, {2, "b"}, {3, "c"}}));
    EXPECT_EQ(allFields(""), Fields{});
    EXPECT_EQ(allFields("\n \n"), Fields{});
}

TEST(FieldReader, QuotedFieldsKeepTheirText) {
    EXPECT_EQ(allFields("\" a b \", x \"y\" z,\"\""),
              (Fields{{1, " a b "}, {1, "x \"y\" z"}, {1, ""}}));
    // An unclosed quote ends with its line rather than swallowing the file.
    EXPECT_EQ(allFields("\"abc,def\nx"), (Fields{{1, "abc,def"}, {2, "x"}}));
}

TEST(FieldReader, RestOfLineFinishesARecord) {
    std::istringstream in(" Header, with blanks \n"
                          "d,t,tag,5R,4,10,x,y\r\n"
                          "d2,t2,tag2,5Y,5,6\r\n"
                          "d3,t3\n");
    FieldReader reader(in);
    EXPECT_EQ(reader.restOfLine(), " Header, with blanks ");
    for (const char* expected : {"d", "t", "tag", "5R", "4", "10"})
        EXPECT_EQ(reader.next(), expected);
    EXPECT_EQ(reader.restOfLine(), "x,y");
    for (const char* expected : {"d2", "t2", "tag2", "5Y", "5", "6"})
        EXPECT_EQ(reader.next(), expected);
    // The sixth field ended its line: nothing of the next record is lost.
    EXPECT_EQ(reader.restOfLine(), "");
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.next(), "d3");
    EXPECT_EQ(reader.line(), 4);
    EXPECT_EQ(reader.restOfLine(), "t3");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.restOfLine(), "");
    EXPECT_EQ(reader.next(), std::nullopt);
}

TEST(FieldReader, AtEndLooksPastBlankLinesOnly) {
    std::istringstream in("a\n\n \t\n  x,y\n\n");
    FieldReader reader(in);
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.next(), "a");
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.restOfLine(), "  x,y");
    EXPECT_TRUE(reader.atEnd());
}

TEST(FieldReader, NumbersAreReadStrictly) {
    std::istringstream in("CE2180\r\n 3 \r\n1.5, 2e1 ,abc,1e999\n");
    FieldReader reader(in);
    EXPECT_EQ(reader.next(), "CE2180");
    EXPECT_EQ(roundToInt16(reader.nextNumber()), 3);
    EXPECT_EQ(reader.nextNumber(), 1.5);
    EXPECT_EQ(reader.nextNumber(), 20.0);
    try {
        reader.nextNumber("chroma");
        ADD_FAILURE() << "abc read as a number";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "chroma: line 3: \"abc\" is not a number");
    }
    try {
        reader.nextNumber();
        ADD_FAILURE() << "1e999 read as a number";
    } catch (const RangeError& e) {
        EXPECT_STREQ(e.what(), "line 3: \"1e999\" is out of range");
    }
    try {
        reader.nextNumber("reflectance 40");
        ADD_FAILURE() << "read past the end";
    } catch (const DataFileError& e) {
        EXPECT_STREQ(e.what(), "reflectance 40: unexpected end of input");
    }
}

TEST(SplitFields, OneLine) {
    EXPECT_EQ(splitFields("a, \"b,c\" ,d"), (std::vector<std::string>{"a", "b,c", "d"}));
    EXPECT_EQ(splitFields(" , "), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(splitFields("5R\t5\t14"), (std::vector<std::string>{"5R\t5\t14"}));
    EXPECT_EQ(splitFields("x,\ny"), (std::vector<std::string>{"x", ""}));
    EXPECT_TRUE(splitFields("").empty());
}

TEST(QuotedLine, TextsQuotedNumbersBare) {
    EXPECT_EQ(quotedLine({std::string("a,b"), 1.5, -2.0}), "\"a,b\",1.5,-2\n");
    EXPECT_EQ(quotedLine({std::string(""), 0.25, std::string(".50")}, "\r\n"),
              "\"\",0.25,\".50\"\r\n");
    // Single-precision items keep their seven-digit text.
    EXPECT_EQ(quotedLine({2.2f, 0.2195f, static_cast<double>(2.2f)}),
              "2.2,0.2195,2.20000004768372\n");
    EXPECT_EQ(quotedLine({}), "\n");
}

TEST(LineText, NumbersCarrySignBlankAndTrailingBlank) {
    EXPECT_EQ(lineText({1.5, std::string("x"), -2.0}), " 1.5 x-2 ");
    EXPECT_EQ(lineText({std::string("R="), 128.0, std::string(","), 0.0}), "R= 128 , 0 ");
    EXPECT_EQ(lineText({45.1f, -0.5f}), " 45.1 -0.5 ");
    EXPECT_EQ(lineText({}), "");
}

} // namespace
} // namespace zul
