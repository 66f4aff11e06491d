// Random and mutated input to the program's commands, through the built program, with a fixed
// seed: whatever comes in, the program ends by itself in time with a status the command
// defines, answers every input line, and says what failed. One table row per command and way
// of feeding it; a new command is one more row.
#include "records/csvline.h"
#include "support/zulprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace zul::testing {
namespace {

using Rng = std::mt19937;

// One run of the program.
struct ZulRun {
    QStringList args;
    QByteArray input; // standard input
    // Files made in a fresh working folder before the run (name, content).
    std::vector<std::pair<QString, QByteArray>> files;
    // Standard output holds a header and a row per non-blank input line (zul convert).
    bool rowPerLine = false;
    // A file that must keep its content when the command ends with status 3 (nothing written).
    std::pair<QString, QByteArray> keep;
};

struct CommandCase {
    const char* name;
    int runs;
    std::function<ZulRun(Rng&)> make;
    std::vector<int> statuses; // the exit statuses the command defines
};

// Test names and failure reports show the row's name.
void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

int pick(Rng& rng, int n) {
    return std::uniform_int_distribution<int>(0, n - 1)(rng);
}

// Field texts a colour line may hold, good and bad.
std::string randomField(Rng& rng) {
    static const char* tokens[] = {
        "5R",      "10RP",       "2.5 YR", "N",      "7.5PB",  "0",
        "4",       "10",         "-3.5",   "1e3",    "1E-40",  "1e999",
        "-0",      "nan",        "inf",    "0x1F",   "",       " ",
        "\"a,b\"", "\"unclosed", "\"\"",   "12.5.6", "+7",     "9999999999999999999999",
        "5R 4/14", "255",        "-255",   "100",    "0.0001", ".5",
        "-.5",     "abc",        "\t",     "YR",     "R5",     "50",
        "3,4"};
    std::string f;
    switch (pick(rng, 6)) {
    case 0: { // random bytes
        const int n = pick(rng, 12);
        for (int i = 0; i < n; ++i)
            f += static_cast<char>(pick(rng, 256));
        break;
    }
    case 1: // a long run of digits
        f = std::string(static_cast<std::size_t>(1 + pick(rng, 400)), '9');
        break;
    default:
        f = tokens[pick(rng, static_cast<int>(std::size(tokens)))];
    }
    return f;
}

std::string randomLine(Rng& rng) {
    std::string line;
    const int fields = pick(rng, 6);
    for (int i = 0; i < fields; ++i) {
        if (i) line += pick(rng, 10) ? "," : " , ";
        line += randomField(rng);
    }
    return line;
}

// A good line with a few bytes changed, dropped or put in.
std::string mutatedLine(Rng& rng, std::string line) {
    const int edits = 1 + pick(rng, 3);
    for (int e = 0; e < edits; ++e) {
        const auto at = static_cast<std::size_t>(pick(rng, static_cast<int>(line.size()) + 1));
        const char c = static_cast<char>(pick(rng, 256));
        switch (pick(rng, 3)) {
        case 0:
            line.insert(at, 1, c);
            break;
        case 1:
            if (at < line.size()) line.erase(at, 1);
            break;
        default:
            if (at < line.size()) line[at] = c;
        }
    }
    return line;
}

// Lines for `zul convert`: random, mutated and good ones, ended by any line break.
QByteArray convertInput(Rng& rng, const std::vector<std::string>& good) {
    static const char* breaks[] = {"\n", "\r\n", "\r"};
    std::string text;
    if (pick(rng, 8) == 0) text += "\xEF\xBB\xBF";
    const int lines = 20 + pick(rng, 40);
    for (int i = 0; i < lines; ++i) {
        const int kind = pick(rng, 3);
        const std::string& base =
            good[static_cast<std::size_t>(pick(rng, static_cast<int>(good.size())))];
        text += kind == 0 ? randomLine(rng) : kind == 1 ? mutatedLine(rng, base) : base;
        text += breaks[pick(rng, 3)];
    }
    if (pick(rng, 10) == 0) text += std::string(100000, '7'); // a huge last line, no break
    return QByteArray::fromStdString(text);
}

ZulRun convertStdin(Rng& rng) {
    static const char* forms[] = {"munsell", "xyz", "xy", "lab", "rgb", "cmyk"};
    static const std::vector<std::vector<std::string>> good = {
        {"5R,4,10", "10RP, 9, 2", "N,5,0"},
        {"20,21.5,23", "0,0,0", "95.05,100,108.9"},
        {"0.31,0.3163,50", "0.6,0.3,10"},
        {"50,10,-10", "100,0,0"},
        {"255,0,128", "0,0,0"},
        {"10,20,30,5", "0,0,0,100"}};
    const int form = pick(rng, 6);
    ZulRun run;
    run.args = {"convert", "--from", forms[form]};
    if (pick(rng, 3) == 0) run.args << "--illuminant" << (pick(rng, 2) ? "D65" : "D50");
    if (pick(rng, 4) == 0) run.args << "--pwd";
    if (pick(rng, 4) == 0 && form < 2) run.args << "--raw";
    if (pick(rng, 4) == 0)
        run.args << "--gamma"
                 << "1.8";
    run.input = convertInput(rng, good[static_cast<std::size_t>(form)]);
    run.rowPerLine = true;
    return run;
}

ZulRun convertArguments(Rng& rng) {
    static const char* words[] = {
        "--from", "munsell", "xyz", "rgb",   "--illuminant", "D65",      "--gamma", "0.5", "2.2",
        "--raw",  "--pwd",   "--",  "-x",    "--from=lab",   "--gamma=", "5R",      "4",   "10",
        "-3",     "1e999",   "",    "--help"};
    ZulRun run;
    run.args = {"convert"};
    const int n = pick(rng, 8);
    for (int i = 0; i < n; ++i)
        run.args << (pick(rng, 5) ? QString(words[pick(rng, static_cast<int>(std::size(words)))])
                                  : QString::fromStdString(randomField(rng)));
    return run;
}

// 40 reflectances in percent, joined by `sep`.
std::string reflectances(Rng& rng, const char* sep) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
        if (i) text += sep;
        text += std::to_string(pick(rng, 10000) / 100.0).substr(0, 5);
    }
    return text;
}

