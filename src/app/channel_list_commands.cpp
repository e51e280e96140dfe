// SPDX-License-Identifier: GPL-3.0-or-later
// Sort, move, insert, remove and the drop of dragged rows, each one step through the door.

#include "app/channel_list_commands.hpp"

#include <QAction>

#include <algorithm>

#include "app/document_editor.hpp"
#include "channels/channel_document.hpp"
#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "channels/ui/sort_channels_dialog.hpp"

namespace kestra {
namespace {

// The records (in order) as blocks of neighbouring rows.
std::vector<ChannelRange> Blocks(const std::vector<int>& records) {
    std::vector<ChannelRange> blocks;
    for (const int record : records) {
        if (!blocks.empty() && blocks.back().last + 1 == record) {
            blocks.back().last = record;
        } else {
            blocks.push_back({record, record});
        }
    }
    return blocks;
}

bool InOneSection(int a, int b) {
    return a >= 0 && b >= 0 && a / kListSectionSize == b / kListSectionSize;
}

int CurrentColumn(const ChannelGridView& grid) {
    return std::max(0, grid.currentIndex().column());
}

}  // namespace

ChannelListCommands::ChannelListCommands(DocumentEditor& editor, CProgramView& view,
                                         Messenger& messenger)
    : QObject(&view), editor_(editor), view_(view), messenger_(messenger) {
    using Row = CProgramView::RowCommand;
    const auto wire = [this, &view](Row command, void (ChannelListCommands::*slot)()) {
        connect(view.rowAction(command), &QAction::triggered, this, slot);
    };
    wire(Row::Sort, &ChannelListCommands::SortChannels);
    wire(Row::MoveUp, &ChannelListCommands::MoveUp);
    wire(Row::MoveDown, &ChannelListCommands::MoveDown);
    wire(Row::InsertEmpty, &ChannelListCommands::InsertEmptyChannel);
    wire(Row::Remove, &ChannelListCommands::RemoveChannels);
    connect(view.grid(), &ChannelGridView::rowsDropped, this, &ChannelListCommands::MoveDropped);
}

bool ChannelListCommands::Run(const QString& caption, const ListEdit& edit) {
    ChannelDocument& document = view_.document();
    std::optional<ListRefusal> refused;
    editor_.EditImage(caption, [&] {
        // Several blocks are several calls: one refused puts back what the others did, so the
        // step is all or nothing.
        const MemoryImage before = document.image();
        refused = edit();
        if (refused) {
            document.image() = before;
        }
    });
    if (refused) {
        messenger_.Show(refused->message);
        return false;
    }
    return true;
}

void ChannelListCommands::Highlight(const std::vector<int>& records, int current, int column) {
    view_.grid()->HighlightRecords(records, view_.gridModel()->index(current, column));
}

void ChannelListCommands::SortChannels() {
    SortChannelsDialog dialog(lastSort_, &view_);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    lastSort_ = dialog.options();
    const QModelIndex current = view_.grid()->currentIndex();
    ChannelDocument& document = view_.document();
    Run(QStringLiteral("Sort Channels"), [&]() -> std::optional<ListRefusal> {
        kestra::SortChannels(document.image(), document.limits(), lastSort_);
        return std::nullopt;
    });
    if (current.isValid()) {
        Highlight({}, current.row(), current.column());
    }
    view_.grid()->setFocus();
}

void ChannelListCommands::MoveUp() {
    MoveBy(-1);
}

void ChannelListCommands::MoveDown() {
    MoveBy(1);
}

void ChannelListCommands::MoveBy(int step) {
    const ChannelGridView& grid = *view_.grid();
    const std::vector<int> records = grid.SelectedRecords();
    const std::vector<ChannelRange> blocks = Blocks(records);
    for (const ChannelRange& block : blocks) {
        if (auto refused = CheckChannelRange(block)) {
            messenger_.Show(refused->message);
            return;
        }
        // At the top or bottom of its section a block stays where it is, as the rows of a list
        // do; pressing the key again there is no mistake worth a message.
        if (!InOneSection(step < 0 ? block.first - 1 : block.last + 1, block.first)) {
            return;
        }
    }
    if (blocks.empty()) {
        return;
    }
    const int current = grid.currentIndex().row();
    const int column = CurrentColumn(grid);
    ChannelDocument& document = view_.document();
    // Each block trades places with the row beside it, which is never highlighted itself: the
    // blocks do not meet, whatever their order.
    const bool moved =
        Run(step < 0 ? QStringLiteral("Move Up") : QStringLiteral("Move Down"),
            [&]() -> std::optional<ListRefusal> {
                for (const ChannelRange& block : blocks) {
                    if (auto refused = MoveChannels(document.image(), document.limits(), block,
                                                    block.first + step)) {
                        return refused;
                    }
                }
                return std::nullopt;
            });
    if (!moved) {
        return;
    }
    std::vector<int> after;
    for (const int record : records) {
        after.push_back(record + step);
    }
    const bool currentMoved = std::find(records.begin(), records.end(), current) != records.end();
    Highlight(after, currentMoved ? current + step : after.front(), column);
}

void ChannelListCommands::InsertEmptyChannel() {
    const ChannelGridView& grid = *view_.grid();
    const std::vector<int> records = grid.SelectedRecords();
    if (records.empty()) {
        return;
    }
    const int at = records.front();
    const int column = CurrentColumn(grid);
    ChannelDocument& document = view_.document();
    if (Run(QStringLiteral("Insert Empty Channel"),
            [&] { return InsertEmptyChannels(document.image(), document.limits(), at, 1); })) {
        Highlight({at}, at, column);
    }
}

void ChannelListCommands::RemoveChannels() {
    const ChannelGridView& grid = *view_.grid();
    const std::vector<int> records = grid.SelectedRecords();
    if (records.empty()) {
        return;
    }
    const std::vector<ChannelRange> blocks = Blocks(records);
    const int column = CurrentColumn(grid);
    ChannelDocument& document = view_.document();
    const bool removed =
        Run(QStringLiteral("Remove Channels"), [&]() -> std::optional<ListRefusal> {
            // From the last block up, so the blocks above still stand where they were named.
            for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
                if (auto refused =
                        kestra::RemoveChannels(document.image(), document.limits(), *block)) {
                    return refused;
                }
            }
            return std::nullopt;
        });
    if (removed) {
        // The row where the first removed channel stood now shows the channel after it, so
        // pressing the key again removes on from there.
        Highlight({}, records.front(), column);
    }
}

