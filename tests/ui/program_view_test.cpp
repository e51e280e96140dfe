// SPDX-License-Identifier: GPL-3.0-or-later
// The channel grid's in-place editing, its undo, and the password gate, driven through the
// real widgets with mouse clicks and keys.

#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "channels/channel_table.hpp"
#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "service/ui/password_dialog.hpp"
#include "ui_test_support.hpp"

namespace kestra {
namespace {

using test::OnNextModal;
using ::testing::ElementsAre;

class ProgramViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::Application();
        view_ = std::make_unique<CProgramView>(document_.document);
        document_.Attach(*view_);
        view_->resize(900, 600);
        view_->show();
        view_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
    }

    ChannelGridView* grid() const { return view_->grid(); }
    QModelIndex Cell(int record, Column column) const {
        return grid()->model()->index(record, ModelColumnOf(column));
    }
    std::string Text(int record, Column column) const {
        return view_->table().Cell(record, column);
    }

    void ClickCell(int record, Column column) {
        const QModelIndex index = Cell(record, column);
        grid()->scrollTo(index);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualRect(index).center());
    }
    QLineEdit* FrequencyEditor() const { return qobject_cast<QLineEdit*>(grid()->OpenEditor()); }
    QComboBox* ComboEditor() const { return qobject_cast<QComboBox*>(grid()->OpenEditor()); }

    // Enter in the open editor: it commits, closes and moves the current cell.
    void PressEnterInEditor() {
        QWidget* editor = grid()->OpenEditor();
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !grid()->IsEditing(); }));
    }

    // Types an Rx into an empty row through the editor, the way a user does.
    void TypeRx(int record, const QString& text) {
        ClickCell(record, Column::RxFreq);
        ASSERT_NE(FrequencyEditor(), nullptr);
        QTest::keyClicks(FrequencyEditor(), text);
        PressEnterInEditor();
    }

    std::array<std::uint8_t, kRecordSize> Record(int record) const {
        std::array<std::uint8_t, kRecordSize> bytes{};
        const auto span = state_.image.span(RecordOffset(record), kRecordSize);
        std::copy(span.begin(), span.end(), bytes.begin());
        return bytes;
    }
    std::vector<std::uint8_t> RecordBytes(int index, std::size_t offset, std::size_t count) const {
        const auto record = Record(index);
        return {record.begin() + static_cast<std::ptrdiff_t>(offset),
                record.begin() + static_cast<std::ptrdiff_t>(offset + count)};
    }

    AppState state_;
    test::ViewDocument document_{state_, messenger_};
    test::RecordingMessenger messenger_;
    std::unique_ptr<CProgramView> view_;
};

