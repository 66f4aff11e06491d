// The option layer every command reads its arguments with, and its rules seen through the built
// program: --opt V and --opt=V everywhere, --, numbers and "-" as values, usage errors exit 2.
#include "support/zulprocess.h"
#include "text/options.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zul::testing {
namespace {

const std::vector<OptionRule> kOptions = {
    {"--from", true}, {"--pwd", false}, {"-o", true, "--output"}};

// Arguments read back as one text: "opt --from=xyz", "pos -5", "help", "error ...".
std::string readBack(const std::vector<Arg>& read) {
    std::string out;
    for (const Arg& a : read) {
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
        EXPECT_EQ(readBack(parseArguments(c.args, kOptions)), c.expected) << joined;
    }
}

// The window face: its own options by the same rules, the rest handed on untouched and in order,
// a foreign option with its value even where the value looks like one of ours.
TEST(OptionLayer, SplitTakesItsOwnAndHandsOnTheRest) {
    const std::vector<OptionRule> foreign = {{"-platform", true}, {"-reverse", false}};
    struct SplitCase {
        std::vector<std::string> args;
        std::string own;
        std::string rest;
    };
    const SplitCase cases[] = {
        {{"-platform", "offscreen", "--from", "x"}, "opt --from=x", "-platform offscreen"},
        {{"-platform", "--pwd", "-reverse", "--pwd"}, "opt --pwd=", "-platform --pwd -reverse"},
        {{"--bogus", "--pwd=1", "-h", "file", "-5"}, "", "--bogus --pwd=1 -h file -5"},
        {{"--pwd", "--", "--from", "x"}, "opt --pwd=", "-- --from x"},
        {{"-platform"}, "", "-platform"},
        {{"-reverse", "--from"}, "error --from needs an argument", "-reverse"},
    };
    for (const SplitCase& c : cases) {
        const SplitArguments split = splitArguments(c.args, kOptions, foreign);
        std::string rest;
        for (const std::string& a : split.rest)
            rest += (rest.empty() ? "" : " ") + a;
        EXPECT_EQ(readBack(split.own), c.own) << c.rest;
        EXPECT_EQ(rest, c.rest);
    }
}

TEST(OptionLayer, CommandsWordTheirFaultsTheirOwnWay) {
    const OptionWording measure{"unknown argument", "needs a value"};
    auto last = [&](const std::vector<std::string>& args) {
        return parseArguments(args, kOptions, measure).back().value;
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
