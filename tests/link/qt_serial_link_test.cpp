// SPDX-License-Identifier: GPL-3.0-or-later
// The real serial port code against a pseudo-terminal whose other end the test plays itself.
// Timeouts are checked by what a read returns, never by how long it took.

#include "link/device/qt_serial_link.hpp"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace kestra {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

class QtSerialLinkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "qt_serial_link_test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }

    void SetUp() override {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(grantpt(master_), 0);
        ASSERT_EQ(unlockpt(master_), 0);
        device_ = ptsname(master_);
    }
    void TearDown() override { CloseMaster(); }

    void CloseMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }
    void Send(std::string_view text) {
        ASSERT_EQ(::write(master_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    std::string Receive(std::size_t count) {
        std::string got;
        while (got.size() < count) {
            pollfd pfd{master_, POLLIN, 0};
            if (::poll(&pfd, 1, 2000) <= 0) {
                break;
            }
            std::array<char, 64> chunk{};
            const ssize_t n = ::read(master_, chunk.data(), std::min(chunk.size(), count));
            if (n <= 0) {
                break;
            }
            got.append(chunk.data(), static_cast<std::size_t>(n));
        }
        return got;
    }

    int master_ = -1;
    std::string device_;
};

TEST_F(QtSerialLinkTest, ReadsAndWritesBothWays) {
    QtSerialLink link;
    ASSERT_TRUE(link.Open(device_));
    link.ApplySettings(kReadTotalConstantMs);

    EXPECT_EQ(link.Write(Bytes("\x02PROGRAM")), 8u);
    EXPECT_EQ(Receive(8), "\x02PROGRAM");

    Send("AG");
    std::array<std::uint8_t, 2> reply{};
    ASSERT_EQ(link.Read(reply), 2u);
    EXPECT_EQ(reply[0], 'A');
    EXPECT_EQ(reply[1], 'G');

    // A block of 36 bytes arriving in pieces is collected into one read.
    std::array<std::uint8_t, 36> block{};
    std::thread sender([this] {
        for (int i = 0; i < 4; ++i) {
            Send("012345678");
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    EXPECT_EQ(link.Read(block), block.size());
    sender.join();
    EXPECT_EQ(std::string(block.begin(), block.end()),
              std::string("012345678").append("012345678012345678012345678"));
}

// A pseudo-terminal has no serial settings, so its driver refuses low-latency mode: the port
// opens and works all the same, and says the mode is off.
TEST_F(QtSerialLinkTest, RefusedLowLatencyModeLeavesThePortWorking) {
    QtSerialLink link;
    ASSERT_TRUE(link.Open(device_));
    EXPECT_FALSE(link.LowLatency());
    link.ApplySettings(kReadTotalConstantMs);
    EXPECT_EQ(link.Write(Bytes("A")), 1u);
    EXPECT_EQ(Receive(1), "A");
    Send("A");
    std::array<std::uint8_t, 1> reply{};
    EXPECT_EQ(link.Read(reply), 1u);
}

TEST_F(QtSerialLinkTest, ReadEndsWithWhatArrivedWhenTheLineFallsQuiet) {
    QtSerialLink link;
    ASSERT_TRUE(link.Open(device_));
    link.ApplySettings(kReadTotalConstantMs);
    // A pause far longer than the 100 ms gap, far shorter than the 2.1 s total timeout: the
    // first read ends with the first part, the second read gets the rest.
    std::thread sender([this] {
        Send("W\x3E\xD0");
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        Send("rest");
    });
    std::array<std::uint8_t, 32> buffer{};
    EXPECT_EQ(link.Read(buffer), 3u);
    EXPECT_EQ(link.Read(buffer), 4u);
    sender.join();

    // Nothing at all: the read gives up after its total timeout with no bytes.
    link.ApplySettings(kSqlReadTotalConstantMs);
    std::array<std::uint8_t, 1> one{};
    EXPECT_EQ(link.Read(one), 0u);
}

TEST_F(QtSerialLinkTest, BytesThatArrivedWhileTheReaderSleptAreNotLost) {
    QtSerialLink link;
    ASSERT_TRUE(link.Open(device_));
    link.ApplySettings(kReadTotalConstantMs);
    // After the first byte a long read sleeps for the time the rest needs on the line, here
    // longer than the 100 ms gap. The rest arrives 10 ms later: there was no gap, so the read
    // must take it rather than give up with one byte.
    std::thread sender([this] {
        Send("W");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Send(std::string(150, 'x'));
    });
    std::array<std::uint8_t, 200> buffer{};
    EXPECT_EQ(link.Read(buffer), 151u);
    sender.join();
}

TEST_F(QtSerialLinkTest, PurgeDiscardsWhatWaitsInTheReceiveQueue) {
    QtSerialLink link;
    ASSERT_TRUE(link.Open(device_));
    link.ApplySettings(kSqlReadTotalConstantMs);
    Send("stale");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the bytes land
    link.Purge();
    Send("Q");
    std::array<std::uint8_t, 1> one{};
    ASSERT_EQ(link.Read(one), 1u);
    EXPECT_EQ(one[0], 'Q');
}

TEST_F(QtSerialLinkTest, OpenFailsForWhatIsNoFreeSerialDevice) {
    QtSerialLink link;
    EXPECT_FALSE(link.Open(""));
    EXPECT_FALSE(link.Open("/dev/kestra-no-port-COM0"));
    const auto file = std::filesystem::temp_directory_path() / "kestra-not-a-port.dat";
    std::ofstream(file) << "data";
    EXPECT_FALSE(link.Open(file.string()));
    std::filesystem::remove(file);
    // Reads and writes on a link that failed to open do nothing.
    std::array<std::uint8_t, 1> one{};
    EXPECT_EQ(link.Read(one), 0u);
    EXPECT_EQ(link.Write(Bytes("A")), 0u);

    // A port that one link holds cannot be opened by another until it is closed.
    QtSerialLink holder;
    ASSERT_TRUE(holder.Open(device_));
    EXPECT_FALSE(link.Open(device_));
    // Not under another name of the same device either (/dev/serial/by-id/... and /dev/ttyUSB0):
    // two programs talking to one radio at once spoil both transfers.
    const auto alias = std::filesystem::temp_directory_path() /
                       ("kestra-port-alias-" + std::to_string(::getpid()));
    std::filesystem::remove(alias);
    std::filesystem::create_symlink(device_, alias);
    EXPECT_FALSE(link.Open(alias.string()));
    holder.Close();
    EXPECT_TRUE(link.Open(alias.string()));
    EXPECT_FALSE(holder.Open(device_));
    link.Close();
    std::filesystem::remove(alias);
    EXPECT_TRUE(link.Open(device_));
}

TEST_F(QtSerialLinkTest, VanishedDeviceFailsInsteadOfWaiting) {
    QtSerialLink link;
    ASSERT_TRUE(link.Open(device_));
    link.ApplySettings(kReadTotalConstantMs);
    CloseMaster();  // the other end goes away, like a cable pulled out

    std::array<std::uint8_t, 32> buffer{};
    EXPECT_EQ(link.Read(buffer), 0u);
    EXPECT_TRUE(link.IsBroken());
    EXPECT_EQ(link.Write(Bytes("ENDR")), 0u);
    link.Purge();
    link.Close();
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(QtSerialLinkTest, WorksOnTheWorkerThreadThatOpenedIt) {
    std::size_t written = 0;
    std::size_t read = 0;
    std::thread radio([this] {
        if (Receive(1) == "\x02") {
            Send("A");
        }
    });
    QThread* worker = QThread::create([&] {
        QtSerialLink link;
        if (link.Open(device_)) {
            link.ApplySettings(kReadTotalConstantMs);
            written = link.Write(Bytes("\x02"));
            std::array<std::uint8_t, 1> one{};
            read = link.Read(one);
            link.Close();
        }
    });
    worker->start();
    worker->wait();
    delete worker;
    radio.join();
    EXPECT_EQ(written, 1u);
    EXPECT_EQ(read, 1u);
}

}  // namespace
}  // namespace kestra
