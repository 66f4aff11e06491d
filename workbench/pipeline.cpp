#include "workbench/pipeline.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace zul::detail {

namespace {

class Run {
public:
    Run(std::size_t slots, const PipelineSlots& s, const PipelineConfig& config)
        : m_s(s), m_config(config), m_state(slots, State::Spare) {
        for (std::size_t i = 0; i < slots; ++i)
            m_spare.push_back(i);
        for (int i = 0; i < config.workers; ++i)
            m_workers.emplace_back([this] { work(); });
        m_reader = std::thread([this] { readInput(); });
    }

    ~Run() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_cv.notify_all();
        m_reader.join();
        for (std::thread& t : m_workers)
            t.join();
    }

    PipelineResult writeAll() {
        PipelineResult result;
        bool writing = true;
        for (;;) {
            std::size_t b = 0;
            bool failed = false;
            {
                std::unique_lock lock(m_mutex);
                m_cv.wait(lock, [this] { return !m_ordered.empty() || m_inputDone; });
                if (m_ordered.empty()) break;
                b = m_ordered.front();
                m_ordered.pop_front();
                m_cv.wait(lock,
                          [&] { return m_state[b] == State::Done || m_state[b] == State::Failed; });
                failed = m_state[b] == State::Failed;
                if (failed && result.error.empty()) result.error = m_workerError;
            }
            if (writing) {
                if (cancelled()) {
                    result.cancelled = true;
                    writing = false;
                } else if (failed) {
                    writing = false;
                } else {
                    bool more = false;
                    try {
                        more = m_s.write(b);
                    } catch (const std::exception& e) {
                        result.error = e.what();
                    }
                    if (more) {
                        result.items += m_s.items(b);
                        result.bytes += m_s.bytes(b);
                        if (m_config.progress) {
                            m_config.progress->items.store(result.items, std::memory_order_relaxed);
                            m_config.progress->bytes.store(result.bytes, std::memory_order_relaxed);
                        }
                    } else {
                        result.writerStopped = result.error.empty();
                        writing = false;
                    }
                }
                if (!writing) stopReading();
            }
            recycle(b);
        }
        std::lock_guard lock(m_mutex);
        if (m_cancelSeen) result.cancelled = true;
        if (result.error.empty() && !m_readError.empty())
            result.error = "the input could not be read: " + m_readError;
        return result;
    }

private:
    enum class State { Spare, Queued, Done, Failed };

    bool cancelled() const {
        return m_config.cancel && m_config.cancel->load(std::memory_order_relaxed);
    }

    void stopReading() {
        {
            std::lock_guard lock(m_mutex);
            m_stopReading = true;
        }
        m_cv.notify_all();
    }

    void recycle(std::size_t b) {
        {
            std::lock_guard lock(m_mutex);
            m_state[b] = State::Spare;
            m_spare.push_back(b);
        }
        m_cv.notify_all();
    }

    void readInput() {
        for (bool more = true; more;) {
            std::size_t b = 0;
            {
                std::unique_lock lock(m_mutex);
                m_cv.wait(lock, [this] { return !m_spare.empty() || m_stopReading || m_stopping; });
                if (m_stopReading || m_stopping) break;
                if (cancelled()) {
                    m_cancelSeen = true; // the input was not read to its end
                    break;
                }
                b = m_spare.back();
                m_spare.pop_back();
            }
            m_s.clear(b);
            std::string error;
            try {
                more = m_s.read(b);
            } catch (const std::exception& e) {
                more = false; // what was read before the fault still goes out
                error = e.what();
            }
            const bool empty = m_s.items(b) == 0;
            std::lock_guard lock(m_mutex);
            if (!error.empty()) m_readError = error;
            if (empty) {
                m_spare.push_back(b);
            } else {
                m_state[b] = State::Queued;
                m_ordered.push_back(b);
                m_todo.push_back(b);
            }
            m_cv.notify_all();
        }
        std::lock_guard lock(m_mutex);
        m_inputDone = true;
        m_cv.notify_all();
    }

    void work() {
        std::function<void(std::size_t)> process;
        std::string setupError;
        try {
            process = m_s.makeWorker();
        } catch (const std::exception& e) {
            setupError = e.what();
        }
        for (;;) {
            std::size_t b = 0;
            {
                std::unique_lock lock(m_mutex);
                m_cv.wait(lock, [this] { return m_stopping || !m_todo.empty(); });
                if (m_todo.empty()) return;
                b = m_todo.front();
                m_todo.pop_front();
            }
            std::string error;
            const bool skip = cancelled();
            if (!skip) {
                if (!process) {
                    error = setupError.empty() ? "a worker could not start" : setupError;
                } else {
                    try {
                        process(b);
                    } catch (const std::exception& e) {
                        error = e.what();
                    }
                }
            }
            {
                std::lock_guard lock(m_mutex);
                if (skip) m_cancelSeen = true;
                if (!error.empty() && m_workerError.empty()) m_workerError = error;
                m_state[b] = error.empty() ? State::Done : State::Failed;
            }
            m_cv.notify_all();
        }
    }

    const PipelineSlots& m_s;
    const PipelineConfig& m_config;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<State> m_state;
    std::vector<std::size_t> m_spare;  // free for the reader
    std::deque<std::size_t> m_ordered; // read, in input order, for the writer
    std::deque<std::size_t> m_todo;    // read, for the workers
    bool m_inputDone = false;
    bool m_stopReading = false;
    bool m_stopping = false;
    bool m_cancelSeen = false; // the reader or a worker stopped for the cancel flag
    std::string m_readError;
    std::string m_workerError;
    std::thread m_reader;
    std::vector<std::thread> m_workers;
};

} // namespace

PipelineResult runSlots(std::size_t slots, const PipelineSlots& s, const PipelineConfig& config) {
    Run run(slots, s, config);
    return run.writeAll();
}

} // namespace zul::detail
