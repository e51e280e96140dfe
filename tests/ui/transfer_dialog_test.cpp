// SPDX-License-Identifier: GPL-3.0-or-later
// Clone transfers through the real transfer dialog: a worker thread on real time against the
// in-process virtual radio, with the grid refreshed only after a read that went through.

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "channels/channel_table.hpp"
#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "link/device/link_factory.hpp"
#include "link/port_names.hpp"
#include "link/ui/transfer_dialog.hpp"
#include "model/document_file.hpp"
#include "ui_test_support.hpp"

namespace kestra {
namespace {

// Generous: the machine is shared, and a transfer of 512 blocks still takes well under this.
constexpr int kTransferTimeoutMs = 60000;

// A001 on the radio holds 146.52500 MHz, high power, scan add, wide.
void PutChannelOnRadio(VirtualRadio& radio) {
    MemoryImage& memory = radio.memory();
    const std::array<std::uint8_t, 4> rx{0x00, 0x25, 0x65, 0x14};
    memory.write(0, rx);
    memory[13] = 0x38;
}

class TransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::Application();
        state_.deviceOverride = "demo";
        PutChannelOnRadio(radio_);
        view_ = std::make_unique<CProgramView>(document_.document);
        document_.Attach(*view_);
        document_.radio->SetLinkFactory(&links_);
        document_.editor.SetBackupFolder(backups_.path().toStdString());
        // Press "Start" as soon as each dialog runs, and note how it ended.
        QObject::connect(
            document_.radio, &RadioCommands::dialogOpened, [this](TransferDialog* dialog) {
                dialog_ = dialog;
                QObject::connect(dialog, &TransferDialog::transferFinished, [this, dialog] {
                    finalPercent_ = dialog->percentLabel()->text();
                });
                QTimer::singleShot(0, dialog, [dialog] {
                    QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
                });
            });
    }

    void SetCell(int record, Column column, const QString& text) {
        QAbstractItemModel* model = view_->grid()->model();
        ASSERT_TRUE(model->setData(model->index(record, ModelColumnOf(column)), text));
    }

    VirtualRadio radio_;
    LinkFactory links_{&radio_};
    AppState state_;
    test::ViewDocument document_{state_, messenger_};
    test::RecordingMessenger messenger_;
    QTemporaryDir backups_;
    std::unique_ptr<CProgramView> view_;
    TransferDialog* dialog_ = nullptr;
    QString finalPercent_;
};

TEST_F(TransferTest, ReadFillsTheGridFromTheRadio) {
    SetCell(1, Column::RxFreq, "145.00000");
    QSignalSpy replaced(&document_.editor, &DocumentEditor::radioImageAdopted);

    document_.radio->Read();

    EXPECT_TRUE(messenger_.messages.empty());
    EXPECT_EQ(finalPercent_, "100%");
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(view_->table().Cell(0, Column::RxFreq), "146.52500");
    EXPECT_EQ(view_->table().Cell(0, Column::Power), "High");
    // The radio's empty row 2 replaced what the grid held.
    EXPECT_EQ(view_->table().Cell(1, Column::RxFreq), "");
    EXPECT_TRUE(std::equal(state_.image.span(0, 0x2A00).begin(), state_.image.span(0, 0x2A00).end(),
                           radio_.memory().span(0, 0x2A00).begin()));
    // Undo steps from before the read no longer apply.
    EXPECT_EQ((&document_.undoStack)->count(), 0);
    EXPECT_FALSE(state_.busy);
    // The document knows what the radio holds.
    ASSERT_TRUE(document_.document.lastRadioImage().has_value());
    EXPECT_TRUE(*document_.document.lastRadioImage() == state_.image);
}

TEST_F(TransferTest, WriteStoresTheGridFirstAndSendsIt) {
    SetCell(2, Column::RxFreq, "438.50000");
    SetCell(2, Column::Power, "Low");

    document_.radio->Write();

    EXPECT_TRUE(messenger_.messages.empty());
    ASSERT_FALSE(radio_.log().empty());
    EXPECT_EQ(radio_.log().back(), "ENDW");
    EXPECT_EQ(radio_.headers().size(), 351u);
    // Record 2 as the grid encoded it: 438.50000 MHz, power bit clear.
    const std::size_t base = 2 * kRecordSize;
    EXPECT_EQ(radio_.memory()[base + 0], 0x00);
    EXPECT_EQ(radio_.memory()[base + 1], 0x00);
    EXPECT_EQ(radio_.memory()[base + 2], 0x85);
    EXPECT_EQ(radio_.memory()[base + 3], 0x43);
    EXPECT_EQ(radio_.memory()[base + 13] & 0x10, 0);
    EXPECT_TRUE(std::equal(state_.image.span(0, 0x2A00).begin(), state_.image.span(0, 0x2A00).end(),
                           radio_.memory().span(0, 0x2A00).begin()));
    ASSERT_TRUE(document_.document.lastRadioImage().has_value());
    EXPECT_TRUE(*document_.document.lastRadioImage() == state_.image);
}

