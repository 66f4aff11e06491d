#include "instruments/spectrolino.h"

#include "instruments/parsers.h"

namespace zul::instruments {

QByteArray spectrolinoCommand(const QByteArray& command) {
    return QByteArray(kSpectrolinoFiller, '\xFF') + command + "\r\n";
}

Outcome SpectrolinoProtocol::calibrateWithoutPort(InstrumentUi& ui) {
    ui.message("Follow users manual for Calibration of Spectrolino / SpectroEye");
    return {};
}

namespace {

// The reply through CR LF.
WaitResult request(Session& s, const QByteArray& command, QByteArray& reply) {
    if (!s.send(spectrolinoCommand(command))) return WaitResult::Disconnected;
    QByteArray part;
    reply.clear();
    for (;;) {
        const WaitResult r = s.waitForEnding('\n', kSpectrolinoLimitMs, part);
        reply += part;
        if (r != WaitResult::Ok || reply.endsWith("\r\n")) return r;
    }
}

} // namespace

Outcome SpectrolinoProtocol::measure(Session& s, InstrumentUi& ui) {
    const QString what = QStringLiteral("SpectroEye");
    QByteArray first;
    if (const WaitResult r = request(s, "; 32", first); r != WaitResult::Ok)
        return waitFailure(r, what, "; 32", ui,
                           "SpectroEye not responding - Settings serial 9600 handshake=No");
    ui.status(QString::fromLatin1(first).trimmed());
    QByteArray data;
    const QString notReturned = QStringLiteral("SpectroEye data not returned - message=");
    if (const WaitResult r = request(s, "; 184 9 0", data); r != WaitResult::Ok)
        return waitFailure(r, what, "; 184 9 0", ui, notReturned + QString::fromLatin1(data));
    const SpectrumReading reading = parseSpectrolinoReply(data);
    if (!reading.ok) {
        s.note(reading.error);
        return refusal(notReturned + QString::fromLatin1(data), ui);
    }
    Outcome o;
    o.values = reading.values;
    return o;
}

} // namespace zul::instruments
