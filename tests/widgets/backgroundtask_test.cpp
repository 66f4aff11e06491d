// Background work: the window thread stays live and sees the progress, Cancel in the dialog and
// the task's end both stop the work, and `finished` arrives once on the window thread.
#include "widgets/backgroundtask.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace zul {
namespace {

using namespace std::chrono_literals;

// Counts one item every few milliseconds until `n` or until asked to stop; how far it got.
std::int64_t countUntil(BackgroundTask& task, std::int64_t n) {
    PipelineProgress& p = *task.progress();
    while (p.items < n && !task.cancelFlag()->load()) {
        std::this_thread::sleep_for(2ms);
        ++p.items;
    }
    return p.items;
}

TEST(BackgroundTask, RunReportsProgressOnTheWindowThreadAndReturnsAfterTheWork) {
    BackgroundTask task;
    std::vector<std::int64_t> seen;
    bool onWindowThread = true;
    task.onProgress([&] {
        seen.push_back(task.progress()->items.load());
        onWindowThread = onWindowThread && QThread::currentThread() == qApp->thread();
    });
    QSignalSpy finished(&task, &BackgroundTask::finished);
    std::int64_t reached = 0;
    task.run([&] { reached = countUntil(task, 150); }); // about 300 ms
    EXPECT_EQ(reached, 150);
    EXPECT_FALSE(task.running());
    EXPECT_FALSE(task.cancelled());
    EXPECT_EQ(finished.count(), 1);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(onWindowThread);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_LE(seen.back(), 150);
}

TEST(BackgroundTask, CancelInTheDialogStopsTheWorkAndHidesTheDialog) {
    QWidget parent;
    BackgroundTask task;
    QProgressDialog* dialog = task.addDialog(&parent, "Import", "Converting", 1000);
    EXPECT_EQ(dialog->windowTitle(), "Import");
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    bool pressed = false;
    QTimer press;
    press.setInterval(20);
    QObject::connect(&press, &QTimer::timeout, [&] {
        if (!pressed && dialog->isVisible())
            if (auto* button = dialog->findChild<QPushButton*>()) {
                button->click();
                pressed = true;
            }
    });
    press.start();
    std::int64_t reached = 0;
    task.run([&] { reached = countUntil(task, 5000); }); // 10 s unless cancelled
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(task.cancelled());
    EXPECT_LT(reached, 5000);
    EXPECT_FALSE(dialog->isVisible());
}

TEST(BackgroundTask, StartReturnsAtOnceAndFinishedFollows) {
    BackgroundTask task;
    QSignalSpy finished(&task, &BackgroundTask::finished);
    std::atomic<bool> release{false};
    task.start([&] {
        while (!release)
            std::this_thread::sleep_for(1ms);
    });
    EXPECT_TRUE(task.running());
    EXPECT_EQ(finished.count(), 0);
    release = true;
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(task.running());
    QTest::qWait(50);
    EXPECT_EQ(finished.count(), 1);
}

TEST(BackgroundTask, DestroyingARunningTaskCancelsAndWaitsForTheWork) {
    std::atomic<bool> ended{false};
    auto task = std::make_unique<BackgroundTask>();
    BackgroundTask* t = task.get();
    task->start([&ended, t] {
        countUntil(*t, 5000);
        ended = true;
    });
    std::this_thread::sleep_for(20ms);
    task.reset();
    EXPECT_TRUE(ended);
}

} // namespace
} // namespace zul
