#pragma once
// Simulated instruments: one pure core per protocol. Bytes go in with the time they arrived;
// timed bytes come out. A core keeps the instrument's state (awake, calibrated, configured), a
// sample spectrum, the faults it was told to show and a record of every byte it received.
// Hosts (in-process link, pseudo-terminal, zul-instsim) only move bytes and keep time.
#include "colorimetry/tristimulus.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace zul::instruments {

struct SimOutput {
    std::int64_t atMs = 0;
    QByteArray bytes;
    bool hangUp = false; // the instrument goes away after these bytes
};

// Faults, as named on the command line ("silence", "silence-after=2", "byte-delay=50", ...).
struct SimFaults {
    bool silence = false;      // never answers
    int silenceAfter = -1;     // answers the first N commands only
    bool garbage = false;      // line noise instead of replies (wrong baud rate)
    bool shortReply = false;   // the measurement reply stops half-way
    bool fewer = false;        // one value too few in the measurement
    bool nanSlot7 = false;     // "nan" in slot 7
    bool disconnect = false;   // hangs up half-way through the measurement reply
    int byteDelayMs = 0;       // every reply byte on its own, this far apart
    bool uncalibrated = false; // starts uncalibrated
    bool wrongWake = false;    // answers the wake-up with the wrong text
};
// Faults from names; nullopt with `error` for an unknown one.
std::optional<SimFaults> parseFaults(const QStringList& names, QString& error);
// The names parseFaults knows, for help texts.
QString faultNames();

class SimulatorCore {
public:
    explicit SimulatorCore(const SimFaults& faults);
    virtual ~SimulatorCore() = default;

    // Bytes arriving at `nowMs`; what the instrument sends back, with absolute times.
    std::vector<SimOutput> receive(const QByteArray& bytes, std::int64_t nowMs);

    const QByteArray& received() const { return m_received; }
    int commands() const { return m_commands; }
    // Port opens and closes seen by the host.
    int opens = 0;
    int closes = 0;

    bool awake = false;
    bool calibrated = true;
    bool configured = false;
    Reflectance sample;

protected:
    enum class Kind { Wake, Status, Data, Other };
    // Takes complete commands off the front of `input` and answers each through reply().
    virtual void handle(QByteArray& input) = 0;
    // Queues an answer, as the faults make it. `latencyMs` after the command.
    void reply(const QByteArray& bytes, Kind kind, int latencyMs = 5);
    void command() { ++m_commands; }
    // A measurement value as a right-aligned field of `width` with `decimals` decimals; slot 7
    // reads "nan" under that fault.
    QByteArray field(int slot, int width, int decimals, double scale = 1.0) const;
    const SimFaults& faults() const { return m_faults; }

private:
    SimFaults m_faults;
    QByteArray m_input;
    QByteArray m_received;
    std::vector<SimOutput> m_out;
    std::int64_t m_now = 0;
    std::int64_t m_busyUntil = 0; // replies go out one after the other
    int m_commands = 0;
};

// "ce7000", "ce7000a", "ce2180", ...; nullptr for an unknown protocol.
std::unique_ptr<SimulatorCore> makeSimulator(const QString& protocol, const SimFaults& faults);
// "ce7000,silence,byte-delay=20": protocol then faults; nullptr with `error`.
std::unique_ptr<SimulatorCore> makeSimulator(const QString& setting, QString& error);
QStringList simulatorProtocols();

// The sample every simulator measures: a smooth orange-red reflectance curve in percent.
Reflectance simulatorSample();

} // namespace zul::instruments
