// zul-instsim PROTOCOL [--pty] [--fault F]...: a simulated instrument. With --pty it serves on a
// new pseudo-terminal whose device path is the first line printed, until killed; otherwise it
// talks on standard input and output (for socat).
#include "instruments/clock.h"
#include "instruments/ptyhost.h"
#include "instruments/simulator.h"

#include <QStringList>

#include <deque>
#include <iostream>

#include <csignal>
#include <poll.h>
#include <unistd.h>

using namespace zul::instruments;

namespace {

volatile std::sig_atomic_t g_stop = 0;

int usage(const std::string& message) {
    std::cerr << "zul-instsim: " << message << "\n"
              << "usage: zul-instsim PROTOCOL [--pty] [--fault F]...\n"
              << "  PROTOCOL: " << simulatorProtocols().join(", ").toStdString() << "\n"
              << "  F: " << faultNames().toStdString() << "\n";
    return 2;
}

// Standard input and output as the serial line.
int serveStdio(SimulatorCore& core) {
    SteadyClock clock;
    std::deque<SimOutput> queue;
    bool inputOpen = true;
    while (!g_stop) {
        pollfd p{0, POLLIN, 0};
        ::poll(&p, inputOpen ? 1 : 0, 2);
        if (inputOpen && (p.revents & (POLLIN | POLLHUP))) {
            char buf[4096];
            const ssize_t n = ::read(0, buf, sizeof buf);
            if (n <= 0)
                inputOpen = false;
            else
                for (SimOutput& o : core.receive(QByteArray(buf, n), clock.nowMs()))
                    queue.push_back(std::move(o));
        }
        while (!queue.empty() && queue.front().atMs <= clock.nowMs()) {
            const QByteArray& b = queue.front().bytes;
            if (!b.isEmpty() && ::write(1, b.constData(), static_cast<size_t>(b.size())) < 0)
                return 1;
            if (queue.front().hangUp) return 0;
            queue.pop_front();
        }
        if (!inputOpen && queue.empty()) return 0;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QStringList faults;
    QString protocol;
    bool pty = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--pty")
            pty = true;
        else if (a == "--fault" && i + 1 < argc)
            faults << QString::fromLocal8Bit(argv[++i]);
        else if (a == "-h" || a == "--help")
            return usage("a simulated instrument"), 0;
        else if (!a.empty() && a[0] != '-' && protocol.isEmpty())
            protocol = QString::fromLocal8Bit(argv[i]);
        else
            return usage("unknown argument \"" + a + "\"");
    }
    if (protocol.isEmpty()) return usage("PROTOCOL is required");
    QString error;
    const auto parsed = parseFaults(faults, error);
    if (!parsed) return usage(error.toStdString());
    std::shared_ptr<SimulatorCore> core = makeSimulator(protocol, *parsed);
    if (!core) return usage("unknown protocol \"" + protocol.toStdString() + "\"");
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    std::signal(SIGINT, [](int) { g_stop = 1; });
    std::signal(SIGPIPE, SIG_IGN);
    if (!pty) return serveStdio(*core);

    PtyHost host(core);
    if (!host.ok()) {
        std::cerr << "zul-instsim: no pseudo-terminal could be opened\n";
        return 1;
    }
    std::cout << host.devicePath().toStdString() << std::endl;
    while (!g_stop)
        ::usleep(50000);
    host.stop();
    std::cerr << "zul-instsim: received " << core->received().size() << " bytes, " << core->opens
              << " opens, " << core->closes << " closes\n";
    return 0;
}
