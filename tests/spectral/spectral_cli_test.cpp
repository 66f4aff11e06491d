#include "records/csvline.h"
#include "spectral/colorimetry.h"
#include "spectral/spectrumfile.h"
#include "support/testfiles.h"
#include "support/zulprocess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

using namespace zul::spectral;
using zul::testing::csvFields;
using zul::testing::runZul;

namespace {

class SpectralCommand : public ::testing::Test {
protected:
    void SetUp() override {
        zul::testing::ensureApplication();
        ASSERT_TRUE(m_dir.isValid());
    }
    QString write(const QString& name, const QByteArray& bytes) {
        return zul::testing::writeFile(m_dir.filePath(name), bytes);
    }
    // A plain "Import" file: header, 40 values 360..750 nm.
    QString plain(const QString& name, double (*f)(double)) {
        QByteArray b = name.toUtf8() + "\n";
        for (int nm = 360; nm <= 750; nm += 10)
            b += QByteArray::number(f(nm), 'f', 3) + "\n";
        return write(name + ".txt", b);
    }
    QTemporaryDir m_dir;
};

double orange(double nm) {
    return 5 + 80 / (1 + std::exp(-(nm - 580) / 18));
}
double teal(double nm) {
    return 10 + 50 * std::exp(-std::pow((nm - 500) / 50, 2));
}
double white(double) {
    return 100;
}

} // namespace

TEST_F(SpectralCommand, DefaultIsD65TenDegreesWithTheWindowsNotation) {
    const QString file = plain("orange", orange);
    const auto run = runZul({"spectral", file});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "sample,illuminant,observer,X,Y,Z,x,y,L*,a*,b*,notation");
    const auto f = csvFields(lines[1]);
    ASSERT_EQ(f.size(), 12u);
    EXPECT_EQ(f[0], "orange");
    EXPECT_EQ(f[1], "D65");
    EXPECT_EQ(f[2], "10");
    const Spectrum s = readSpectrumFile(file).front().spectrum;
    const ConditionColour c = colourUnder(s, {Illuminant::D65, Observer::Deg10});
    EXPECT_NEAR(std::stod(f[3]), c.xyz.x, 5e-5);
    EXPECT_NEAR(std::stod(f[5]), c.xyz.z, 5e-5);
    EXPECT_NEAR(std::stod(f[10]), c.lab.b, 5e-5);
    EXPECT_EQ(f[3].substr(f[3].find('.')).size(), 5u); // four decimals

    // The notation is what `zul convert` gives for the spectrum's X, Y, Z under C 2 degrees.
    const XyzD c2 = tristimulus(s, {Illuminant::C, Observer::Deg2});
    const auto conv = runZul({"convert", "--from", "xyz", QString::number(c2.x, 'f', 4),
                              QString::number(c2.y, 'f', 4), QString::number(c2.z, 'f', 4)});
    ASSERT_EQ(conv.status, 0);
    const auto cf = csvFields(conv.lines().at(1));
    EXPECT_EQ(f[11], cf[0] + " " + cf[1] + "/" + cf[2]);
}

TEST_F(SpectralCommand, EveryCgatsSampleUnderEveryCondition) {
    QByteArray cgats = "CGATS.17\nNUMBER_OF_FIELDS 83\nBEGIN_DATA_FORMAT\nSAMPLE_ID SAMPLE_NAME";
    for (int nm = 380; nm <= 780; nm += 5)
        cgats += " SPECTRAL_NM" + QByteArray::number(nm);
    cgats += "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 3\nBEGIN_DATA\n";
    for (int k = 0; k < 3; ++k) {
        cgats += QByteArray::number(k + 1) + " \"s, " + QByteArray::number(k) + "\"";
        for (int nm = 380; nm <= 780; nm += 5)
            cgats += " " + QByteArray::number(teal(nm + 20 * k) / 100, 'f', 4);
        cgats += "\n";
    }
    cgats += "END_DATA\n";
    const auto run = runZul(
        {"spectral", write("set.cgats", cgats), "--illuminant", "all", "--observer", "both"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 1u + 3 * 20);
    EXPECT_EQ(csvFields(lines[1])[0], "s, 0");
    EXPECT_EQ(csvFields(lines[41])[0], "s, 2");
    EXPECT_EQ(csvFields(lines[20])[1], "E");
    EXPECT_EQ(csvFields(lines[20])[2], "10");
    // The same sample under different lights: same notation, different X.
    EXPECT_EQ(csvFields(lines[1])[11], csvFields(lines[2])[11]);
    EXPECT_NE(csvFields(lines[1])[3], csvFields(lines[2])[3]);
}

TEST_F(SpectralCommand, IndicesAndMetamerism) {
    const QString w = plain("white", white), o = plain("orange", orange);
    const auto run =
        runZul({"spectral", w, o, "--illuminant", "D65,A,F11", "--indices", "--metamerism", o});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = run.lines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "sample,illuminant,observer,X,Y,Z,x,y,L*,a*,b*,notation,W,T,YI,metamerism");
    const auto wf = csvFields(lines[1]);
    EXPECT_EQ(wf[12], "100.0000");
    EXPECT_EQ(wf[13], "0.0000");
    for (int k = 4; k <= 6; ++k) // the standard against itself
        EXPECT_EQ(csvFields(lines[static_cast<std::size_t>(k)])[15], "0.0000");
    EXPECT_EQ(csvFields(lines[1])[15], "0.0000");       // corrected at D65
    EXPECT_GT(std::stod(csvFields(lines[2])[15]), 1.0); // white vs orange under A

    // A black has no chromaticity: no indices; its notation is the neutral black.
    const auto black =
        runZul({"spectral", plain("black", [](double) { return 0.0; }), "--indices"});
    ASSERT_EQ(black.status, 0) << black.err;
    EXPECT_EQ(black.lines().at(1), "black,D65,10,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000,"
                                   "0.0000,N 0.00/0.00,,,");
}

