// SPDX-License-Identifier: GPL-3.0-or-later
// The one threaded adapter of the radio transfers: it owns the busy flag, runs a job on a worker
// thread with its own link, delivers the job's reports on the user-interface thread, and never
// deadlocks when it goes away under a running job.

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "link/device/link_factory.hpp"
#include "link/ui/threaded_transfer.hpp"
#include "link/virtual_radio.hpp"
#include "ui_test_support.hpp"

namespace kestra {
namespace {

class ThreadedTransferTest : public ::testing::Test {
protected:
    void SetUp() override { test::Application(); }

    VirtualRadio radio_;
    LinkFactory links_{&radio_};
    std::atomic<bool> busy_{false};
    test::RecordingMessenger messenger_;
};

TEST_F(ThreadedTransferTest, OneTransferAtATimeWithItsReportsOnTheUserInterfaceThread) {
    ThreadedTransfer transfer(busy_, messenger_, &links_);
    QSignalSpy progress(&transfer, &ThreadedTransfer::progress);
    QSignalSpy finished(&transfer, &ThreadedTransfer::finished);
    std::atomic<bool> release{false};
    QThread* reportedOn = nullptr;
    messenger_.whileShown = [&](const std::string&) { reportedOn = QThread::currentThread(); };

    ASSERT_TRUE(transfer.Start("demo", [&](ThreadedTransfer::Worker& worker) {
        EXPECT_NE(QThread::currentThread(), qApp->thread());
        EXPECT_TRUE(worker.link.Open("demo"));
        worker.link.Close();
        worker.observer.SetProgress(1, 2, "50%");
        worker.messenger.Show("Read complete", MessageButtons::Ok);
        while (!release) {
            QThread::msleep(1);
        }
    }));
    EXPECT_TRUE(busy_);
    EXPECT_TRUE(transfer.running());
    // A second transfer, here or in another window, is refused while the flag is taken.
    EXPECT_FALSE(transfer.Start("demo", [](ThreadedTransfer::Worker&) {}));
    ThreadedTransfer other(busy_, messenger_, &links_);
    EXPECT_FALSE(other.Start("demo", [](ThreadedTransfer::Worker&) {}));

    ASSERT_TRUE(progress.wait(10000) || progress.count() == 1);
    release = true;
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(progress.front().at(2).toString(), "50%");
    EXPECT_EQ(messenger_.messages, std::vector<std::string>{"Read complete"});
    EXPECT_EQ(reportedOn, qApp->thread());
    EXPECT_FALSE(busy_);
    EXPECT_FALSE(transfer.running());
}

TEST_F(ThreadedTransferTest, GoingAwayUnderARunningJobWaitsForItAndGivesTheFlagBack) {
    std::atomic<bool> jobEnded{false};
    auto transfer = std::make_unique<ThreadedTransfer>(busy_, messenger_, &links_);
    ASSERT_TRUE(transfer->Start("demo", [&](ThreadedTransfer::Worker& worker) {
        QThread::msleep(50);
        // A report on its way while the adapter is being destroyed is dropped, not deadlocked.
        worker.messenger.Show("Communication error", MessageButtons::Ok);
        jobEnded = true;
    }));
    transfer.reset();
    EXPECT_TRUE(jobEnded);
    EXPECT_FALSE(busy_);
    EXPECT_TRUE(messenger_.messages.empty());
}

}  // namespace
}  // namespace kestra
