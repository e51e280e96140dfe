// SPDX-License-Identifier: GPL-3.0-or-later
// What keeps a radio's data safe in the desktop program: a backup after every read and before
// every write, the summary of what a write changes before anything is sent, and File, Backups
// opening one of them as a new document.

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "app/application.hpp"
#include "app/backups_dialog.hpp"
#include "app/main_window.hpp"
#include "app/write_preview_dialog.hpp"
#include "channels/backup_store.hpp"
#include "channels/channel_table.hpp"
#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "link/device/link_factory.hpp"
#include "link/ui/transfer_dialog.hpp"
#include "model/document_file.hpp"
#include "ui_test_support.hpp"

namespace kestra {
namespace {

using test::OnNextModal;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class TransferSafetyTest : public test::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        state_.deviceOverride = "demo";
        const std::array<std::uint8_t, 4> rx{0x00, 0x25, 0x65, 0x14};  // 146.52500 MHz
        radio_.memory().write(0, rx);
        radio_.memory()[13] = 0x38;
        view_ = std::make_unique<CProgramView>(document_.document);
        document_.Attach(*view_);
        document_.radio->SetLinkFactory(&links_);
        document_.editor.SetBackupFolder(Backups());
        QObject::connect(
            document_.radio, &RadioCommands::dialogOpened, [this](TransferDialog* dialog) {
                QTimer::singleShot(0, dialog, [this, dialog] {
                    QTest::mouseClick(leaveWithExit_ ? dialog->exitButton() : dialog->startButton(),
                                      Qt::LeftButton);
                });
            });
    }

    std::filesystem::path Backups() const { return Home() / "kept"; }
    void SetCell(int record, Column column, const QString& text) {
        QAbstractItemModel* model = view_->grid()->model();
        ASSERT_TRUE(model->setData(model->index(record, ModelColumnOf(column)), text));
    }
    // Write with the summary answered by a click on Write or Cancel; returns its texts.
    QString WriteAnswering(bool write) {
        auto shown = std::make_shared<QString>();
        OnNextModal<WritePreviewDialog>([write, shown](WritePreviewDialog* preview) {
            *shown = preview->headline()->text() + "\n" + preview->changes()->toPlainText();
            QTest::mouseClick(write ? preview->writeButton() : preview->cancelButton(),
                              Qt::LeftButton);
        });
        document_.radio->Write();
        return *shown;
    }

    VirtualRadio radio_;
    LinkFactory links_{&radio_};
    AppState state_;
    test::ViewDocument document_{state_, messenger_};
    std::unique_ptr<CProgramView> view_;
    bool leaveWithExit_ = false;  // the transfer dialog is left with Exit instead of Start
};

TEST_F(TransferSafetyTest, ReadKeepsABackupAndWriteShowsWhatItChangesBeforeSendingIt) {
    document_.radio->Read();
    std::vector<BackupEntry> kept = ListBackups(Backups());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].kind, BackupKind::Read);
    MemoryImage backup;
    ASSERT_TRUE(LoadDocumentFile(kept[0].path, backup).ok);
    EXPECT_TRUE(backup == state_.image);

    SetCell(0, Column::Power, "Low");
    SetCell(5, Column::RxFreq, "145.00000");
    radio_.ClearLog();
    const QString cancelled = WriteAnswering(false);
    EXPECT_THAT(cancelled.toStdString(), HasSubstr("this write changes 2 channels"));
    EXPECT_THAT(cancelled.toStdString(), HasSubstr("A001 Tx Power: High -> Low"));
    EXPECT_THAT(cancelled.toStdString(), HasSubstr("A006 added: 145.00000 MHz"));
    // Cancel sends nothing and keeps no backup; nor does leaving the transfer dialog with Exit.
    EXPECT_TRUE(radio_.log().empty());
    EXPECT_EQ(ListBackups(Backups()).size(), 1u);
    leaveWithExit_ = true;
    WriteAnswering(true);
    EXPECT_TRUE(radio_.log().empty());
    EXPECT_EQ(ListBackups(Backups()).size(), 1u);
    leaveWithExit_ = false;

    EXPECT_EQ(WriteAnswering(true), cancelled);
    ASSERT_FALSE(radio_.log().empty());
    EXPECT_EQ(radio_.log().back(), "ENDW");
    kept = ListBackups(Backups());
    ASSERT_EQ(kept.size(), 2u);
    const auto written = std::find_if(
        kept.begin(), kept.end(), [](const BackupEntry& e) { return e.kind == BackupKind::Write; });
    ASSERT_NE(written, kept.end());
    ASSERT_TRUE(LoadDocumentFile(written->path, backup).ok);
    EXPECT_TRUE(std::equal(backup.span(0, 0x2A00).begin(), backup.span(0, 0x2A00).end(),
                           radio_.memory().span(0, 0x2A00).begin()));

    // Compared with what was just written, a second write changes nothing.
    EXPECT_THAT(WriteAnswering(true).toStdString(), StartsWith("The radio already holds"));
    EXPECT_TRUE(messenger_.messages.empty());
}

