// SPDX-License-Identifier: GPL-3.0-or-later
// The channel-list commands in the document window: Alt+Up, Alt+Down, Insert, Shift+Delete,
// Sort Channels with its dialog and the drop of dragged rows, each one undo step that refills the
// grid once and whose undo and redo restore every byte of the image; and the Find bar's keys.

#include <QAction>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "channels/channel_fields.hpp"
#include "channels/channel_list.hpp"
#include "channels/ui/channel_find_bar.hpp"
#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/sort_channels_dialog.hpp"
#include "model/channel_record.hpp"
#include "ui_test_support.hpp"

namespace kestra {
namespace {

using test::OnNextModal;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Row = CProgramView::RowCommand;
using Bytes = std::vector<std::uint8_t>;

constexpr int kB = kListSectionSize;  // B001

class ChannelListCommandsTest : public test::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        view_ = std::make_unique<CProgramView>(document_.document);
        document_.Attach(*view_);
        // A001-A005 "A".."E" on 145.0, 145.1 ... MHz; B001 "B1" and B128 "Z".
        for (int i = 0; i < 5; ++i) {
            Put(i, 14500000 + 10000 * i, std::string(1, static_cast<char>('A' + i)));
        }
        Put(kB, 44600000, "B1");
        Put(kB + kListSectionSize - 1, 44700000, "Z");
        view_->FillGridFromImage();
        view_->StoreGridToImage();  // the summary areas as every store leaves them
        images_.push_back(image());
        view_->resize(900, 600);
        view_->show();
        view_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
        grid()->setFocus();
    }

    // A channel with a mark in byte 31, which no editor touches, so a moved record shows.
    void Put(int record, Frequency rx, std::string_view name) {
        WriteClearedRecord(image(), record);
        ChannelRecord channel(image(), record);
        channel.SetRxFrequency(rx);
        channel.SetName(name);
        channel.SetByte(31, static_cast<std::uint8_t>(record));
    }
    MemoryImage& image() { return document_.document.image(); }
    ChannelGridView* grid() const { return view_->grid(); }
    QUndoStack& undo() { return document_.undoStack; }

    // The names in first..last; "-" for a slot the grid shows empty.
    std::vector<std::string> Names(int first, int last) {
        std::vector<std::string> names;
        for (int record = first; record <= last; ++record) {
            names.push_back(ChannelIsShown(image(), record, state_.limits)
                                ? ConstChannelRecord(image(), record).Name()
                                : "-");
        }
        return names;
    }
    static Bytes RecordOf(const MemoryImage& image, int record) {
        const auto span = image.span(RecordOffset(record), kRecordSize);
        return Bytes(span.begin(), span.end());
    }
    // Record now as it stood in slot from before the last step.
    Bytes Before(int from) const { return RecordOf(images_[images_.size() - 2], from); }
    Bytes Now(int record) { return RecordOf(image(), record); }

    void ClickLabel(int record, Qt::KeyboardModifiers keys = {}) {
        QHeaderView* labels = grid()->verticalHeader();
        grid()->scrollTo(grid()->model()->index(record, 0));
        QTest::mouseClick(labels->viewport(), Qt::LeftButton, keys, LabelCenter(record));
    }
    QPoint LabelCenter(int record) const {
        QHeaderView* labels = grid()->verticalHeader();
        return {labels->width() / 2,
                labels->sectionViewportPosition(record) + labels->sectionSize(record) / 2};
    }
    // A key pressed in the grid.
    void Key(int key, Qt::KeyboardModifiers keys = {}) {
        grid()->setFocus();
        QTest::keyClick(grid(), static_cast<Qt::Key>(key), keys);
    }

