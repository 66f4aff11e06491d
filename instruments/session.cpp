#include "instruments/session.h"

#include <algorithm>
#include <cmath>

namespace zul::instruments {

Session::Session(SerialLink& link, Clock& clock, ProtocolLog& log, std::function<void()> pump,
                 const bool* stop)
    : m_link(link), m_clock(clock), m_log(log), m_pump(std::move(pump)), m_stop(stop) {}

Session::~Session() {
    close();
}

bool Session::open(const PortSetup& setup, QString& error) {
    m_log.start(m_clock.nowMs());
    m_log.note(m_clock.nowMs(),
               QStringLiteral("open %1 %2%3%4")
                   .arg(m_link.deviceName(), setup.settings,
                        setup.handshaking == Handshaking::Rts ? QStringLiteral(" RTS handshake")
                                                              : QString(),
                        setup.rts ? QStringLiteral(" RTS on") : QString()));
    const bool ok = m_link.open(setup, error);
    for (const QString& w : m_link.takeWarnings())
        m_log.note(m_clock.nowMs(), w);
    if (!ok) m_log.note(m_clock.nowMs(), error);
    m_pending.clear();
    return ok;
}

void Session::close() {
    if (!m_link.isOpen()) return;
    m_link.close();
    m_log.note(m_clock.nowMs(), QStringLiteral("close"));
}

void Session::yield() {
    if (m_pump) m_pump();
}

void Session::pull() {
    const QByteArray got = m_link.readAll();
    if (got.isEmpty()) return;
    m_log.received(m_clock.nowMs(), got);
    m_pending += got;
}

bool Session::send(const QByteArray& bytes) {
    pull();
    if (!m_pending.isEmpty()) {
        m_log.note(m_clock.nowMs(), QStringLiteral("dropped %1 stale bytes").arg(m_pending.size()));
        m_pending.clear();
    }
    m_log.sent(m_clock.nowMs(), bytes);
    return m_link.write(bytes);
}

WaitResult Session::waitFor(int limitMs, const std::function<qsizetype(const QByteArray&)>& done,
                            QByteArray& reply) {
    reply.clear();
    const std::int64_t start = m_clock.nowMs();
    for (;;) {
        pull();
        const std::int64_t elapsed = m_clock.nowMs() - start;
        if (const qsizetype n = done(m_pending); n > 0) {
            // A reply complete only after the limit came too late.
            if (elapsed > limitMs) break;
            reply = m_pending.left(n);
            m_pending.remove(0, n);
            return WaitResult::Ok;
        }
        if (m_pending.size() > kMaxReply) {
            m_log.note(m_clock.nowMs(), QStringLiteral("reply longer than 64 KiB refused"));
            reply = m_pending;
            return WaitResult::TooLong;
        }
        if (m_link.disconnected() || !m_link.isOpen()) {
            m_log.note(m_clock.nowMs(), QStringLiteral("disconnected"));
            reply = m_pending;
            return WaitResult::Disconnected;
        }
        if (elapsed > limitMs) break;
        // One step past the limit at most, in real milliseconds.
        const double remaining = static_cast<double>(limitMs - elapsed + 1) / m_clock.scale();
        m_link.waitForReadyRead(std::clamp(static_cast<int>(std::ceil(remaining)), 1, kBlockMs));
        yield();
        if (stopRequested()) {
            m_log.note(m_clock.nowMs(), QStringLiteral("stopped"));
            reply = m_pending;
            return WaitResult::Stopped;
        }
    }
    m_log.note(m_clock.nowMs(),
               QStringLiteral("no complete reply within %1 s").arg(limitMs / 1000.0));
    reply = m_pending;
    return WaitResult::TimedOut;
}

WaitResult Session::waitForEnding(char ending, int limitMs, QByteArray& reply) {
    return waitFor(
        limitMs,
        [ending](const QByteArray& b) -> qsizetype {
            const qsizetype at = b.indexOf(ending);
            return at < 0 ? 0 : at + 1;
        },
        reply);
}

WaitResult Session::waitForCount(int count, int limitMs, QByteArray& reply) {
    return waitFor(
        limitMs,
        [count](const QByteArray& b) -> qsizetype { return b.size() >= count ? count : 0; }, reply);
}

} // namespace zul::instruments
