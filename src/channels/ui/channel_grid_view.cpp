// SPDX-License-Identifier: GPL-3.0-or-later
// The channel grid widget: cursor moves, wheel and column widths (the row labels are in
// channel_grid_drag_view.cpp).

#include "channels/ui/channel_grid_view.hpp"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

#include "channels/ui/channel_grid_model.hpp"
#include "common/ui/editor_controls_widget.hpp"
#include "model/codecs.hpp"

namespace kestra {
namespace {

// Twips are 1/1440 inch.
int TwipsToPixels(int twips, int dpi) {
    return twips * dpi / 1440;
}

// The row labels. The standard size hint measures the text of up to two hundred labels each
// time the table lays itself out, which costs every start of the program several milliseconds;
// the last label ("B VFO") is the widest, so measuring it once per font gives the same width.
class RowLabelHeader : public QHeaderView {
public:
    explicit RowLabelHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

    QSize sizeHint() const override {
        if (labelWidth_ < 0 && count() > 0) {
            labelWidth_ = sectionSizeFromContents(count() - 1).width();
        }
        return {std::max(labelWidth_, minimumWidth()), defaultSectionSize()};
    }

protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
            labelWidth_ = -1;
        }
        QHeaderView::changeEvent(event);
    }

private:
    mutable int labelWidth_ = -1;
};

}  // namespace

// ---- ChannelGridView ------------------------------------------------------------------------

ChannelGridView::ChannelGridView(QWidget* parent) : QTableView(parent) {
    setVerticalHeader(new RowLabelHeader(this));
    // The table keeps a one-pixel gap between cells and leaves the lines in it to paintEvent
    // (PaintGridLines): drawn as rectangles they cost next to nothing, where the table's own
    // line drawing takes a third of a full repaint of the grid.
    setGridStyle(Qt::NoPen);
    delegate_ = new ChannelCellDelegate(this);
    setItemDelegate(delegate_);
    // Edits start only from a click or Enter (BeginCellEdit); the view itself never selects:
    // the only highlight is a row whose label was clicked.
    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);
    // Tab moves from cell to cell and leaves the grid at its ends (see moveCursor).
    setTabKeyNavigation(true);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setSectionsClickable(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Rows as tight as the cell editors allow, so a screen shows as many channels as it can.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 10);

    connect(this, &QAbstractItemView::pressed, this, [this](const QModelIndex& index) {
        clearSelection();
        BeginCellEdit(index);
        OpenListOfEditor();
    });
    connect(verticalHeader(), &QHeaderView::sectionPressed, this, &ChannelGridView::HighlightRow);
    // The table moves the current cell to a pressed label's row before HighlightRow runs; that
    // move must not drop the rows a Ctrl+click adds to.
    verticalHeader()->viewport()->installEventFilter(this);
    connect(delegate_, &ChannelCellDelegate::moveRequested, this, &ChannelGridView::MoveCurrent);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ChannelGridView::OnScrolled);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &ChannelGridView::OnScrolled);
    // Highlighted rows are dragged by their labels and dropped on the cells or the labels.
    viewport()->setAcceptDrops(true);
    verticalHeader()->viewport()->setAcceptDrops(true);
}

