// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid's table model: the document's 258 channel rows (model row = record index) with their
// eight cell columns ("Rx Freq" to "BCL"); the row labels ("A 001" .. "B VFO") are the vertical
// header and the column names the horizontal one. Every text a user commits goes through the
// table's commit rules (section, step raster, tone normalising, the reset of a new row's record)
// and is then reported as cellsCommitted, which the document's editor turns into one undo step
// (RevertEdit and ReapplyEdit put the cells and the image bytes back). The model never
// normalises anything itself. Rows can be marked (the channels Find found), which paints them
// in a colour of their own.

#include <QAbstractTableModel>

#include <vector>

#include "channels/channel_document.hpp"
#include "channels/channel_table.hpp"

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
    ChannelGridModel(ChannelDocument& document, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Commits an editor's text through the table's rules and reports the change. False for a cell
    // outside the grid, a role other than EditRole, or a choice text that is not in the column's
    // list; a commit that changes nothing is accepted.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Where an edit of index starts: the same cell, or the row's "Rx Freq" when the row is an
    // empty channel.
    QModelIndex EditIndexFor(const QModelIndex& index) const;

    // The table was refilled from the image: every cell may have changed.
    void Reload();
    // Whether a commit, undo or redo changed the table since it was last stored into the image
    // or refilled from it (the grid then holds edits the records do not have yet).
    bool HasUnstoredEdits() const { return unstoredEdits_; }
    // The table was just stored into the image.
    void MarkStored() { unstoredEdits_ = false; }
    // Undo and redo of one committed edit (used by the undo commands).
    void RevertEdit(const EditResult& edit);
    void ReapplyEdit(const EditResult& edit);

    // Marks exactly these rows (records); the others lose their mark.
    void SetMarkedRecords(const std::vector<int>& records);
    bool IsMarked(int record) const;

signals:
    // A commit changed cells (and possibly the row's record bytes); already applied.
    void cellsCommitted(const EditResult& edit);

private:
    void NotifyRows(const EditResult& edit);

    ChannelDocument& document_;
    bool unstoredEdits_ = false;
    std::vector<bool> marked_ = std::vector<bool>(kRecordCount, false);
};

}  // namespace kestra
