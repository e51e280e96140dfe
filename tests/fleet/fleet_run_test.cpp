// SPDX-License-Identifier: GPL-3.0-or-later
// Several in-process virtual radios at once: each radio gets a whole write of its own (backup,
// verify, the partly-written warning), a failing radio never holds up the others, and one cancel
// stops every radio between two blocks.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "fleet/fleet_plan.hpp"
#include "fleet/fleet_run.hpp"
#include "fleet_fixture.hpp"
#include "link/block_mover.hpp"
#include "link/clone_session.hpp"
#include "model/document_file.hpp"
#include "support/temp_dir.hpp"

namespace kestra {
namespace {

using test::FleetRadios;
using test::RecordingFleetObserver;

// Bytes a write sends: the channels and settings, and the summary after the model limits.
bool Written(std::size_t a) {
    for (const CloneRange& range : ClonePlan::Write().ranges) {
        if (a >= range.start && a < range.end) {
            return true;
        }
    }
    return false;
}

// Whether the radio holds the image in every byte a write sends.
::testing::AssertionResult Holds(const VirtualRadio& radio, const MemoryImage& image) {
    for (std::size_t a = 0; a < kImageSize; ++a) {
        if (Written(a) && radio.memory()[a] != image[a]) {
            return ::testing::AssertionFailure() << "differs at " << a;
        }
    }
    return ::testing::AssertionSuccess();
}

class FleetRunTest : public ::testing::Test {
protected:
    FleetRequest Write(FleetRadios& radios, bool verify) {
        FleetRequest request;
        request.action = FleetAction::Write;
        request.verify = verify;
        request.radios = radios.Radios(image_);
        request.backupFolder = backups_.path();
        return request;
    }

