// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid's table model: the document's 258 channel rows (model row = record index) with their
// eight cell columns ("Rx Freq" to "BCL"); the row labels ("A 001" .. "B VFO") are the vertical
// header and the column names the horizontal one. Every text a user commits goes through the
// table's commit rules (section, step raster, tone normalising, the reset of a new row's record)
// and lands on the document's undo stack as one command, so that undo puts the cells and the
// image bytes back. The model never normalises anything itself.

#include <QAbstractTableModel>

#include "channels/channel_document.hpp"
#include "channels/channel_table.hpp"

class QUndoStack;

namespace kestra {

// The model's columns are the table's columns, in order.
inline Column ColumnAt(int modelColumn) {
    return static_cast<Column>(modelColumn);
}
inline int ModelColumnOf(Column column) {
    return static_cast<int>(column);
}
inline constexpr int kModelColumnCount = kColumnCount;

class ChannelGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ChannelGridModel(ChannelDocument& document, QUndoStack& undoStack, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Commits an editor's text through the table's rules and pushes the change on the undo
    // stack. False for a cell outside the grid, a role other than EditRole, or a choice text
    // that is not in the column's list; a commit that changes nothing is accepted.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Where an edit of index starts: the same cell, or the row's "Rx Freq" when the row is an
    // empty channel.
    QModelIndex EditIndexFor(const QModelIndex& index) const;

    // The table was refilled from the image: every cell may have changed.
    void Reload();
    // Undo and redo of one committed edit (used by the undo commands).
    void RevertEdit(const EditResult& edit);
    void ReapplyEdit(const EditResult& edit);

private:
    void NotifyRows(const EditResult& edit);

    ChannelDocument& document_;
    QUndoStack& undoStack_;
};

}  // namespace kestra
