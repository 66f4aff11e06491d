// Quality control without a window: verdicts at and around the limits, the formula a tolerance
// judges by, colours read as the main window reads them, the CSV row and the plots' pixels.
#include "qc/reading.h"
#include "qc/report.h"
#include "records/csvline.h"
#include "workbench/workbench_fixture.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace zul::testing {
namespace {

TEST(QcVerdicts, JudgeAtAndAroundTheLimitAndTheWarning) {
    struct Case {
        double value, limit, warn;
        QcVerdict verdict;
    };
    const Case cases[] = {
        {0.5, 1, 0.8, QcVerdict::Pass},  {0.8, 1, 0.8, QcVerdict::Pass},
        {0.81, 1, 0.8, QcVerdict::Warn}, {1.0, 1, 0.8, QcVerdict::Warn},
        {1.01, 1, 0.8, QcVerdict::Fail}, {NAN, 1, 0.8, QcVerdict::Fail},
        {1.9, 2, 1.0, QcVerdict::Pass},  {2.1, 2, 1.0, QcVerdict::Fail},
    };
    for (const Case& c : cases)
        EXPECT_EQ(judge(c.value, c.limit, c.warn), c.verdict) << c.value << " " << c.limit;
}

TEST(QcVerdicts, TheToleranceFormulaDecidesAndPartLimitsCanOnlyWorsen) {
    const QcColour standard{{50, 40, 20}};
    const QcColour sample{{50.5, 41, 20.5}}; // ΔE*ab 1.22, ΔE2000 and CMC smaller
    struct Case {
        QcFormula formula;
        double judged;
    };
    const LabD s = standard.lab, t = sample.lab;
    const Case cases[] = {{QcFormula::De76, labParts(s, t).dE},
                          {QcFormula::De94, deltaE94(s, t).dE},
                          {QcFormula::De94Textiles, deltaE94(s, t, kCie94Textiles).dE},
                          {QcFormula::Cmc, deltaECmc(s, t).dE},
                          {QcFormula::De00, ciede2000(s, t).dE}};
    for (const Case& c : cases) {
        QcTolerance tol;
        tol.formula = c.formula;
        const QcResult r = evaluate(standard, sample, tol);
        EXPECT_DOUBLE_EQ(r.judged, c.judged) << qcFormulaName(c.formula);
        EXPECT_EQ(r.verdict, judge(c.judged, 1, 0.8));
    }
    QcTolerance tol;
    tol.formula = QcFormula::De00;
    EXPECT_EQ(evaluate(standard, sample, tol).verdict, QcVerdict::Pass);
    tol.limitL = 0.4; // |ΔL*| 0.5 beyond it
    EXPECT_EQ(evaluate(standard, sample, tol).verdict, QcVerdict::Fail);
    tol.limitL = 0.6; // within, but past 80 %
    EXPECT_EQ(evaluate(standard, sample, tol).verdict, QcVerdict::Warn);
    // de94t changes the reported ΔE94; the CMC column follows l:c.
    tol.formula = QcFormula::De94Textiles;
    tol.lc = kCmc11;
    const QcResult r = evaluate(standard, sample, tol);
    EXPECT_DOUBLE_EQ(r.de94.dE, deltaE94(s, t, kCie94Textiles).dE);
    EXPECT_DOUBLE_EQ(r.cmc.dE, deltaECmc(s, t, kCmc11).dE);
}

TEST(QcVerdicts, FormulaNamesReadBack) {
    for (QcFormula f : {QcFormula::De76, QcFormula::De94, QcFormula::De94Textiles, QcFormula::Cmc,
                        QcFormula::De00})
        EXPECT_EQ(qcFormulaNamed(qcFormulaName(f)), f);
    EXPECT_EQ(qcFormulaNamed("DE00"), QcFormula::De00);
    EXPECT_FALSE(qcFormulaNamed("de2000"));
    EXPECT_EQ(qcFormulaCaption(QcFormula::Cmc, {1.5, 1}), "\u0394E CMC(1.5:1)");
}

TEST(QcReading, StandardTextsNameTheirForm) {
    struct Case {
        const char* text;
        std::optional<EntryForm> form;
        std::size_t fields;
    };
    const Case cases[] = {
        {"5R 4/14", EntryForm::Munsell, 1},       {"N 5/", EntryForm::Munsell, 1},
        {"52.1,40.5,20.2", EntryForm::Lab, 3},    {" 52.1 , -40 , 2e1 ", EntryForm::Lab, 3},
        {"xyz:41.2,21.3,1.9", EntryForm::Xyz, 3}, {"CMYK:1,2,3,4", EntryForm::Cmyk, 4},
        {"52.1,40.5", std::nullopt, 0},           {"52.1,x,20", std::nullopt, 0},
        {"hsv:1,2,3", std::nullopt, 0},           {"", std::nullopt, 0},
    };
    for (const Case& c : cases) {
        const auto split = splitColourText(c.text);
        ASSERT_EQ(split.has_value(), c.form.has_value()) << c.text;
        if (!split) continue;
        EXPECT_EQ(split->form, *c.form) << c.text;
        EXPECT_EQ(split->fields.size(), c.fields) << c.text;
    }
}

class QcWorkbench : public WorkbenchTest {};

TEST_F(QcWorkbench, ColoursAreTheNumbersTheWindowShows) {
    EntryConverter reader(sharedTable(), wb->options());
    // CIELAB typed stays as typed; the Munsell search fills the notation.
    QcReading lab = readColour(reader, EntryForm::Lab, {"52.125", "40.5", "20.25"});
    ASSERT_TRUE(lab.colour) << lab.error;
    EXPECT_DOUBLE_EQ(lab.colour->lab.l, 52.125);
    EXPECT_TRUE(lab.colour->hasMunsell);
    // A notation in one: the same numbers as typed into the three fields.
    const QcReading one = readColour(reader, EntryForm::Munsell, {"5R 4/10"});
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "4"}, {Field::Chroma, "10"}}));
    ASSERT_TRUE(one.colour);
    EXPECT_DOUBLE_EQ(one.colour->lab.l, std::stod(text(Field::L)));
    EXPECT_DOUBLE_EQ(one.colour->lab.b, std::stod(text(Field::B)));
    EXPECT_DOUBLE_EQ(one.colour->hueStep, 5);
    EXPECT_DOUBLE_EQ(one.colour->value, 4);
    // What does not convert says why, in the Messages field's words.
    const QcReading bad = readColour(reader, EntryForm::Xyz, {"x", "20", "22"});
    EXPECT_FALSE(bad.colour);
    EXPECT_NE(bad.error.find("\"x\""), std::string::npos) << bad.error;
    EXPECT_EQ(readColour(reader, EntryForm::Lab, {"1", "2"}).error,
              "expected 3 fields (L*, a*, b*), got 2");
    // Typed and not entered: no colour of the window's.
    wb->setText(Field::L, "60");
    EXPECT_FALSE(colourShown(*wb));
}

