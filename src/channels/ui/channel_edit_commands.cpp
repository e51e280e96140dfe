// SPDX-License-Identifier: GPL-3.0-or-later
// Undo commands of the channel grid.

#include "channels/ui/channel_edit_commands.hpp"

#include <QString>

#include "channels/ui/channel_grid_model.hpp"

namespace kestra {
namespace {

// "Edit A 001 Rx Freq": the row and column the user committed, for the Edit menu's texts.
QString CommandText(const EditResult& edit) {
    int record = 0;
    Column column = Column::RxFreq;
    if (!edit.cells.empty()) {
        record = edit.cells.front().record;
        column = edit.cells.front().column;
    } else if (edit.record) {
        record = edit.record->record;
    }
    return QStringLiteral("Edit %1 %2")
        .arg(QString::fromStdString(RowLabel(record)),
             QString::fromUtf8(ColumnHeader(column).data(),
                               static_cast<qsizetype>(ColumnHeader(column).size())));
}

}  // namespace

ChannelCellEditCommand::ChannelCellEditCommand(ChannelGridModel& model, EditResult edit,
                                               QUndoCommand* parent)
    : QUndoCommand(parent), model_(model), edit_(std::move(edit)) {
    setText(CommandText(edit_));
}

void ChannelCellEditCommand::undo() {
    model_.RevertEdit(edit_);
}

void ChannelCellEditCommand::redo() {
    if (alreadyApplied_) {
        alreadyApplied_ = false;
        return;
    }
    model_.ReapplyEdit(edit_);
}

}  // namespace kestra
