#pragma once
// One protocol per instrument family, written against a Session (port, bounded waits) and an
// InstrumentUi (questions, message boxes, the message field). A protocol never touches the
// reflectance array: a measurement returns all 40 values or a refusal, and the caller decides.
#include "colorimetry/tristimulus.h"
#include "instruments/session.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace zul::instruments {

class InstrumentUi {
public:
    enum class Buttons { YesNoCancel, OkCancel };
    enum class Answer { Ok, Cancel, Yes, No };
    virtual ~InstrumentUi() = default;
    virtual void message(const QString& text) = 0; // a box with OK
    virtual Answer ask(const QString& text, const QString& title, Buttons buttons) = 0;
    virtual void status(const QString& text) = 0; // the message field
};

struct Outcome {
    enum class Kind {
        Done,          // measured (values filled) or calibration finished
        Refused,       // the instrument answered, but not with a usable reading
        NoReply,       // not connected, timed out or disconnected
        PortNotOpened, // the port could not be opened
        Stopped,       // the user stopped the exchange
        Cancelled,     // the user declined a calibration step: the calibration did not finish
    };
    Kind kind = Kind::Done;
    QString message;
    Reflectance values{};
};

// One calibration step: `instruction` says what to do and which button goes on; `title` names
// the step. Anything but Yes or Ok (No, Cancel, a closed box) declines it.
bool stepAgreed(InstrumentUi& ui, const QString& instruction, const QString& title,
                InstrumentUi::Buttons buttons = InstrumentUi::Buttons::YesNoCancel);
// The end of a calibration whose step was declined: nothing more goes to the instrument.
Outcome calibrationCancelled();

class Protocol {
public:
    virtual ~Protocol() = default;
    virtual PortSetup setup() const = 0;
    // False where calibration is the user's business (a message, no port).
    virtual bool calibrationUsesPort() const { return true; }
    virtual Outcome calibrateWithoutPort(InstrumentUi&) { return {}; }
    virtual Outcome calibrate(Session& s, InstrumentUi& ui) = 0;
    virtual Outcome measure(Session& s, InstrumentUi& ui) = 0;
    // After a failed or stopped exchange (the instrument may have been power-cycled).
    virtual void exchangeFailed() {}
};

// The serial instruments of the list, in its order (the list itself starts with "Import").
const QStringList& serialInstrumentNames();
// A fresh protocol for a list entry; nullptr for "Import" and for names outside the list.
std::unique_ptr<Protocol> makeProtocol(const QString& name);

// Opens the port, runs calibration or measurement, closes the port on every path. Messages of
// the outcome have been shown through `ui` when this returns.
Outcome runExchange(Protocol& protocol, bool calibrate, SerialLink& link, Clock& clock,
                    InstrumentUi& ui, ProtocolLog& log, std::function<void()> pump = {},
                    const bool* stop = nullptr);

// Shared by the protocols: the outcome of a failed wait, with its message shown.
// `what` names the instrument as its messages do ("CE-7000"), `step` the command.
Outcome waitFailure(WaitResult r, const QString& what, const QString& step, InstrumentUi& ui,
                    const QString& timeoutMessage = QString());

// A refusal with its message shown in a box.
Outcome refusal(const QString& text, InstrumentUi& ui);
// Filler 0xFF bytes and the like are built by the protocols; this is the common end of a parse:
// the values, or a refusal naming the slot ("Bad data from CE-7000: slot 7 ...").
struct SpectrumReading;
Outcome readingOutcome(const SpectrumReading& r, const QString& what, InstrumentUi& ui);

} // namespace zul::instruments
