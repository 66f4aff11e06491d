#include "widgets/backgroundtask.h"

#include <QEventLoop>
#include <QProgressDialog>

namespace zul {

BackgroundTask::BackgroundTask(QObject* parent) : QObject(parent) {
    m_poll.setInterval(kProgressInterval);
    connect(&m_poll, &QTimer::timeout, this, &BackgroundTask::tick);
}

BackgroundTask::~BackgroundTask() {
    m_cancel = true;
    if (m_thread.joinable()) m_thread.join();
    delete m_dialog.data();
}

QProgressDialog* BackgroundTask::addDialog(QWidget* parent, const QString& title,
                                           const QString& label, int maximum) {
    auto* dialog = new QProgressDialog(label, "Cancel", 0, maximum, parent);
    dialog->setWindowTitle(title);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(kDialogDelay);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    connect(dialog, &QProgressDialog::canceled, this, &BackgroundTask::cancel);
    m_dialog = dialog;
    return dialog;
}

QProgressDialog* BackgroundTask::dialog() const {
    return m_dialog.data();
}

void BackgroundTask::start(std::function<void()> work) {
    m_done = false;
    m_thread = std::thread([this, work = std::move(work)] {
        work();
        m_done = true;
        QMetaObject::invokeMethod(this, &BackgroundTask::workDone, Qt::QueuedConnection);
    });
    m_poll.start();
    if (m_dialog) m_dialog->setValue(0); // starts the wait before the dialog shows
}

void BackgroundTask::run(std::function<void()> work) {
    QEventLoop loop;
    connect(this, &BackgroundTask::finished, &loop, &QEventLoop::quit);
    start(std::move(work));
    if (running()) loop.exec();
}

void BackgroundTask::tick() {
    if (m_done) return; // the end is on its way
    if (m_report) m_report();
    if (m_dialog && m_dialog->wasCanceled()) m_cancel = true; // Escape or closing the dialog
}

void BackgroundTask::workDone() {
    if (m_thread.joinable()) m_thread.join();
    m_poll.stop();
    if (m_dialog) {
        m_dialog->reset();
        m_dialog->hide();
    }
    emit finished();
}

} // namespace zul
