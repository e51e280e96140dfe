// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device/qt_serial_link.hpp"

#include <QSerialPort>
#include <QString>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#ifdef Q_OS_UNIX
#include <poll.h>

#include <cerrno>
#endif
#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace kestra {

namespace {

using SteadyTime = std::chrono::steady_clock::time_point;

// Wire time of one byte at 9600 baud 8N1 (ten bits), rounded down.
constexpr std::int64_t kLineByteUs = 10 * 1'000'000 / 9600;

SteadyTime Now() {
    return std::chrono::steady_clock::now();
}

// Milliseconds left until the limit, rounded up so a wait never ends just before it.
int MsUntil(SteadyTime limit) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(limit - Now()).count();
    if (left <= 0) {
        return 0;
    }
    return static_cast<int>((left + 999) / 1000);
}

// USB serial adapters hold received bytes back for up to their latency timer (16 ms on FTDI
// chips) before passing them on, and a clone waits for an answer after every request: over a
// whole transfer that adds about 11 s. Low-latency mode asks the driver to pass bytes on at
// once. Drivers without serial settings (a pseudo-terminal) refuse the request and the port
// works as before. True when the driver reports the mode on afterwards.
bool RequestLowLatency([[maybe_unused]] qintptr handle) {
#ifdef Q_OS_LINUX
    const int fd = static_cast<int>(handle);
    serial_struct settings{};
    if (fd < 0 || ::ioctl(fd, TIOCGSERIAL, &settings) != 0) {
        return false;
    }
    if ((settings.flags & ASYNC_LOW_LATENCY) == 0) {
        settings.flags |= ASYNC_LOW_LATENCY;
        // Everything else goes back as the driver reported it, which an ordinary user may do.
        if (::ioctl(fd, TIOCSSERIAL, &settings) != 0 || ::ioctl(fd, TIOCGSERIAL, &settings) != 0) {
            return false;
        }
    }
    return (settings.flags & ASYNC_LOW_LATENCY) != 0;
#else
    return false;
#endif
}

bool IsFatal(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ResourceError || error == QSerialPort::DeviceNotFoundError ||
           error == QSerialPort::PermissionError || error == QSerialPort::NotOpenError;
}

}  // namespace

QtSerialLink::QtSerialLink() = default;

QtSerialLink::~QtSerialLink() {
    Close();
}

bool QtSerialLink::Open(const std::string& device) {
    Close();
    broken_ = false;
    lowLatency_ = false;
    lastError_.clear();
    if (device.empty()) {
        lastError_ = "No such file or directory";
        return false;
    }
    // The port's lock is named after the device path, so a symbolic link (/dev/serial/by-id/...,
    // a link to a pty) is opened under the device's own name: one device, one lock, whichever
    // name a program was given.
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(device, ec);
    // Created here so the port belongs to the thread that runs the transfer.
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromStdString(ec ? device : real.string()));
    // QSerialPort opens an existing device only, takes the device's lock and sets exclusive
    // mode, so a port held by another program fails here.
    if (!port_->open(QIODevice::ReadWrite)) {
        lastError_ = port_->errorString().toStdString();
        port_.reset();
        return false;
    }
    lowLatency_ = RequestLowLatency(port_->handle());
    return true;
}

void QtSerialLink::ApplySettings(int readTotalConstantMs) {
    readTotalConstantMs_ = readTotalConstantMs;
    if (!port_) {
        return;
    }
    // Failures of these calls are left to show up as missing replies, as the transfers expect.
    port_->setReadBufferSize(0);  // unlimited: at least the 1024 bytes the protocol needs
    port_->setBaudRate(QSerialPort::Baud9600);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    NoteError();
}

void QtSerialLink::Purge() {
    if (port_ && !broken_) {
        port_->clear(QSerialPort::AllDirections);
        NoteError();
    }
}

std::size_t QtSerialLink::Write(std::span<const std::uint8_t> bytes) {
    if (!port_ || broken_ || bytes.empty()) {
        return 0;
    }
    const auto deadline = Now() + std::chrono::milliseconds(WriteTotalTimeoutMs(bytes.size()));
    const qint64 queued = port_->write(reinterpret_cast<const char*>(bytes.data()),
                                       static_cast<qint64>(bytes.size()));
    if (queued < 0) {
        NoteError();
        return 0;
    }
    while (port_->bytesToWrite() > 0 && !broken_) {
        const int left = MsUntil(deadline);
        if (left <= 0) {
            break;
        }
        if (WaitFor(false, left) == Wait::Failed) {
            break;
        }
    }
    const qint64 pending = port_->bytesToWrite();
    if (pending > 0 && !broken_) {
        // What did not go out within the timeout is dropped, so it cannot turn up in the middle
        // of a later exchange.
        port_->clear(QSerialPort::Output);
    }
    return static_cast<std::size_t>(std::max<qint64>(0, queued - pending));
}

