#pragma once
// A simulated instrument behind the SerialLink interface, in the same process: what the window
// uses for ZUL_COMM<n>=sim:..., and what the protocol tests use with a ManualClock (a wait then
// advances the clock to the next reply instead of sleeping).
#include "instruments/clock.h"
#include "instruments/seriallink.h"
#include "instruments/simulator.h"

#include <deque>
#include <memory>

namespace zul::instruments {

class SimLink : public SerialLink {
public:
    SimLink(std::shared_ptr<SimulatorCore> core, Clock& clock, QString name = "sim");
    bool open(const PortSetup& setup, QString& error) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void waitForReadyRead(int ms) override;
    bool disconnected() const override { return m_hungUp; }
    QString deviceName() const override { return m_name; }

    SimulatorCore& core() { return *m_core; }
    const PortSetup& lastSetup() const { return m_setup; }

private:
    std::shared_ptr<SimulatorCore> m_core;
    Clock& m_clock;
    QString m_name;
    bool m_open = false;
    bool m_hungUp = false;
    PortSetup m_setup;
    std::deque<SimOutput> m_queue;
};

// "PROTOCOL[,FAULT...]"; a link whose open fails with the reason when the text is wrong.
std::unique_ptr<SerialLink> makeSimLink(const QString& setting, Clock& clock);

} // namespace zul::instruments
