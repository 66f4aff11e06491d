#pragma once
// Serves a simulated instrument on a pseudo-terminal, so the real serial port code talks to it:
// the program opens the slave device (devicePath()) as it would a serial port. A thread moves the
// bytes and keeps the simulator's time; opens and closes of the slave are seen through the master
// (hung up while nobody has the slave open) and counted in the core.
#include "instruments/clock.h"
#include "instruments/simulator.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace zul::instruments {

class PtyHost {
public:
    // `scale` as for SteadyClock: replies come `scale` times sooner than the simulator says.
    explicit PtyHost(std::shared_ptr<SimulatorCore> core, double scale = 1.0);
    ~PtyHost();
    PtyHost(const PtyHost&) = delete;
    PtyHost& operator=(const PtyHost&) = delete;

    bool ok() const { return m_master >= 0; }
    QString devicePath() const { return m_path; }
    // Stops serving; the core may then be read without racing the thread.
    void stop();
    // Runs `f` on the core under the host's lock.
    template <typename F> auto withCore(F f) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return f(*m_core);
    }
    // True once the program has opened and then closed the slave again (or never opened it).
    bool slaveClosed();

private:
    void run();

    std::shared_ptr<SimulatorCore> m_core;
    SteadyClock m_clock;
    int m_master = -1;
    QString m_path;
    std::mutex m_mutex;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_slaveOpen{false};
    std::thread m_thread;
};

} // namespace zul::instruments