QcReport twoSampleReport() {
    QcReport r;
    r.standard = {{50, 20, 10}};
    r.samples.push_back({{"near"}, QcColour{{50.2, 20.3, 10.1}}, {}, {}});
    r.samples.push_back({{"far"}, QcColour{{50, 26, 10}}, {}, {}});
    r.samples.push_back({{"bad"}, std::nullopt, "X: \"x\" is not a number", {}});
    r.evaluateAll();
    return r;
}

TEST(QcReport, CsvRowsHoldEveryColumnAndTheVerdict) {
    const QcReport r = twoSampleReport();
    const std::string csv = qcCsv(r);
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < csv.size()) {
        const std::size_t end = csv.find('\n', at);
        lines.push_back(csv.substr(at, end - at));
        at = end + 1;
    }
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "id,L*,a*,b*,dL*,dC*,dH*,dE76,dE94,dECMC,dE00,dHue,dValue,dChroma,verdict");
    // ΔC* = 27.86 - 22.36; the sample turned clockwise: ΔH* = -sqrt(6² - 5.50²).
    EXPECT_EQ(lines[2].substr(0, 42), "far,50.00,26.00,10.00,0.00,5.50,-2.41,6.00");
    EXPECT_EQ(lines[2].substr(lines[2].size() - 7), ",,,FAIL"); // no Munsell notations
    EXPECT_EQ(lines[3], "bad,,,,,,,,,,,,,,\"ERROR: X: \"\"x\"\" is not a number\"");
    std::vector<std::string> near;
    splitCsvLine(lines[1], near);
    ASSERT_EQ(near.size(), 15u);
    EXPECT_EQ(near[14], "PASS");
    EXPECT_EQ(r.count(QcVerdict::Pass), 1);
    EXPECT_EQ(r.count(QcVerdict::Fail), 1);
    EXPECT_EQ(r.failedReadings(), 1);
    // Semicolon files: decimal commas.
    std::string semi;
    appendQcRow(semi, r.samples[0], ';');
    EXPECT_EQ(semi.substr(0, 23), "near;50,20;20,30;10,10;");
}

