// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's table model over the ChannelTable.

#include "channels/ui/channel_grid_model.hpp"

#include <QBrush>
#include <QColor>

#include <algorithm>

namespace kestra {
namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ChannelGridModel::ChannelGridModel(ChannelDocument& document, QObject* parent)
    : QAbstractTableModel(parent), document_(document) {}

int ChannelGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRecordCount;
}

int ChannelGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kModelColumnCount;
}

QVariant ChannelGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return QString::fromStdString(
                document_.table().Cell(index.row(), ColumnAt(index.column())));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        case Qt::BackgroundRole:
            // A light yellow, as found text is marked elsewhere; dark text on it in any theme.
            return IsMarked(index.row()) ? QVariant(QBrush(QColor(0xFF, 0xE8, 0x8C))) : QVariant();
        case Qt::ForegroundRole:
            return IsMarked(index.row()) ? QVariant(QBrush(Qt::black)) : QVariant();
        default:
            return {};
    }
}

void ChannelGridModel::SetMarkedRecords(const std::vector<int>& records) {
    std::vector<bool> marked(kRecordCount, false);
    for (const int record : records) {
        if (record >= 0 && record < kRecordCount) {
            marked[static_cast<std::size_t>(record)] = true;
        }
    }
    if (marked == marked_) {
        return;
    }
    marked_ = std::move(marked);
    emit dataChanged(index(0, 0), index(kRecordCount - 1, kModelColumnCount - 1),
                     {Qt::BackgroundRole, Qt::ForegroundRole});
}

bool ChannelGridModel::IsMarked(int record) const {
    return record >= 0 && record < kRecordCount && marked_[static_cast<std::size_t>(record)];
}

QVariant ChannelGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= kModelColumnCount) {
            return {};
        }
        return ToQString(ColumnHeader(ColumnAt(section)));
    }
    if (section < 0 || section >= kRecordCount) {
        return {};
    }
    return QString::fromStdString(RowLabel(section));
}

Qt::ItemFlags ChannelGridModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return Qt::NoItemFlags;
    }
    // Every cell column has an in-place editor; which one is decided by the column's kind.
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (EditorKindFor(ColumnAt(index.column())) != EditorKind::None) {
        result |= Qt::ItemIsEditable;
    }
    return result;
}

bool ChannelGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return false;
    }
    const int row = index.row();
    const Column column = ColumnAt(index.column());
    const std::string text = value.toString().toStdString();
    ChannelTable& table = document_.table();

    EditResult result;
    switch (EditorKindFor(column)) {
        case EditorKind::Frequency:
            result =
                table.CommitFrequencyEdit(row, column, text, document_.image(), document_.limits());
            break;
        case EditorKind::Tone:
            result = table.CommitToneEdit(row, column, text);
            if (result.refused) {
                return false;
            }
            break;
        case EditorKind::Choice: {
            // An empty row takes no choice (the commit empties the cell instead); otherwise
            // only the column's own entries are valid.
            const auto list = ChoiceList(column);
            if (!table.IsRowEmpty(row) && std::find(list.begin(), list.end(), text) == list.end()) {
                return false;
            }
            result = table.CommitChoiceEdit(row, column, text);
            break;
        }
        case EditorKind::None:
            return false;
    }
    if (result.Changed()) {
        NotifyRows(result);
        unstoredEdits_ = true;
        emit cellsCommitted(result);
    }
    return true;
}

QModelIndex ChannelGridModel::EditIndexFor(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const Column column = document_.table().EditColumnFor(index.row(), ColumnAt(index.column()));
    return this->index(index.row(), ModelColumnOf(column));
}

void ChannelGridModel::Reload() {
    unstoredEdits_ = false;
    beginResetModel();
    endResetModel();
}

void ChannelGridModel::RevertEdit(const EditResult& edit) {
    document_.table().RevertEdit(edit, document_.image());
    unstoredEdits_ = true;
    NotifyRows(edit);
}

void ChannelGridModel::ReapplyEdit(const EditResult& edit) {
    document_.table().ReapplyEdit(edit, document_.image());
    unstoredEdits_ = true;
    NotifyRows(edit);
}

void ChannelGridModel::NotifyRows(const EditResult& edit) {
    int first = kRecordCount;
    int last = -1;
    for (const auto& cell : edit.cells) {
        first = std::min(first, cell.record);
        last = std::max(last, cell.record);
    }
    if (first > last) {
        return;
    }
    emit dataChanged(index(first, 0), index(last, kModelColumnCount - 1),
                     {Qt::DisplayRole, Qt::EditRole});
}

}  // namespace kestra
