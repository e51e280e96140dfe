// SPDX-License-Identifier: GPL-3.0-or-later
// The "Channel Edit" and "Batch Gerenate CH" dialogs opened from the grid view's buttons,
// driven by typing and clicking: the image bytes and grid rows they leave, one undo step per
// opening (Channel Edit) or per Apply (batch), and the keys that must not close them.

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <memory>

#include "channels/channel_table.hpp"
#include "channels/ui/batch_generate_dialog.hpp"
#include "channels/ui/channel_edit_dialog.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "model/channel_record.hpp"
#include "model/image_map.hpp"
#include "ui_test_support.hpp"

namespace kestra {
namespace {

using test::OnNextModal;

// The first dialog of the program can lose its activation to the window behind it while it is
// shown; it is asked again until it has it.
void Activate(QWidget* dialog) {
    ASSERT_TRUE(QTest::qWaitFor([dialog] {
        dialog->activateWindow();
        return QApplication::activeWindow() == dialog;
    }));
}

// Takes the focus, replaces the text by typing, and leaves with Tab.
void TypeAndLeave(QWidget* control, QLineEdit* edit, const QString& keys) {
    control->setFocus();
    edit->selectAll();
    QTest::keyClicks(control, keys);
    QTest::keyClick(control, Qt::Key_Tab);
}

void TypeAndLeave(QLineEdit* edit, const QString& keys) {
    TypeAndLeave(edit, edit, keys);
}

class ChannelEditorDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::Application();
        view_ = std::make_unique<CProgramView>(document_.document);
        document_.Attach(*view_);
        view_->resize(900, 600);
        view_->show();
        view_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
        // The image as the buttons leave it before their dialogs open.
        view_->StoreGridToImage();
        settled_ = state_.image;
    }

    std::string Cell(int record, Column column) const {
        return view_->table().Cell(record, column);
    }
    void SelectRow(int record) {
        view_->grid()->setCurrentIndex(view_->grid()->model()->index(record, 0));
    }

    AppState state_;
    test::ViewDocument document_{state_, messenger_};
    test::RecordingMessenger messenger_;
    std::unique_ptr<CProgramView> view_;
    MemoryImage settled_;
};

TEST_F(ChannelEditorDialogsTest, ChannelEditCreatesChannelsAsOneUndoableStep) {
    const int a006 = 5;
    ASSERT_EQ(Cell(a006, Column::RxFreq), "");
    SelectRow(a006);
    bool ran = false;
    OnNextModal<ChannelEditDialog>([&ran](ChannelEditDialog* dialog) {
        Activate(dialog);
        EXPECT_EQ(dialog->channelEdit()->text(), "A006");
        EXPECT_FALSE(dialog->listCombo("Scan Add")->isEnabled());
        dialog->rxFreqEdit()->setFocus();
        QTest::keyClicks(dialog->rxFreqEdit(), "446.0x0625");  // the x is dropped
        QTest::keyClick(dialog->rxFreqEdit(), Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->txFreqEdit()->text(), "446.00625");
        EXPECT_EQ(dialog->listCombo("Scan Add")->currentText(), "Del");
        TypeAndLeave(dialog->nameEdit(), "PMR 1");
        QTest::keyClick(dialog->nameEdit(), Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible()) << "Esc does not close the dialog";

        // The spin saves A006 and moves on; a lower-case channel typed into "CH" is found.
        dialog->channelBox()->setFocus();
        QTest::keyClick(dialog->channelBox(), Qt::Key_Up);
        EXPECT_EQ(dialog->channelEdit()->text(), "A007");
        TypeAndLeave(dialog->channelBox(), dialog->channelEdit(), "b5");
        EXPECT_EQ(dialog->channelEdit()->text(), "B005");
        TypeAndLeave(dialog->rxFreqEdit(), "145.5");
        dialog->close();
        ran = true;
    });
    view_->channelEditButton()->setFocus();
    view_->channelEditButton()->click();
    ASSERT_TRUE(ran);

    EXPECT_EQ(Cell(a006, Column::RxFreq), "446.00625");
    EXPECT_EQ(Cell(a006, Column::ScanAdd), "Del");
    EXPECT_EQ(ConstChannelRecord(state_.image, a006).Name(), "PMR 1");
    EXPECT_EQ(Cell(132, Column::RxFreq), "145.50000");
    EXPECT_EQ(Cell(132, Column::TxFreq), "145.50000");
    EXPECT_EQ(view_->focusWidget(), view_->grid()) << "the focus goes back to the grid";
    EXPECT_EQ(view_->grid()->currentIndex().row(), a006);
    EXPECT_EQ(document_.undoStack.count(), 1);
    EXPECT_FALSE(document_.undoStack.isClean());

    document_.undoStack.undo();
    EXPECT_EQ(state_.image, settled_);
    EXPECT_EQ(Cell(a006, Column::RxFreq), "");
    EXPECT_EQ(Cell(132, Column::RxFreq), "");
}