std::string spectralCgats(Rng& rng) {
    std::string text = "CGATS.17\nNUMBER_OF_FIELDS 42\nBEGIN_DATA_FORMAT\nSAMPLE_ID SAMPLE_NAME";
    for (int nm = 360; nm <= 750; nm += 10)
        text += " SPECTRAL_NM" + std::to_string(nm);
    text += "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\n";
    for (int set = 1; set <= 2; ++set)
        text +=
            std::to_string(set) + " s" + std::to_string(set) + " " + reflectances(rng, " ") + "\n";
    return text + "END_DATA\n";
}

// A whole file with a few bytes changed, or random lines, or a good file.
QByteArray someFile(Rng& rng, const std::string& good) {
    switch (pick(rng, 4)) {
    case 0: {
        std::string text;
        const int lines = pick(rng, 30);
        for (int i = 0; i < lines; ++i)
            text += randomLine(rng) + (pick(rng, 2) ? "\r\n" : "\n");
        return QByteArray::fromStdString(text);
    }
    case 3:
        return QByteArray::fromStdString(good);
    default: {
        std::string text = good;
        const int edits = 1 + pick(rng, 4);
        for (int e = 0; e < edits; ++e)
            text = mutatedLine(rng, text);
        if (pick(rng, 6) == 0)
            text.resize(static_cast<std::size_t>(pick(rng, static_cast<int>(text.size()) + 1)));
        return QByteArray::fromStdString(text);
    }
    }
}

// `zul batch` over an input file of good, mutated and random records of one job (or a CGATS
// file for the jobs that read one), into an output that held something before.
ZulRun batchJob(Rng& rng) {
    struct JobLines {
        const char* job;
        std::vector<std::string> good;
    };
    static const std::vector<JobLines> jobs = {
        {"xyz", {"A1,41.2,21.3,1.9", "\"t,2\",95.05,100,108.9", "n,0,0,0"}},
        {"lab", {"50,10,-20", "100,0,0", "0,0,0"}},
        {"munsell", {"5R,4,14", "5R 4/14", "N 5/", "10RP, 9, 2"}},
        {"steps", {"5R\t4\t14", "2.5YR\t6\t8", "N 5/"}},
        {"checker", {"dark skin,A1,3YR,3.7,3.2", "white,D4,N,9.5,0"}},
        {"chart", {"155D,white,group,N,9.5,0", "1A,red,g,5R,4,14"}},
        {"spectral", {}},
    };
    const JobLines& job = jobs[static_cast<std::size_t>(pick(rng, static_cast<int>(jobs.size())))];
    ZulRun run;
    run.args = {"batch", job.job, "-i", "in.txt", "--time", "2026-12-07T10:45:00"};
    // xyz appends to a palette and has no output; the others write an output.
    if (std::string_view(job.job) == "xyz")
        run.args << "--palette"
                 << "pal.csv";
    else
        run.args << "-o"
                 << "out.txt";
    std::string good;
    const bool spectral = std::string_view(job.job) == "spectral";
    const bool cgats =
        (spectral || std::string_view(job.job) == "xyz" || std::string_view(job.job) == "lab") &&
        pick(rng, 3) == 0;
    if (cgats) {
        run.args << "--format"
                 << "cgats";
        good = spectral ? spectralCgats(rng)
                        : "CGATS.17\nNUMBER_OF_FIELDS 7\nBEGIN_DATA_FORMAT\nSAMPLE_ID XYZ_X XYZ_Y "
                          "XYZ_Z LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\n"
                          "BEGIN_DATA\nA 41.2 21.3 1.9 50 10 -20\nB 95 100 108 100 0 0\nEND_DATA\n";
    } else {
        const int lines = 5 + pick(rng, 20);
        for (int i = 0; i < lines; ++i) {
            if (spectral)
                good += "s" + std::to_string(i) + ",name,x," + reflectances(rng, ",") + ",rest";
            else
                good += job.good[static_cast<std::size_t>(
                    pick(rng, static_cast<int>(job.good.size())))];
            good += pick(rng, 2) ? "\r\n" : "\n";
        }
    }
    run.files = {{"in.txt", someFile(rng, good)}};
    if (std::string_view(job.job) != "xyz") {
        run.files.emplace_back("out.txt", "previous output\r\n");
        run.keep = {"out.txt", "previous output\r\n"};
    }
    return run;
}