TEST(QcReport, ToleranceContourMeetsTheLimit) {
    QcReport r = twoSampleReport();
    for (QcFormula f : {QcFormula::De76, QcFormula::Cmc, QcFormula::De00}) {
        r.tolerance.formula = f;
        r.tolerance.limit = 2;
        for (double angle : {0.0, 1.0, 2.5, 4.0}) {
            const double radius = toleranceRadius(r, angle);
            const LabD edge{50, 20 + radius * std::cos(angle), 10 + radius * std::sin(angle)};
            EXPECT_NEAR(evaluate(r.standard, {edge}, r.tolerance).judged, 2, 1e-6);
        }
        const double up = lightnessReach(r, true);
        EXPECT_NEAR(evaluate(r.standard, {{50 + up, 20, 10}}, r.tolerance).judged, 2, 1e-6);
    }
    r.tolerance.formula = QcFormula::De76;
    EXPECT_NEAR(toleranceRadius(r, 0.3), 2, 1e-9);
}

TEST(QcReport, PlotsDrawSamplesInTheirVerdictColours) {
    QcReport r;
    r.standard = {{50, 0, 0}};
    r.tolerance.formula = QcFormula::De76;                         // a circle of radius 1
    r.samples.push_back({{"far"}, QcColour{{50, 3, 0}}, {}, {}});  // FAIL, on the +a* axis
    r.samples.push_back({{"up"}, QcColour{{50, 0, 0.5}}, {}, {}}); // PASS, towards +b*
    r.evaluateAll();
    QImage img(400, 400, QImage::Format_RGB32);
    QPainter p(&img);
    paintAbPlot(p, QRectF(0, 0, 400, 400), r);
    p.end();
    // The extent is 3 x 1.15 on a half side of 180 pixels.
    const double scale = 180 / (3 * 1.15);
    EXPECT_EQ(img.pixelColor(static_cast<int>(200 + 3 * scale), 200),
              verdictColour(QcVerdict::Fail));
    EXPECT_EQ(img.pixelColor(200, static_cast<int>(200 - 0.5 * scale)),
              verdictColour(QcVerdict::Pass));
    // The contour crosses the -a* axis one unit from the centre.
    const QColor contour = img.pixelColor(static_cast<int>(std::lround(200 - scale)), 200);
    EXPECT_GT(contour.blue(), contour.red() + 60);

    QImage bar(100, 300, QImage::Format_RGB32);
    QPainter q(&bar);
    r.samples[0].result.lab.dL = 0.9; // drawn lighter, within the band
    r.samples[0].result.verdict = QcVerdict::Warn;
    paintLightnessBar(q, QRectF(0, 0, 100, 300), r);
    q.end();
    bool warnTick = false;
    for (int y = 0; y < 150; ++y)
        warnTick = warnTick || bar.pixelColor(50, y) == verdictColour(QcVerdict::Warn);
    EXPECT_TRUE(warnTick);
}

} // namespace
} // namespace zul::testing
