#include "spectral/indices.h"
#include "spectral/spectrumfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace zul::spectral;

namespace {

// Published white points of the 10 nm weighting tables (ASTM E308); E is 100, 100, 100.
constexpr double kWhiteTol = 0.05;
// Largest X, Y, Z difference between a spectrum at 5 nm and the same at 10 nm.
constexpr double kIntervalTol = 0.1;

struct PublishedWhite {
    Illuminant i;
    Observer o;
    double x, z;
};
const PublishedWhite kPublished[] = {
    {Illuminant::A, Observer::Deg2, 109.850, 35.585},
    {Illuminant::C, Observer::Deg2, 98.074, 118.232},
    {Illuminant::D50, Observer::Deg2, 96.422, 82.521},
    {Illuminant::D55, Observer::Deg2, 95.682, 92.149},
    {Illuminant::D65, Observer::Deg2, 95.047, 108.883},
    {Illuminant::D75, Observer::Deg2, 94.972, 122.638},
    {Illuminant::F2, Observer::Deg2, 99.187, 67.395},
    {Illuminant::F7, Observer::Deg2, 95.044, 108.755},
    {Illuminant::F11, Observer::Deg2, 100.966, 64.370},
    {Illuminant::E, Observer::Deg2, 100.000, 100.000},
    {Illuminant::A, Observer::Deg10, 111.144, 35.200},
    {Illuminant::C, Observer::Deg10, 97.285, 116.145},
    {Illuminant::D50, Observer::Deg10, 96.720, 81.427},
    {Illuminant::D55, Observer::Deg10, 95.799, 90.926},
    {Illuminant::D65, Observer::Deg10, 94.811, 107.304},
    {Illuminant::D75, Observer::Deg10, 94.416, 120.641},
    {Illuminant::F2, Observer::Deg10, 103.280, 69.026},
    {Illuminant::F7, Observer::Deg10, 95.792, 107.687},
    {Illuminant::F11, Observer::Deg10, 103.866, 65.627},
    {Illuminant::E, Observer::Deg10, 100.000, 100.000},
};

Spectrum sampled(double start, double interval, double end,
                 const std::function<double(double)>& f) {
    Spectrum s{start, interval, {}};
    for (double nm = start; nm <= end + 1e-9; nm += interval)
        s.values.push_back(f(nm));
    return s;
}

// A smooth orange-brown reflectance, 5..85 %.
double orange(double nm) {
    return 5 + 80 / (1 + std::exp(-(nm - 580) / 18));
}

} // namespace

TEST(SpectralWeights, PerfectReflectorGivesThePublishedWhitePoints) {
    ASSERT_EQ(allConditions().size(), std::size(kPublished));
    for (const PublishedWhite& p : kPublished) {
        const Condition c{p.i, p.o};
        SCOPED_TRACE(std::string(illuminantName(p.i)) + "/" + observerText(p.o));
        // The Parts' layout (360..750 at 10 nm) and the full range at 5 nm alike.
        for (const Spectrum& s : {sampled(360, 10, 750, [](double) { return 100.0; }),
                                  sampled(360, 5, 830, [](double) { return 100.0; }),
                                  sampled(400, 20, 700, [](double) { return 100.0; })}) {
            const XyzD w = tristimulus(s, c);
            EXPECT_NEAR(w.x, p.x, kWhiteTol);
            EXPECT_NEAR(w.y, 100.0, 1e-9);
            EXPECT_NEAR(w.z, p.z, kWhiteTol);
        }
    }
}

TEST(SpectralWeights, TenNanometreSummationWouldMissTheFluorescentWhites) {
    // What the weights correct: a plain sum of the 10 nm samples under F11 misses by 0.1 or more.
    const Condition c{Illuminant::F11, Observer::Deg2};
    const SampledTable& s = illuminantPower(c.illuminant);
    double x = 0, y = 0, z = 0;
    for (int nm = 360; nm <= 830; nm += 10) {
        x += s.at(nm) * colourMatching(c.observer, 0).at(nm);
        y += s.at(nm) * colourMatching(c.observer, 1).at(nm);
        z += s.at(nm) * colourMatching(c.observer, 2).at(nm);
    }
    const XyzD w = whitePoint(c);
    EXPECT_GT(std::abs(100 * x / y - w.x) + std::abs(100 * z / y - w.z), 0.1);
}

