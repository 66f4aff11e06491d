#pragma once
// One exchange with an instrument: the port opened with the instrument's setup and closed when the
// session ends, whatever the path; commands out; replies in through bounded waits. A wait blocks
// on the port at most 20 ms at a time, then lets the window run its events, so the window never
// freezes and Stop is honoured within one such step.
#include "instruments/clock.h"
#include "instruments/protocollog.h"
#include "instruments/seriallink.h"

#include <QByteArray>

#include <cstdint>
#include <functional>

namespace zul::instruments {

enum class WaitResult { Ok, TimedOut, Stopped, Disconnected, TooLong };

inline constexpr int kBlockMs = 20;           // longest block on the port between event runs
inline constexpr int kMaxReply = 64 * 1024;   // a reply longer than this is refused
inline constexpr int kDefaultLimitMs = 10000; // waits the instruments' rules leave unbounded

class Session {
public:
    // `pump` runs pending window events (may be empty); `stop` is read after every pump.
    Session(SerialLink& link, Clock& clock, ProtocolLog& log, std::function<void()> pump = {},
            const bool* stop = nullptr);
    ~Session(); // closes the port
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool open(const PortSetup& setup, QString& error);
    void close();

    // Drops whatever arrived before (logged as stale) and sends `bytes`.
    bool send(const QByteArray& bytes);
    // Reply through the first `ending` byte; bytes after it stay for the next read.
    WaitResult waitForEnding(char ending, int limitMs, QByteArray& reply);
    // Exactly `count` bytes; surplus stays for the next read of the same reply.
    WaitResult waitForCount(int count, int limitMs, QByteArray& reply);

    std::int64_t now() { return m_clock.nowMs(); }
    ProtocolLog& log() { return m_log; }
    void note(const QString& text) { m_log.note(m_clock.nowMs(), text); }
    bool stopRequested() const { return m_stop && *m_stop; }
    // Runs the window's events once (the exchanges' "yield once").
    void yield();

private:
    // Waits until `done(m_pending)` gives the length of a complete reply (>0).
    WaitResult waitFor(int limitMs, const std::function<qsizetype(const QByteArray&)>& done,
                       QByteArray& reply);
    void pull();

    SerialLink& m_link;
    Clock& m_clock;
    ProtocolLog& m_log;
    std::function<void()> m_pump;
    const bool* m_stop;
    QByteArray m_pending;
};

} // namespace zul::instruments
