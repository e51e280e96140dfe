// SPDX-License-Identifier: GPL-3.0-or-later
// The channel grid's row labels: highlighting rows by clicking their labels, and dragging the
// highlighted rows by their labels onto another row. The grid reports the drop and moves
// nothing; a line across the grid shows where the dragged rows would land.

#include <QApplication>
#include <QByteArrayList>
#include <QDrag>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimerEvent>

#include <algorithm>
#include <utility>

#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/channel_grid_view.hpp"

namespace kestra {

bool ChannelGridView::eventFilter(QObject* object, QEvent* event) {
    if (object != verticalHeader()->viewport()) {
        return QTableView::eventFilter(object, event);
    }
    if (FilterLabelMouse(event)) {
        return true;
    }
    // A drag over the labels lands on their rows as over the cells: both share the rows' y.
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (TrackDrop(drag, drag->position().toPoint().y())) {
                drag->acceptProposedAction();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::DragLeave:
            EndDropIndicator();
            return true;
        case QEvent::Drop:
            dropEvent(static_cast<QDropEvent*>(event));
            return true;
        case QEvent::MouseButtonPress:
            labelPressed_ = true;
            break;
        default:
            break;
    }
    return QTableView::eventFilter(object, event);
}

bool ChannelGridView::FilterLabelMouse(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    if (type == QEvent::MouseButtonPress) {
        // A plain press on a highlighted label may start a drag: the highlight must survive it.
        const int row = verticalHeader()->logicalIndexAt(at);
        const bool plain =
            mouse->button() == Qt::LeftButton && mouse->modifiers() == Qt::NoModifier;
        if (!plain || row < 0 || !selectionModel()->isRowSelected(row, QModelIndex())) {
            return false;
        }
        dragRow_ = row;
        dragStart_ = at;
        return true;
    }
    if (dragRow_ < 0) {
        return false;
    }
    if (type == QEvent::MouseMove) {
        if ((at - dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
            dragRow_ = -1;
            StartRowDrag();
        }
        return true;
    }
    // Released where it was pressed: an ordinary click, which highlights that row alone.
    HighlightRow(std::exchange(dragRow_, -1));
    return true;
}

void ChannelGridView::StartRowDrag() {
    auto* drag = new QDrag(this);
    drag->setMimeData(RowsMimeData(SelectedRecords()));
    drag->exec(Qt::MoveAction);
}

namespace {

// Names a grid among every grid of every running copy of the program.
QByteArray GridTag(const ChannelGridView* grid) {
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(reinterpret_cast<quintptr>(grid), 16);
}

}  // namespace

QMimeData* ChannelGridView::RowsMimeData(const std::vector<int>& records) const {
    QByteArrayList rows;
    for (const int record : records) {
        rows << QByteArray::number(record);
    }
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kRowsMimeType), GridTag(this) + ':' + rows.join(','));
    return mime;
}

std::vector<int> ChannelGridView::DroppedRecords(const QDropEvent* event) const {
    std::vector<int> records;
    const QMimeData* mime = event->mimeData();
    if (mime == nullptr || model_ == nullptr ||
        !mime->hasFormat(QString::fromLatin1(kRowsMimeType))) {
        return records;
    }
    // Only this grid's own rows: a drag from another window or another copy of the program
    // carries rows of another document.
    const QByteArray data = mime->data(QString::fromLatin1(kRowsMimeType));
    const QByteArray tag = GridTag(this) + ':';
    if (!data.startsWith(tag)) {
        return records;
    }
    for (const QByteArray& text : data.mid(tag.size()).split(',')) {
        bool ok = false;
        const int record = text.toInt(&ok);
        if (!ok || record < 0 || record >= model_->rowCount()) {
            return {};
        }
        records.push_back(record);
    }
    return records;
}

bool ChannelGridView::TrackDrop(const QDropEvent* event, int y) {
    dragged_ = DroppedRecords(event);
    dragY_ = y;
    if (dragged_.empty() || rowAt(y) < 0) {
        EndDropIndicator();
        return false;
    }
    ShowDropAt(y);
    // Within a row of the top or bottom edge the grid scrolls, faster the longer the drag stays.
    const int margin = verticalHeader()->defaultSectionSize();
    const int direction = y < margin ? -1 : y > viewport()->height() - margin ? 1 : 0;
    if (direction != dragScrollDirection_) {
        dragScrollDirection_ = direction;
        dragScrollTicks_ = 0;
    }
    if (direction == 0) {
        dragScroll_.stop();
    } else if (!dragScroll_.isActive()) {
        dragScroll_.start(kDragScrollMilliseconds, this);
    }
    return true;
}