TEST(SpectralWeights, DaylightFormulaMatchesTabulatedD65) {
    const SampledTable d = zul::spectral::daylight(6500 * 1.4388 / 1.4380);
    const SampledTable& t = tabulatedD65();
    // The tabulated one is scaled to 1 at 560 nm.
    double largest = 0;
    for (int nm = 300; nm <= 830; nm += 5)
        largest = std::max(largest, std::abs(d.at(nm) / 100 / t.at(nm) - 1));
    EXPECT_LT(largest, 0.001) << "largest relative difference " << largest;
    std::printf("D65 formula vs table: largest relative difference %.6f\n", largest);
}

TEST(SpectralWeights, FiveAndTenNanometreSpectraAgree) {
    const Spectrum ten = sampled(360, 10, 750, orange);
    // The 10 nm values interpolated to 5 nm (linearly between neighbours).
    Spectrum five{360, 5, {}};
    for (std::size_t k = 0; k + 1 < ten.values.size(); ++k) {
        five.values.push_back(ten.values[k]);
        five.values.push_back((ten.values[k] + ten.values[k + 1]) / 2);
    }
    five.values.push_back(ten.values.back());
    for (Condition c : allConditions()) {
        const XyzD a = tristimulus(ten, c), b = tristimulus(five, c);
        EXPECT_NEAR(a.x, b.x, kIntervalTol);
        EXPECT_NEAR(a.y, b.y, kIntervalTol);
        EXPECT_NEAR(a.z, b.z, kIntervalTol);
    }
}

TEST(SpectralWeights, RejectsLayoutsOutsideTheRange) {
    const Condition c{};
    EXPECT_THROW(weightTable(c, 360, 0.5, 100), std::invalid_argument);
    EXPECT_THROW(weightTable(c, 360, 25, 10), std::invalid_argument);
    EXPECT_THROW(weightTable(c, 360, 10, 0), std::invalid_argument);
    EXPECT_THROW(weightTable(c, 900, 10, 5), std::invalid_argument);
    EXPECT_THROW(weightTable(c, NAN, 10, 5), std::invalid_argument);
    // One value, or one at 1 nm steps: every wavelength lands somewhere.
    EXPECT_NEAR(weightTable(c, 550, 10, 1).white.y, 100, 1e-9);
    EXPECT_NEAR(weightTable(c, 380, 1, 401).white.x, whitePoint(c).x, 1e-9);
}

TEST(SpectralColour, LabAgainstTheConditionsWhite) {
    const Spectrum white = sampled(380, 10, 780, [](double) { return 100.0; });
    const Spectrum grey = sampled(380, 10, 780, [](double) { return 18.42; });
    for (Condition c : allConditions()) {
        const ConditionColour w = colourUnder(white, c), g = colourUnder(grey, c);
        EXPECT_NEAR(w.lab.l, 100, 1e-9);
        EXPECT_NEAR(w.lab.a, 0, 1e-9);
        EXPECT_NEAR(g.lab.l, 50, 0.01);
        EXPECT_NEAR(g.lab.b, 0, 1e-9);
        EXPECT_NEAR(g.x, w.x, 1e-12);
    }
    // An orange is redder than yellow under A than under D65.
    const Spectrum o = sampled(360, 10, 750, orange);
    EXPECT_GT(colourUnder(o, {Illuminant::D65, Observer::Deg10}).lab.b, 40);
    EXPECT_GT(colourUnder(o, {Illuminant::D65, Observer::Deg10}).lab.a, 20);
}

TEST(SpectralIndices, PerfectWhiteAndAYellowishWhite) {
    const Spectrum white = sampled(360, 10, 750, [](double) { return 100.0; });
    for (Observer o : {Observer::Deg2, Observer::Deg10}) {
        const Whiteness w = whiteness(white, o);
        EXPECT_NEAR(w.w, 100, 1e-9);
        EXPECT_NEAR(w.t, 0, 1e-9);
        EXPECT_NEAR(w.yi, 0, 0.05); // the E313 coefficients make the white neutral
    }
    // Less blue: yellower, less white, tint towards red.
    const Spectrum yellowish = sampled(
        360, 10, 750, [](double nm) { return nm < 500 ? 60 + (nm - 360) * 40 / 140 : 100; });
    const Whiteness y = whiteness(yellowish, Observer::Deg10);
    EXPECT_GT(y.yi, 5);
    EXPECT_LT(y.w, 80);
}

