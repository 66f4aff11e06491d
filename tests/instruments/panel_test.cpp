// The instrument group's model on a real workbench: settings at start-up and on every change,
// what the controls show, and the closing steps: a good reading fills the fields, every refusal
// leaves every field and the reflectance array as they were.
#include "instruments/panel.h"
#include "instruments/simlink.h"
#include "support/scripteddialogs.h"
#include "text/numtext.h"
#include "workbench/workbench_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zul::instruments {
namespace {

using Kind = Outcome::Kind;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class PanelTest : public zul::testing::WorkbenchTest {
protected:
    void SetUp() override {
        WorkbenchTest::SetUp();
        panel = std::make_unique<InstrumentPanel>(*wb, dir.path());
        panel->setClock(&clock);
        panel->setEventPump({});
        panel->setLinkFactory([this](int port, Clock& c) -> std::unique_ptr<SerialLink> {
            usedPort = port;
            QString error;
            core = makeSimulator(simSetting, error);
            return std::make_unique<SimLink>(core, c);
        });
    }
    QString cfg() const { return QDir(dir.path()).filePath("zul.cfg"); }
    std::vector<QString> fields() const {
        std::vector<QString> out;
        for (int f = 0; f < static_cast<int>(Field::Count); ++f)
            out.push_back(wb->text(static_cast<Field>(f)));
        return out;
    }

    QTemporaryDir dir;
    ManualClock clock;
    QString simSetting = "ce7000";
    std::shared_ptr<SimulatorCore> core;
    int usedPort = 0;
    std::unique_ptr<InstrumentPanel> panel;
};

TEST_F(PanelTest, FirstRunShowsOnlyTheListUntilSomethingIsChosen) {
    panel->startUp();
    EXPECT_TRUE(panel->instrumentName().isEmpty());
    EXPECT_FALSE(panel->measureVisible());
    EXPECT_FALSE(panel->calibrateVisible());
    EXPECT_FALSE(panel->portVisible());
    panel->listChosen("Import");
    EXPECT_TRUE(panel->measureVisible()); // at once, also on a first run
    EXPECT_FALSE(panel->calibrateVisible());
    EXPECT_FALSE(panel->portVisible());
    EXPECT_EQ(panel->measureCaption(), "Import %R");
    EXPECT_EQ(readAll(cfg()), QByteArray("Import\r\n 1 \r\n"));
    panel->listChosen("CE2180");
    EXPECT_TRUE(panel->calibrateVisible());
    EXPECT_TRUE(panel->portVisible());
    EXPECT_EQ(panel->measureCaption(), "Measure");
}

TEST_F(PanelTest, StoredSettingsChooseInstrumentAndPortShownInTheField) {
    writeFile(QDir(dir.path()).filePath("ZUL.cfg"), "Spectrolino\r\n 3 \r\n");
    panel->startUp();
    EXPECT_EQ(panel->listText(), "Spectrolino");
    EXPECT_EQ(panel->port(), 3);
    EXPECT_EQ(panel->portText(), "3");
    EXPECT_TRUE(panel->measureVisible());
}

TEST_F(PanelTest, PortEditClampsAndWritesTheCurrentChoice) {
    writeFile(cfg(), "CE7000\r\n 2 \r\n");
    panel->startUp();
    panel->listChosen("CE2180");
    for (auto [typed, port] : {std::pair{"0", 1}, {"5", 1}, {"-3", 1}, {"4", 4}, {"", 1}}) {
        panel->portEdited(typed);
        EXPECT_EQ(panel->port(), port) << typed;
        EXPECT_EQ(panel->portText(), typed); // left as typed
        EXPECT_EQ(readAll(cfg()), "CE2180\r\n " + QByteArray::number(port) + " \r\n");
    }
}

TEST_F(PanelTest, MeasureFillsTheFieldsFromTheSample) {
    panel->startUp();
    panel->listChosen("CE7000");
    panel->portEdited("2");
    ASSERT_EQ(panel->measurePressed(), Kind::Done) << panel->message().toStdString();
    EXPECT_EQ(usedPort, 2);
    EXPECT_EQ(wb->reflectance(), simulatorSample());
    const Xyz xyz = tris(simulatorSample(), wb->weights());
    EXPECT_EQ(wb->text(Field::X).toStdString(), formatPicture(xyz.x, "###.00"));
    EXPECT_FALSE(wb->text(Field::Hue).isEmpty());
    EXPECT_EQ(panel->curve(), simulatorSample());
    EXPECT_EQ(panel->instrumentName(), "CE7000");
    EXPECT_EQ(core->closes, 1);
    EXPECT_TRUE(panel->log().lines().join('\n').contains("> M\\r"));
}

TEST_F(PanelTest, EveryRefusalLeavesEveryFieldAndTheArray) {
    panel->startUp();
    wb->reflectance().fill(50.0f);
    const auto before = fields();
    const std::pair<const char*, const char*> cases[] = {
        {"CE7000", "ce7000,nan"},     {"CE7000", "ce7000,uncalibrated"},
        {"CE7000", "ce7000,silence"}, {"CE2180", "ce2180,disconnect"},
        {"CE2180", "ce2180,short"},   {"Inst", "ce7000"},
    };
    for (auto [name, setting] : cases) {
        dialogs.clear();
        simSetting = setting;
        panel->listChosen(name);
        EXPECT_NE(panel->measurePressed(), Kind::Done) << setting;
        EXPECT_EQ(fields(), before) << setting;
        EXPECT_EQ(wb->reflectance()[0], 50.0f) << setting;
        EXPECT_EQ(dialogs.messages().size(), 1) << setting;
        EXPECT_EQ(panel->busy(), InstrumentPanel::Busy::None);
    }
}

TEST_F(PanelTest, DeclinedCalibrationSaysCancelledAndChangesNothing) {
    panel->startUp();
    panel->listChosen("CE7000");
    const auto before = fields();
    // Cancel at "Open Port", then No at "White Standard".
    for (const auto& answers :
         {std::vector<Dialogs::Answer>{Dialogs::Answer::Cancel},
          std::vector<Dialogs::Answer>{Dialogs::Answer::Yes, Dialogs::Answer::No}}) {
        dialogs.clear();
        for (const Dialogs::Answer a : answers)
            dialogs.queueAnswer(a);
        EXPECT_EQ(panel->calibratePressed(), Kind::Cancelled);
        EXPECT_EQ(panel->message(), "Calibration cancelled");
        EXPECT_EQ(fields(), before);
    }
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    EXPECT_EQ(panel->calibratePressed(), Kind::Done);
    EXPECT_EQ(panel->message(), "Calibration finished");
}

TEST_F(PanelTest, CalibrateWithTheWordInstrumentSaysWhatIsSupported) {
    panel->listChosen("Instrument");
    EXPECT_EQ(panel->calibratePressed(), Kind::Refused);
    EXPECT_EQ(dialogs.messages(), QStringList{"No Instrument found - CE-7000 or CE-2180 only"});
    EXPECT_EQ(dialogs.shown().front().icon, Dialogs::Icon::Critical);
}

TEST_F(PanelTest, ImportGoodBadAndCancelled) {
    panel->listChosen("Import");
    const QString good = QDir(dir.path()).filePath("good.txt");
    QByteArray body = "sample A\r\n";
    for (int i = 0; i < 40; ++i)
        body += "25" + QByteArray(i < 39 ? "," : "\r\n");
    writeFile(good, body);
    dialogs.queueReply(good);
    ASSERT_EQ(panel->measurePressed(), Kind::Done);
    EXPECT_EQ(panel->importedLabel(), good + " sample A");
    EXPECT_EQ(wb->text(Field::Y), "25.00");

    const auto before = fields();
    const QString bad = QDir(dir.path()).filePath("bad.txt");
    writeFile(bad, body.replace(",25\r\n", "\r\n")); // 39 values
    dialogs.clear();
    dialogs.queueReply(bad);
    EXPECT_EQ(panel->measurePressed(), Kind::Refused);
    EXPECT_EQ(dialogs.messages(),
              QStringList{"file import format error\r\nFORMAT\r\nTAG\r\n%R360, ...,%R750"});
    EXPECT_EQ(panel->importedLabel(), good + " sample A");
    EXPECT_EQ(fields(), before);

    dialogs.clear();
    EXPECT_EQ(panel->measurePressed(), Kind::Stopped); // dialog cancelled
    EXPECT_TRUE(dialogs.messages().isEmpty());
    dialogs.queueReply(QDir(dir.path()).filePath("none.txt"));
    EXPECT_EQ(panel->measurePressed(), Kind::Refused);
    EXPECT_EQ(dialogs.messages(), QStringList{"File not found"});
    EXPECT_EQ(fields(), before);
}

TEST_F(PanelTest, SpectrolinoAfterAFlatImportZeroesTheEndsItDoesNotMeasure) {
    panel->listChosen("Import");
    const QString flat = QDir(dir.path()).filePath("flat.txt");
    writeFile(flat, "flat\n" + QByteArray("50,").repeated(39) + "50\n");
    dialogs.queueReply(flat);
    ASSERT_EQ(panel->measurePressed(), Kind::Done);
    ASSERT_EQ(wb->reflectance()[0], 50.0f);
    simSetting = "spectrolino";
    panel->listChosen("Spectrolino");
    ASSERT_EQ(panel->measurePressed(), Kind::Done) << panel->message().toStdString();
    for (int i : {0, 1, 38, 39})
        EXPECT_EQ(wb->reflectance()[static_cast<std::size_t>(i)], 0.0f) << i;
    EXPECT_NEAR(wb->reflectance()[2], simulatorSample()[2], 0.006);
    EXPECT_EQ(core->opens, 1);
    EXPECT_EQ(core->closes, 1);
}

} // namespace
} // namespace zul::instruments
