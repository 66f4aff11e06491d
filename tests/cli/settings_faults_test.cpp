// The built program where its surroundings matter: no display, no runtime folder, a simulated
// instrument whose calibration is declined, and --adapt on the commands that convert entries.
#include "support/zulprocess.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace zul::testing {
namespace {

// Sets (or, with nullopt, removes) environment variables for one scope.
class ScopedEnv {
public:
    ScopedEnv(std::initializer_list<std::pair<const char*, std::optional<const char*>>> vars) {
        for (const auto& [name, value] : vars) {
            m_saved.push_back({name, qEnvironmentVariableIsSet(name)
                                         ? std::optional<QByteArray>(qgetenv(name))
                                         : std::nullopt});
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }
    ~ScopedEnv() {
        for (const auto& [name, value] : m_saved) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> m_saved;
};

std::vector<std::string> csvFields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    std::string f;
    while (std::getline(in, f, ','))
        out.push_back(f);
    return out;
}

TEST(NoDisplay, TheWindowSaysSoAndExitsTwo) {
    ensureApplication();
    const char* const message = "zul: no display; the commands of zul --help run without one\n";
    {
        ScopedEnv env{{"DISPLAY", std::nullopt},
                      {"WAYLAND_DISPLAY", std::nullopt},
                      {"QT_QPA_PLATFORM", std::nullopt}};
        const ProgramRun r = runZul({});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, message);
    }
    {
        // A display named but not there: the window system fails to start.
        ScopedEnv env{{"DISPLAY", ":97"}, {"QT_QPA_PLATFORM", "xcb"}};
        const ProgramRun r = runZul({});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, message);
    }
}

TEST(NoDisplay, CommandsPrintNoQtNotes) {
    QTemporaryDir dir;
    ScopedEnv env{{"XDG_RUNTIME_DIR", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};
    for (const QStringList& args :
         {QStringList{"chart", "hue", "5R", "--png", "h.png"},
          QStringList{"chart", "tolerance", "50", "20", "10", "--pdf", "t.pdf"},
          QStringList{"convert", "--from", "munsell", "5R", "4", "10"}}) {
        const ProgramRun r = runZul(args, {}, dir.path());
        EXPECT_EQ(r.status, 0) << args.join(' ').toStdString() << r.err;
        EXPECT_EQ(r.err, "") << args.join(' ').toStdString();
    }
}

TEST(Calibration, DeclinedEndsWithoutMeasuringAndExitsOne) {
    ScopedEnv env{{"ZUL_COMM1", "sim:ce7000"}};
    const QStringList base = {"measure", "--instrument", "CE7000", "--port", "1", "--calibrate"};
    const struct {
        QStringList answers;
        int status;
    } cases[] = {
        {{}, 1},
        {{"--answer", "Open Port=yes"}, 1},
        {{"--answer", "Open Port=yes", "--answer", "White Standard=no"}, 1},
        {{"--answer", "Open Port=yes", "--answer", "White Standard=yes"}, 0},
    };
    for (const auto& c : cases) {
        const ProgramRun r = runZul(base + c.answers);
        const std::string what = c.answers.join(' ').toStdString();
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.err;
        if (c.status == 1) {
            EXPECT_NE(r.err.find("Calibration cancelled"), std::string::npos) << what << r.err;
            EXPECT_EQ(r.err.find("Calibration finished"), std::string::npos) << what;
            EXPECT_EQ(r.out, "") << what; // nothing measured
        } else {
            EXPECT_FALSE(r.out.empty()) << r.err;
        }
    }
    // The question says what to do.
    const ProgramRun r = runZul(base);
    EXPECT_NE(r.err.find("Hold the instrument with its port open, away from any surface, then Yes"),
              std::string::npos)
        << r.err;
}

// Under D50 with --adapt, the tolerance set's Standard is the colour the converter gives for
// the same notation; without it, today's set.
TEST(Adapt, ToleranceSetStandardIsTheConvertedColour) {
    const ProgramRun conv =
        runZul({"convert", "--from", "munsell", "--illuminant", "d50", "--adapt", "5R", "5", "10"});
    ASSERT_EQ(conv.status, 0) << conv.err;
    ASSERT_EQ(conv.lines().size(), 2u);
    const std::vector<std::string> c = csvFields(conv.lines()[1]);
    ASSERT_GE(c.size(), 14u);
    const QStringList chart = {"chart",
                               "tolerance",
                               QString::fromStdString(c[8]),
                               QString::fromStdString(c[9]),
                               QString::fromStdString(c[10]),
                               "--illuminant",
                               "d50",
                               "--csv",
                               "-"};
    const ProgramRun adapted = runZul(chart + QStringList{"--adapt"});
    const ProgramRun plain = runZul(chart);
    ASSERT_EQ(adapted.status, 0) << adapted.err;
    ASSERT_EQ(plain.status, 0) << plain.err;
    const std::vector<std::string> a = csvFields(adapted.lines()[1]); // swatch 0, the Standard
    const std::vector<std::string> p = csvFields(plain.lines()[1]);
    ASSERT_GE(a.size(), 5u);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(std::stoi(a[2 + k]), std::stoi(c[11 + k]), 1) << "channel " << k;
    EXPECT_EQ(a[1].substr(0, 2), "5.") << a[1]; // about 5R 5/10
    EXPECT_NE(p[4], a[4]);                      // unadapted: the blue of the old set
}

TEST(Adapt, BatchAndPaletteFromPictureTakeIt) {
    QTemporaryDir dir;
    const QByteArray lab = "50,40,20\r\n30,-10,-25\r\n";
    const QStringList batch = {"batch", "lab", "-i", "-", "-o", "-", "--illuminant", "d50"};
    const ProgramRun plain = runZul(batch, lab, dir.path());
    const ProgramRun adapted = runZul(batch + QStringList{"--adapt"}, lab, dir.path());
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(adapted.status, 0) << adapted.err;
    EXPECT_NE(adapted.out, plain.out);

    const QString picture = QDir(QString(ZUL_SOURCE_DIR)).filePath("data/TestImage.jpg");
    auto palette = [&](const QStringList& extra) {
        const ProgramRun r = runZul(QStringList{"palette-from-picture", picture, "--grid", "200",
                                                "-o", "p.csv", "--illuminant", "d50"} +
                                        extra,
                                    {}, dir.path());
        EXPECT_EQ(r.status, 0) << r.err;
        QFile f(dir.filePath("p.csv"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray withoutAdapt = palette({});
    const QByteArray withAdapt = palette({"--adapt"});
    ASSERT_FALSE(withAdapt.isEmpty());
    EXPECT_NE(withAdapt, withoutAdapt);
}

} // namespace
} // namespace zul::testing
