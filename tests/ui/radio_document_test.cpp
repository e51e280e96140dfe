// SPDX-License-Identifier: GPL-3.0-or-later
// The document around a transfer in the running program: a read detaches the document from its
// file and asks first when there are unsaved changes; failures show their icon and second line.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#include "app/application.hpp"
#include "app/child_frame.hpp"
#include "app/main_window.hpp"
#include "app/qt_messenger.hpp"
#include "app/radio_commands.hpp"
#include "app/write_preview_dialog.hpp"
#include "channels/channel_table.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "link/device/link_factory.hpp"
#include "link/ui/transfer_dialog.hpp"
#include "model/codecs.hpp"
#include "model/document_file.hpp"
#include "settings/ui/optional_features_dialog.hpp"
#include "ui_test_support.hpp"

namespace kestra::test {
namespace {

using Command = CMainFrame::Command;
using ::testing::ContainsRegex;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

class RadioDocumentTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        program_ = std::make_unique<KestraApplication>(&messenger_, &prompts_);
        program_->Start({});
        frame_ = program_->mainFrame();
        docs_ = frame_->documents();
        // An unpaced radio, so a read takes no real time; A001 holds 146.52500 MHz.
        radio_.memory().write(0, Bcd8Encode(14652500));
        program_->state().deviceOverride = "demo";
        frame_->radio()->SetLinkFactory(&links_);
        QObject::connect(frame_->radio(), &RadioCommands::dialogOpened,
                         [this](TransferDialog* dialog) {
                             ++transfers_;
                             if (dialog->verifyBox() != nullptr) {
                                 dialog->verifyBox()->setChecked(verify_);
                             }
                             QTimer::singleShot(0, dialog, [dialog] {
                                 QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
                             });
                         });
    }

    std::string Rx(int record) const {
        return frame_->view()->table().Cell(record, Column::RxFreq);
    }
    void TypeRx(int record, const QString& text) {
        QAbstractItemModel* model = frame_->view()->grid()->model();
        ASSERT_TRUE(model->setData(model->index(record, 0), text, Qt::EditRole));
    }
    QString FileWith(const std::string& name, Frequency rx) {
        MemoryImage image = BuiltInDocumentImage();
        image.write(0, Bcd8Encode(static_cast<std::uint32_t>(rx)));
        EXPECT_TRUE(SaveDocumentFile(Home() / name, image));
        return HomeFile(QString::fromStdString(name));
    }

    VirtualRadio radio_;
    LinkFactory links_{&radio_};
    std::unique_ptr<KestraApplication> program_;
    CMainFrame* frame_ = nullptr;
    DocumentController* docs_ = nullptr;
    int transfers_ = 0;
    bool verify_ = false;  // "Verify after write" for the next writes
};

TEST_F(RadioDocumentTest, ReadLeavesAnUntitledDocumentSoSaveCannotOverwriteTheFile) {
    const QString mine = FileWith("mine.dat", 43500000);
    ASSERT_TRUE(docs_->OpenPath(mine));
    const std::string fileBytes = ReadFile(mine.toStdString());

    frame_->action(Command::Read)->trigger();

    ASSERT_EQ(transfers_, 1);
    // An unchanged document is read over without a question.
    EXPECT_TRUE(prompts_.readQuestions.isEmpty());
    EXPECT_EQ(Rx(0), "146.52500");
    EXPECT_EQ(docs_->displayName(), "Untitled");
    EXPECT_TRUE(docs_->isModified());
    EXPECT_EQ(frame_->childFrame()->windowTitle(), "Untitled[*]");
    EXPECT_EQ(frame_->statusText()->text(), "Read complete: 1 channel from the demo radio");

    // Ctrl+S asks for a name; cancelling it writes nothing anywhere.
    prompts_.savePath.clear();
    frame_->action(Command::Save)->trigger();
    EXPECT_EQ(ReadFile(mine.toStdString()), fileBytes);
    prompts_.savePath = HomeFile("radio.dat");
    frame_->action(Command::Save)->trigger();
    EXPECT_EQ(ReadFile(mine.toStdString()), fileBytes);
    EXPECT_EQ(docs_->displayName(), "radio.dat");
    EXPECT_FALSE(docs_->isModified());
    EXPECT_EQ(frame_->statusText()->text(), "Saved radio.dat");

    // The file read over is a different document now: opening it loads it again.
    prompts_.saveChoice = SaveChoice::Discard;
    ASSERT_TRUE(docs_->OpenPath(mine));
    EXPECT_EQ(Rx(0), "435.00000");
    EXPECT_EQ(frame_->statusText()->text(), "Opened mine.dat");

    // A write says so as well, with what it sent and where (after its summary of the changes
    // since the read, which is accepted).
    TypeRx(9, "145.5");
    bool summaryShown = false;
    OnNextModal<WritePreviewDialog>([&summaryShown](WritePreviewDialog* preview) {
        summaryShown = true;
        preview->accept();
    });
    frame_->action(Command::Write)->trigger();
    EXPECT_TRUE(summaryShown);
    EXPECT_EQ(transfers_, 2);
    EXPECT_EQ(frame_->statusText()->text(), "Write complete: 2 channels to the demo radio");
}

