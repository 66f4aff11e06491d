#include "instruments/simlink.h"

#include <QThread>

#include <algorithm>
#include <cmath>

namespace zul::instruments {

namespace {

// Stands in for a "sim:" device whose text names no simulator: opening says why.
class BadSimLink : public SerialLink {
public:
    BadSimLink(QString name, QString why) : m_name(std::move(name)), m_why(std::move(why)) {}
    bool open(const PortSetup&, QString& error) override {
        error = QStringLiteral("Cannot open %1: %2.").arg(m_name, m_why);
        return false;
    }
    void close() override {}
    bool isOpen() const override { return false; }
    bool write(const QByteArray&) override { return false; }
    QByteArray readAll() override { return {}; }
    void waitForReadyRead(int) override {}
    bool disconnected() const override { return false; }
    QString deviceName() const override { return m_name; }

private:
    QString m_name, m_why;
};

} // namespace

SimLink::SimLink(std::shared_ptr<SimulatorCore> core, Clock& clock, QString name)
    : m_core(std::move(core)), m_clock(clock), m_name(std::move(name)) {}

bool SimLink::open(const PortSetup& setup, QString& error) {
    if (!parseLineSettings(setup.settings)) {
        error = QStringLiteral("Bad line settings \"%1\"").arg(setup.settings);
        return false;
    }
    if (m_hungUp) {
        error = QStringLiteral("Cannot open %1: the simulated instrument has gone.").arg(m_name);
        return false;
    }
    m_setup = setup;
    m_open = true;
    ++m_core->opens;
    return true;
}

void SimLink::close() {
    if (!m_open) return;
    m_open = false;
    ++m_core->closes;
    m_queue.clear();
}

bool SimLink::write(const QByteArray& bytes) {
    if (!m_open || m_hungUp) return false;
    for (SimOutput& o : m_core->receive(bytes, m_clock.nowMs()))
        m_queue.push_back(std::move(o));
    return true;
}

QByteArray SimLink::readAll() {
    QByteArray out;
    const std::int64_t now = m_clock.nowMs();
    while (!m_queue.empty() && m_queue.front().atMs <= now) {
        out += m_queue.front().bytes;
        if (m_queue.front().hangUp) m_hungUp = true;
        m_queue.pop_front();
    }
    return out;
}

void SimLink::waitForReadyRead(int ms) {
    const std::int64_t now = m_clock.nowMs();
    const std::int64_t limit = now + static_cast<std::int64_t>(std::llround(ms * m_clock.scale()));
    const std::int64_t until = m_queue.empty() ? limit : std::min(limit, m_queue.front().atMs);
    if (until <= now) return;
    if (auto* manual = dynamic_cast<ManualClock*>(&m_clock)) {
        manual->set(until);
        return;
    }
    QThread::usleep(static_cast<unsigned long>(
        std::max<double>(0, static_cast<double>(until - now) * 1000.0 / m_clock.scale())));
}

std::unique_ptr<SerialLink> makeSimLink(const QString& setting, Clock& clock) {
    QString error;
    std::shared_ptr<SimulatorCore> core = makeSimulator(setting, error);
    if (!core) return std::make_unique<BadSimLink>("sim:" + setting, error);
    return std::make_unique<SimLink>(std::move(core), clock, "sim:" + setting);
}

} // namespace zul::instruments
