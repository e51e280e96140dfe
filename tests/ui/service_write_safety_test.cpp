// SPDX-License-Identifier: GPL-3.0-or-later
// What keeps a radio's factory calibration safe in the service dialogs: the question before a
// Write of values that were never read, the backup of the radio's values before every Write
// (down to the file in the backup folder when the Edit menu opens the dialog), spin boxes whose
// big steps and wheel never wrap, and Sql Adjust's grid that always has a record behind it.

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>

#include <memory>

#include "app/application.hpp"
#include "app/main_window.hpp"
#include "app/qt_messenger.hpp"
#include "channels/backup_store.hpp"
#include "model/document_file.hpp"
#include "service/ui/calibration_grid_widget.hpp"
#include "service/ui/dtmf_initialization_dialog.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"
#include "service/ui/spin_text_box.hpp"
#include "service/ui/sql_adjust_dialog.hpp"
#include "service_test_support.hpp"

namespace kestra::test {
namespace {

void Type(SpinTextBox* box, const QString& text) {
    box->editor()->selectAll();
    QTest::keyClicks(box->editor(), text);
}

// One notch of the wheel over the box; whether the box took it.
bool Wheel(SpinTextBox* box, int notches) {
    QWheelEvent wheel(QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(box, &wheel);
    return wheel.isAccepted();
}

class ServiceWriteSafetyTest : public ServiceDialogTest {
protected:
    // A context whose backups are recorded here.
    ServiceContext KeepingContext() {
        ServiceContext context = Context();
        context.keepBackup = [this](const std::string& dialog, const MemoryImage& previous) {
            backups_.push_back({dialog, previous});
            return std::string();
        };
        return context;
    }
    std::vector<std::pair<std::string, MemoryImage>> backups_;
};

TEST_F(ServiceWriteSafetyTest, BigStepsStopAtTheEndsWhileSingleStepsStillWrap) {
    ParameterAdjustDialog dialog(Context());
    dialog.show();
    SpinTextBox* deviation = dialog.box("Narrow XMITTER Dev");
    Type(deviation, "1020");
    QTest::keyClick(deviation, Qt::Key_PageUp);
    EXPECT_EQ(deviation->text(), "1023");
    Type(deviation, "1020");
    QTest::keyClick(deviation, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(deviation->text(), "1023");
    Type(deviation, "3");
    QTest::keyClick(deviation, Qt::Key_PageDown);
    EXPECT_EQ(deviation->text(), "0");
    Type(deviation, "1023");
    QTest::keyClick(deviation, Qt::Key_Up);
    EXPECT_EQ(deviation->text(), "0") << "a single step keeps the spin control's wrap";

    CalibrationGridWidget* sql = dialog.grid(GridId::SquelchDetection);
    sql->BeginEdit(0, 0);
    Type(sql->OpenEditor(), "130");
    QTest::keyClick(sql->OpenEditor(), Qt::Key_PageUp);
    EXPECT_EQ(sql->OpenEditor()->text(), "137");

    DtmfInitializationDialog dtmf(Context());
    dtmf.show();
    Type(dtmf.box(0), "FFF8");  // PageUp adds ten
    QTest::keyClick(dtmf.box(0), Qt::Key_PageUp);
    EXPECT_EQ(dtmf.box(0)->text(), "FFFF");
}

TEST_F(ServiceWriteSafetyTest, TheWheelTurnsOnlyTheBoxThatHasTheFocus) {
    ParameterAdjustDialog dialog(Context());
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    SpinTextBox* focused = dialog.box("Wide XMITTER Dev");
    SpinTextBox* other = dialog.box("Narrow XMITTER Dev");
    focused->setFocus();
    ASSERT_TRUE(focused->hasFocus());

    Type(other, "500");
    EXPECT_FALSE(Wheel(other, 1)) << "passed on to what lies beneath";
    EXPECT_EQ(other->text(), "500");
    EXPECT_TRUE(focused->hasFocus());
    // A real wheel would first give the focus to a box with wheel focus.
    EXPECT_NE(other->focusPolicy() & Qt::WheelFocus, Qt::WheelFocus);

    Type(focused, "1022");
    EXPECT_TRUE(Wheel(focused, 1));
    EXPECT_EQ(focused->text(), "1023");
    Wheel(focused, 1);
    EXPECT_EQ(focused->text(), "1023") << "the wheel never wraps";
    Wheel(focused, -1);
    EXPECT_EQ(focused->text(), "1022");
}

TEST_F(ServiceWriteSafetyTest, ValuesNeverReadAreWrittenOnlyAfterAYes) {
    radio_.memory().fill(0x3ED0, 0xDC, 0x21);
    const MemoryImage factory = radio_.memory();
    ParameterAdjustDialog dialog(KeepingContext());
    dialog.show();

    messenger_.answers = {false};
    Press(dialog, dialog.writeButton());
    EXPECT_EQ(messenger_.messages, std::vector<std::string>{std::string(kUnreadValuesQuestion)});
    EXPECT_TRUE(radio_.log().empty()) << "the radio was not even woken";
    EXPECT_TRUE(backups_.empty());

    messenger_.messages.clear();
    messenger_.answers = {true};
    Press(dialog, dialog.writeButton());
    EXPECT_EQ(messenger_.messages,
              (std::vector<std::string>{std::string(kUnreadValuesQuestion), "Write complete"}));
    EXPECT_EQ(Headers("R ").size(), 9u);
    EXPECT_EQ(Headers("W ").size(), 9u);
    ASSERT_EQ(backups_.size(), 1u);
    EXPECT_EQ(backups_[0].first, "Parameter Adjust");
    for (std::size_t a = 0; a < kImageSize; ++a) {
        const bool written = a >= 0x3ED0 && a < 0x3FAC;
        ASSERT_EQ(backups_[0].second[a], written ? factory[a] : 0xFF) << a;
    }
    EXPECT_EQ(radio_.memory()[0x3F21], 63);

    // Values read from the radio go without the question.
    radio_.memory()[0x3F21] = 21;
    Press(dialog, dialog.readButton());
    messenger_.messages.clear();
    Press(dialog, dialog.writeButton());
    EXPECT_EQ(messenger_.messages, std::vector<std::string>{"Write complete"});
    EXPECT_EQ(backups_.size(), 2u);
}

TEST_F(ServiceWriteSafetyTest, EveryServiceWriteBacksUpExactlyItsRanges) {
    radio_.memory().fill(0x2A00, 0x1600, 0x42);
    const MemoryImage factory = radio_.memory();
    messenger_.answers = {true, true};
    {
        DtmfInitializationDialog dialog(KeepingContext());
        dialog.show();
        Press(dialog, dialog.writeButton());
    }
    {
        SqlAdjustDialog dialog(KeepingContext());
        dialog.show();
        Press(dialog, dialog.writeButton());
    }
    ASSERT_EQ(backups_.size(), 2u);
    EXPECT_EQ(backups_[0].first, "DTMF Initialization");
    EXPECT_EQ(backups_[1].first, "Sql Adjust");
    for (std::size_t a = 0; a < kImageSize; ++a) {
        const bool dtmf = a >= 0x3E00 && a < 0x3E30;
        const bool sql = (a >= 0x2A00 && a < 0x2CE0) || (a >= 0x3F70 && a < 0x3FAC);
        ASSERT_EQ(backups_[0].second[a], dtmf ? factory[a] : 0xFF) << a;
        ASSERT_EQ(backups_[1].second[a], sql ? factory[a] : 0xFF) << a;
    }
}

TEST_F(ServiceWriteSafetyTest, SqlAdjustOpensOnItsFirstPointAndItsGridNeedsOne) {
    SqlAdjustDialog dialog(Context());
    dialog.show();
    ASSERT_TRUE(dialog.selectedPoint().has_value());
    EXPECT_EQ(dialog.selectedPoint()->offset, 0x2A00u);
    EXPECT_EQ(dialog.tree()->selectedItems().value(0), dialog.pointItem(0, 136));
    EXPECT_TRUE(dialog.grid()->editable());

    dialog.grid()->BeginEdit(0, 1);  // "Noise1", "W Low"
    ASSERT_NE(dialog.grid()->OpenEditor(), nullptr);
    Type(dialog.grid()->OpenEditor(), "77");
    dialog.accept();
    EXPECT_EQ(state_.image[0x2A01], 77);

    SqlAdjustDialog other(Context());
    other.show();
    CalibrationGridWidget* grid = other.grid();
    grid->SetEditable(false);
    grid->BeginEdit(1, 1);
    EXPECT_EQ(grid->OpenEditor(), nullptr);
    grid->setFocus();
    QTest::keyClicks(grid, "5");
    EXPECT_EQ(grid->OpenEditor(), nullptr);
    EXPECT_EQ(grid->item(1, 1)->text(), "255");
}

TEST_F(ServiceWriteSafetyTest, TheQuestionsDefaultIsNo) {
    QtMessenger messenger(QStringLiteral("Kestra"));
    QString shown;
    OnNextModal<QMessageBox>([&shown](QMessageBox* box) {
        shown = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_FALSE(messenger.Show(std::string(kUnreadValuesQuestion), MessageButtons::YesNo));
    EXPECT_EQ(shown, QString::fromLatin1(kUnreadValuesQuestion.data()));
}

class ServiceBackupFileTest : public ShellTest {};

TEST_F(ServiceBackupFileTest, TheEditMenusDialogsKeepTheRadiosValuesInTheBackupFolder) {
    KestraApplication program(&messenger_, &prompts_);
    program.Start({QStringLiteral("demo"), {}});
    CMainFrame* frame = program.mainFrame();
    program.state().serviceMode = true;
    frame->action(CMainFrame::Command::ParamAdjust)->setEnabled(true);

    // A new document's values: the question is answered Yes twice.
    messenger_.answers = {true, true};
    MemoryImage sent;  // the image as the last Write sent it
    const auto writeWith = [&](const QString& gain) {
        OnNextModal<ParameterAdjustDialog>([&, gain](ParameterAdjustDialog* dialog) {
            Type(dialog->box("Voice Tx Gain"), gain);
            QTest::mouseClick(dialog->writeButton(), Qt::LeftButton);
            while (dialog->transfers()->running()) {
                QTest::qWait(5);
            }
            sent = program.state().image;
            dialog->accept();
        });
        frame->action(CMainFrame::Command::ParamAdjust)->trigger();
    };
    writeWith(QStringLiteral("63"));
    const MemoryImage first = sent;  // what the radio holds now
    writeWith(QStringLiteral("12"));

    const std::vector<BackupEntry> backups = ListBackups(Home() / "backups");
    ASSERT_EQ(backups.size(), 2u) << testing::PrintToString(messenger_.messages);
    EXPECT_EQ(BackupKindLabel(backups[0]), "service (Parameter Adjust)");
    MemoryImage kept;
    ASSERT_TRUE(LoadDocumentFile(backups[0].path, kept).ok);
    for (std::size_t a = 0; a < kImageSize; ++a) {
        const bool written = a >= 0x3ED0 && a < 0x3FAC;
        ASSERT_EQ(kept[a], written ? first[a] : 0xFF) << a;
    }
    EXPECT_EQ(kept[0x3F21], 63);
}

}  // namespace
}  // namespace kestra::test