TEST_F(RadioDocumentTest, TheWriteSummaryNamesWhatADialogChangedAndWhatItOnlyNormalised) {
    // A radio holding a new document's settings, whose time-out byte the dialog does not list.
    radio_.memory() = BuiltInDocumentImage();
    radio_.memory().write(0, Bcd8Encode(14652500));
    frame_->action(Command::Read)->trigger();
    ASSERT_EQ(transfers_, 1);

    OnNextModal<OptionalFeaturesDialog>([](OptionalFeaturesDialog* dialog) {
        auto* keyLock = qobject_cast<QComboBox*>(dialog->control("Key Lock"));
        ASSERT_NE(keyLock, nullptr);
        keyLock->setCurrentText(keyLock->currentText() == "On" ? "Off" : "On");
        dialog->close();
    });
    frame_->action(Command::OptionalFeatures)->trigger();
    TypeRx(2, "145.5");

    QString summary;
    OnNextModal<WritePreviewDialog>([&summary](WritePreviewDialog* preview) {
        summary = preview->changes()->toPlainText();
        preview->reject();
    });
    frame_->action(Command::Write)->trigger();
    const std::string text = summary.toStdString();
    EXPECT_THAT(text, HasSubstr("A003 added: 145.50000 MHz\n"));
    EXPECT_THAT(text, ContainsRegex("Optional Features: Key Lock O[nf]+ -> O[nf]+\n"));
    EXPECT_THAT(text, HasSubstr("Optional Features: TOT (s) 30 -> 30 (as the dialog stores it)\n"));
    EXPECT_THAT(text, Not(HasSubstr("0x"))) << "every byte explained: " << text;
    EXPECT_THAT(text, EndsWith("\nand the summary areas the radio needs\n"));
}

TEST_F(RadioDocumentTest, AVerifiedWriteSaysSoAndAFailedReadGivesTheKeyboardBack) {
    frame_->show();
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_));
    verify_ = true;
    frame_->action(Command::Write)->trigger();
    EXPECT_EQ(frame_->statusText()->text(),
              "Write complete and verified: 0 channels to the demo radio");

    radio_.faults().silent = true;
    frame_->view()->modelCombo()->setFocus();
    frame_->action(Command::Read)->trigger();
    ASSERT_EQ(messenger_.firstLines().back(), "Communication error");
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame_));
    EXPECT_EQ(QApplication::focusWidget(), frame_->view()->grid()) << "Ctrl+W works at once";
    EXPECT_EQ(frame_->statusText()->text(),
              "Write complete and verified: 0 channels to the demo radio");
}

TEST_F(RadioDocumentTest, ReadOverUnsavedChangesAsksFirst) {
    TypeRx(3, "145.5");

    // Yes, then no name given: nothing is read.
    prompts_.saveBeforeRead = true;
    prompts_.savePath.clear();
    frame_->action(Command::Read)->trigger();
    EXPECT_EQ(prompts_.readQuestions, QStringList{"Untitled"});
    EXPECT_EQ(transfers_, 0);
    EXPECT_EQ(Rx(3), "145.50000");

    // Yes with a name: the edit is saved, then the radio's data comes in.
    prompts_.savePath = HomeFile("edited.dat");
    frame_->action(Command::Read)->trigger();
    EXPECT_EQ(transfers_, 1);
    EXPECT_TRUE(QFile::exists(HomeFile("edited.dat")));
    EXPECT_EQ(Rx(3), "");
    EXPECT_EQ(Rx(0), "146.52500");

    // No: read over the changes without saving them.
    TypeRx(3, "145.5");
    prompts_.saveBeforeRead = false;
    frame_->action(Command::Read)->trigger();
    EXPECT_EQ(prompts_.readQuestions.size(), 3);
    EXPECT_EQ(transfers_, 2);
    EXPECT_EQ(Rx(3), "");
    MemoryImage saved;
    ASSERT_TRUE(LoadDocumentFile(Home() / "edited.dat", saved));
    EXPECT_EQ(saved.span(3 * kRecordSize, 4)[3], 0x14);  // 145.50000 MHz stayed in the file
}

TEST(FailureBoxTest, FailuresShowTheirIconWithTheFirstLineAsTheMessage) {
    Application();
    QtMessenger messenger;
    for (const auto icon : {MessageIcon::Warning, MessageIcon::Critical}) {
        QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
        QString text;
        QString details;
        OnNextModal<QMessageBox>([&](QMessageBox* box) {
            shownIcon = box->icon();
            text = box->text();
            details = box->informativeText();
            box->accept();
        });
        messenger.ShowFailure("Open port fail\nCould not open /dev/ttyUSB0 (busy).", icon);
        EXPECT_EQ(shownIcon,
                  icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Critical);
        EXPECT_EQ(text, "Open port fail");
        EXPECT_EQ(details, "Could not open /dev/ttyUSB0 (busy).");
    }
}

}  // namespace
}  // namespace kestra::test
