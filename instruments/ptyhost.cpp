#include "instruments/ptyhost.h"

#include <deque>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace zul::instruments {

PtyHost::PtyHost(std::shared_ptr<SimulatorCore> core, double scale)
    : m_core(std::move(core)), m_clock(scale) {
    int slave = -1;
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&m_master, &slave, name, &raw, nullptr) != 0) {
        m_master = -1;
        return;
    }
    m_path = QString::fromLocal8Bit(name);
    // Only the program holds the slave open, so the master sees its opens and closes.
    ::close(slave);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_thread = std::thread([this] { run(); });
}

PtyHost::~PtyHost() {
    stop();
    if (m_master >= 0) ::close(m_master);
}

void PtyHost::stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

bool PtyHost::slaveClosed() {
    return !m_slaveOpen;
}

void PtyHost::run() {
    std::deque<SimOutput> queue;
    bool open = false;
    bool hungUp = false;
    while (!m_stop && !hungUp) {
        pollfd p{m_master, POLLIN, 0};
        ::poll(&p, 1, 2);
        const bool nowOpen = !(p.revents & POLLHUP);
        if (nowOpen != open) {
            std::lock_guard<std::mutex> lock(m_mutex);
            open = nowOpen;
            m_slaveOpen = open;
            ++(open ? m_core->opens : m_core->closes);
            if (!open) queue.clear();
        }
        if (p.revents & POLLIN) {
            char buf[4096];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                for (SimOutput& o :
                     m_core->receive(QByteArray(buf, static_cast<qsizetype>(n)), m_clock.nowMs()))
                    queue.push_back(std::move(o));
            }
        }
        if (!open) {
            // Nobody listens: nothing to send, and a hung-up master polls ready at once.
            ::usleep(2000);
            continue;
        }
        const std::int64_t now = m_clock.nowMs();
        while (!queue.empty() && queue.front().atMs <= now) {
            const QByteArray& b = queue.front().bytes;
            if (!b.isEmpty())
                (void)!::write(m_master, b.constData(), static_cast<size_t>(b.size()));
            if (queue.front().hangUp) hungUp = true;
            queue.pop_front();
        }
    }
    if (hungUp) {
        // The instrument is gone: the program's reads fail from now on.
        ::tcdrain(m_master);
        ::usleep(20000);
        ::close(m_master);
        m_master = -1;
        m_slaveOpen = false;
    }
}

} // namespace zul::instruments
