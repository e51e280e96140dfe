// SPDX-License-Identifier: GPL-3.0-or-later
#include "pty_radio_server.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace kestra {

namespace {

std::int64_t MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

void MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetispeed(&tio, B9600);
        cfsetospeed(&tio, B9600);
        tcsetattr(fd, TCSANOW, &tio);
    }
}

std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

PtyRadioServer::~PtyRadioServer() {
    CloseFd(inotify_);
    CloseFd(heldSlave_);
    CloseFd(master_);
}

bool PtyRadioServer::Open() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error_ = Reason("posix_openpt");
        return false;
    }
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error_ = Reason("grantpt/unlockpt");
        return false;
    }
    std::array<char, 128> name{};
    if (ptsname_r(master_, name.data(), name.size()) != 0) {
        error_ = Reason("ptsname");
        return false;
    }
    slavePath_ = name.data();
    // Holding the slave open keeps the master from seeing a hang-up (and reads failing with EIO)
    // whenever the last client closes the line.
    heldSlave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (heldSlave_ < 0) {
        error_ = Reason("open slave");
        return false;
    }
    // Raw both ways: no echo of the radio's bytes back to it, no newline translation.
    MakeRaw(heldSlave_);
    MakeRaw(master_);
    // New opens of the slave tell the radio a cable was plugged in. Without inotify the radio
    // still works; it only keeps its state between clients.
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0 && inotify_add_watch(inotify_, slavePath_.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        CloseFd(inotify_);
    }
    return true;
}

bool PtyRadioServer::Serve(const volatile std::sig_atomic_t& stopFlag) {
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &blocked, &previous);
    sigset_t whileWaiting = previous;
    sigdelset(&whileWaiting, SIGINT);
    sigdelset(&whileWaiting, SIGTERM);

    bool ok = true;
    while (!stopFlag) {
        FlushDue(MonotonicNs());
        timespec timeout{};
        timespec* timeoutPtr = nullptr;
        if (!outgoing_.empty()) {
            const std::int64_t waitNs =
                std::max<std::int64_t>(0, outgoing_.front().dueNs - MonotonicNs());
            timeout.tv_sec = static_cast<time_t>(waitNs / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(waitNs % 1'000'000'000);
            timeoutPtr = &timeout;
        }
        std::array<pollfd, 2> fds{};
        fds[0] = {master_, POLLIN, 0};
        fds[1] = {inotify_, POLLIN, 0};
        const nfds_t count = inotify_ >= 0 ? 2 : 1;
        const int ready = ppoll(fds.data(), count, timeoutPtr, &whileWaiting);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            error_ = Reason("ppoll");
            ok = false;
            break;
        }
        if (ready == 0) {
            continue;
        }
        // An open is handled before the bytes the new client already wrote.
        if (count > 1 && (fds[1].revents & POLLIN) != 0) {
            LineEvents();
        }
        if ((fds[0].revents & POLLIN) != 0) {
            TakeInput(MonotonicNs());
        } else if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            error_ = "the pseudo-terminal was hung up";
            ok = false;
            break;
        }
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

void PtyRadioServer::TakeInput(std::int64_t nowNs) {
    const std::int64_t byteNs = radio_.ByteTimeUs() * 1000;
    std::array<std::uint8_t, 4096> buffer{};
    std::vector<std::uint8_t> reply;
    for (;;) {
        const ssize_t n = ::read(master_, buffer.data(), buffer.size());
        if (n <= 0) {
            break;  // EAGAIN: all taken; EIO cannot happen while the slave is held open
        }
        for (ssize_t i = 0; i < n; ++i) {
            // The byte is complete at the radio once its ten bits have crossed the line.
            const std::int64_t arrived = std::max(nowNs, rxFreeNs_) + byteNs;
            rxFreeNs_ = arrived;
            reply.clear();
            radio_.ReceiveByte(buffer[static_cast<std::size_t>(i)], reply);
            for (std::uint8_t byte : reply) {
                const std::int64_t due = std::max(arrived, txFreeNs_) + byteNs;
                txFreeNs_ = due;
                outgoing_.push_back({due, byte});
            }
        }
    }
    ReportFrames();
}

void PtyRadioServer::FlushDue(std::int64_t nowNs) {
    std::array<std::uint8_t, 512> chunk{};
    while (!outgoing_.empty() && outgoing_.front().dueNs <= nowNs) {
        std::size_t n = 0;
        while (n < chunk.size() && !outgoing_.empty() && outgoing_.front().dueNs <= nowNs) {
            chunk[n++] = outgoing_.front().byte;
            outgoing_.pop_front();
        }
        // When nobody drains the line the slave's queue fills up; what does not fit is lost, as
        // it would be on a cable nobody listens to.
        const ssize_t written = ::write(master_, chunk.data(), n);
        (void)written;
    }
}

void PtyRadioServer::LineEvents() {
    alignas(inotify_event) std::array<char, 4096> events{};
    for (;;) {
        const ssize_t n = ::read(inotify_, events.data(), events.size());
        if (n <= 0) {
            return;
        }
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            inotify_event event{};
            std::memcpy(&event, events.data() + at, sizeof event);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
            if ((event.mask & IN_OPEN) != 0) {
                radio_.Reset();
                outgoing_.clear();
                rxFreeNs_ = 0;
                txFreeNs_ = 0;
            }
            if ((event.mask & IN_CLOSE) != 0) {
                // A client that died without closing its port properly leaves the line in
                // exclusive mode, and since the server holds the slave open that would never
                // end: the next client could not open it.
                ::ioctl(heldSlave_, TIOCNXCL);
            }
        }
    }
}

void PtyRadioServer::ReportFrames() {
    const auto& log = radio_.log();
    if (log.empty()) {
        return;
    }
    bool wroteSession = false;
    for (const std::string& frame : log) {
        if (onFrame_) {
            onFrame_(frame);
        }
        if (frame == "ENDW") {
            wroteSession = true;
        }
    }
    radio_.ClearLog();
    if (wroteSession && onWriteSession_) {
        onWriteSession_();
    }
}

}  // namespace kestra
