// SPDX-License-Identifier: GPL-3.0-or-later
// Sql Adjust and Radio Information against the virtual radio, and the four service items of
// the Edit menu: when they are offered, and each dialog as one undoable step of the document.

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QUndoStack>

#include "app/application.hpp"
#include "app/document_controller.hpp"
#include "app/main_window.hpp"
#include "app/radio_commands.hpp"
#include "channels/ui/program_view.hpp"
#include "service/ui/calibration_grid_widget.hpp"
#include "service/ui/curve_chart_widget.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"
#include "service/ui/password_dialog.hpp"
#include "service/ui/radio_information_dialog.hpp"
#include "service/ui/spin_text_box.hpp"
#include "service/ui/sql_adjust_dialog.hpp"
#include "service_test_support.hpp"

namespace kestra::test {
namespace {

void Type(SpinTextBox* box, const QString& text) {
    box->editor()->selectAll();
    QTest::keyClicks(box->editor(), text);
}

QStringList CellTexts(const CalibrationGridWidget* grid) {
    QStringList texts;
    for (const std::string& cell : grid->Cells()) {
        texts << QString::fromStdString(cell);
    }
    return texts;
}

using SqlAdjustDialogTest = ServiceDialogTest;

TEST_F(SqlAdjustDialogTest, TreeChoosesThePointWhoseRecordTheGridEdits) {
    SqlAdjustDialog dialog(Context());
    dialog.show();
    QTreeWidget* tree = dialog.tree();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "136-174");
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 8);
    EXPECT_EQ(tree->topLevelItem(1)->childCount(), 13);
    EXPECT_EQ(tree->topLevelItem(2)->childCount(), 25);
    EXPECT_EQ(tree->topLevelItem(2)->child(24)->text(0), "520");
    // The first point is chosen from the start.
    EXPECT_EQ(tree->selectedItems().value(0), dialog.pointItem(0, 136));
    EXPECT_EQ(CellTexts(dialog.grid()), QStringList(16, "255"));

    tree->setCurrentItem(dialog.pointItem(0, 141));
    EXPECT_EQ(CellTexts(dialog.grid()), QStringList(16, "255"));
    // A band cannot be chosen: the point and its grid stay.
    tree->setCurrentItem(tree->topLevelItem(1));
    ASSERT_EQ(tree->selectedItems().size(), 1);
    EXPECT_EQ(tree->selectedItems().front(), dialog.pointItem(0, 141));

    CalibrationGridWidget* grid = dialog.grid();
    grid->BeginEdit(1, 3);  // "RSSI1", "N Low"
    Type(grid->OpenEditor(), "99");
    EXPECT_EQ(dialog.chart()->data().title, "RSSI1, 136-174 MHz");
    EXPECT_EQ(dialog.chart()->data().markX, 141);
    grid->BeginEdit(0, 0);  // "255" as loaded
    grid->CommitOpenEditor();
    EXPECT_EQ(grid->item(0, 0)->text(), "137");

    tree->setCurrentItem(dialog.pointItem(2, 520));
    EXPECT_EQ(state_.image[0x2A1B], 99);
    EXPECT_EQ(state_.image[0x2A10], 137);
    EXPECT_EQ(state_.image[0x2A1A], 0xFF);
    grid->BeginEdit(3, 0);
    Type(grid->OpenEditor(), "5");
    dialog.reject();  // closing stores the selected point
    EXPECT_EQ(state_.image[0x2CD6], 5);
}

TEST_F(SqlAdjustDialogTest, WriteSendsTheTableAndFreshBandPoints) {
    SqlAdjustDialog dialog(Context());
    dialog.show();
    messenger_.answers = {true};  // an erased table: written on purpose
    Press(dialog, dialog.writeButton());

    EXPECT_EQ(messenger_.messages,
              (std::vector<std::string>{std::string(kUnreadValuesQuestion), "Write complete"}));
    const std::vector<std::string> headers = Headers("W ");
    ASSERT_EQ(headers.size(), 26u);
    EXPECT_EQ(headers.front(), "W 2A 00 20");
    EXPECT_EQ(headers[22], "W 2C C0 20");
    EXPECT_EQ(headers.back(), "W 3F A0 0C");
    // 13600000 in the band point table, computed just before the write.
    EXPECT_EQ(radio_.memory()[0x3F71], 0x85);
    EXPECT_EQ(radio_.memory()[0x3F72], 0xCF);
    EXPECT_EQ(state_.image[0x3F71], 0x85);
}

TEST_F(SqlAdjustDialogTest, ReadRefreshesTheGridOnlyWhenItWentThrough) {
    radio_.memory()[0x2CD0] = 42;  // 520 MHz, Noise1 W High
    radio_.memory()[0x2A00] = 7;
    SqlAdjustDialog dialog(Context());
    dialog.show();
    dialog.tree()->setCurrentItem(dialog.pointItem(2, 520));

    radio_.faults().withholdAckAfterBlock = 3;
    Press(dialog, dialog.readButton());
    EXPECT_EQ(messenger_.firstLines(), std::vector<std::string>{"Communication error"});
    EXPECT_EQ(dialog.grid()->item(0, 0)->text(), "255");
    // Not even the blocks that arrived reach the image.
    EXPECT_EQ(state_.image[0x2A00], 0xFF);

    radio_.faults().withholdAckAfterBlock.reset();
    Press(dialog, dialog.readButton());
    EXPECT_EQ(messenger_.messages.back(), "Read complete");
    EXPECT_EQ(dialog.grid()->item(0, 0)->text(), "42");
    EXPECT_EQ(state_.image[0x2A00], 7);
}