TEST_F(SpectralCommand, UsageAndUnreadableFiles) {
    const QString o = plain("orange", orange);
    struct Case {
        QStringList args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"spectral"}, 2, "no spectral file"},
        {{"spectral", o, "--illuminant", "D65,B"}, 2, "unknown illuminant \"B\""},
        {{"spectral", o, "--observer", "5"}, 2, "the observer is 2, 10 or both"},
        {{"spectral", o, "--metamerism", m_dir.filePath("none")}, 1, "none"},
        {{"spectral", m_dir.filePath("missing.txt"), o}, 1, "missing.txt"},
        {{"spectral", write("bad.txt", "x\n1,2\n"), o}, 1, "bad.txt"},
    };
    for (const Case& c : cases) {
        const auto run = runZul(c.args);
        EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    // The readable file is still written after an unreadable one.
    const auto run = runZul({"spectral", m_dir.filePath("missing.txt"), o});
    EXPECT_EQ(run.lines().size(), 2u);
}

// A percent file: the black velvet's highest value, 1.2 %, makes it no factor sample.
TEST_F(SpectralCommand, OneScalePerFileAndTheLoneSampleSaysWhichItTook) {
    QByteArray names = "SAMPLE_NAME", paper = "paper", velvet = "velvet";
    for (int nm = 380; nm <= 780; nm += 10) {
        names += " SPECTRAL_NM" + QByteArray::number(nm);
        paper += " 88";
        velvet += nm < 600 ? " 0.9" : " 1.2";
    }
    const QByteArray head = "CGATS.17\nNUMBER_OF_FIELDS 42\nBEGIN_DATA_FORMAT\n" + names +
                            "\nEND_DATA_FORMAT\nNUMBER_OF_SETS ";
    const QString both =
        write("both.cgats", head + "2\nBEGIN_DATA\n" + paper + "\n" + velvet + "\nEND_DATA\n");
    auto run = runZul({"spectral", both});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines().size(), 3u);
    EXPECT_LT(std::stod(csvFields(run.lines()[2])[4]), 2) << run.lines()[2]; // Y
    EXPECT_EQ(run.err, "");

    const QString alone = write("alone.cgats", head + "1\nBEGIN_DATA\n" + velvet + "\nEND_DATA\n");
    run = runZul({"spectral", alone});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("alone.cgats: one sample with no value above 2: read as reflectance "
                           "factors"),
              std::string::npos)
        << run.err;
}

// The CIE test colours of Debian's colord-data (SPEC_360..SPEC_830, 5 nm, factors), in
// `zul spectral` and through Import; refusals name the file and the spellings read.
TEST_F(SpectralCommand, CommonSpectralFieldSpellingsAreRead) {
    const QString tcs = "/usr/share/colord/ref/CIE-TCS.sp";
    if (!QFile::exists(tcs)) GTEST_SKIP() << "colord-data is not installed";
    auto run = runZul({"spectral", tcs});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines().size(), 16u);
    EXPECT_EQ(csvFields(run.lines()[1])[0], "TCS01");
    EXPECT_GT(std::stod(csvFields(run.lines()[1])[4]), 20); // Y of factors read as percent

    run = runZul({"measure", "--instrument", "Import", "--file", tcs});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines().size(), 2u);
    EXPECT_GT(std::stod(csvFields(run.lines()[1])[4]), 20);

    const QString none = write("none.cgats", "CGATS.17\nNUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\n"
                                             "SAMPLE_ID XYZ_X\nEND_DATA_FORMAT\n"
                                             "NUMBER_OF_SETS 1\nBEGIN_DATA\n1 2\nEND_DATA\n");
    for (const QStringList& args :
         {QStringList{"spectral", none},
          QStringList{"measure", "--instrument", "Import", "--file", none}}) {
        run = runZul(args);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("none.cgats: the CGATS file has no spectral fields (fields read: "
                               "SPEC_nnn, SPECTRAL_NMnnn"),
                  std::string::npos)
            << run.err;
        // The box's lines, not their CR LF.
        EXPECT_EQ(run.err.find('\r'), std::string::npos);
        EXPECT_EQ(run.err.find("^M"), std::string::npos);
    }
}
