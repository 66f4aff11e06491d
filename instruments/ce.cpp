#include "instruments/ce.h"

#include "instruments/parsers.h"

namespace zul::instruments {

namespace {

using Answer = InstrumentUi::Answer;
using Buttons = InstrumentUi::Buttons;

const QString kCe7000 = QStringLiteral("CE-7000");
const QString kCe2180 = QStringLiteral("CE-2180");
// The calibration steps say what to do; their titles are the step names.
const QString kWhiteStep = QStringLiteral("Place the instrument on the white standard, then Yes");
const QString kOpenPortStep =
    QStringLiteral("Hold the instrument with its port open, away from any surface, then Yes");

// Sends `command` and takes exactly `count` bytes; false with `failure` set otherwise.
bool exchangeCount(Session& s, const QByteArray& command, int count, const QString& what,
                   InstrumentUi& ui, QByteArray& reply, Outcome& failure) {
    if (!s.send(command)) {
        failure = waitFailure(WaitResult::Disconnected, what, {}, ui);
        return false;
    }
    const WaitResult r = s.waitForCount(count, kDefaultLimitMs, reply);
    if (r == WaitResult::Ok) return true;
    failure = waitFailure(r, what, QString::fromLatin1(command.trimmed()), ui);
    return false;
}

bool wake(Session& s, const QByteArray& command, char ending, const QString& what, InstrumentUi& ui,
          Outcome& failure) {
    QByteArray reply;
    const WaitResult r =
        s.send(command) ? s.waitForEnding(ending, kWakeLimitMs, reply) : WaitResult::Disconnected;
    if (r == WaitResult::Ok) return true;
    failure = waitFailure(r, what, QString::fromLatin1(command), ui,
                          QStringLiteral("%1 not connected").arg(what));
    return false;
}

} // namespace

Outcome Ce7000Protocol::calibrate(Session& s, InstrumentUi& ui) {
    Outcome failure;
    if (!wake(s, "R", '>', kCe7000, ui, failure)) return failure;
    if (!stepAgreed(ui, kOpenPortStep, QStringLiteral("Open Port"))) return calibrationCancelled();
    QByteArray reply;
    if (!exchangeCount(s, "I\r", 19, kCe7000, ui, reply, failure)) return failure;
    if (!stepAgreed(ui, kWhiteStep, QStringLiteral("White Standard")))
        return calibrationCancelled();
    if (!exchangeCount(s, "C\r", 19, kCe7000, ui, reply, failure)) return failure;
    return {};
}

Outcome Ce7000Protocol::measure(Session& s, InstrumentUi& ui) {
    Outcome failure;
    if (!wake(s, "R", '>', kCe7000, ui, failure)) return failure;
    QByteArray status;
    if (!exchangeCount(s, "M\r", 19, kCe7000, ui, status, failure)) return failure;
    if (!statusCalibrated(status)) return refusal("Calibrate Instrument", ui);
    QByteArray rest;
    const WaitResult r = s.waitForCount(kCe7000ReplyLength - 19, kDefaultLimitMs, rest);
    if (r != WaitResult::Ok) return waitFailure(r, kCe7000, "M", ui);
    return readingOutcome(parseCe7000Reply(status + rest), kCe7000, ui);
}

Outcome Ce2180Protocol::calibrate(Session& s, InstrumentUi& ui) {
    Outcome failure;
    if (!wake(s, "v", '\n', kCe2180, ui, failure)) return failure;
    QByteArray reply;
    if (!exchangeCount(s, "K", kCe2180StatusLength, kCe2180, ui, reply, failure)) return failure;
    if (!stepAgreed(ui, kWhiteStep, QStringLiteral("White Standard")))
        return calibrationCancelled();
    if (!exchangeCount(s, "C", kCe2180StatusLength, kCe2180, ui, reply, failure)) return failure;
    if (!stepAgreed(ui, kOpenPortStep, QStringLiteral("Open Port"))) return calibrationCancelled();
    if (!exchangeCount(s, "B", kCe2180StatusLength, kCe2180, ui, reply, failure)) return failure;
    return {};
}

Outcome Ce2180Protocol::measure(Session& s, InstrumentUi& ui) {
    Outcome failure;
    if (!wake(s, "v", '\n', kCe2180, ui, failure)) return failure;
    QByteArray status;
    if (!exchangeCount(s, "M", kCe2180StatusLength, kCe2180, ui, status, failure)) return failure;
    if (!statusCalibrated(status)) return refusal("Calibrate Instrument", ui);
    // The data may have come with the status; what the status read left over is kept.
    QByteArray data;
    const WaitResult r = s.waitForCount(kCe2180DataLength, kDefaultLimitMs, data);
    if (r != WaitResult::Ok) return waitFailure(r, kCe2180, "M", ui);
    return readingOutcome(parseCe2180Data(data), kCe2180, ui);
}

} // namespace zul::instruments
