// Protocols against simulated instruments on an in-process link with a manual clock: every limit
// exact, and each fault refused with its message, the port closed on every path.
#include "instruments/ce.h"
#include "instruments/ci.h"
#include "instruments/parsers.h"
#include "instruments/simlink.h"
#include "instruments/spectrolino.h"
#include "instruments/xth.h"
#include "scriptedui.h"

#include <gtest/gtest.h>

namespace zul::instruments {
namespace {

using testing::ScriptedUi;
using Kind = Outcome::Kind;

// Answers every byte after `delayMs` with `reply`.
class EchoCore : public SimulatorCore {
public:
    EchoCore(int delayMs, QByteArray reply)
        : SimulatorCore(SimFaults{}), m_delay(delayMs), m_reply(std::move(reply)) {}

protected:
    void handle(QByteArray& input) override {
        input.clear();
        command();
        reply(m_reply, Kind::Other, m_delay);
    }

private:
    int m_delay;
    QByteArray m_reply;
};

struct Rig {
    explicit Rig(std::shared_ptr<SimulatorCore> c) : core(std::move(c)), link(core, clock) {}
    // A simulated instrument as a simulator setting names it: "ce7000,uncalibrated".
    explicit Rig(const QString& setting) : Rig(simulated(setting)) {}
    static std::shared_ptr<SimulatorCore> simulated(const QString& setting) {
        QString error;
        std::shared_ptr<SimulatorCore> core = makeSimulator(setting, error);
        EXPECT_TRUE(core) << error.toStdString();
        return core;
    }
    // One measurement, or a calibration, through the rig.
    Outcome run(Protocol& protocol, bool calibrate, InstrumentUi& ui) {
        return runExchange(protocol, calibrate, link, clock, ui, log);
    }
    Session session() { return Session(link, clock, log, {}, &stop); }
    std::shared_ptr<SimulatorCore> core;
    ManualClock clock;
    SimLink link;
    ProtocolLog log;
    bool stop = false;
};

TEST(Session, WaitLimitIsExact) {
    for (auto [delay, ok] : {std::pair{4999, true}, {5000, true}, {5001, false}}) {
        Rig rig(std::make_shared<EchoCore>(delay, "abc>"));
        Session s = rig.session();
        QString error;
        ASSERT_TRUE(s.open({"9600,N,8,1"}, error));
        QByteArray reply;
        ASSERT_TRUE(s.send("R"));
        const WaitResult r = s.waitForEnding('>', 5000, reply);
        EXPECT_EQ(r == WaitResult::Ok, ok) << delay;
        if (ok) {
            EXPECT_EQ(reply, QByteArray("abc>"));
        }
        // No wait runs more than one 20 ms step past its limit.
        EXPECT_LE(rig.clock.nowMs(), ok ? delay : 5000 + kBlockMs + 1);
    }
}

TEST(Session, CountKeepsSurplusAndSendDrainsStale) {
    Rig rig(std::make_shared<EchoCore>(5, "0123456789"));
    Session s = rig.session();
    QString error;
    ASSERT_TRUE(s.open({"9600,N,8,1"}, error));
    QByteArray a, b;
    s.send("x");
    ASSERT_EQ(s.waitForCount(4, 1000, a), WaitResult::Ok);
    ASSERT_EQ(s.waitForCount(6, 1000, b), WaitResult::Ok);
    EXPECT_EQ(a + b, QByteArray("0123456789"));
    s.send("y");
    ASSERT_EQ(s.waitForCount(3, 1000, a), WaitResult::Ok);
    s.send("z"); // the 7 bytes left of the last reply are dropped
    ASSERT_EQ(s.waitForCount(10, 1000, a), WaitResult::Ok);
    EXPECT_EQ(a, QByteArray("0123456789"));
    EXPECT_TRUE(rig.log.lines().join('\n').contains("dropped 7 stale bytes"));
}

TEST(Session, OverlongReplyRefused) {
    Rig rig(std::make_shared<EchoCore>(5, QByteArray(kMaxReply + 10, 'a')));
    Session s = rig.session();
    QString error;
    ASSERT_TRUE(s.open({"9600,N,8,1"}, error));
    QByteArray reply;
    s.send("x");
    EXPECT_EQ(s.waitForEnding('>', 5000, reply), WaitResult::TooLong);
}

TEST(Session, StopEndsTheWaitAtTheNextStep) {
    Rig rig(std::make_shared<EchoCore>(100000, ">"));
    int pumps = 0;
    Session s(
        rig.link, rig.clock, rig.log,
        [&] {
            if (++pumps == 3) rig.stop = true;
        },
        &rig.stop);
    QString error;
    ASSERT_TRUE(s.open({"9600,N,8,1"}, error));
    QByteArray reply;
    s.send("R");
    EXPECT_EQ(s.waitForEnding('>', 5000, reply), WaitResult::Stopped);
    EXPECT_EQ(rig.clock.nowMs(), 3 * kBlockMs);
}

// The simulator's sample as each family reports it: the Spectrolino / SpectroEye measure 380 to
// 730 nm only, as factors, and leave the ends at zero.
void expectSample(const Reflectance& got, const QString& instrument) {
    const Reflectance sample = simulatorSample();
    if (!instrument.startsWith("Spectro")) {
        EXPECT_EQ(got, sample);
        return;
    }
    for (int i : {0, 1, 38, 39})
        EXPECT_EQ(got[static_cast<std::size_t>(i)], 0.0f) << i;
    for (std::size_t i = 2; i < 38; ++i)
        EXPECT_NEAR(got[i], sample[i], 0.006) << i;
}

struct FaultCase {
    const char* instrument;
    const char* faults;
    Kind kind;
    const char* message; // shown in a box; empty for none
    QByteArray received; // exactly what the instrument got
};

class FaultMatrix : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultMatrix, MeasureOutcome) {
    const FaultCase& c = GetParam();
    Rig rig(QString(c.instrument).toLower() + "," + c.faults);
    ASSERT_TRUE(rig.core);
    const std::shared_ptr<SimulatorCore>& core = rig.core;
    ScriptedUi ui;
    auto protocol = makeProtocol(c.instrument);
    const Outcome o = rig.run(*protocol, false, ui);
    EXPECT_EQ(o.kind, c.kind) << rig.log.lines().join('\n').toStdString();
    if (!c.message) { // shown, with the reply in it
        EXPECT_EQ(ui.messages.size(), 1);
    } else if (*c.message) {
        EXPECT_TRUE(ui.messages.size() == 1 && ui.messages[0].startsWith(c.message))
            << ui.messages.join('|').toStdString();
    } else {
        EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
    }
    if (QString(c.instrument) == "Ci5/Ci7" && o.kind != Kind::Done) {
        EXPECT_FALSE(ui.statuses.isEmpty()); // its failures go to the message field
    }
    if (o.kind == Kind::Done) expectSample(o.values, c.instrument);
    EXPECT_EQ(core->received().toHex().toStdString(), c.received.toHex().toStdString());
    EXPECT_EQ(core->opens, 1);
    EXPECT_EQ(core->closes, 1);
    EXPECT_FALSE(rig.link.isOpen());
    // Every wait is bounded: at worst five 2 s wake-ups, a 2 s configuration and a 10 s wait.
    EXPECT_LE(rig.clock.nowMs(), 5 * 2000 + 2000 + 10000 + 8 * kBlockMs);
}

INSTANTIATE_TEST_SUITE_P(
    Ce, FaultMatrix,
    ::testing::Values(
        FaultCase{"CE7000", "", Kind::Done, "", "RM\r"},
        FaultCase{"CE7000A", "byte-delay=3", Kind::Done, "", "RM\r"},
        FaultCase{"CE7000", "silence", Kind::NoReply, "CE-7000 not connected", "R"},
        FaultCase{"CE7000", "silence-after=1", Kind::NoReply, "CE-7000: no reply to \"M\"", "RM\r"},
        FaultCase{"CE7000", "garbage", Kind::NoReply, "CE-7000 not connected", "R"},
        FaultCase{"CE7000", "short", Kind::NoReply, "CE-7000: no reply to \"M\"", "RM\r"},
        FaultCase{"CE7000", "fewer", Kind::NoReply, "CE-7000: no reply to \"M\"", "RM\r"},
        FaultCase{"CE7000", "nan", Kind::Refused,
                  "Bad data from CE-7000: slot 7 (420 nm): \"    nan\" is not a number", "RM\r"},
        FaultCase{"CE7000", "disconnect", Kind::NoReply, "CE-7000 disconnected", "RM\r"},
        FaultCase{"CE7000", "uncalibrated", Kind::Refused, "Calibrate Instrument", "RM\r"},
        FaultCase{"CE2180", "", Kind::Done, "", "vM"},
        FaultCase{"CE2180", "byte-delay=3", Kind::Done, "", "vM"},
        FaultCase{"CE2180", "silence", Kind::NoReply, "CE-2180 not connected", "v"},
        FaultCase{"CE2180", "silence-after=1", Kind::NoReply, "CE-2180: no reply to \"M\"", "vM"},
        FaultCase{"CE2180", "garbage", Kind::NoReply, "CE-2180 not connected", "v"},
        FaultCase{"CE2180", "short", Kind::NoReply, "CE-2180: no reply to \"M\"", "vM"},
        FaultCase{"CE2180", "fewer", Kind::NoReply, "CE-2180: no reply to \"M\"", "vM"},
        FaultCase{"CE2180", "nan", Kind::Refused,
                  "Bad data from CE-2180: slot 7 (420 nm): \"   nan\" is not a number", "vM"},
        FaultCase{"CE2180", "disconnect", Kind::NoReply, "CE-2180 disconnected", "vM"},
        FaultCase{"CE2180", "uncalibrated", Kind::Refused, "Calibrate Instrument", "vM"}));

const char* const kCiBytes = "R\rconfig -mode=sce\rmeasure\r";
const QByteArray kSpectro =
    QByteArray(250, '\xFF') + "; 32\r\n" + QByteArray(250, '\xFF') + "; 184 9 0\r\n";

INSTANTIATE_TEST_SUITE_P(
    Ci, FaultMatrix,
    ::testing::Values(
        FaultCase{"Ci5/Ci7", "", Kind::Done, "", kCiBytes},
        FaultCase{"Ci5/Ci7", "silence", Kind::NoReply, "", "R\rR\rR\r"},
        FaultCase{"Ci5/Ci7", "wrong-wake", Kind::NoReply, "", "R\rR\rR\r"},
        FaultCase{"Ci5/Ci7", "short", Kind::NoReply, "", kCiBytes},
        FaultCase{"Ci5/Ci7", "fewer", Kind::Refused, "", kCiBytes},
        FaultCase{"Ci5/Ci7", "nan", Kind::Refused, "", kCiBytes},
        FaultCase{"Ci5/Ci7", "disconnect", Kind::NoReply, "", kCiBytes},
        FaultCase{"XTH", "", Kind::Done, "", "R\rM 8\r"},
        FaultCase{"XTH", "silence", Kind::NoReply, "XTH not connected", "R\rR\rR\rR\rR\r"},
        FaultCase{"XTH", "wrong-wake", Kind::NoReply, "XTH not connected", "R\rR\rR\rR\rR\r"},
        FaultCase{"XTH", "short", Kind::NoReply, "error in Measurement", "R\rM 8\r"},
        FaultCase{"XTH", "nan", Kind::Refused,
                  "Bad data from XTH: slot 7 (420 nm): \"   nan\" is not a number", "R\rM 8\r"},
        FaultCase{"XTH", "disconnect", Kind::NoReply, "XTH disconnected", "R\rM 8\r"},
        FaultCase{"XTH", "uncalibrated", Kind::Refused, "Instrument Uncalibrated", "R\rM 8\r"}));

INSTANTIATE_TEST_SUITE_P(
    Spectro, FaultMatrix,
    ::testing::Values(FaultCase{"Spectrolino", "", Kind::Done, "", kSpectro},
                      FaultCase{"SpectroEye", "wrong-wake", Kind::Done, "", kSpectro},
                      FaultCase{"Spectrolino", "silence", Kind::NoReply,
                                "SpectroEye not responding - Settings serial 9600 handshake=No",
                                kSpectro.left(256)},
                      FaultCase{"SpectroEye", "silence-after=1", Kind::NoReply,
                                "SpectroEye data not returned - message=", kSpectro},
                      FaultCase{"Spectrolino", "fewer", Kind::Refused, nullptr, kSpectro},
                      FaultCase{"Spectrolino", "nan", Kind::Refused, nullptr, kSpectro},
                      FaultCase{"SpectroEye", "short", Kind::NoReply, nullptr, kSpectro},
                      FaultCase{"Spectrolino", "disconnect", Kind::NoReply,
                                "SpectroEye disconnected", kSpectro}));

TEST(Ci, FailuresGoToTheMessageFieldAndConfigurationIsSentAgainAfterOne) {
    CiProtocol ci;
    // Configured on the first run only while nothing fails; again after the refused reading.
    const std::pair<const char*, bool> runs[] = {
        {"ci", true}, {"ci", false}, {"ci,nan", false}, {"ci", true}};
    for (auto [setting, configures] : runs) {
        Rig rig(setting);
        ScriptedUi ui;
        const Outcome o = rig.run(ci, false, ui);
        EXPECT_TRUE(ui.messages.isEmpty()) << setting;
        EXPECT_EQ(rig.core->received().contains("config -mode=sce"), configures) << setting;
        if (o.kind != Kind::Done) {
            EXPECT_EQ(ui.statuses.last().toStdString(),
                      "Bad data from Ci5/Ci7: only 39 values where 40 are needed");
        }
    }
}

TEST(Ci, SilenceShowsNotConnectedBetweenTheThreeAttempts) {
    Rig rig("ci,silence");
    ScriptedUi ui;
    CiProtocol ci;
    EXPECT_EQ(rig.run(ci, false, ui).kind, Kind::NoReply);
    EXPECT_EQ(ui.statuses, QStringList(4, "Ci5/Ci7 not connected"));
    EXPECT_GE(rig.clock.nowMs(), 3 * 2000);
}

// Every step answered: the steps asked in order, the instructions, the bytes sent, and a step
// that times out (XTH's "B") reported in the message field without ending the calibration.
TEST(Calibrate, CiXthAndCe7000Steps) {
    using A = InstrumentUi::Answer;
    const struct {
        const char* instrument;
        const char* sim;
        std::vector<std::pair<const char*, A>> answers;
        int instructionAt; // -1: the instructions are not checked
        const char* instruction;
        const char* lastStatus; // nullptr: not checked
        QByteArray sent;
    } cases[] = {
        {"Ci5/Ci7",
         "ci",
         {{"White Ceramic Calibration", A::Ok}, {"Black Trap Calibration", A::Ok}},
         0,
         "Place the instrument on the white ceramic, then Ok",
         "blackcal OK\r\n>",
         "R\rconfig -mode=sce\rwhitecal\rblackcal\r"},
        {"XTH",
         "xth,silence-after=1",
         {{"White Calibration", A::Ok}, {"Open Port Calibration", A::Ok}},
         -1,
         nullptr,
         "B: no reply",
         "R\rC\rB\r"},
        {"CE7000",
         "ce7000,uncalibrated",
         {{"Open Port", A::Yes}, {"White Standard", A::Yes}},
         1,
         "Place the instrument on the white standard, then Yes",
         nullptr,
         "RI\rC\r"},
    };
    for (const auto& c : cases) {
        Rig rig(c.sim);
        ScriptedUi ui;
        QStringList asked;
        for (const auto& [q, a] : c.answers) {
            ui.answers[q] = a;
            asked << q;
        }
        auto protocol = makeProtocol(c.instrument);
        EXPECT_EQ(rig.run(*protocol, true, ui).kind, Kind::Done) << c.sim;
        EXPECT_EQ(ui.questions, asked) << c.sim;
        if (c.instructionAt >= 0) {
            ASSERT_GT(ui.instructions.size(), c.instructionAt) << c.sim;
            EXPECT_EQ(ui.instructions[c.instructionAt], c.instruction) << c.sim;
        }
        if (c.lastStatus) {
            ASSERT_FALSE(ui.statuses.isEmpty()) << c.sim;
            EXPECT_EQ(ui.statuses.last(), c.lastStatus) << c.sim;
        }
        EXPECT_EQ(rig.core->received(), c.sent) << c.sim;
        if (QString(c.instrument) == "CE7000") { // the instrument holds the calibration
            EXPECT_TRUE(rig.core->calibrated);
            EXPECT_EQ(rig.core->closes, 1);
        }
    }
}

TEST(Calibrate, SpectrolinoIsTheUsersBusiness) {
    Rig rig("spectrolino");
    ScriptedUi ui;
    SpectrolinoProtocol p;
    EXPECT_EQ(rig.run(p, true, ui).kind, Kind::Done);
    EXPECT_EQ(ui.messages,
              QStringList{"Follow users manual for Calibration of Spectrolino / SpectroEye"});
    EXPECT_EQ(rig.core->opens, 0);
}

// Declining any step (No, Cancel or a closed box) ends the calibration there: nothing more is
// sent, and the outcome is not a finished calibration.
TEST(Calibrate, DecliningAnyStepCancels) {
    using A = InstrumentUi::Answer;
    const struct {
        const char* instrument;
        const char* sim;
        std::vector<std::pair<const char*, A>> answers;
        QStringList asked;
        const char* sent;
    } cases[] = {
        {"CE7000", "ce7000,uncalibrated", {}, {"Open Port"}, "R"},
        {"CE7000",
         "ce7000,uncalibrated",
         {{"Open Port", A::Yes}, {"White Standard", A::No}},
         {"Open Port", "White Standard"},
         "RI\r"},
        {"CE2180", "ce2180", {}, {"White Standard"}, "vK"},
        {"CE2180",
         "ce2180",
         {{"White Standard", A::No}, {"Open Port", A::Yes}},
         {"White Standard"},
         "vK"},
        {"CE2180", "ce2180", {{"White Standard", A::Yes}}, {"White Standard", "Open Port"}, "vKC"},
        {"Ci5/Ci7",
         "ci",
         {{"White Ceramic Calibration", A::Ok}},
         {"White Ceramic Calibration", "Black Trap Calibration"},
         "R\rconfig -mode=sce\rwhitecal\r"},
        {"XTH", "xth", {}, {"White Calibration"}, "R\r"},
    };
    for (const auto& c : cases) {
        Rig rig(c.sim);
        ASSERT_TRUE(rig.core);
        ScriptedUi ui;
        for (const auto& [q, a] : c.answers)
            ui.answers[q] = a;
        auto protocol = makeProtocol(c.instrument);
        ASSERT_TRUE(protocol) << c.sim;
        const Outcome o = rig.run(*protocol, true, ui);
        EXPECT_EQ(o.kind, Kind::Cancelled) << c.sim;
        EXPECT_EQ(o.message, "Calibration cancelled");
        EXPECT_EQ(ui.questions, c.asked) << c.sim;
        EXPECT_EQ(rig.core->received(), QByteArray(c.sent)) << c.sim;
        EXPECT_EQ(rig.core->closes, 1) << c.sim;
    }
}

TEST(Calibrate, BadSimulatorNameFailsToOpen) {
    ManualClock clock;
    auto link = linkForDevice("sim:nothing", clock);
    ScriptedUi ui;
    ProtocolLog log;
    Ce7000Protocol p;
    const Outcome o = runExchange(p, false, *link, clock, ui, log);
    EXPECT_EQ(o.kind, Kind::PortNotOpened);
    EXPECT_TRUE(o.message.contains("unknown simulated instrument")) << o.message.toStdString();
}

} // namespace
} // namespace zul::instruments
