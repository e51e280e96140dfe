// SPDX-License-Identifier: GPL-3.0-or-later
// The live test of a port: against the virtual radio on simulated time for the radio's answers,
// and against scripted lines for cables that echo or devices that are not the radio.

#include "link/radio_probe.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/simulated_clock.hpp"
#include "link/virtual_radio.hpp"
#include "link/virtual_radio_link.hpp"

namespace kestra {
namespace {

// A line whose other end answers every write through a function of the bytes written. A read
// that comes up short waits out its timeout on the simulated clock, as a real port would.
class ScriptedLink final : public SerialLink {
public:
    using Answer = std::function<std::vector<std::uint8_t>(std::span<const std::uint8_t>)>;
    ScriptedLink(SimulatedClock& clock, Answer answer)
        : clock_(clock), answer_(std::move(answer)) {}

    bool Open(const std::string&) override { return open_ = true; }
    void ApplySettings(int) override {}
    void Purge() override { pending_.clear(); }
    std::size_t Write(std::span<const std::uint8_t> bytes) override {
        for (std::uint8_t byte : answer_(bytes)) {
            pending_.push_back(byte);
        }
        return bytes.size();
    }
    std::size_t Read(std::span<std::uint8_t> buffer) override {
        std::size_t n = 0;
        while (n < buffer.size() && !pending_.empty()) {
            buffer[n++] = pending_.front();
            pending_.pop_front();
        }
        if (n < buffer.size()) {
            clock_.SleepMs(
                static_cast<int>(ReadTotalTimeoutMs(buffer.size(), kReadTotalConstantMs)));
        }
        return n;
    }
    void Close() override { open_ = false; }
    bool open() const { return open_; }

private:
    SimulatedClock& clock_;
    Answer answer_;
    std::deque<std::uint8_t> pending_;
    bool open_ = false;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct RadioProbeTest : ::testing::Test {
    VirtualRadio radio;
    SimulatedClock clock;
    VirtualRadioLink link{radio, clock};
};

TEST_F(RadioProbeTest, AnsweringRadioIsIdentifiedWithoutTouchingItsMemory) {
    const ProbeResult result = ProbeRadio(link, clock, "/dev/ttyUSB0");
    EXPECT_TRUE(result.opened);
    EXPECT_TRUE(result.answered);
    EXPECT_EQ(result.finding.level, FindingLevel::Good);
    EXPECT_EQ(result.finding.text,
              "Radio answered on /dev/ttyUSB0: model KESTRA-D, firmware v1.2.3, bands 136-174 "
              "MHz and 400-520 MHz.");
    // Wake-up, identification and the end of the session; no block moved.
    EXPECT_EQ(radio.log(), (std::vector<std::string>{"PROGRAM", "IDENT", "ENDR"}));
    EXPECT_FALSE(link.isOpen());
}

TEST_F(RadioProbeTest, LateWakeUpAndOddBandsAreReported) {
    radio.faults().answerWakeUpFromAttempt = 4;
    radio.SetBandLimitsMhz(144, 146, 430, 440);
    radio.SetVariantByte(1);
    ProbeResult result = ProbeRadio(link, clock, "/dev/ttyUSB0");
    EXPECT_TRUE(result.answered);
    EXPECT_TRUE(Contains(result.finding.text, "model KESTRA-D-K472"));
    EXPECT_TRUE(Contains(result.finding.text, "bands 144-146 MHz and 430-440 MHz"));

    // Lower and upper limit in different bands: a Read would refuse this radio.
    radio.faults().answerWakeUpFromAttempt = 1;
    radio.SetBandLimitsMhz(136, 400, 400, 520);
    result = ProbeRadio(link, clock, "/dev/ttyUSB0");
    EXPECT_EQ(result.finding.level, FindingLevel::Problem);
    EXPECT_TRUE(Contains(result.finding.text, "not plausible")) << result.finding.text;
}

TEST_F(RadioProbeTest, SilentRadioGetsTheChecklistAfterFourAttempts) {
    radio.faults().silent = true;
    const ProbeResult result = ProbeRadio(link, clock, "/dev/ttyUSB0");
    EXPECT_TRUE(result.opened);
    EXPECT_FALSE(result.answered);
    EXPECT_EQ(result.finding.level, FindingLevel::Problem);
    for (const char* part : {"No answer from the radio on /dev/ttyUSB0", "switched on", "volume",
                             "pushed fully", "unplug the cable"}) {
        EXPECT_TRUE(Contains(result.finding.text, part)) << part << ": " << result.finding.text;
    }
    // Four wake-up attempts, then the plain one that listens for an echo.
    EXPECT_EQ(radio.wakeUpAttempts(), 5);
    EXPECT_FALSE(link.isOpen());
}

TEST_F(RadioProbeTest, PortThatDoesNotOpenSaysWhy) {
    radio.faults().absent = true;
    const ProbeResult result =
        ProbeRadio(link, clock, "/dev/ttyUSB0", [] { return std::string("Permission denied"); });
    EXPECT_FALSE(result.opened);
    EXPECT_EQ(result.finding.level, FindingLevel::Problem);
    EXPECT_TRUE(Contains(result.finding.text, "Could not open /dev/ttyUSB0 (Permission denied)"))
        << result.finding.text;
    EXPECT_TRUE(radio.log().empty());
}

TEST(RadioProbeLines, EchoingCableMeansThePlugIsNotIn) {
    SimulatedClock clock;
    ScriptedLink echo(clock, [](std::span<const std::uint8_t> bytes) {
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    });
    const ProbeResult result = ProbeRadio(echo, clock, "/dev/ttyUSB0");
    EXPECT_FALSE(result.answered);
    EXPECT_TRUE(Contains(result.finding.text, "hands back what the program sends"))
        << result.finding.text;
    EXPECT_TRUE(Contains(result.finding.text, "plug"));
    EXPECT_FALSE(echo.open());
}

TEST(RadioProbeLines, ADeviceThatIsNotTheRadioShowsWhatItSaid) {
    SimulatedClock clock;
    ScriptedLink modem(clock, [](std::span<const std::uint8_t> bytes) {
        return bytes.size() == 8 ? std::vector<std::uint8_t>{'O', 'K', '\r', '\n'}
                                 : std::vector<std::uint8_t>{};
    });
    const ProbeResult result = ProbeRadio(modem, clock, "/dev/ttyS0");
    EXPECT_TRUE(Contains(result.finding.text, "not as the radio does (4F 4B 0D 0A)"))
        << result.finding.text;
}

TEST(RadioProbeLines, WakeUpWithoutIdentificationIsAProblem) {
    SimulatedClock clock;
    int writes = 0;
    // Answers the wake-up, then nothing.
    ScriptedLink halfDead(clock, [&writes](std::span<const std::uint8_t>) {
        return ++writes == 8 ? std::vector<std::uint8_t>{'A', 'G'} : std::vector<std::uint8_t>{};
    });
    const ProbeResult result = ProbeRadio(halfDead, clock, "/dev/ttyUSB0");
    EXPECT_FALSE(result.answered);
    EXPECT_EQ(result.finding.level, FindingLevel::Problem);
    EXPECT_TRUE(Contains(result.finding.text, "sent no complete identification")) << result.finding.text;
}

}  // namespace
}  // namespace kestra