TEST(SpectralIndices, MetamerismOfAConstructedPair) {
    const Condition d65{Illuminant::D65, Observer::Deg10};
    const Spectrum standard =
        sampled(360, 10, 750, [](double nm) { return 40 + 10 * std::sin(nm / 40); });
    EXPECT_EQ(metamerismIndex(standard, standard, {Illuminant::A, Observer::Deg10}), 0);

    // Add a metameric black for D65/10: a wave with its part in the span of the weights removed.
    const WeightTable& t = weightTable(d65, 360, 10, 40);
    std::vector<double> p(40);
    for (int k = 0; k < 40; ++k)
        p[k] = 25 * std::sin(k * 0.45);
    double g[3][3] = {}, r[3] = {};
    auto col = [&](int i, int k) {
        const XyzD& w = t.weights[static_cast<std::size_t>(k)];
        return i == 0 ? w.x : i == 1 ? w.y : w.z;
    };
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 40; ++k) {
            r[i] += col(i, k) * p[k];
            for (int j = 0; j < 3; ++j)
                g[i][j] += col(i, k) * col(j, k);
        }
    // Solve g c = r by Cramer's rule.
    auto det = [](double m[3][3]) {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };
    double c[3];
    for (int i = 0; i < 3; ++i) {
        double m[3][3];
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b)
                m[a][b] = b == i ? r[a] : g[a][b];
        c[i] = det(m) / det(g);
    }
    Spectrum sample = standard;
    for (int k = 0; k < 40; ++k)
        sample.values[static_cast<std::size_t>(k)] +=
            p[k] - c[0] * col(0, k) - c[1] * col(1, k) - c[2] * col(2, k);

    const XyzD a = tristimulus(standard, d65), b = tristimulus(sample, d65);
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.z, b.z, 1e-9);
    EXPECT_NEAR(metamerismIndex(standard, sample, d65), 0, 1e-6);
    EXPECT_GT(metamerismIndex(standard, sample, {Illuminant::A, Observer::Deg10}), 1);
    EXPECT_GT(metamerismIndex(standard, sample, {Illuminant::F11, Observer::Deg10}), 1);
}

TEST(SpectrumFile, ReadsCgatsSamplesAndPlainFiles) {
    const QByteArray cgats = "CGATS.17\nNUMBER_OF_FIELDS 5\nBEGIN_DATA_FORMAT\n"
                             "SAMPLE_ID SAMPLE_NAME SPECTRAL_NM400 SPECTRAL_NM420 SPECTRAL_NM440\n"
                             "END_DATA_FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\n"
                             "1 paper 0.9 0.92 0.93\n2 ink 45 50 55\nEND_DATA\n";
    const auto s = readSpectra(cgats);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].name, "paper");
    EXPECT_EQ(s[0].spectrum.start, 400);
    EXPECT_EQ(s[0].spectrum.interval, 20);
    // One scale for the file: the ink's 55 says percent, so the dark paper is not scaled.
    EXPECT_NEAR(s[0].spectrum.values[1], 0.92, 1e-9);
    EXPECT_NEAR(s[1].spectrum.values[2], 55, 1e-9);

    struct Bad {
        const char* fields;
        const char* row;
    };
    for (const Bad& b : {Bad{"SPECTRAL_NM400 SPECTRAL_NM410 SPECTRAL_NM430", "1 2 3"},
                         Bad{"SPECTRAL_NM400 SPECTRAL_NM430 SPECTRAL_NM460", "1 2 3"},
                         Bad{"SPECTRAL_NM400 SPECTRAL_NM410 SPECTRAL_NM420", "1 x 3"},
                         Bad{"SAMPLE_ID XYZ_X XYZ_Y", "1 2 3"}}) {
        const QByteArray f = QByteArray("CGATS.17\nNUMBER_OF_FIELDS 3\nBEGIN_DATA_FORMAT\n") +
                             b.fields + "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n" +
                             b.row + "\nEND_DATA\n";
        EXPECT_THROW(readSpectra(f), SpectrumFileError) << b.fields << " / " << b.row;
    }

    QByteArray plain = "My sample\n";
    for (int k = 0; k < 40; ++k)
        plain += QByteArray::number(10 + k) + "\n";
    const auto p = readSpectra(plain);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].name, "My sample");
    EXPECT_EQ(p[0].spectrum.values.size(), 40u);
    EXPECT_EQ(p[0].spectrum.values[39], 49);
    EXPECT_THROW(readSpectra("header\n1,2,3\n"), SpectrumFileError);
}