std::size_t QtSerialLink::Read(std::span<std::uint8_t> buffer) {
    if (!port_ || buffer.empty()) {
        return 0;
    }
    const std::size_t wanted = buffer.size();
    const auto deadline =
        Now() + std::chrono::milliseconds(ReadTotalTimeoutMs(wanted, readTotalConstantMs_));
    SteadyTime lastByte{};
    std::size_t got = 0;
    bool fresh = false;  // bytes arrived since the last wait
    while (got < wanted) {
        if (port_->bytesAvailable() > 0) {
            const qint64 n = port_->read(reinterpret_cast<char*>(buffer.data() + got),
                                         static_cast<qint64>(wanted - got));
            if (n > 0) {
                got += static_cast<std::size_t>(n);
                lastByte = Now();
                fresh = true;
                continue;
            }
        }
        if (broken_) {
            break;
        }
        SteadyTime limit = deadline;
        if (got > 0) {
            limit = std::min(limit, lastByte + std::chrono::milliseconds(kReadIntervalMs));
        }
        if (MsUntil(limit) <= 0) {
            // Bytes that reached the device while this thread was not looking (a busy machine,
            // the sleep below) arrived in time: a port driver would have them in its buffer.
            if (WaitFor(true, 0) == Wait::Ready && port_->bytesAvailable() > 0) {
                continue;
            }
            break;
        }
        if (fresh) {
            // The rest of the reply cannot come faster than the line carries it: sleep that
            // long instead of waking up for every single byte of a block.
            fresh = false;
            const auto rest = std::chrono::microseconds(kLineByteUs * (wanted - got));
            std::this_thread::sleep_until(std::min(limit, Now() + rest));
            continue;
        }
        // A timeout or a failure is judged at the top of the loop: what arrived is taken first.
        WaitFor(true, MsUntil(limit));
    }
    return got;
}

void QtSerialLink::Close() {
    if (port_) {
        if (port_->isOpen()) {
            port_->close();
        }
        port_.reset();
    }
}

bool QtSerialLink::IsOpen() const {
    return port_ && port_->isOpen();
}

std::string QtSerialLink::ErrorText() const {
    return port_ ? port_->errorString().toStdString() : lastError_;
}

void QtSerialLink::NoteError() {
    if (!port_) {
        return;
    }
    const auto error = port_->error();
    if (IsFatal(error)) {
        broken_ = true;
        lastError_ = port_->errorString().toStdString();
    }
    if (error != QSerialPort::NoError) {
        port_->clearError();
    }
}

QtSerialLink::Wait QtSerialLink::WaitFor(bool forRead, int timeoutMs) {
#ifdef Q_OS_UNIX
    // Wait on the descriptor ourselves: a hung-up device reports POLLHUP/POLLERR at once, which
    // ends the transfer instead of letting it spin or sleep through its timeouts.
    pollfd pfd{};
    pfd.fd = static_cast<int>(port_->handle());
    pfd.events = forRead ? POLLIN : POLLOUT;
    const int ready = ::poll(&pfd, 1, timeoutMs);
    if (ready < 0) {
        if (errno == EINTR) {
            return Wait::Timeout;  // the caller recomputes what is left
        }
        broken_ = true;
        return Wait::Failed;
    }
    if (ready == 0) {
        return Wait::Timeout;
    }
    const bool hungUp = (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    if (forRead && (pfd.revents & POLLIN) != 0) {
        port_->waitForReadyRead(0);  // moves what the device holds into the port's buffer
    } else if (!forRead && (pfd.revents & POLLOUT) != 0 && !hungUp) {
        port_->waitForBytesWritten(0);
    }
    NoteError();
    if (hungUp) {
        broken_ = true;
        lastError_ = "the serial device was disconnected";
    }
    return broken_ ? Wait::Failed : Wait::Ready;
#else
    const bool done =
        forRead ? port_->waitForReadyRead(timeoutMs) : port_->waitForBytesWritten(timeoutMs);
    const auto error = port_->error();
    NoteError();
    if (broken_) {
        return Wait::Failed;
    }
    if (!done && (error == QSerialPort::TimeoutError || error == QSerialPort::NoError)) {
        return Wait::Timeout;
    }
    return Wait::Ready;
#endif
}

}  // namespace kestra
