// The option layer every command reads its arguments with, and its rules seen through the built
// program: --opt V and --opt=V everywhere, --, numbers and "-" as values, usage errors exit 2.
#include "cli/options.h"
#include "support/zulprocess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zul::testing {
namespace {

using cli::Arg;

const std::vector<cli::OptionRule> kOptions = {
    {"--from", true}, {"--pwd", false}, {"-o", true, "--output"}};

// An argument list read back as one text: "opt --from=xyz", "pos -5", "help", "error ...".
std::string readBack(const std::vector<std::string>& args) {
    std::string out;
    for (const Arg& a : cli::parseArguments(args, kOptions)) {
        if (!out.empty()) out += " | ";
        switch (a.kind) {
        case Arg::Kind::Option:
            out += "opt " + a.name + "=" + a.value;
            break;
        case Arg::Kind::Positional:
            out += "pos " + a.value;
            break;
        case Arg::Kind::Help:
            out += "help";
            break;
        case Arg::Kind::Error:
            out += "error " + a.value;
            break;
        }
    }
    return out;
}

struct ParseCase {
    std::vector<std::string> args;
    std::string expected;
};

TEST(OptionLayer, ReadsEveryArgumentByTheSameRules) {
    const ParseCase cases[] = {
        {{"--from", "xyz", "1"}, "opt --from=xyz | pos 1"},
        {{"--from=xyz"}, "opt --from=xyz"},
        {{"--from="}, "opt --from="},
        {{"--from=a=b"}, "opt --from=a=b"},
        // The value is the next argument, whatever it looks like.
        {{"--from", "--pwd"}, "opt --from=--pwd"},
        {{"--from", "--"}, "opt --from=--"},
        {{"-o", "out.csv", "--output", "x", "--output=y"}, "opt -o=out.csv | opt -o=x | opt -o=y"},
        // Numbers, "-" and empty texts are values.
        {{"-5", "-.5", "-1e3", "-", ""}, "pos -5 | pos -.5 | pos -1e3 | pos - | pos "},
        {{"--", "--pwd", "-h", "-x"}, "pos --pwd | pos -h | pos -x"},
        {{"a", "--", "--", "b"}, "pos a | pos -- | pos b"},
        // Reading stops at help or the first fault.
        {{"--pwd", "-h", "--bogus"}, "opt --pwd= | help"},
        {{"--help"}, "help"},
        {{"--bogus", "-h"}, "error unknown option \"--bogus\""},
        {{"-x"}, "error unknown option \"-x\""},
        {{"-o=x"}, "error unknown option \"-o=x\""},
        {{"--pwd=1"}, "error unknown option \"--pwd=1\""},
        {{"1", "--from"}, "pos 1 | error --from needs an argument"},
        {{"-o"}, "error -o needs an argument"},
        {{"--output"}, "error --output needs an argument"},
    };
    for (const ParseCase& c : cases) {
        std::string joined;
        for (const std::string& a : c.args)
            joined += "[" + a + "]";
        EXPECT_EQ(readBack(c.args), c.expected) << joined;
    }
}

TEST(OptionLayer, CommandsWordTheirFaultsTheirOwnWay) {
    const cli::OptionWording measure{"unknown argument", "needs a value"};
    auto last = [&](const std::vector<std::string>& args) {
        return cli::parseArguments(args, kOptions, measure).back().value;
    };
    EXPECT_EQ(last({"--bogus"}), "unknown argument \"--bogus\"");
    EXPECT_EQ(last({"--from"}), "--from needs a value");
}

// Each command with an option given as --opt=V and as --opt V: the same status and output.
struct CommandCase {
    QStringList spaced, joined;
    int status;
};

TEST(OptionLayer, EveryCommandTakesOptEqualsValue) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const CommandCase cases[] = {
        {{"convert", "--from", "xyz", "--gamma", "2.5", "20", "30", "40"},
         {"convert", "--from=xyz", "--gamma=2.5", "20", "30", "40"},
         0},
        {{"chart", "value", "5", "--illuminant", "d65", "--csv", "-"},
         {"chart", "value", "5", "--illuminant=d65", "--csv=-"},
         0},
        {{"table", "-o", "-", "--gamma", "2"}, {"table", "-o", "-", "--gamma=2"}, 0},
        {{"batch", "lab", "-i", "missing.csv", "--format", "cgats"},
         {"batch", "lab", "-i", "missing.csv", "--format=cgats"},
         3},
        {{"measure", "--instrument", "Import", "--file", "missing.txt"},
         {"measure", "--instrument=Import", "--file=missing.txt"},
         1},
        {{"view", "missing.csv", "--png", "v.png", "--size", "20"},
         {"view", "missing.csv", "--png=v.png", "--size=20"},
         1},
        {{"palette-from-picture", "missing.jpg", "--grid", "5"},
         {"palette-from-picture", "missing.jpg", "--grid=5"},
         1},
    };
    for (const CommandCase& c : cases) {
        const ProgramRun a = runZul(c.spaced, {}, dir.path());
        const ProgramRun b = runZul(c.joined, {}, dir.path());
        const std::string what = c.joined.join(' ').toStdString();
        EXPECT_EQ(a.status, c.status) << what << "\n" << a.err;
        EXPECT_EQ(b.status, a.status) << what << "\n" << b.err;
        EXPECT_EQ(b.out, a.out) << what;
        EXPECT_EQ(b.err, a.err) << what;
    }
}

TEST(OptionLayer, UsageErrorsExitTwoAndNameTheFault) {
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{"convert", "--from", "xyz", "--bogus"}, "zul convert: unknown option \"--bogus\"\n"},
        {{"convert", "--from"}, "zul convert: --from needs an argument\n"},
        {{"batch", "-i"}, "zul batch: -i needs an argument\n"},
        {{"table", "--pwd=1"}, "zul table: unknown argument \"--pwd=1\"\n"},
        {{"measure", "--port"}, "zul measure: --port needs a value\n"},
        {{"chart", "-x"}, "zul chart: unknown option \"-x\"\n"},
        {{"view", "--size=7", "p.csv"},
         "zul view: --size must be a whole number from 16 to 8000, not \"7\"\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun r = runZul(c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

TEST(OptionLayer, NegativeNumbersAreValuesWithOrWithoutDoubleDash) {
    const ProgramRun plain = runZul({"convert", "--from", "lab", "50", "-20", "-.5"});
    const ProgramRun ended = runZul({"convert", "--from", "lab", "--", "50", "-20", "-.5"});
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, ended.out);
    const ProgramRun chart = runZul({"chart", "tolerance", "50", "-20", "10", "--", "--csv=-"});
    EXPECT_EQ(chart.status, 2) << chart.err; // after --, "--csv=-" is a fifth value
    EXPECT_NE(chart.err.find("tolerance takes 3 value(s)"), std::string::npos) << chart.err;
}

} // namespace
} // namespace zul::testing
