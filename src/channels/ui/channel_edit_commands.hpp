// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The undo commands of the channel grid. A commit is applied by the table's commit rules when
// the user leaves an editor; the command is then built from what that commit reported (the
// cells before and after, and the record bytes when the first Rx of an empty row reset the
// record), so undo restores exactly those cells and bytes and redo puts the edit back.

#include <QUndoCommand>

#include "channels/channel_table.hpp"

namespace kestra {

class ChannelGridModel;

class ChannelCellEditCommand : public QUndoCommand {
public:
    // The edit has already been applied; the first redo() (from QUndoStack::push) does nothing.
    ChannelCellEditCommand(ChannelGridModel& model, EditResult edit,
                           QUndoCommand* parent = nullptr);

    void undo() override;
    void redo() override;

    const EditResult& edit() const { return edit_; }

private:
    ChannelGridModel& model_;
    EditResult edit_;
    bool alreadyApplied_ = true;
};

}  // namespace kestra