void ChannelGridView::PaintGridLines(QPainter& painter, const QRegion& region) const {
    const QHeaderView* rows = verticalHeader();
    const QHeaderView* columns = horizontalHeader();
    if (rows->count() == 0 || columns->count() == 0) {
        return;
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QColor color = QColor::fromRgba(
        static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    const bool rightToLeft = isRightToLeft();
    // The last pixel the cells reach, across and down.
    const int lastX = columns->length() - columns->offset() - (rightToLeft ? 0 : 1);
    const int lastY = rows->length() - rows->offset() - 1;
    for (QRect area : region) {
        area.setBottom(std::min(area.bottom(), lastY));
        if (rightToLeft) {
            area.setLeft(std::max(area.left(), viewport()->width() - lastX));
        } else {
            area.setRight(std::min(area.right(), lastX));
        }
        int left = columns->visualIndexAt(area.left());
        int right = columns->visualIndexAt(area.right());
        if (rightToLeft) {
            std::swap(left, right);
        }
        left = left < 0 ? 0 : left;
        right = right < 0 ? columns->count() - 1 : right;
        const int top = rows->visualIndexAt(area.top());
        int bottom = rows->visualIndexAt(area.bottom());
        bottom = bottom < 0 ? rows->count() - 1 : bottom;
        if (top < 0 || top > bottom) {
            continue;
        }
        // Each row's line is its bottom pixel row, each column's its last pixel column.
        for (int visual = top; visual <= bottom; ++visual) {
            const int row = rows->logicalIndex(visual);
            if (rows->isSectionHidden(row)) {
                continue;
            }
            const int y = rowViewportPosition(row) + rowHeight(row) - 1;
            painter.fillRect(QRect(QPoint(area.left(), y), QPoint(area.right(), y)), color);
        }
        for (int visual = left; visual <= right; ++visual) {
            const int column = columns->logicalIndex(visual);
            if (columns->isSectionHidden(column)) {
                continue;
            }
            const int x =
                columnViewportPosition(column) + (rightToLeft ? 0 : columnWidth(column) - 1);
            painter.fillRect(QRect(QPoint(x, area.top()), QPoint(x, area.bottom())), color);
        }
    }
}

void ChannelGridView::SetChannelModel(ChannelGridModel* model) {
    model_ = model;
    setModel(model);
}

void ChannelGridView::ApplyColumnWidths(int dpi) {
    baseWidths_.clear();
    for (int c = 0; c < kModelColumnCount; ++c) {
        baseWidths_.push_back(TwipsToPixels(ColumnWidthTwips(ColumnAt(c)), dpi));
        setColumnWidth(c, baseWidths_.back());
    }
    // The label column keeps its own width unless "B VFO" would not fit in it.
    const int labelWidth = TwipsToPixels(kRowLabelWidthTwips, dpi);
    verticalHeader()->setFixedWidth(std::max(labelWidth, verticalHeader()->sizeHint().width()));
}

void ChannelGridView::BeginCellEdit(const QModelIndex& index) {
    if (model_ == nullptr) {
        return;
    }
    const QModelIndex target = model_->EditIndexFor(index);
    if (!target.isValid()) {
        return;
    }
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    edit(target);
}

QWidget* ChannelGridView::OpenEditor() const {
    return IsEditing() ? indexWidget(currentIndex()) : nullptr;
}

void ChannelGridView::CommitOpenEditor() {
    if (QWidget* editor = OpenEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void ChannelGridView::DiscardOpenEditor() {
    if (QWidget* editor = OpenEditor()) {
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    }
}

void ChannelGridView::MoveCurrent(GridMove move) {
    const QModelIndex next =
        moveCursor(move == GridMove::Down ? MoveDown : MoveRight, Qt::NoModifier);
    if (next.isValid()) {
        selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
    }
}

QModelIndex ChannelGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    if ((action == MoveNext || action == MovePrevious) &&
        TabWouldWrap(action == MoveNext, current)) {
        return {};
    }
    if (model_ != nullptr && current.isValid()) {
        const int lastColumn = kModelColumnCount - 1;
        const int lastRow = model_->rowCount() - 1;
        // Left from the first column goes to the end of the row above, Right from the last
        // column to the start of the row below.
        if (action == MoveLeft && current.column() == 0 && current.row() > 0) {
            return model_->index(current.row() - 1, lastColumn);
        }
        if (action == MoveRight && current.column() == lastColumn && current.row() < lastRow) {
            return model_->index(current.row() + 1, 0);
        }
    }
    return QTableView::moveCursor(action, modifiers);
}

bool ChannelGridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // Every explicit edit (BeginCellEdit, Tab from an editor to the next cell) obeys the rule
    // that an empty channel is started at its Rx.
    if (trigger == AllEditTriggers && model_ != nullptr) {
        const QModelIndex target = model_->EditIndexFor(index);
        if (target.isValid() && target != index) {
            selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
            return QTableView::edit(target, trigger, event);
        }
    }
    return QTableView::edit(index, trigger, event);
}

void ChannelGridView::keyPressEvent(QKeyEvent* event) {
    // The keypad's Enter (which carries the keypad modifier) counts as Enter.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (IsEnterKey(event) && plain && currentIndex().isValid()) {
        BeginCellEdit(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ChannelGridView::wheelEvent(QWheelEvent* event) {
    // A notch of a mouse wheel moves three rows, whatever the desktop's setting; touchpads
    // (pixel deltas, fractions of a notch) scroll as usual.
    constexpr int kNotch = 120;
    const int delta = event->angleDelta().y();
    if (event->pixelDelta().isNull() && delta != 0 && delta % kNotch == 0 &&
        event->modifiers() == Qt::NoModifier) {
        const int rowStep = verticalScrollMode() == ScrollPerItem ? 1 : rowHeight(0);
        QScrollBar* bar = verticalScrollBar();
        bar->setValue(bar->value() - delta / kNotch * kRowsPerWheelNotch * rowStep);
        event->accept();
        return;
    }
    QTableView::wheelEvent(event);
}

void ChannelGridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitColumnsToWidth();
}

void ChannelGridView::FitColumnsToWidth() {
    if (baseWidths_.empty()) {
        return;
    }
    int total = 0;
    for (int width : baseWidths_) {
        total += width;
    }
    const int available = viewport()->width();
    if (total <= 0 || available <= 0) {
        return;
    }
    // Each column keeps room for its header; the last one takes what rounding leaves over.
    const QFontMetrics metrics = horizontalHeader()->fontMetrics();
    int used = 0;
    for (int c = 0; c < kModelColumnCount; ++c) {
        const auto index = static_cast<std::size_t>(c);
        const QString header =
            model() != nullptr ? model()->headerData(c, Qt::Horizontal).toString() : QString();
        const int least = metrics.horizontalAdvance(header) + 12;
        int width = std::max(least, baseWidths_[index] * available / total);
        if (c == kModelColumnCount - 1) {
            width = std::max(least, available - used);
        }
        setColumnWidth(c, width);
        used += width;
    }
}

void ChannelGridView::OpenListOfEditor() {
    auto* combo = qobject_cast<QComboBox*>(OpenEditor());
    if (combo == nullptr || combo->isEditable()) {
        return;
    }
    // Once the editor stands over its cell: the list drops down from there.
    QPointer<QComboBox> guarded(combo);
    QMetaObject::invokeMethod(
        this,
        [guarded] {
            if (!guarded.isNull() && guarded->isVisible()) {
                guarded->showPopup();
            }
        },
        Qt::QueuedConnection);
}

void ChannelGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!highlighting_ && !labelPressed_) {
        clearSelection();
    }
}

void ChannelGridView::OnScrolled() {
    // A scrolled grid takes the focus back, which commits and closes an open editor.
    if (IsEditing()) {
        CommitOpenEditor();
        setFocus();
    }
}

}  // namespace kestra
