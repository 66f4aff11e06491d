#pragma once
// Work off the window thread: the work runs on a thread of its own, reads a cancel flag and
// counts into a progress record; the window thread reports that progress at most ten times a
// second, optionally in a progress dialog whose Cancel sets the flag. The picture palette,
// Import and the palette viewer's load run through it.
#include "workbench/pipeline.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <thread>

class QProgressDialog;
class QWidget;

namespace zul {

class BackgroundTask : public QObject {
    Q_OBJECT
public:
    static constexpr int kProgressInterval = 100; // ms: at most ten reports a second
    static constexpr int kDialogDelay = 500;      // ms before the progress dialog shows

    explicit BackgroundTask(QObject* parent = nullptr);
    // A task still running is asked to stop and waited for.
    ~BackgroundTask() override;

    // What the work reads and counts into.
    const std::atomic<bool>* cancelFlag() const { return &m_cancel; }
    PipelineProgress* progress() { return &m_progress; }

    void cancel() { m_cancel = true; }
    // Cancel was asked for (the work may still have got to its end).
    bool cancelled() const { return m_cancel.load(); }
    bool running() const { return m_thread.joinable(); }

    // A window-modal progress dialog over `parent` (0..`maximum`, 0 for a busy bar) with a
    // Cancel button, shown when the work takes longer than half a second. Made before the work
    // starts; the task owns it and hides it when the work ends.
    QProgressDialog* addDialog(QWidget* parent, const QString& title, const QString& label,
                               int maximum);
    QProgressDialog* dialog() const;

    // Called on the window thread while the work runs, every kProgressInterval.
    void onProgress(std::function<void()> report) { m_report = std::move(report); }

    // Starts `work` on its own thread; `finished` follows on the window thread.
    void start(std::function<void()> work);
    // Runs `work` on its own thread and returns when it has ended; the window keeps painting
    // and answering meanwhile.
    void run(std::function<void()> work);

signals:
    void finished();

private:
    void tick();
    void workDone();

    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_done{false};
    PipelineProgress m_progress;
    std::thread m_thread;
    QTimer m_poll;
    QPointer<QProgressDialog> m_dialog;
    std::function<void()> m_report;
};

} // namespace zul