void ChannelListCommands::MoveDropped(const std::vector<int>& records, int target) {
    const std::vector<ChannelRange> blocks = Blocks(records);
    if (blocks.empty() || target < 0) {
        return;
    }
    if (blocks.size() != 1) {
        messenger_.Show(
            "Only neighbouring rows can be dragged together: highlight one block of rows (click "
            "the first label, Shift+click the last) and drag it again. Nothing was moved.");
        return;
    }
    const ChannelRange block = blocks.front();
    if (target >= block.first && target <= block.last) {
        return;
    }
    // Dropped on a row, the block takes its place: from below it starts there, from above it
    // ends there. A drop outside the block's section is passed on as it is, for the core to
    // refuse naming the row it was dropped on.
    int at = target;
    if (target > block.last && !CheckChannelRange({block.first, target})) {
        at = target - block.Count() + 1;
    }
    const int column = CurrentColumn(*view_.grid());
    ChannelDocument& document = view_.document();
    if (Run(QStringLiteral("Move Channels"),
            [&] { return MoveChannels(document.image(), document.limits(), block, at); })) {
        std::vector<int> after;
        for (int record = at; record < at + block.Count(); ++record) {
            after.push_back(record);
        }
        Highlight(after, at, column);
    }
}

}  // namespace kestra
