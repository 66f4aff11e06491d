#include "instruments/ci.h"

#include "instruments/parsers.h"

namespace zul::instruments {

namespace {

const QString kNotConnected = QStringLiteral("Ci5/Ci7 not connected");

// Failures of this instrument are written into the message field.
Outcome fieldFailure(WaitResult r, InstrumentUi& ui) {
    Outcome o;
    o.kind = r == WaitResult::Stopped   ? Outcome::Kind::Stopped
             : r == WaitResult::TooLong ? Outcome::Kind::Refused
                                        : Outcome::Kind::NoReply;
    o.message = r == WaitResult::Stopped        ? QStringLiteral("Stopped")
                : r == WaitResult::Disconnected ? QStringLiteral("Ci5/Ci7 disconnected")
                : r == WaitResult::TooLong
                    ? QStringLiteral("Ci5/Ci7: reply longer than 64 KiB refused")
                    : kNotConnected;
    ui.status(o.message);
    return o;
}

WaitResult command(Session& s, const QByteArray& text, int limitMs, QByteArray& reply) {
    if (!s.send(text + '\r')) return WaitResult::Disconnected;
    return s.waitForEnding('>', limitMs, reply);
}

// "R" until a reply begins with "i" (either case) and ends with ">", at most kCiWakeAttempts.
WaitResult wake(Session& s, InstrumentUi& ui) {
    for (int attempt = 1; attempt <= kCiWakeAttempts; ++attempt) {
        QByteArray reply;
        const WaitResult r = command(s, "R", kCiShortLimitMs, reply);
        if (r != WaitResult::Ok && r != WaitResult::TimedOut) return r;
        s.yield();
        if (s.stopRequested()) return WaitResult::Stopped;
        if (r == WaitResult::Ok && reply.size() > 0 && (reply[0] == 'i' || reply[0] == 'I'))
            return WaitResult::Ok;
        s.note(QStringLiteral("wake-up attempt %1 of %2 failed").arg(attempt).arg(kCiWakeAttempts));
        ui.status(kNotConnected);
    }
    return WaitResult::TimedOut;
}

QString shown(const QByteArray& reply) {
    return QString::fromLatin1(reply).trimmed();
}

} // namespace

Outcome CiProtocol::calibrate(Session& s, InstrumentUi& ui) {
    if (const WaitResult r = wake(s, ui); r != WaitResult::Ok) return fieldFailure(r, ui);
    QByteArray reply;
    if (const WaitResult r = command(s, "config -mode=sce", kCiShortLimitMs, reply);
        r != WaitResult::Ok)
        return fieldFailure(r, ui);
    s.yield();
    const struct {
        const char* instruction;
        const char* title;
        const char* command;
    } steps[] = {
        {"Place the instrument on the white ceramic, then Ok", "White Ceramic Calibration",
         "whitecal"},
        {"Place the instrument on the black trap, then Ok", "Black Trap Calibration", "blackcal"}};
    for (const auto& step : steps) {
        if (!stepAgreed(ui, step.instruction, step.title, InstrumentUi::Buttons::OkCancel))
            return calibrationCancelled();
        const WaitResult r = command(s, step.command, kCiLongLimitMs, reply);
        if (r == WaitResult::Stopped || r == WaitResult::Disconnected || r == WaitResult::TooLong)
            return fieldFailure(r, ui);
        // A step without its prompt says so rather than showing a part reply as the answer.
        ui.status(r == WaitResult::Ok ? shown(reply)
                                      : QStringLiteral("%1: no reply").arg(step.command));
    }
    return {};
}

Outcome CiProtocol::measure(Session& s, InstrumentUi& ui) {
    if (const WaitResult r = wake(s, ui); r != WaitResult::Ok) return fieldFailure(r, ui);
    QByteArray reply;
    if (!m_configured) {
        if (const WaitResult r = command(s, "config -mode=sce", kCiShortLimitMs, reply);
            r != WaitResult::Ok)
            return fieldFailure(r, ui);
        m_configured = true;
    }
    s.yield();
    if (const WaitResult r = command(s, "measure", kCiLongLimitMs, reply); r != WaitResult::Ok)
        return fieldFailure(r, ui);
    const SpectrumReading reading = parseCiReply(reply);
    if (!reading.ok) {
        Outcome o;
        o.kind = Outcome::Kind::Refused;
        o.message = QStringLiteral("Bad data from Ci5/Ci7: %1").arg(reading.error);
        ui.status(o.message);
        return o;
    }
    Outcome o;
    o.values = reading.values;
    return o;
}

} // namespace zul::instruments