TEST_F(TransferSafetyTest, ABackupThatCannotBeKeptIsReportedAndTheTransferGoesOn) {
    WriteFile(Backups(), "a file where the folder should be");
    // Nothing read or written yet: nothing to compare, so the write starts without a summary.
    auto summaryShown = std::make_shared<bool>(false);
    OnNextModal<WritePreviewDialog>([summaryShown](WritePreviewDialog* preview) {
        *summaryShown = true;
        preview->reject();
    });
    document_.radio->Write();
    EXPECT_FALSE(*summaryShown);
    ASSERT_FALSE(radio_.log().empty());
    EXPECT_EQ(radio_.log().back(), "ENDW");

    document_.radio->Read();
    EXPECT_EQ(radio_.log().back(), "ENDR");
    EXPECT_TRUE(document_.document.lastRadioImage().has_value());
    ASSERT_EQ(messenger_.messages.size(), 2u);
    for (const char* kind : {"write", "read"}) {
        const std::string& message = messenger_.messages[kind[0] == 'w' ? 0 : 1];
        EXPECT_THAT(message, StartsWith(std::string("No backup of this ") + kind +
                                        " was kept: Cannot create the backup folder"));
        EXPECT_THAT(message, HasSubstr(std::string("The ") + kind + " itself is not affected."));
    }
}

class BackupsDialogTest : public test::ShellTest {};

TEST_F(BackupsDialogTest, ListsTheBackupsAndOpensOneAsAnUntitledDocument) {
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    CMainFrame* frame = program.mainFrame();
    CProgramView* view = frame->view();
    const std::filesystem::path folder = Home() / "backups";
    const auto at = [](int second) {
        return std::chrono::system_clock::from_time_t(1714572000 + second);
    };
    view->grid()->model()->setData(view->grid()->model()->index(0, 0), "146.52000");
    view->StoreGridToImage();
    ASSERT_TRUE(KeepBackup(folder, program.state().image, BackupKind::Read, at(0)).ok());
    view->grid()->model()->setData(view->grid()->model()->index(1, 0), "145.50000");
    view->StoreGridToImage();
    ASSERT_TRUE(KeepBackup(folder, program.state().image, BackupKind::Write, at(60)).ok());
    prompts_.saveChoice = SaveChoice::Discard;
    frame->documents()->New();
    ASSERT_EQ(view->table().Cell(0, Column::RxFreq), "");

    auto rows = std::make_shared<QStringList>();
    OnNextModal<BackupsDialog>([rows](BackupsDialog* dialog) {
        QTableWidget* list = dialog->list();
        for (int row = 0; row < list->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < list->columnCount(); ++column) {
                cells << list->item(row, column)->text();
            }
            *rows << cells.join('|');
        }
        // The newest is chosen from the start.
        EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1);
        EXPECT_TRUE(list->selectionModel()->isRowSelected(0));
        EXPECT_TRUE(dialog->openButton()->isEnabled());
        list->selectRow(1);
        QTest::mouseClick(dialog->openButton(), Qt::LeftButton);
    });
    frame->action(CMainFrame::Command::Backups)->trigger();

    // Newest first, with kind, model and channel count.
    ASSERT_EQ(rows->size(), 2);
    EXPECT_THAT((*rows)[0].toStdString(), ::testing::EndsWith("|write|6120E|2"));
    EXPECT_THAT((*rows)[1].toStdString(), ::testing::EndsWith("|read|6120E|1"));
    // The older backup is now an untitled document: saving it asks for a name.
    EXPECT_EQ(view->table().Cell(0, Column::RxFreq), "146.52000");
    EXPECT_EQ(view->table().Cell(1, Column::RxFreq), "");
    EXPECT_EQ(frame->documents()->displayName(), "Untitled");
    EXPECT_TRUE(frame->documents()->currentPath().isEmpty());
    // The status bar says what was opened, as Open does.
    const std::string opened = ListBackups(folder)[1].path.filename().string();
    EXPECT_EQ(frame->statusText()->text().toStdString(),
              "Opened a copy of " + opened + "; Save asks for a new name");
}

}  // namespace
}  // namespace kestra