    MemoryImage image_ = BuiltInDocumentImage();
    test::TempDir backups_{"kestra-fleet-backups"};
    RecordingFleetObserver observer_;
};

TEST_F(FleetRunTest, EveryRadioGetsAVerifiedWriteWithItsOwnIdAndItsOwnBackup) {
    FleetRadios radios(3);
    FleetRequest request = Write(radios, true);
    std::string error;
    auto numbered = FleetWriteRadios({{"port 1", FleetRadios::Device(0)},
                                      {"port 2", FleetRadios::Device(1)},
                                      {"port 3", FleetRadios::Device(2)}},
                                     image_, "501", error);
    ASSERT_TRUE(numbered) << error;
    request.radios = *numbered;

    const auto outcomes = RunFleet(request, radios.Lines(), observer_);
    ASSERT_EQ(outcomes.size(), 3u);
    std::vector<std::filesystem::path> backups;
    for (std::size_t i = 0; i < 3; ++i) {
        const RadioOutcome& outcome = outcomes[i];
        EXPECT_EQ(outcome.result, RadioResult::Verified) << outcome.error;
        EXPECT_EQ(outcome.ownId, "50" + std::to_string(i + 1));
        EXPECT_TRUE(Holds(radios.radio(i), request.radios[i].image)) << i;
        ASSERT_TRUE(outcome.ident);
        EXPECT_EQ(*outcome.ident, radios.radio(i).identReply());
        // The backup of each radio is the image that radio got.
        ASSERT_TRUE(outcome.backup && outcome.backup->ok()) << i;
        MemoryImage kept;
        ASSERT_TRUE(LoadDocumentFile(outcome.backup->path, kept).ok);
        EXPECT_EQ(kept, request.radios[i].image);
        backups.push_back(outcome.backup->path);
        // A write and its read-back: twice the write's blocks.
        EXPECT_EQ(observer_.lastPosition[i], 2 * ClonePlan::Write().BlockCount());
    }
    std::sort(backups.begin(), backups.end());
    EXPECT_EQ(std::unique(backups.begin(), backups.end()), backups.end())
        << "radios that answer in the same second keep a backup each";
    EXPECT_EQ(observer_.finished.size(), 3u);
}

TEST_F(FleetRunTest, ASilentRadioAndABrokenCableFailAloneAndSayWhatTheyLeft) {
    FleetRadios radios(4);
    radios.radio(1).faults().silent = true;
    radios.radio(2).faults().disconnectAfterBlock = 20;
    FleetRequest request = Write(radios, true);
    request.radios.push_back({"port 5", "no-such-radio", image_, {}, {}});

    const auto outcomes = RunFleet(request, radios.Lines(), observer_);
    EXPECT_EQ(outcomes[0].result, RadioResult::Verified) << outcomes[0].error;
    EXPECT_EQ(outcomes[3].result, RadioResult::Verified) << outcomes[3].error;
    EXPECT_TRUE(Holds(radios.radio(3), image_));

    // Silent: nothing was sent, so nothing may be partly written and no backup is kept.
    EXPECT_EQ(outcomes[1].result, RadioResult::Failed);
    EXPECT_EQ(outcomes[1].error.rfind(std::string(kCommunicationError) + "\n", 0), 0u);
    EXPECT_EQ(outcomes[1].error.find(kPartlyWrittenHint), std::string::npos);
    EXPECT_FALSE(outcomes[1].sendingStarted);
    EXPECT_FALSE(outcomes[1].backup);
    EXPECT_FALSE(outcomes[1].ident);

    // Broken after 20 blocks: the radio may hold a mix, and says so; its backup was kept.
    EXPECT_EQ(outcomes[2].result, RadioResult::Failed);
    EXPECT_TRUE(outcomes[2].sendingStarted);
    EXPECT_NE(outcomes[2].error.find(kPartlyWrittenHint), std::string::npos) << outcomes[2].error;
    EXPECT_TRUE(outcomes[2].backup && outcomes[2].backup->ok());

    EXPECT_EQ(outcomes[4].error.rfind(std::string(kOpenPortFail), 0), 0u) << outcomes[4].error;
    EXPECT_EQ(observer_.finished.size(), 5u);
}

TEST_F(FleetRunTest, OneCancelStopsEveryRadioBeforeItsNextBlock) {
    FleetRadios radios(3);
    const FleetRequest request = Write(radios, false);
    CancelFlag cancel{false};
    observer_.holdAt = 5;
    observer_.expected = 3;
    observer_.whenAllHeld = [&cancel] { cancel = true; };

    const auto outcomes = RunFleet(request, radios.Lines(), observer_, &cancel);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(outcomes[i].result, RadioResult::Failed) << i;
        EXPECT_EQ(observer_.lastPosition[i], 5) << "no block after the cancel";
        EXPECT_NE(outcomes[i].error.find(kPartlyWrittenHint), std::string::npos)
            << outcomes[i].error;
        EXPECT_EQ(radios.radio(i).log().back().rfind("W ", 0), 0u) << "no end of write";
    }
}

TEST_F(FleetRunTest, AReadSavesEveryRadioThatWentThroughAndNoFileForOneThatFailed) {
    FleetRadios radios(2);
    radios.radio(0).memory() = image_;
    radios.radio(1).faults().shortBlock = 30;
    FleetRequest request;
    request.action = FleetAction::Read;
    request.radios = radios.Radios(MemoryImage{});
    request.radios[0].output = backups_.path() / "one.dat";
    request.radios[1].output = backups_.path() / "two.dat";
    request.backupFolder = backups_.path() / "backups";

    const auto outcomes = RunFleet(request, radios.Lines(), observer_);
    ASSERT_EQ(outcomes[0].result, RadioResult::Read) << outcomes[0].error;
    MemoryImage saved;
    ASSERT_TRUE(LoadDocumentFile(request.radios[0].output, saved).ok);
    EXPECT_EQ(saved, outcomes[0].image);
    EXPECT_TRUE(Holds(radios.radio(0), saved));
    ASSERT_TRUE(outcomes[0].backup && outcomes[0].backup->ok());

    EXPECT_EQ(outcomes[1].result, RadioResult::Failed);
    EXPECT_FALSE(std::filesystem::exists(request.radios[1].output));
    EXPECT_FALSE(outcomes[1].sendingStarted);
}

}  // namespace
}  // namespace kestra
