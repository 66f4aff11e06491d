#include "instruments/protocol.h"

#include "instruments/ce.h"
#include "instruments/ci.h"
#include "instruments/parsers.h"
#include "instruments/spectrolino.h"
#include "instruments/xth.h"

namespace zul::instruments {

const QStringList& serialInstrumentNames() {
    static const QStringList names = {"CE7000",  "CE7000A",     "CE2180",    "XTH",
                                      "Ci5/Ci7", "Spectrolino", "SpectroEye"};
    return names;
}

std::unique_ptr<Protocol> makeProtocol(const QString& name) {
    if (name == "CE7000" || name == "CE7000A") return std::make_unique<Ce7000Protocol>();
    if (name == "CE2180") return std::make_unique<Ce2180Protocol>();
    if (name == "Ci5/Ci7") return std::make_unique<CiProtocol>();
    if (name == "Spectrolino" || name == "SpectroEye")
        return std::make_unique<SpectrolinoProtocol>();
    if (name == "XTH") return std::make_unique<XthProtocol>();
    return nullptr;
}

Outcome waitFailure(WaitResult r, const QString& what, const QString& step, InstrumentUi& ui,
                    const QString& timeoutMessage) {
    Outcome o;
    switch (r) {
    case WaitResult::Stopped:
        o.kind = Outcome::Kind::Stopped;
        o.message = QStringLiteral("Stopped");
        ui.status(o.message);
        return o;
    case WaitResult::Disconnected:
        o.kind = Outcome::Kind::NoReply;
        o.message = QStringLiteral("%1 disconnected").arg(what);
        break;
    case WaitResult::TooLong:
        o.kind = Outcome::Kind::Refused;
        o.message = QStringLiteral("%1: reply longer than 64 KiB refused").arg(what);
        break;
    case WaitResult::TimedOut:
    case WaitResult::Ok:
        o.kind = Outcome::Kind::NoReply;
        o.message = timeoutMessage.isEmpty()
                        ? QStringLiteral("%1: no reply to \"%2\"").arg(what, step)
                        : timeoutMessage;
        break;
    }
    ui.message(o.message);
    return o;
}

Outcome refusal(const QString& text, InstrumentUi& ui) {
    Outcome o;
    o.kind = Outcome::Kind::Refused;
    o.message = text;
    ui.message(text);
    return o;
}

Outcome readingOutcome(const SpectrumReading& r, const QString& what, InstrumentUi& ui) {
    if (!r.ok) return refusal(QStringLiteral("Bad data from %1: %2").arg(what, r.error), ui);
    Outcome o;
    o.values = r.values;
    return o;
}

bool stepAgreed(InstrumentUi& ui, const QString& instruction, const QString& title,
                InstrumentUi::Buttons buttons) {
    const InstrumentUi::Answer a = ui.ask(instruction, title, buttons);
    return a == InstrumentUi::Answer::Yes || a == InstrumentUi::Answer::Ok;
}

Outcome calibrationCancelled() {
    return {Outcome::Kind::Cancelled, QStringLiteral("Calibration cancelled"), {}};
}

Outcome runExchange(Protocol& protocol, bool calibrate, SerialLink& link, Clock& clock,
                    InstrumentUi& ui, ProtocolLog& log, std::function<void()> pump,
                    const bool* stop) {
    if (calibrate && !protocol.calibrationUsesPort()) return protocol.calibrateWithoutPort(ui);
    Session session(link, clock, log, std::move(pump), stop); // closes the port on every path
    QString error;
    if (!session.open(protocol.setup(), error)) {
        Outcome o;
        o.kind = Outcome::Kind::PortNotOpened;
        o.message = error;
        ui.message(error);
        return o;
    }
    Outcome o = calibrate ? protocol.calibrate(session, ui) : protocol.measure(session, ui);
    if (o.kind != Outcome::Kind::Done) protocol.exchangeFailed();
    return o;
}

} // namespace zul::instruments