void ChannelGridView::ShowDropAt(int y) {
    // Dropped on a row, the dragged rows take its place: from below they start there (the line
    // on its top edge), from above they end there (the line on its bottom edge).
    const int row = rowAt(y);
    const bool inside = dragged_.empty() || (row >= dragged_.front() && row <= dragged_.back());
    const int shown = inside ? -1 : row;
    const bool above = !dragged_.empty() && row < dragged_.front();
    if (shown != dropRow_ || above != dropAbove_) {
        dropRow_ = shown;
        dropAbove_ = above;
        viewport()->update();
    }
}

void ChannelGridView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != dragScroll_.timerId()) {
        QTableView::timerEvent(event);
        return;
    }
    ++dragScrollTicks_;
    const int rows = std::min(1 + dragScrollTicks_ / 10, 5);
    const int step = verticalScrollMode() == ScrollPerItem ? 1 : rowHeight(0);
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + dragScrollDirection_ * rows * step);
    ShowDropAt(dragY_);
}

void ChannelGridView::EndDropIndicator() {
    dragScroll_.stop();
    dragScrollDirection_ = 0;
    if (dropRow_ >= 0) {
        dropRow_ = -1;
        viewport()->update();
    }
}

void ChannelGridView::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void ChannelGridView::dragMoveEvent(QDragMoveEvent* event) {
    if (TrackDrop(event, event->position().toPoint().y())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ChannelGridView::dragLeaveEvent(QDragLeaveEvent*) {
    EndDropIndicator();
}

void ChannelGridView::dropEvent(QDropEvent* event) {
    const std::vector<int> records = DroppedRecords(event);
    const int target = rowAt(event->position().toPoint().y());
    EndDropIndicator();
    if (records.empty() || target < 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The drag's own event loop is still running: the move, or the message about a refused one,
    // comes once it has ended.
    QMetaObject::invokeMethod(
        this, [this, records, target] { emit rowsDropped(records, target); }, Qt::QueuedConnection);
}

void ChannelGridView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    QPainter painter(viewport());
    if (showGrid() && gridStyle() == Qt::NoPen) {
        PaintGridLines(painter, event->region());
    }
    if (dropRow_ < 0) {
        return;
    }
    const int top = rowViewportPosition(dropRow_);
    const int y = dropAbove_ ? top : top + rowHeight(dropRow_) - 1;
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
    painter.drawLine(0, y, viewport()->width(), y);
}

void ChannelGridView::HighlightRow(int modelRow) {
    labelPressed_ = false;
    if (model_ == nullptr || modelRow < 0 || modelRow >= model_->rowCount()) {
        return;
    }
    const Qt::KeyboardModifiers keys = QGuiApplication::keyboardModifiers();
    const bool extend = keys.testFlag(Qt::ShiftModifier) && highlightAnchor_ >= 0;
    const bool toggle = keys.testFlag(Qt::ControlModifier) && !extend;
    const int from = extend ? std::min(highlightAnchor_, modelRow) : modelRow;
    const int to = extend ? std::max(highlightAnchor_, modelRow) : modelRow;
    if (!extend) {
        highlightAnchor_ = modelRow;
    }
    QItemSelectionModel::SelectionFlags how = QItemSelectionModel::ClearAndSelect;
    if (toggle) {
        how = QItemSelectionModel::Toggle;
    }
    // The keyboard goes to the grid, where the keys of the row commands work.
    setFocus(Qt::MouseFocusReason);
    highlighting_ = true;
    const QModelIndex first = model_->index(from, 0);
    selectionModel()->setCurrentIndex(model_->index(modelRow, 0), QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(first, model_->index(to, kModelColumnCount - 1)), how);
    highlighting_ = false;
}

std::vector<int> ChannelGridView::SelectedRecords() const {
    std::vector<int> rows;
    if (model_ == nullptr) {
        return rows;
    }
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    if (rows.empty() && currentIndex().isValid()) {
        rows.push_back(currentIndex().row());
    }
    return rows;
}

void ChannelGridView::HighlightRecords(const std::vector<int>& records,
                                       const QModelIndex& current) {
    if (model_ == nullptr) {
        return;
    }
    QItemSelection selection;
    for (const int record : records) {
        if (record >= 0 && record < model_->rowCount()) {
            selection.select(model_->index(record, 0),
                             model_->index(record, kModelColumnCount - 1));
        }
    }
    highlighting_ = true;
    if (current.isValid()) {
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    highlighting_ = false;
    highlightAnchor_ = records.empty() ? -1 : records.front();
    if (current.isValid()) {
        scrollTo(current);
    }
}

}  // namespace kestra