TEST_F(ProgramViewTest, ShowsTheGridLayoutAndTheModelChoice) {
    QAbstractItemModel* model = grid()->model();
    EXPECT_EQ(model->rowCount(), 258);
    EXPECT_EQ(model->columnCount(), 8);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Rx Freq");
    EXPECT_EQ(model->headerData(7, Qt::Horizontal).toString(), "BCL");
    EXPECT_EQ(model->headerData(0, Qt::Vertical).toString(), "A 001");
    EXPECT_EQ(model->headerData(128, Qt::Vertical).toString(), "B 001");
    EXPECT_EQ(model->headerData(257, Qt::Vertical).toString(), "B VFO");
    EXPECT_EQ(model->data(Cell(0, Column::Power), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignCenter);
    // The columns share the grid's width as 1500 twips to 1000 twips, and use all of it.
    EXPECT_NEAR(grid()->columnWidth(0) * 1000.0 / grid()->columnWidth(2), 1500.0, 30.0);
    int total = 0;
    for (int c = 0; c < model->columnCount(); ++c) {
        total += grid()->columnWidth(c);
    }
    EXPECT_EQ(total, grid()->viewport()->width());
    EXPECT_FALSE(grid()->horizontalScrollBar()->isVisible());

    EXPECT_EQ(view_->modelCombo()->count(), 3);
    EXPECT_EQ(view_->modelCombo()->currentText(), "6120E");
    EXPECT_EQ(view_->modelIndex(), 2);
    EXPECT_FALSE(view_->initializationButton()->isVisibleTo(view_.get()));
    EXPECT_TRUE(view_->batchGenerateButton()->isEnabled());
    EXPECT_TRUE(view_->channelEditButton()->isEnabled());
}

// The grid draws its lines itself; every pixel must be the one the table's own line drawing
// leaves, whole or in part, scrolled, with a highlighted row and narrow enough to scroll across.
TEST_F(ProgramViewTest, GridLinesArePixelForPixelTheTablesOwn) {
    grid()->setColumnWidth(0, 2 * grid()->viewport()->width() / 3);
    grid()->verticalScrollBar()->setValue(37);
    grid()->horizontalScrollBar()->setValue(grid()->horizontalScrollBar()->maximum() / 2 + 1);
    grid()->selectionModel()->select(grid()->model()->index(40, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QWidget* cells = grid()->viewport();
    const auto paint = [cells](const QRegion& region) {
        QImage image(cells->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::magenta);
        cells->render(&image, {}, region);
        return image;
    };
    const QRegion whole(cells->rect());
    const QRegion parts = QRegion(7, 5, 90, 61) + QRegion(cells->width() / 2, 40, 130, 200);
    ASSERT_EQ(grid()->gridStyle(), Qt::NoPen);
    const QImage ownWhole = paint(whole);
    const QImage ownParts = paint(parts);
    grid()->setGridStyle(Qt::SolidLine);
    EXPECT_TRUE(ownWhole == paint(whole));
    EXPECT_TRUE(ownParts == paint(parts));
    // Without the lines the pictures differ, so the comparison sees them.
    grid()->setShowGrid(false);
    EXPECT_FALSE(ownWhole == paint(whole));
}

TEST_F(ProgramViewTest, FirstRxInAnEmptyRowFillsTheRowAndResetsItsRecord) {
    // Clicking any cell of an empty row starts at its Rx.
    ClickCell(2, Column::Power);
    ASSERT_NE(FrequencyEditor(), nullptr);
    EXPECT_EQ(grid()->currentIndex(), Cell(2, Column::RxFreq));

    // Letters cannot be typed; the text is snapped onto the 5 kHz raster.
    QTest::keyClicks(FrequencyEditor(), "14x6.52y34");
    EXPECT_EQ(FrequencyEditor()->text(), "146.5234");
    PressEnterInEditor();

    EXPECT_EQ(Text(2, Column::RxFreq), "146.52000");
    EXPECT_EQ(Text(2, Column::TxFreq), "146.52000");
    EXPECT_EQ(Text(2, Column::Decode), "None");
    EXPECT_EQ(Text(2, Column::Encode), "None");
    EXPECT_EQ(Text(2, Column::Power), "High");
    EXPECT_EQ(Text(2, Column::ScanAdd), "Add");
    EXPECT_EQ(Text(2, Column::WideNarrow), "Wide");
    EXPECT_EQ(Text(2, Column::Bcl), "Off");
    // The default record is in the image at once: no options, flags 0x38, a 10 MHz shift.
    EXPECT_THAT(RecordBytes(2, 12, 2), ElementsAre(0x00, 0x38));
    EXPECT_THAT(RecordBytes(2, 16, 4), ElementsAre(0x00, 0x00, 0x00, 0x01));
    // Enter after a typed frequency moves right.
    EXPECT_EQ(grid()->currentIndex(), Cell(2, Column::TxFreq));

    // A frequency outside both sections becomes the first section's lower limit.
    TypeRx(3, "100");
    EXPECT_EQ(Text(3, Column::RxFreq), "136.00000");
}

TEST_F(ProgramViewTest, EmptyingTheRxEmptiesTheRowAndEnterThenMovesDown) {
    TypeRx(4, "145.5");
    ClickCell(4, Column::RxFreq);
    ASSERT_NE(FrequencyEditor(), nullptr);
    // The box opens with its text selected, so typing replaces it.
    EXPECT_EQ(FrequencyEditor()->selectedText(), "145.50000");
    QTest::keyClick(FrequencyEditor(), Qt::Key_Backspace);
    PressEnterInEditor();

    for (int c = 0; c < kColumnCount; ++c) {
        EXPECT_EQ(Text(4, static_cast<Column>(c)), "") << c;
    }
    EXPECT_EQ(grid()->currentIndex(), Cell(5, Column::RxFreq));
}

TEST_F(ProgramViewTest, CombosCommitOnFocusLossAndEnterMovesRight) {
    TypeRx(0, "146.52500");

    ClickCell(0, Column::Power);
    QComboBox* power = ComboEditor();
    ASSERT_NE(power, nullptr);
    EXPECT_EQ(power->currentText(), "High");
    EXPECT_EQ(power->count(), 2);
    power->setCurrentIndex(power->findText("Low"));
    // Clicking another cell takes the focus away, which commits.
    ClickCell(0, Column::Decode);
    EXPECT_EQ(Text(0, Column::Power), "Low");

    QComboBox* tone = ComboEditor();
    ASSERT_NE(tone, nullptr);
    EXPECT_TRUE(tone->isEditable());
    EXPECT_EQ(tone->count(), 265);
    tone->setEditText("d23n");
    PressEnterInEditor();
    EXPECT_EQ(Text(0, Column::Decode), "D023N");
    EXPECT_EQ(grid()->currentIndex(), Cell(0, Column::Encode));

    // Enter in the grid opens the current cell's editor; a tone typed there replaces the old
    // one instead of being appended to "None".
    QTest::keyClick(grid(), Qt::Key_Return);
    ASSERT_NE(ComboEditor(), nullptr);
    EXPECT_EQ(grid()->currentIndex(), Cell(0, Column::Encode));
    QTest::keyClicks(ComboEditor(), "88.5");
    PressEnterInEditor();
    EXPECT_EQ(Text(0, Column::Encode), "88.5");
}

TEST_F(ProgramViewTest, KeypadEnterWorksAsEnter) {
    grid()->setFocus();
    grid()->setCurrentIndex(Cell(1, Column::Power));
    QTest::keyClick(grid(), Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_NE(FrequencyEditor(), nullptr);
    EXPECT_EQ(grid()->currentIndex(), Cell(1, Column::RxFreq));

    QTest::keyClicks(FrequencyEditor(), "145");
    QTest::keyClick(FrequencyEditor(), Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !grid()->IsEditing(); }));
    EXPECT_EQ(Text(1, Column::RxFreq), "145.00000");
    EXPECT_EQ(grid()->currentIndex(), Cell(1, Column::TxFreq));
}

TEST_F(ProgramViewTest, ArrowKeysWrapBetweenRows) {
    grid()->setFocus();
    grid()->setCurrentIndex(Cell(1, Column::RxFreq));
    QTest::keyClick(grid(), Qt::Key_Left);
    EXPECT_EQ(grid()->currentIndex(), Cell(0, Column::Bcl));
    QTest::keyClick(grid(), Qt::Key_Right);
    EXPECT_EQ(grid()->currentIndex(), Cell(1, Column::RxFreq));
    // No wrap before the first row or after the last.
    grid()->setCurrentIndex(Cell(0, Column::RxFreq));
    QTest::keyClick(grid(), Qt::Key_Left);
    EXPECT_EQ(grid()->currentIndex(), Cell(0, Column::RxFreq));
    grid()->setCurrentIndex(Cell(257, Column::Bcl));
    QTest::keyClick(grid(), Qt::Key_Right);
    EXPECT_EQ(grid()->currentIndex(), Cell(257, Column::Bcl));
}

TEST_F(ProgramViewTest, RowLabelClickHighlightsTheRowAndCellClickDoesNot) {
    TypeRx(1, "146.0");
    QHeaderView* labels = grid()->verticalHeader();
    QTest::mouseClick(labels->viewport(), Qt::LeftButton, {},
                      QPoint(labels->width() / 2,
                             labels->sectionViewportPosition(1) + labels->sectionSize(1) / 2));
    EXPECT_EQ(grid()->selectionModel()->selectedIndexes().size(), 8);
    EXPECT_FALSE(grid()->IsEditing());

    ClickCell(1, Column::Power);
    EXPECT_TRUE(grid()->selectionModel()->selectedIndexes().isEmpty());
}

TEST_F(ProgramViewTest, WheelNotchScrollsThreeRowsAndAListCellOpensWithOneClick) {
    QScrollBar* bar = grid()->verticalScrollBar();
    ASSERT_EQ(bar->value(), 0);
    const auto turn = [this](int delta) {
        const QPoint at = grid()->viewport()->rect().center();
        QWheelEvent wheel(at, grid()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid()->viewport(), &wheel);
    };
    turn(-120);
    EXPECT_EQ(grid()->rowAt(0), 3);
    turn(-240);
    EXPECT_EQ(grid()->rowAt(0), 9);
    turn(120);
    EXPECT_EQ(grid()->rowAt(0), 6);

    TypeRx(7, "146.0");
    ClickCell(7, Column::Power);
    ASSERT_NE(ComboEditor(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([this] { return ComboEditor()->view()->isVisible(); }));
    ComboEditor()->hidePopup();
    // The tone box is typed into: its list stays closed.
    ClickCell(7, Column::Decode);
    ASSERT_NE(ComboEditor(), nullptr);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ComboEditor()->view()->isVisible());
}

TEST_F(ProgramViewTest, UndoAndRedoRestoreCellsAndRecordBytes) {
    const auto erased = Record(6);
    TypeRx(6, "146.52500");
    const auto reset = Record(6);
    ASSERT_NE(erased, reset);
    ClickCell(6, Column::Power);
    ComboEditor()->setCurrentIndex(0);  // "Low"
    PressEnterInEditor();
    QUndoStack* stack = (&document_.undoStack);
    ASSERT_EQ(stack->count(), 2);
    EXPECT_FALSE(stack->isClean());

    stack->undo();
    EXPECT_EQ(Text(6, Column::Power), "High");
    stack->undo();
    EXPECT_EQ(Text(6, Column::RxFreq), "");
    EXPECT_EQ(Text(6, Column::Power), "");
    EXPECT_EQ(Record(6), erased);
    EXPECT_TRUE(stack->isClean());

    stack->redo();
    EXPECT_EQ(Text(6, Column::TxFreq), "146.52500");
    EXPECT_EQ(Record(6), reset);
    stack->redo();
    EXPECT_EQ(Text(6, Column::Power), "Low");
    // The view shows what the table holds.
    EXPECT_EQ(grid()->model()->data(Cell(6, Column::Power)).toString(), "Low");
}

TEST_F(ProgramViewTest, StoreCommitsAnOpenEditor) {
    ClickCell(8, Column::RxFreq);
    QTest::keyClicks(FrequencyEditor(), "440");
    view_->StoreGridToImage();
    EXPECT_FALSE(grid()->IsEditing());
    EXPECT_EQ(Text(8, Column::RxFreq), "440.00000");
    // 440.00000 MHz as BCD in the record, least significant pair first.
    EXPECT_THAT(RecordBytes(8, 0, 4), ElementsAre(0x00, 0x00, 0x00, 0x44));
}

TEST_F(ProgramViewTest, PasswordGateUnlocksServiceModeOnlyForThePassword) {
    QSignalSpy entered(document_.radio, &RadioCommands::serviceModeEntered);
    const auto tryPassword = [this](const QString& text) {
        OnNextModal<PasswordDialog>([text](PasswordDialog* dialog) {
            QTest::keyClicks(dialog->passwordEdit(), text);
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        });
        document_.radio->EnterServiceMode();
    };

    tryPassword("QVM428");
    tryPassword("QVM427 ");
    EXPECT_FALSE(state_.serviceMode);
    EXPECT_EQ(entered.count(), 0);
    EXPECT_FALSE(view_->initializationButton()->isVisibleTo(view_.get()));
    EXPECT_TRUE(messenger_.messages.empty());

    // Ctrl+F11 anywhere in the view opens the gate; lower case is accepted.
    bool opened = false;
    OnNextModal<PasswordDialog>([&opened](PasswordDialog* dialog) {
        opened = true;
        QTest::keyClicks(dialog->passwordEdit(), "qvm427");
        QTest::keyClick(dialog->passwordEdit(), Qt::Key_Return);
    });
    // (The offscreen platform does not give the focus back when a dialog closes.)
    view_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_F11, Qt::ControlModifier);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(state_.serviceMode);
    EXPECT_EQ(entered.count(), 1);
    EXPECT_TRUE(view_->initializationButton()->isVisibleTo(view_.get()));
}

TEST(PasswordDialogTest, TakesAtMostEightMaskedCharacters) {
    test::Application();
    PasswordDialog dialog;
    QTest::keyClicks(dialog.passwordEdit(), "QVM4271234");
    EXPECT_EQ(dialog.passwordEdit()->text(), "QVM42712");
    EXPECT_EQ(dialog.passwordEdit()->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(dialog.okButton()->isDefault());
}

}  // namespace
}  // namespace kestra
