#include "instruments/xth.h"

#include "instruments/parsers.h"

namespace zul::instruments {

namespace {

const QString kXth = QStringLiteral("XTH");

WaitResult command(Session& s, const QByteArray& text, int limitMs, QByteArray& reply) {
    if (!s.send(text + '\r')) return WaitResult::Disconnected;
    return s.waitForEnding('>', limitMs, reply);
}

// "R" until the reply begins with an upper-case "X"; `sleeping` in the message field after each
// failed attempt, at most kXthWakeAttempts.
Outcome wake(Session& s, InstrumentUi& ui, const QString& sleeping, bool& awake) {
    awake = false;
    for (int attempt = 1; attempt <= kXthWakeAttempts; ++attempt) {
        QByteArray reply;
        const WaitResult r = command(s, "R", kXthWakeLimitMs, reply);
        if (r != WaitResult::Ok && r != WaitResult::TimedOut) return waitFailure(r, kXth, "R", ui);
        if (r == WaitResult::TimedOut) ui.status(sleeping);
        s.yield();
        if (s.stopRequested()) return waitFailure(WaitResult::Stopped, kXth, "R", ui);
        if (r == WaitResult::Ok && reply.startsWith('X')) {
            awake = true;
            return {};
        }
        s.note(
            QStringLiteral("wake-up attempt %1 of %2 failed").arg(attempt).arg(kXthWakeAttempts));
    }
    return waitFailure(WaitResult::TimedOut, kXth, "R", ui, QStringLiteral("XTH not connected"));
}

} // namespace

Outcome XthProtocol::calibrate(Session& s, InstrumentUi& ui) {
    bool awake = false;
    if (Outcome o = wake(s, ui, QStringLiteral("XT Sleeping"), awake); !awake) return o;
    const struct {
        const char* instruction;
        const char* title;
        const char* command;
    } steps[] = {{"Place the instrument on the white standard, then Ok", "White Calibration", "C"},
                 {"Hold the instrument with its port open, away from any surface, then Ok",
                  "Open Port Calibration", "B"}};
    for (const auto& step : steps) {
        if (!stepAgreed(ui, step.instruction, step.title, InstrumentUi::Buttons::OkCancel))
            return calibrationCancelled();
        QByteArray reply;
        const WaitResult r = command(s, step.command, kXthCalibrationLimitMs, reply);
        if (r == WaitResult::Stopped || r == WaitResult::Disconnected || r == WaitResult::TooLong)
            return waitFailure(r, kXth, step.command, ui);
        ui.status(r == WaitResult::Ok ? QString::fromLatin1(reply).trimmed()
                                      : QStringLiteral("%1: no reply").arg(step.command));
    }
    return {};
}

Outcome XthProtocol::measure(Session& s, InstrumentUi& ui) {
    bool awake = false;
    if (Outcome o = wake(s, ui, QStringLiteral("XTH Sleeping"), awake); !awake) return o;
    QByteArray reply;
    // The first byte and the prompt both within 5 s of the command.
    const WaitResult r = command(s, "M 8", kXthMeasureLimitMs, reply);
    if (r != WaitResult::Ok) return waitFailure(r, kXth, "M 8", ui, "error in Measurement");
    if (!statusCalibrated(reply)) return refusal("Instrument Uncalibrated", ui);
    return readingOutcome(parseXthReply(reply), kXth, ui);
}

} // namespace zul::instruments
