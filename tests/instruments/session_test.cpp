// Protocols against simulated instruments on an in-process link with a manual clock: every limit
// exact, and each fault refused with its message, the port closed on every path.
#include "instruments/ce.h"
#include "instruments/parsers.h"
#include "instruments/simlink.h"
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
        if (ok) EXPECT_EQ(reply, QByteArray("abc>"));
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

struct FaultCase {
    const char* instrument;
    const char* faults;
    Kind kind;
    const char* message;  // shown in a box; empty for none
    const char* received; // exactly what the instrument got
};

class FaultMatrix : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultMatrix, MeasureOutcome) {
    const FaultCase& c = GetParam();
    QString error;
    std::shared_ptr<SimulatorCore> core =
        makeSimulator(QString(c.instrument).toLower() + "," + c.faults, error);
    ASSERT_TRUE(core) << error.toStdString();
    Rig rig(core);
    ScriptedUi ui;
    auto protocol = makeProtocol(c.instrument);
    const Outcome o = runExchange(*protocol, false, rig.link, rig.clock, ui, rig.log);
    EXPECT_EQ(o.kind, c.kind) << rig.log.lines().join('\n').toStdString();
    if (*c.message)
        EXPECT_EQ(ui.messages, QStringList{c.message});
    else
        EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
    if (o.kind == Kind::Done) {
        EXPECT_EQ(o.values, simulatorSample());
    }
    EXPECT_EQ(core->received(), QByteArray(c.received));
    EXPECT_EQ(core->opens, 1);
    EXPECT_EQ(core->closes, 1);
    EXPECT_FALSE(rig.link.isOpen());
    // Every wait is bounded: nothing takes longer than the wake-up and one 10 s wait.
    EXPECT_LE(rig.clock.nowMs(), 5000 + 10000 + 2 * kBlockMs);
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

TEST(Calibrate, Ce7000AsksOpenPortThenWhite) {
    QString error;
    Rig rig(makeSimulator("ce7000,uncalibrated", error));
    ScriptedUi ui;
    ui.answers["Open Port"] = InstrumentUi::Answer::Yes;
    ui.answers["White Standard"] = InstrumentUi::Answer::Yes;
    Ce7000Protocol p;
    EXPECT_EQ(runExchange(p, true, rig.link, rig.clock, ui, rig.log).kind, Kind::Done);
    EXPECT_EQ(ui.questions, (QStringList{"Open Port", "White Standard"}));
    EXPECT_EQ(rig.core->received(), QByteArray("RI\rC\r"));
    EXPECT_TRUE(rig.core->calibrated);
    EXPECT_EQ(rig.core->closes, 1);
}

TEST(Calibrate, Ce2180CancelAtWhiteSendsNothingMore) {
    QString error;
    Rig rig(makeSimulator("ce2180", error));
    ScriptedUi ui; // every question answered Cancel
    Ce2180Protocol p;
    EXPECT_EQ(runExchange(p, true, rig.link, rig.clock, ui, rig.log).kind, Kind::Done);
    EXPECT_EQ(ui.questions, QStringList{"White Standard"});
    EXPECT_EQ(rig.core->received(), QByteArray("vK"));
    EXPECT_EQ(rig.core->closes, 1);

    Rig again(makeSimulator("ce2180", error));
    ui.answers["White Standard"] = InstrumentUi::Answer::No;
    ui.answers["Open Port"] = InstrumentUi::Answer::Yes;
    EXPECT_EQ(runExchange(p, true, again.link, again.clock, ui, again.log).kind, Kind::Done);
    EXPECT_EQ(again.core->received(), QByteArray("vKB"));
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
