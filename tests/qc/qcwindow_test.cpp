// The "Quality Control" window offscreen against a real workbench: a standard and samples from
// every source, the table's verdicts, the exports.
#include "qc/qcwindow.h"
#include "records/safefiles.h"
#include "support/testfiles.h"
#include "workbench/workbench_fixture.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace zul::testing {
namespace {

class QcWindowTest : public WorkbenchTest {
protected:
    QString cell(int row, int column) {
        auto* t = w->findChild<QTableWidget*>("Samples");
        return t->item(row, column) ? t->item(row, column)->text() : QString();
    }
    void SetUp() override {
        WorkbenchTest::SetUp();
        w = std::make_unique<QcWindow>(*wb);
    }
    std::unique_ptr<QcWindow> w;
    QTemporaryDir dir;
};

constexpr const char* kTenSamples = "id,L*,a*,b*\n"
                                    "A1,52.10,40.50,20.20\n"
                                    "A2,52.40,40.50,20.20\n"
                                    "A3,52.10,41.50,20.20\n"
                                    "A4,53.60,40.50,20.20\n"
                                    "A5,52.10,40.50,21.90\n"
                                    "A6,50.10,38.00,19.00\n"
                                    "A7,52.90,40.10,20.60\n"
                                    "A8,x,40.50,20.20\n"
                                    "A9,51.60,41.00,19.70\n"
                                    "A10,52.10,44.50,16.20\n";

TEST_F(QcWindowTest, StandardAndTenSamplesGiveVerdictsPerRow) {
    EXPECT_EQ(w->windowTitle(), "Quality Control");
    ASSERT_TRUE(w->setStandardText("52.1,40.5,20.2"));
    EXPECT_EQ(w->addSampleLines(kTenSamples, EntryForm::Lab), 10);
    const QcReport& r = w->report();
    ASSERT_EQ(r.samples.size(), 10u);
    EXPECT_EQ(cell(0, 0), "A1");
    EXPECT_EQ(cell(0, 15), "PASS");
    EXPECT_EQ(cell(0, 10), "0.00");
    EXPECT_EQ(cell(3, 14), "lighter"); // ΔL* 1.5 alone
    EXPECT_EQ(cell(3, 15), "FAIL");    // ΔE2000 1.47
    EXPECT_EQ(cell(4, 14), "stronger, yellower");
    EXPECT_EQ(cell(4, 15), "WARN"); // ΔE2000 0.99: past 80 %
    EXPECT_EQ(cell(5, 15), "FAIL");
    EXPECT_EQ(cell(7, 15).left(6), "ERROR:");
    EXPECT_EQ(r.failedReadings(), 1);
    EXPECT_EQ(r.count(QcVerdict::Pass) + r.count(QcVerdict::Warn) + r.count(QcVerdict::Fail), 9);
    // A looser tolerance turns the fail into a pass, the table follows.
    QcTolerance loose;
    loose.formula = QcFormula::De76;
    loose.limit = 10;
    w->setTolerance(loose);
    EXPECT_EQ(cell(5, 15), "PASS");
    EXPECT_TRUE(w->status().contains("not read 1")) << w->status().toStdString();
}

TEST_F(QcWindowTest, StandardsFromTheMainWindowARowAndABadText) {
    EXPECT_FALSE(w->setStandardText("5R 4"));
    EXPECT_TRUE(w->status().startsWith("Standard:"));
    ASSERT_TRUE(enter({{Field::Hue, "5R"}, {Field::Value, "4"}, {Field::Chroma, "10"}}));
    ASSERT_TRUE(w->standardFromWorkbench());
    EXPECT_DOUBLE_EQ(w->report().standard.lab.l, std::stod(text(Field::L)));
    w->addCurrentColour(); // a measurement lands in the main window as this does
    EXPECT_EQ(cell(0, 15), "PASS");
    EXPECT_EQ(cell(0, 11), "0.00"); // dHue
    EXPECT_EQ(w->addSampleLines("S2,5R 4.5/10\n", EntryForm::Munsell), 1);
    EXPECT_EQ(cell(1, 0), "S2");
    EXPECT_EQ(cell(1, 12), "0.50"); // dValue
    EXPECT_EQ(cell(1, 14).left(7), "lighter");
    ASSERT_TRUE(w->standardFromRow(1));
    EXPECT_EQ(cell(1, 10), "0.00");
    EXPECT_FALSE(w->standardFromRow(7));
}

TEST_F(QcWindowTest, PaletteEntriesAreSamples) {
    const QString palette =
        writeFile(dir.filePath("p.csv"),
                  "12/07/2026,10:00,brick,5R,4,10\n12/07/2026,10:01,sky,5PB,7,6\nnot a record\n");
    EXPECT_EQ(w->addPalette(palette), 2);
    EXPECT_EQ(cell(1, 0), "sky");
    ASSERT_TRUE(w->standardFromRow(0));
    EXPECT_EQ(cell(0, 15), "PASS");
    EXPECT_EQ(cell(1, 15), "FAIL");
}

TEST_F(QcWindowTest, ExportsTheTableAndTheReport) {
    EXPECT_FALSE(w->exportCsv(dir.filePath("none.csv"))); // no standard yet
    // The buttons say so before asking for a file.
    for (const char* button : {"ExportCSV", "ReportPDF"}) {
        dialogs.clear();
        auto* b = w->findChild<QPushButton*>(button);
        ASSERT_TRUE(b) << button;
        b->click();
        ASSERT_EQ(dialogs.shown().size(), 1) << button;
        EXPECT_EQ(dialogs.shown().front().text, "Choose a standard first.") << button;
    }
    ASSERT_TRUE(w->setStandardText("52.1,40.5,20.2"));
    w->addSampleLines(kTenSamples, EntryForm::Lab);
    const QString csv = dir.filePath("qc.csv");
    ASSERT_TRUE(w->exportCsv(csv));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 12); // header, ten rows, the empty end
    EXPECT_EQ(lines[0], "id,L*,a*,b*,dL*,dC*,dH*,dE76,dE94,dECMC,dE00,dHue,dValue,dChroma,verdict");
    EXPECT_TRUE(lines[1].startsWith("A1,52.10,40.50,20.20,0.00,"));
    const QString pdf = dir.filePath("qc.pdf");
    ASSERT_TRUE(w->exportPdf(pdf));
    QFile p(pdf);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    EXPECT_TRUE(p.read(5) == "%PDF-");
    EXPECT_GT(p.size(), 2000);
    EXPECT_FALSE(w->exportPdf(dir.filePath("missing/folder/qc.pdf")));
    EXPECT_TRUE(dialogs.shown().back().text.startsWith("Cannot write"));
}

TEST_F(QcWindowTest, ExportsRefuseAForeignLinkInASharedFolder) {
    // A link planted by another user in a sticky world-writable folder is not written through.
    const QString shared = dir.filePath("shared");
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    const QString victim = dir.filePath("victim.txt");
    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write("keep me\n");
    v.close();
    ASSERT_TRUE(w->setStandardText("52.1,40.5,20.2"));
    setLinkOwnerForTesting([](const QString&) { return std::optional<uid_t>(::geteuid() + 1); });
    for (const char* name : {"qc.csv", "qc.pdf"}) {
        const QString link = shared + "/" + name;
        ASSERT_TRUE(QFile::link(victim, link));
        const bool written =
            QString(name).endsWith(".csv") ? w->exportCsv(link) : w->exportPdf(link);
        EXPECT_FALSE(written) << name;
        EXPECT_TRUE(dialogs.shown().back().text.contains("link owned by another user")) << name;
    }
    setLinkOwnerForTesting({});
    ASSERT_TRUE(v.open(QIODevice::ReadOnly));
    EXPECT_EQ(v.readAll(), "keep me\n");
}

} // namespace
} // namespace zul::testing