    // Runs command, which must be one undo step named caption that refills the grid once.
    void Step(const QString& caption, const std::function<void()>& command) {
        const int steps = undo().count();
        QSignalSpy refills(view_->gridModel(), &QAbstractItemModel::modelReset);
        command();
        ASSERT_EQ(undo().count(), steps + 1) << caption.toStdString();
        EXPECT_EQ(undo().undoText(), caption);
        EXPECT_EQ(refills.count(), 1) << caption.toStdString();
        images_.push_back(image());
    }
    // Runs command, which must change no byte and record no step.
    void NoStep(const std::function<void()>& command) {
        const int steps = undo().count();
        command();
        EXPECT_EQ(undo().count(), steps);
        EXPECT_TRUE(image() == images_.back()) << "a command that did nothing changed bytes";
    }
    // Undoes the steps one by one, each back to every byte before it, then redoes them.
    void ExpectUndoAndRedoRestoreEveryByte() {
        for (std::size_t k = images_.size() - 1; k > 0; --k) {
            undo().undo();
            EXPECT_TRUE(image() == images_[k - 1]) << "undo of step " << k;
        }
        for (std::size_t k = 1; k < images_.size(); ++k) {
            undo().redo();
            EXPECT_TRUE(image() == images_[k]) << "redo of step " << k;
        }
    }
    std::vector<int> Highlighted() const {
        std::vector<int> rows;
        for (const QModelIndex& index : grid()->selectionModel()->selectedRows()) {
            rows.push_back(index.row());
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    // Sends a drag carrying mime over row (on the cells, or on the labels) and drops it there.
    void Drop(QMimeData* mime, int row, bool onLabels = false) {
        std::unique_ptr<QMimeData> owned(mime);
        grid()->scrollTo(grid()->model()->index(row, 0));
        QWidget* target = onLabels ? grid()->verticalHeader()->viewport() : grid()->viewport();
        const QPoint at = onLabels ? LabelCenter(row)
                                   : QPoint(target->width() / 2, grid()->rowViewportPosition(row) +
                                                                     grid()->rowHeight(row) / 2);
        QDragEnterEvent enter(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) {
            return;
        }
        QDragMoveEvent move(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents();  // the grid reports the drop once the drag has ended
    }

    AppState state_;
    test::ViewDocument document_{state_, messenger_};
    std::unique_ptr<CProgramView> view_;
    std::vector<MemoryImage> images_;  // the image at the start and after every step
};

TEST_F(ChannelListCommandsTest, AltArrowsMoveTheHighlightedRowsWithinTheirSectionOnly) {
    ClickLabel(2);
    ClickLabel(3, Qt::ShiftModifier);
    Step("Move Up", [this] { Key(Qt::Key_Up, Qt::AltModifier); });
    EXPECT_THAT(Names(0, 4), ElementsAre("A", "C", "D", "B", "E"));
    // Whole records, byte for byte: C and D one up, B below them.
    EXPECT_EQ(Now(1), Before(2));
    EXPECT_EQ(Now(2), Before(3));
    EXPECT_EQ(Now(3), Before(1));
    // Still highlighted, so the key again moves them on, up to the section's top and no further.
    EXPECT_EQ(Highlighted(), (std::vector<int>{1, 2}));
    Step("Move Up", [this] { Key(Qt::Key_Up, Qt::AltModifier); });
    EXPECT_THAT(Names(0, 4), ElementsAre("C", "D", "A", "B", "E"));
    EXPECT_EQ(Highlighted(), (std::vector<int>{0, 1}));
    NoStep([this] { Key(Qt::Key_Up, Qt::AltModifier); });
    Step("Move Down", [this] { Key(Qt::Key_Down, Qt::AltModifier); });
    EXPECT_THAT(Names(0, 4), ElementsAre("A", "C", "D", "B", "E"));
    EXPECT_EQ(grid()->currentIndex().row(), 2);

    // The current row alone moves too; B001 stays at the top of section B, B128 at its end.
    ClickLabel(kB);
    NoStep([this] { Key(Qt::Key_Up, Qt::AltModifier); });
    ClickLabel(kB + kListSectionSize - 1);
    NoStep([this] { Key(Qt::Key_Down, Qt::AltModifier); });
    EXPECT_TRUE(messenger_.messages.empty());

    // Rows of both sections, or a VFO, never move: the user is told why.
    ClickLabel(kB - 1);
    ClickLabel(kB, Qt::ShiftModifier);
    NoStep([this] { Key(Qt::Key_Down, Qt::AltModifier); });
    ClickLabel(kVfoARecordIndex);
    NoStep([this] { view_->rowAction(Row::MoveUp)->trigger(); });
    ASSERT_EQ(messenger_.messages.size(), 2u);
    EXPECT_THAT(messenger_.messages[0], HasSubstr("A128-B001 spans both sections"));
    EXPECT_THAT(messenger_.messages[1], HasSubstr("VFO"));
    ExpectUndoAndRedoRestoreEveryByte();
}

TEST_F(ChannelListCommandsTest, InsertMakesRoomAndIsRefusedNamingTheChannelThatWouldFallOff) {
    ClickLabel(1);
    Step("Insert Empty Channel", [this] { Key(Qt::Key_Insert); });
    EXPECT_THAT(Names(0, 5), ElementsAre("A", "-", "B", "C", "D", "E"));
    EXPECT_EQ(Now(1), Bytes(kClearedRecord.begin(), kClearedRecord.end()));
    EXPECT_EQ(Now(5), Before(4));
    EXPECT_EQ(Highlighted(), (std::vector<int>{1}));

    // B128 holds a channel: nothing may push it off section B.
    ClickLabel(kB);
    NoStep([this] { Key(Qt::Key_Insert); });
    ASSERT_EQ(messenger_.messages.size(), 1u);
    EXPECT_THAT(messenger_.messages[0], HasSubstr("B128 holds a channel"));
    EXPECT_THAT(Names(kB, kB), ElementsAre("B1"));
    ExpectUndoAndRedoRestoreEveryByte();
}

TEST_F(ChannelListCommandsTest, ShiftDeleteRemovesAndShiftsUpWhileDeleteStillClears) {
    ClickLabel(1);
    ClickLabel(2, Qt::ShiftModifier);
    Step("Remove Channels", [this] { Key(Qt::Key_Delete, Qt::ShiftModifier); });
    EXPECT_THAT(Names(0, 4), ElementsAre("A", "D", "E", "-", "-"));
    EXPECT_EQ(Now(1), Before(3));
    for (const int freed : {kB - 2, kB - 1}) {
        EXPECT_EQ(Now(freed), Bytes(kClearedRecord.begin(), kClearedRecord.end()));
    }
    // The row keeps the keyboard: Shift+Delete again removes the channel that moved into it.
    EXPECT_EQ(grid()->currentIndex().row(), 1);
    Step("Remove Channels", [this] { Key(Qt::Key_Delete, Qt::ShiftModifier); });
    EXPECT_THAT(Names(0, 2), ElementsAre("A", "E", "-"));

    ClickLabel(0);
    Step("Delete Channels", [this] { Key(Qt::Key_Delete); });
    EXPECT_THAT(Names(0, 2), ElementsAre("-", "E", "-"));

    // B128 alone could go, A128-B001 cannot: all or nothing, and the user is told why.
    ClickLabel(kB + kListSectionSize - 1);
    ClickLabel(kB - 1, Qt::ControlModifier);
    ClickLabel(kB, Qt::ControlModifier);
    NoStep([this] { Key(Qt::Key_Delete, Qt::ShiftModifier); });
    ASSERT_EQ(messenger_.messages.size(), 1u);
    EXPECT_THAT(messenger_.messages[0], HasSubstr("spans both sections"));
    ExpectUndoAndRedoRestoreEveryByte();
}

TEST_F(ChannelListCommandsTest, SortDialogSortsTheChosenSectionAndRemembersTheChoice) {
    auto sortBy = [this](std::function<void(SortChannelsDialog*)> choose) {
        OnNextModal<SortChannelsDialog>(std::move(choose));
        view_->rowAction(Row::Sort)->trigger();
    };
    Step("Sort Channels", [&] {
        sortBy([](SortChannelsDialog* dialog) {
            EXPECT_TRUE(dialog->keyButton(SortKey::RxFrequency)->isChecked());
            EXPECT_TRUE(dialog->orderButton(false)->isChecked());
            EXPECT_TRUE(dialog->sectionButton(SortSections::Both)->isChecked());
            QTest::mouseClick(dialog->keyButton(SortKey::Name), Qt::LeftButton);
            QTest::mouseClick(dialog->orderButton(true), Qt::LeftButton);
            QTest::mouseClick(dialog->sectionButton(SortSections::A), Qt::LeftButton);
            QTest::mouseClick(dialog->sortButton(), Qt::LeftButton);
        });
    });
    EXPECT_THAT(Names(0, 5), ElementsAre("E", "D", "C", "B", "A", "-"));
    EXPECT_EQ(Now(0), Before(4));
    EXPECT_EQ(Now(4), Before(0));
    EXPECT_EQ(Now(kB), Before(kB));

    // The next sort starts from this choice; Cancel sorts nothing.
    NoStep([&] {
        sortBy([](SortChannelsDialog* dialog) {
            EXPECT_EQ(dialog->options().key, SortKey::Name);
            EXPECT_TRUE(dialog->options().descending);
            EXPECT_EQ(dialog->options().sections, SortSections::A);
            dialog->reject();
        });
    });
    ExpectUndoAndRedoRestoreEveryByte();
}

TEST_F(ChannelListCommandsTest, DraggedRowsLandOnTheirDropRowWithinTheirSectionOnly) {
    ClickLabel(0);
    ClickLabel(1, Qt::ShiftModifier);
    // A press on a highlighted label keeps the highlight for the drag; a click without moving
    // highlights that row alone, as any click on a label does.
    QHeaderView* labels = grid()->verticalHeader();
    QTest::mousePress(labels->viewport(), Qt::LeftButton, {}, LabelCenter(1));
    EXPECT_EQ(Highlighted(), (std::vector<int>{0, 1}));
    QTest::mouseRelease(labels->viewport(), Qt::LeftButton, {}, LabelCenter(1));
    EXPECT_EQ(Highlighted(), (std::vector<int>{1}));

    // Dragged down onto D, A and B end there; dragged back up onto A's old row, they start there.
    Step("Move Channels", [this] { Drop(grid()->RowsMimeData({0, 1}), 3); });
    EXPECT_THAT(Names(0, 4), ElementsAre("C", "D", "A", "B", "E"));
    EXPECT_EQ(Now(2), Before(0));
    EXPECT_EQ(Highlighted(), (std::vector<int>{2, 3}));
    Step("Move Channels", [this] { Drop(grid()->RowsMimeData({2, 3}), 0, true); });
    EXPECT_THAT(Names(0, 4), ElementsAre("A", "B", "C", "D", "E"));

    // Into the other section, or rows with a gap between them: refused, with the reason.
    NoStep([this] { Drop(grid()->RowsMimeData({0, 1}), kB + 4); });
    NoStep([this] { Drop(grid()->RowsMimeData({0, 2}), 4); });
    ASSERT_EQ(messenger_.messages.size(), 2u);
    EXPECT_THAT(messenger_.messages[0], HasSubstr("to B005: channels never move between sections"));
    EXPECT_THAT(messenger_.messages[1], HasSubstr("Only neighbouring rows"));
    // Rows dragged from another grid are not this document's: the grid does not take them.
    ChannelGridView other;
    NoStep([&] { Drop(other.RowsMimeData({0}), 3); });
    EXPECT_EQ(messenger_.messages.size(), 2u);
    ExpectUndoAndRedoRestoreEveryByte();
}

TEST_F(ChannelListCommandsTest, FindBarMarksMatchesAndAnswersItsKeys) {
    ChannelFindBar* bar = view_->findBar();
    ChannelGridModel* model = view_->gridModel();
    auto marked = [model] {
        std::vector<int> rows;
        for (int record = 0; record < kRecordCount; ++record) {
            if (model->IsMarked(record)) {
                rows.push_back(record);
            }
        }
        return rows;
    };
    EXPECT_FALSE(bar->isVisible());
    Key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->textEdit()->hasFocus());

    // Typing marks every match (names without regard to case, frequencies by their start) and
    // goes to the first one; Enter and F3 go on, round from the last to the first.
    QTest::keyClicks(bar->textEdit(), "b");
    EXPECT_EQ(marked(), (std::vector<int>{1, kB}));
    EXPECT_EQ(grid()->currentIndex().row(), 1);
    EXPECT_EQ(bar->resultLabel()->text(), "1 of 2: A 002 \"B\"");
    QTest::keyClick(bar->textEdit(), Qt::Key_Return);
    EXPECT_EQ(grid()->currentIndex().row(), kB);
    QTest::keyClick(bar->textEdit(), Qt::Key_F3);
    EXPECT_EQ(grid()->currentIndex().row(), 1);
    EXPECT_TRUE(bar->textEdit()->hasFocus());
    QTest::keyClicks(bar->textEdit(), "x");
    EXPECT_TRUE(marked().empty());
    EXPECT_EQ(bar->resultLabel()->text(), "No channel matches");
    bar->textEdit()->selectAll();
    QTest::keyClicks(bar->textEdit(), "145.3");
    EXPECT_EQ(marked(), (std::vector<int>{3}));

    // The marks follow an edit: D removed, nothing matches.
    ClickLabel(3);
    Key(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_TRUE(marked().empty());
    undo().undo();
    EXPECT_EQ(marked(), (std::vector<int>{3}));

    // Esc closes the bar and drops the marks; the found channel stays current and highlighted.
    QTest::keyClick(bar->textEdit(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(marked().empty());
    EXPECT_TRUE(grid()->hasFocus());
    // F3 opens it again and goes to the next match; Alt+D, Alt+N and Alt+O reach its controls
    // (letters the window's buttons and menus do not use).
    ClickLabel(0);
    Key(Qt::Key_F3);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(Highlighted(), (std::vector<int>{3}));
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(bar->textEdit()->hasFocus());
    bar->textEdit()->setText("e");
    QTest::keyClick(bar->textEdit(), Qt::Key_N, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([this] { return grid()->currentIndex().row() == 4; }));
    QTest::keyClick(bar->textEdit(), Qt::Key_O, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([bar] { return !bar->isVisible(); }));
}

}  // namespace
}  // namespace kestra