TEST_F(ChannelEditorDialogsTest, AToneBoxTakesANumberOnlyAsAToneOfTheLists) {
    const int a006 = 5;
    SelectRow(a006);
    bool ran = false;
    OnNextModal<ChannelEditDialog>([&ran](ChannelEditDialog* dialog) {
        Activate(dialog);
        TypeAndLeave(dialog->rxFreqEdit(), "446.00625");
        QComboBox* rx = dialog->rxToneCombo();
        QComboBox* tx = dialog->txToneCombo();
        TypeAndLeave(rx, rx->lineEdit(), "88,5");  // a comma is a decimal point
        EXPECT_EQ(rx->currentText(), "88.5");
        TypeAndLeave(rx, rx->lineEdit(), "68");  // no tone of the lists: the box keeps its tone
        EXPECT_EQ(rx->currentText(), "88.5");
        TypeAndLeave(tx, tx->lineEdit(), "67");
        EXPECT_EQ(tx->currentText(), "67.0");
        dialog->close();
        ran = true;
    });
    view_->channelEditButton()->click();
    ASSERT_TRUE(ran);
    EXPECT_EQ(Cell(a006, Column::Decode), "88.5");
    EXPECT_EQ(Cell(a006, Column::Encode), "67.0");
}

TEST_F(ChannelEditorDialogsTest, EachBatchApplyIsShownAtOnceAndUndoneOnItsOwn) {
    const std::string a001 = Cell(0, Column::RxFreq);
    MemoryImage afterFirst;
    bool ran = false;
    OnNextModal<BatchGenerateDialog>([&](BatchGenerateDialog* dialog) {
        Activate(dialog);
        const BatchGenerateDialog::Controls& c = dialog->controls();
        EXPECT_FALSE(c.fromEdit->isEnabled());
        EXPECT_FALSE(c.txRandom->isEnabled());
        c.aSection->click();
        EXPECT_EQ(c.toEdit->text(), "128");
        TypeAndLeave(c.rxStart, "400");
        EXPECT_EQ(c.rxStart->text(), "400.00000");
        TypeAndLeave(c.rxStep, "12");
        EXPECT_EQ(c.rxStep->text(), "12.5");
        c.txToneStart->click();
        EXPECT_TRUE(c.txRandom->isEnabled());
        c.txRandom->click();
        EXPECT_FALSE(c.txTone->isEnabled());
        dialog->SetRandomSource([] { return RandomDraw([] { return 1U; }); });  // "67.0"
        c.name->setFocus();
        QTest::keyClicks(c.name, "CH");
        c.byNumber->click();
        QTest::keyClick(c.name, Qt::Key_Return);  // Enter applies
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(Cell(1, Column::RxFreq), "400.01250") << "the grid shows the Apply at once";
        EXPECT_EQ(Cell(1, Column::Encode), "67.0");
        afterFirst = state_.image;

        TypeAndLeave(c.rxStart, "410");
        c.apply->click();
        EXPECT_EQ(Cell(0, Column::RxFreq), "410.00000");
        c.close->click();
        ran = true;
    });
    view_->batchGenerateButton()->click();
    ASSERT_TRUE(ran);

    EXPECT_EQ(ConstChannelRecord(state_.image, 11).Name(), "CH012");
    EXPECT_EQ(Cell(128, Column::RxFreq), "") << "B001 is outside the A section";
    EXPECT_EQ(document_.undoStack.count(), 2);
    document_.undoStack.undo();
    EXPECT_EQ(state_.image, afterFirst);
    EXPECT_EQ(Cell(0, Column::RxFreq), "400.00000");
    document_.undoStack.undo();
    EXPECT_EQ(state_.image, settled_);
    EXPECT_EQ(Cell(0, Column::RxFreq), a001);
}

}  // namespace
}  // namespace kestra