// `zul measure --instrument Import --file F` over good, mutated and random spectral files.
ZulRun measureImport(Rng& rng) {
    std::string good;
    switch (pick(rng, 3)) {
    case 0:
        good = "TAG sample\r\n" + reflectances(rng, ",") + "\r\n";
        break;
    case 1:
        good = "TAG\n" + reflectances(rng, "\n") + "\n";
        break;
    default:
        good = spectralCgats(rng);
    }
    ZulRun run;
    run.args = {"measure", "--instrument", "Import", "--file", "sample.txt"};
    if (pick(rng, 2)) run.args << "--spectrum";
    run.files = {{"sample.txt", someFile(rng, good)}};
    return run;
}

// `zul qc` on random and mutated sample lines against a good standard, and random arguments.
ZulRun qcStdin(Rng& rng) {
    static const char* forms[] = {"lab", "munsell", "xyz"};
    static const std::vector<std::vector<std::string>> good = {
        {"52,40,20", "100,0,0", "0,0,0"}, {"5R,4,10", "N,5,0", "5R 4/14"}, {"20,21.5,23"}};
    const int form = pick(rng, 3);
    static const char* formulas[] = {"de76", "de94", "de94t", "cmc", "de00"};
    ZulRun run;
    run.args = {"qc",        "--standard",          "52,40,20", "--from", forms[form],
                "--formula", formulas[pick(rng, 5)]};
    if (pick(rng, 3) == 0)
        run.args << "--illuminant"
                 << "D65"
                 << "--adapt";
    run.input = convertInput(rng, good[static_cast<std::size_t>(form)]);
    run.rowPerLine = true;
    return run;
}

ZulRun qcArguments(Rng& rng) {
    static const char* words[] = {"--standard", "5R 4/14",   "52,40,20", "xyz:1,2", "--from", "lab",
                                  "munsell",    "--formula", "cmc",      "de9",     "--lc",   "2:1",
                                  "0:1",        "--limit",   "-1",       "1e999",   "--warn", "0.5",
                                  "--limit-h",  "nan",       "--",       "",        "--help", "-x"};
    ZulRun run;
    run.args = {"qc"};
    const int n = pick(rng, 9);
    for (int i = 0; i < n; ++i)
        run.args << words[pick(rng, static_cast<int>(std::size(words)))];
    run.input = "52,40,20\n5R,4,10\n";
    return run;
}

// `zul view` over good, mutated and random palettes: records with and without a notation, with
// and without their own R, G, B and CIELAB fields.
ZulRun viewPalette(Rng& rng) {
    static const char* const good[] = {
        "\"12-07-2026\",\"10:00:00\",\"a\",\"5R\",\"4.00\",\"10.00\",\"19.77\",\"12.00\","
        "\"8.00\",\"41.20\",\"40.10\",\"20.00\",.4,.1,.1,\"190\",\"80\",\"70\",\"0\",\"58\","
        "\"63\",\"25\"",
        "\"12-07-2026\",\"10:00:00\",\" 0 "
        "0\",\"\",\"\",\"\",\"0\",\"0\",\"0\",\"\",\"\",\"\",0,0,0,"
        "\"0\",\"0\",\"0\"",
        "\"12-07-2026\",\"10:00:00\",\"k\",\"N\",\"0.00\",\"0.00\",\"0\",\"0\",\"0\",\"0\",\"0\","
        "\"0\",0,0,0,\"0\",\"0\",\"0\",\"0\",\"0\",\"0\",\"100\"",
        "\"d\",\"t\",\"w\",\"5.52P\",\"9.90\",\".03\",\"95\",\"100\",\"108\",\"100.00\",\"0\","
        "\"0\""};
    std::string text;
    const int lines = 1 + pick(rng, 12);
    for (int i = 0; i < lines; ++i)
        text += std::string(good[pick(rng, static_cast<int>(std::size(good)))]) + "\r\n";
    ZulRun run;
    run.args = {"view", "pal.csv", "--png", "v.png", "--size", "64"};
    run.files = {{"pal.csv", someFile(rng, text)}};
    return run;
}