using RadioInformationDialogTest = ServiceDialogTest;

TEST_F(RadioInformationDialogTest, ReadShowsVersionsAndLimitsAndKeepsWhatTheReplyLacks) {
    state_.serviceMode = false;  // needs no password
    RadioInformationDialog dialog(Context());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Radio Infomation");
    EXPECT_EQ(dialog.mcuVersion()->text(), "");

    Press(dialog, dialog.readButton());
    EXPECT_TRUE(messenger_.messages.empty());
    EXPECT_EQ(dialog.mcuVersion()->text(), "v1.2.3");
    EXPECT_EQ(dialog.pcVersion()->text(), "v2.5.1");
    EXPECT_EQ(dialog.lowerLimit(0)->text(), "136");
    EXPECT_EQ(dialog.upperLimit(0)->text(), "174");
    EXPECT_EQ(dialog.lowerLimit(1)->text(), "400");
    EXPECT_EQ(dialog.upperLimit(1)->text(), "520");
    EXPECT_EQ(dialog.model()->text(), "KESTRA-D");
    EXPECT_FALSE(dialog.model()->isVisible());
    EXPECT_EQ(Frames(), (std::vector<std::string>{"IDENT", "ENDR"}));

    const std::uint8_t unknownFirmware[] = {3, 0};
    radio_.SetFirmware(unknownFirmware);
    radio_.SetBandLimitsMhz(144, 148, 430, 440);
    Press(dialog, dialog.readButton());
    EXPECT_EQ(dialog.mcuVersion()->text(), "v3.0");
    EXPECT_EQ(dialog.pcVersion()->text(), "v2.5.1");  // no entry for v3: kept
    EXPECT_EQ(dialog.lowerLimit(0)->text(), "144");
    EXPECT_EQ(dialog.upperLimit(1)->text(), "440");

    radio_.faults().absent = true;
    Press(dialog, dialog.readButton());
    EXPECT_EQ(messenger_.firstLines(), std::vector<std::string>{"Open port fail"});
    EXPECT_EQ(dialog.lowerLimit(0)->text(), "144");
    EXPECT_EQ(state_.image, MemoryImage());
}

class ServiceMenuTest : public ShellTest {
protected:
    CMainFrame* Start() {
        program_ = std::make_unique<KestraApplication>(&messenger_, &prompts_);
        program_->Start({});
        return program_->mainFrame();
    }
    std::unique_ptr<KestraApplication> program_;
};

TEST_F(ServiceMenuTest, ServiceItemsWorkAfterThePasswordAndEachDialogIsOneUndoStep) {
    using Command = CMainFrame::Command;
    CMainFrame* frame = Start();
    EXPECT_TRUE(frame->action(Command::RadioInformation)->isEnabled());
    EXPECT_FALSE(frame->action(Command::ParamAdjust)->isEnabled());

    OnNextModal<PasswordDialog>([](PasswordDialog* gate) {
        gate->passwordEdit()->setText("qvm427");
        gate->accept();
    });
    frame->radio()->EnterServiceMode();
    ASSERT_TRUE(frame->action(Command::ParamAdjust)->isEnabled());
    EXPECT_TRUE(frame->action(Command::DtmfInitialization)->isEnabled());
    EXPECT_TRUE(frame->action(Command::SqlAdjust)->isEnabled());

    frame->documents()->undoStack()->setClean();
    const MemoryImage before = program_->state().image;
    OnNextModal<ParameterAdjustDialog>([](ParameterAdjustDialog* dialog) {
        Type(dialog->box("Voice Tx Gain"), "12");
        dialog->accept();
    });
    frame->action(Command::ParamAdjust)->trigger();

    QUndoStack* undo = frame->documents()->undoStack();
    EXPECT_EQ(undo->undoText(), "Parameter Adjust");
    EXPECT_EQ(undo->count(), 1);
    EXPECT_TRUE(frame->documents()->isModified());
    EXPECT_EQ(program_->state().image[0x3F21], 12);
    undo->undo();
    EXPECT_EQ(program_->state().image, before);
    EXPECT_FALSE(frame->documents()->isModified());
    undo->redo();
    EXPECT_EQ(program_->state().image[0x3F21], 12);

    // Radio Information changes nothing, so it leaves no step.
    OnNextModal<RadioInformationDialog>([](RadioInformationDialog* dialog) { dialog->reject(); });
    frame->action(Command::RadioInformation)->trigger();
    EXPECT_EQ(undo->count(), 1);
}

}  // namespace
}  // namespace kestra::test
