#pragma once
// Monotonic time for the instrument waits. Protocols read time only through a Clock, so tests run
// a five-second limit in microseconds with a ManualClock, and pty tests run scaled time.
#include <chrono>
#include <cstdint>

namespace zul::instruments {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary fixed point; never goes backwards (no midnight wrap).
    virtual std::int64_t nowMs() = 0;
    // How many clock milliseconds pass in one real millisecond (1 for real time).
    virtual double scale() const { return 1.0; }
};

// The steady clock, optionally running `scale` times faster than real time.
class SteadyClock : public Clock {
public:
    explicit SteadyClock(double scale = 1.0)
        : m_scale(scale), m_start(std::chrono::steady_clock::now()) {}
    std::int64_t nowMs() override {
        const auto real = std::chrono::steady_clock::now() - m_start;
        return static_cast<std::int64_t>(std::chrono::duration<double, std::milli>(real).count() *
                                         m_scale);
    }
    double scale() const override { return m_scale; }

private:
    double m_scale;
    std::chrono::steady_clock::time_point m_start;
};

// Time that moves only when told to.
class ManualClock : public Clock {
public:
    std::int64_t nowMs() override { return m_now; }
    void advance(std::int64_t ms) { m_now += ms; }
    void set(std::int64_t ms) { m_now = ms; }

private:
    std::int64_t m_now = 0;
};

} // namespace zul::instruments