TEST_F(TransferTest, VerifyAfterWriteIsRememberedAndReportsARadioThatDiffers) {
    const std::filesystem::path ini =
        std::filesystem::path(backups_.path().toStdString()) / "P.ini";
    document_.radio->SetSettingsPath(ini);
    // Checked before "Start" is pressed (the fixture presses it once the dialog runs).
    QObject::connect(document_.radio, &RadioCommands::dialogOpened, [](TransferDialog* dialog) {
        ASSERT_NE(dialog->verifyBox(), nullptr);
        dialog->verifyBox()->setChecked(true);
    });
    radio_.faults().wrongByteAt = 0x40;
    document_.radio->Write();
    ASSERT_EQ(messenger_.messages.size(), 1u);
    EXPECT_EQ(messenger_.messages[0].substr(0, messenger_.messages[0].find('\n', 60)),
              "Verify failed: the radio does not hold what was written.\nIt differs in A003.");
    EXPECT_EQ(radio_.log().back(), "ENDR");
    // A write that did not verify is not what the radio holds.
    EXPECT_FALSE(document_.document.lastRadioImage().has_value());
    std::ifstream stored(ini);
    const std::string text{std::istreambuf_iterator<char>(stored), {}};
    EXPECT_NE(text.find("VerifyAfterWrite=1"), std::string::npos) << text;

    // The next dialog starts with the box as it was left; a read has none.
    QObject::disconnect(document_.radio, &RadioCommands::dialogOpened, nullptr, nullptr);
    auto checked = std::make_shared<int>(-1);
    QObject::connect(
        document_.radio, &RadioCommands::dialogOpened, [checked](TransferDialog* dialog) {
            *checked = dialog->verifyBox() == nullptr ? 2 : dialog->verifyBox()->isChecked();
            QTimer::singleShot(0, dialog, &QDialog::reject);
        });
    document_.radio->Write();
    EXPECT_EQ(*checked, 1);
    document_.radio->Read();
    EXPECT_EQ(*checked, 2);
}

TEST_F(TransferTest, FailedReadLeavesGridAndImageAndRefusesToCloseMeanwhile) {
    SetCell(0, Column::RxFreq, "145.00000");
    const MemoryImage before = state_.image;
    radio_.faults().withholdAckAfterBlock = 3;
    QSignalSpy replaced(&document_.editor, &DocumentEditor::radioImageAdopted);

    // While "Communication error" is up the worker still runs: Esc, the close box and "Exit"
    // must not end the dialog under it.
    bool stayedOpen = false;
    messenger_.whileShown = [this, &stayedOpen](const std::string&) {
        QTest::keyClick(dialog_, Qt::Key_Escape);
        dialog_->close();
        stayedOpen = dialog_->isVisible() && dialog_->state() == TransferDialog::State::Running &&
                     !dialog_->exitButton()->isEnabled() && !dialog_->startButton()->isEnabled();
    };

    document_.radio->Read();

    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messenger_.firstLines(), std::vector<std::string>{"Communication error"});
    EXPECT_NE(messenger_.messages[0].find("the demo radio: missing acknowledge at block 3 of 352"),
              std::string::npos)
        << messenger_.messages[0];
    EXPECT_EQ(messenger_.icons, std::vector<MessageIcon>{MessageIcon::Critical});
    EXPECT_EQ(replaced.count(), 0);
    EXPECT_EQ(view_->table().Cell(0, Column::RxFreq), "145.00000");
    EXPECT_TRUE(state_.image == before);
    EXPECT_FALSE(document_.document.lastRadioImage().has_value());
    EXPECT_FALSE(state_.busy);
}

TEST_F(TransferTest, WriteThatFailsPartWaySaysTheRadioMayBePartlyWritten) {
    radio_.faults().withholdAckAfterBlock = 40;
    document_.radio->Write();
    ASSERT_EQ(messenger_.messages.size(), 1u);
    const std::string& text = messenger_.messages.front();
    // The familiar first line, then what it means for the radio and what to do.
    EXPECT_EQ(text.substr(0, text.find('\n')), "Communication error");
    EXPECT_NE(text.find("partly written memory"), std::string::npos) << text;
    EXPECT_NE(text.find("write again"), std::string::npos) << text;
    EXPECT_NE(radio_.log().back(), "ENDW");
}

TEST_F(TransferTest, PortThatDoesNotOpenIsReported) {
    state_.deviceOverride = "/nonexistent/kestra-tty";
    document_.radio->Read();
    EXPECT_EQ(messenger_.messages,
              std::vector<std::string>{"Open port fail\nCould not open /nonexistent/kestra-tty (no "
                                       "such device). Run kestra-cli doctor to see what stands in "
                                       "the way and what to do."});
    EXPECT_EQ(messenger_.icons, std::vector<MessageIcon>{MessageIcon::Warning});
    EXPECT_EQ(view_->table().Cell(0, Column::RxFreq), "");
}

class TransferDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::Application();
        state_.deviceOverride = "demo";
    }

    VirtualRadio radio_;
    LinkFactory links_{&radio_};
    AppState state_;
    test::RecordingMessenger messenger_;
};

TEST_F(TransferDialogTest, OpensIdleWithCaptionRangeAndButtons) {
    TransferDialog dialog(state_, messenger_, links_, ClonePlan::Write());
    EXPECT_EQ(dialog.windowTitle(), "Write");
    EXPECT_EQ(dialog.progressBar()->maximum(), 351);
    EXPECT_EQ(dialog.percentLabel()->text(), "0%");
    EXPECT_EQ(dialog.startButton()->text(), "Start");
    EXPECT_TRUE(dialog.startButton()->isDefault());
    EXPECT_EQ(dialog.exitButton()->text(), "Exit");
}

TEST_F(TransferDialogTest, ShowsThePortItUsesOrSaysDemoRadio) {
    TransferDialog demo(state_, messenger_, links_, ClonePlan::Write());
    demo.show();
    EXPECT_TRUE(demo.demoLabel()->isVisible());
    EXPECT_EQ(demo.demoLabel()->text(), "Demo radio");
    EXPECT_FALSE(demo.portLabel()->isVisible());

    state_.deviceOverride = "/dev/serial/by-id/usb-cable";
    TransferDialog real(state_, messenger_, links_, ClonePlan::Write());
    real.show();
    EXPECT_FALSE(real.demoLabel()->isVisible());
    EXPECT_TRUE(real.portLabel()->isVisible());
    EXPECT_EQ(real.portLabel()->text(), "Port: /dev/serial/by-id/usb-cable");

    state_.deviceOverride.clear();
    state_.portName = "COM3";
    TransferDialog com(state_, messenger_, links_, ClonePlan::Read());
    EXPECT_EQ(com.portLabel()->text(),
              QString::fromStdString("Port: COM3 (" + DeviceForPortNumber(3) + ")"));
}

TEST_F(TransferDialogTest, BusyFlagKeepsStartFromStartingASecondTransfer) {
    TransferDialog dialog(state_, messenger_, links_, ClonePlan::Read());
    dialog.show();
    state_.busy = true;
    QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.state(), TransferDialog::State::Idle);
    EXPECT_TRUE(radio_.log().empty());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(TransferDialogTest, InitializationStaysOpenForTheNextRadio) {
    state_.serviceMode = true;
    state_.image[0x3F00] = 0x5A;  // beyond what a Write sends
    TransferDialog dialog(state_, messenger_, links_, ClonePlan::Initialization());
    QSignalSpy finished(&dialog, &TransferDialog::transferFinished);
    dialog.show();

    QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
    // The spy's wait runs an event loop, which answers the worker's reports at once.
    ASSERT_TRUE(finished.wait(kTransferTimeoutMs));

    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_TRUE(dialog.succeeded());
    EXPECT_EQ(messenger_.messages, std::vector<std::string>{"Init"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.state(), TransferDialog::State::Idle);
    EXPECT_EQ(dialog.percentLabel()->text(), "0%");
    EXPECT_EQ(dialog.progressBar()->value(), 0);
    EXPECT_TRUE(dialog.startButton()->isEnabled());
    EXPECT_EQ(radio_.memory()[0x3F00], 0x5A);

    QTest::mouseClick(dialog.exitButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(TransferDialogTest, ClosingTheProgramUnderARunningTransferDoesNotHang) {
    auto dialog = std::make_unique<TransferDialog>(state_, messenger_, links_, ClonePlan::Read());
    dialog->show();
    QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
    // No event loop runs here, so the worker soon waits for its first progress report to be
    // delivered; tearing the dialog down now must still let the worker finish.
    QThread::msleep(300);
    dialog.reset();
    EXPECT_FALSE(state_.busy);
}

TEST(DemoRadioTest, StartsFromTheSampleImageOrANewDocument) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString sample = dir.filePath("demo-radio.dat");
    QFile file(sample);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100, '\x11'));
    file.close();

    DemoRadio fromSample(sample, 0);
    EXPECT_TRUE(fromSample.loadedFromResource());
    EXPECT_EQ(fromSample.radio().memory()[99], 0x11);
    EXPECT_EQ(fromSample.radio().memory()[100], 0xFF);

    DemoRadio withoutSample(dir.filePath("missing.dat"), 0);
    EXPECT_FALSE(withoutSample.loadedFromResource());
    EXPECT_TRUE(withoutSample.radio().memory() == BuiltInDocumentImage());
}

}  // namespace
}  // namespace kestra