const std::vector<CommandCase>& commandCases() {
    static const std::vector<CommandCase> cases = {
        {"convert_stdin", 80, convertStdin, {0, 1}},
        {"convert_arguments", 150, convertArguments, {0, 1, 2}},
        {"batch_jobs", 300, batchJob, {0, 1, 3}},
        {"measure_import", 250, measureImport, {0, 1}},
        {"qc_stdin", 40, qcStdin, {0, 1}},
        {"qc_arguments", 80, qcArguments, {0, 1, 2}},
        {"view_palettes", 60, viewPalette, {0, 1}},
    };
    return cases;
}

// Input lines that get a row: not blank, and not a header in first place.
int rowsExpected(const QByteArray& input) {
    std::string text = input.toStdString();
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    int rows = 0;
    bool first = true;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(pos, end - pos);
        pos = end + (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
                             text[end + 1] == '\n'
                         ? 2
                         : 1);
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        if (std::exchange(first, false) && isHeaderLine(line)) continue;
        ++rows;
    }
    return rows;
}

class BadInputTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(BadInputTest, NoCrashNoHangAMessageForEachFailure) {
    ensureApplication();
    const CommandCase& c = GetParam();
    Rng rng(18);
    int lines = 0, failures = 0;
    for (int r = 0; r < c.runs; ++r) {
        const ZulRun run = c.make(rng);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        for (const auto& [name, content] : run.files) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        QProcess p;
        startZul(p, run.args, dir.path());
        ASSERT_TRUE(p.waitForStarted());
        p.write(run.input);
        p.closeWriteChannel();
        const std::string what =
            "run " + std::to_string(r) + ": zul " + run.args.join(' ').toStdString();
        ASSERT_TRUE(p.waitForFinished(60000)) << what << ": no answer within a minute";
        ASSERT_EQ(p.exitStatus(), QProcess::NormalExit) << what << ": crashed";
        const int status = p.exitCode();
        const QByteArray out = p.readAllStandardOutput(), err = p.readAllStandardError();
        logRun(run.args, run.input, status, out.toStdString(), err.toStdString());
        EXPECT_NE(std::find(c.statuses.begin(), c.statuses.end(), status), c.statuses.end())
            << what << ": exit status " << status << "\n"
            << err.toStdString();
        if (status != 0) {
            ++failures;
            EXPECT_FALSE(err.trimmed().isEmpty()) << what << ": failed without a message";
        }
        if (!run.keep.first.isEmpty()) {
            QFile kept(dir.filePath(run.keep.first));
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly))
                << what << ": " << run.keep.first.toStdString() << " is gone";
            const QByteArray now = kept.readAll();
            if (status == 3)
                EXPECT_EQ(now, run.keep.second)
                    << what << ": nothing written, yet the output changed";
            else
                EXPECT_NE(now, run.keep.second)
                    << what << ": exit status " << status << " but the output was not written";
            // No temporary file left beside the output.
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter(run.keep.first + ".").size(),
                      0)
                << what;
        }
        if (!run.rowPerLine) continue;
        // A header, then one row per line; a row whose results are all empty says why.
        QList<QByteArray> rows = out.split('\n');
        ASSERT_TRUE(!rows.isEmpty() && rows.back().isEmpty()) << what << ": unfinished output";
        rows.removeLast();
        const int expected = rowsExpected(run.input);
        lines += expected;
        ASSERT_EQ(rows.size(), expected + 1) << what;
        std::vector<std::string> header, fields;
        splitCsvLine(rows.front().toStdString(), header);
        for (qsizetype i = 1; i < rows.size(); ++i) {
            splitCsvLine(rows[i].toStdString(), fields);
            fields.resize(std::max(fields.size(), header.size()));
            ASSERT_EQ(fields.size(), header.size()) << what << ", row " << i;
            const bool empty = std::all_of(fields.begin(), fields.end() - 1,
                                           [](const std::string& f) { return f.empty(); });
            if (empty) {
                EXPECT_FALSE(fields.back().empty()) << what << ", row " << i;
            }
        }
    }
    std::cout << c.name << ": " << c.runs << " runs, " << lines
              << " input lines checked row by row, " << failures << " runs with a failure status\n";
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, BadInputTest, ::testing::ValuesIn(commandCases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zul::testing
