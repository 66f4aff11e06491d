// Each protocol through the real QSerialPort on a pseudo-terminal, against the simulator, in
// scaled time: success, silence and a disconnect, with the exact bytes the instrument received
// and the port closed afterwards.
#include "instruments/ce.h"
#include "instruments/ptyhost.h"
#include "instruments/qtseriallink.h"
#include "scriptedui.h"

#include <QThread>

#include <gtest/gtest.h>

namespace zul::instruments {
namespace {

using Kind = Outcome::Kind;
constexpr double kScale = 10.0; // a 5 s limit passes in 0.5 s

struct PtyCase {
    const char* instrument;
    const char* faults;
    Kind kind;
    QByteArray received;
};

class Pty : public ::testing::TestWithParam<PtyCase> {};

TEST_P(Pty, ThroughQSerialPort) {
    const PtyCase& c = GetParam();
    QString error;
    std::shared_ptr<SimulatorCore> core =
        makeSimulator(QString(c.instrument).toLower() + "," + c.faults, error);
    ASSERT_TRUE(core);
    PtyHost host(core, kScale);
    ASSERT_TRUE(host.ok());
    SteadyClock clock(kScale);
    QtSerialLink link(host.devicePath());
    testing::ScriptedUi ui;
    ProtocolLog log;
    auto protocol = makeProtocol(c.instrument);
    const Outcome o = runExchange(*protocol, false, link, clock, ui, log);
    EXPECT_EQ(o.kind, c.kind) << log.lines().join('\n').toStdString();
    if (c.kind == Kind::Done) {
        if (QString(c.instrument).startsWith("Spectro"))
            EXPECT_NEAR(o.values[10], simulatorSample()[10], 0.006);
        else
            EXPECT_EQ(o.values, simulatorSample());
    }
    if (QString(c.faults) == "disconnect") {
        EXPECT_TRUE(log.lines().join('\n').contains("- disconnected")); // not a time-out
    }
    EXPECT_FALSE(link.isOpen());
    // The host sees the close a moment later.
    for (int i = 0; i < 100 && !host.slaveClosed(); ++i)
        QThread::msleep(5);
    EXPECT_TRUE(host.slaveClosed());
    host.stop();
    EXPECT_EQ(core->received(), c.received);
    EXPECT_EQ(core->opens, 1);
}

INSTANTIATE_TEST_SUITE_P(Ce, Pty,
                         ::testing::Values(PtyCase{"CE7000", "", Kind::Done, "RM\r"},
                                           PtyCase{"CE7000", "silence", Kind::NoReply, "R"},
                                           PtyCase{"CE7000", "disconnect", Kind::NoReply, "RM\r"},
                                           PtyCase{"CE7000A", "", Kind::Done, "RM\r"},
                                           PtyCase{"CE7000A", "silence", Kind::NoReply, "R"},
                                           PtyCase{"CE7000A", "disconnect", Kind::NoReply, "RM\r"},
                                           PtyCase{"CE2180", "", Kind::Done, "vM"},
                                           PtyCase{"CE2180", "silence", Kind::NoReply, "v"},
                                           PtyCase{"CE2180", "disconnect", Kind::NoReply, "vM"}));

const char* const kCi = "R\rconfig -mode=sce\rmeasure\r";
const QByteArray kSpectro =
    QByteArray(250, '\xFF') + "; 32\r\n" + QByteArray(250, '\xFF') + "; 184 9 0\r\n";

INSTANTIATE_TEST_SUITE_P(
    Families, Pty,
    ::testing::Values(PtyCase{"Ci5/Ci7", "", Kind::Done, kCi},
                      PtyCase{"Ci5/Ci7", "silence", Kind::NoReply, "R\rR\rR\r"},
                      PtyCase{"Ci5/Ci7", "wrong-wake", Kind::NoReply, "R\rR\rR\r"},
                      PtyCase{"Ci5/Ci7", "short", Kind::NoReply, kCi},
                      PtyCase{"Ci5/Ci7", "nan", Kind::Refused, kCi},
                      PtyCase{"Ci5/Ci7", "disconnect", Kind::NoReply, kCi},
                      PtyCase{"XTH", "", Kind::Done, "R\rM 8\r"},
                      PtyCase{"XTH", "silence", Kind::NoReply, "R\rR\rR\rR\rR\r"},
                      PtyCase{"XTH", "wrong-wake", Kind::NoReply, "R\rR\rR\rR\rR\r"},
                      PtyCase{"XTH", "short", Kind::NoReply, "R\rM 8\r"},
                      PtyCase{"XTH", "nan", Kind::Refused, "R\rM 8\r"},
                      PtyCase{"XTH", "disconnect", Kind::NoReply, "R\rM 8\r"},
                      PtyCase{"Spectrolino", "", Kind::Done, kSpectro},
                      PtyCase{"Spectrolino", "silence", Kind::NoReply, kSpectro.left(256)},
                      PtyCase{"Spectrolino", "wrong-wake", Kind::Done, kSpectro},
                      PtyCase{"Spectrolino", "short", Kind::NoReply, kSpectro},
                      PtyCase{"Spectrolino", "nan", Kind::Refused, kSpectro},
                      PtyCase{"Spectrolino", "disconnect", Kind::NoReply, kSpectro},
                      PtyCase{"SpectroEye", "", Kind::Done, kSpectro},
                      PtyCase{"SpectroEye", "silence", Kind::NoReply, kSpectro.left(256)},
                      PtyCase{"SpectroEye", "nan", Kind::Refused, kSpectro},
                      PtyCase{"SpectroEye", "disconnect", Kind::NoReply, kSpectro}));

TEST(PtyOpen, MissingDeviceSaysWhichAndLists) {
    QtSerialLink link("/dev/zul-no-such-port");
    QString error;
    EXPECT_FALSE(link.open({"9600,N,8,1"}, error));
    EXPECT_TRUE(error.startsWith("Cannot open /dev/zul-no-such-port: no such device"))
        << error.toStdString();
    EXPECT_TRUE(error.contains("Serial devices") || error.contains("No serial devices"));
}

TEST(PtyOpen, RtsOnAPtyIsAWarning) {
    QString error;
    auto core = makeSimulator("ce7000", error);
    PtyHost host(std::move(core), kScale);
    QtSerialLink link(host.devicePath());
    ASSERT_TRUE(link.open({"9600,n,8,1", Handshaking::None, true}, error)) << error.toStdString();
    const QStringList warnings = link.takeWarnings();
    link.close();
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith("warning: RTS not set")) << warnings[0].toStdString();
}

TEST(PtyOpen, FailureTextNamesTheCause) {
    EXPECT_TRUE(openFailureText("/dev/ttyS0", QSerialPort::PermissionError, "Permission denied", {})
                    .contains("is the user in group dialout?"));
    EXPECT_TRUE(openFailureText("/dev/ttyS0", QSerialPort::PermissionError,
                                "Permission error while locking the device", {"/dev/ttyS0"})
                    .contains("in use by another program. Serial devices present: /dev/ttyS0."));
}

} // namespace
} // namespace zul::instruments
