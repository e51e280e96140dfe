// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The channel grid widget and its in-place editors. The grid is a table view over the
// ChannelGridModel; an edit starts on a click or Enter (an empty row always at its "Rx Freq"),
// shows one editor over the cell (a frequency box that takes only digits and the point, an
// editable tone combo with the 265 tone texts, or a drop-down of the column's choices) and
// commits through the model when the editor loses the focus. Enter in an editor commits and
// moves on; Left and Right wrap between rows; a wheel notch scrolls three rows; one click on a
// list cell opens its list; clicking a row label highlights the row (Shift extends the highlight
// to it, Ctrl adds or removes it), clicking a cell does not. Highlighted rows can be dragged by
// their labels and dropped on another row; the grid only reports the drop (rowsDropped) and
// moves nothing itself. The columns share the grid's width in the proportions of their own
// widths; a grid too narrow for them scrolls sideways rather than cutting a column below its
// header.

#include <QBasicTimer>
#include <QPoint>
#include <QStyledItemDelegate>
#include <QTableView>

#include <vector>

class QMimeData;

namespace kestra {

class ChannelGridModel;

// Where the current cell goes after Enter in an editor.
enum class GridMove { Right, Down };

// The three in-place editors of the grid.
class ChannelCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

signals:
    // Enter was pressed in an editor: the edit is committed and closed, and the current cell
    // should move (down after an emptied frequency, right otherwise).
    void moveRequested(GridMove move);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

class ChannelGridView : public QTableView {
    Q_OBJECT
public:
    // What a drag of row labels carries: the grid it left ("process:grid") and its records,
    // as "4711:7f3a9c:0,1,2".
    static constexpr const char* kRowsMimeType = "application/x-kestra-channel-rows";

    explicit ChannelGridView(QWidget* parent = nullptr);
    using QTableView::edit;

    void SetChannelModel(ChannelGridModel* model);
    ChannelCellDelegate* delegate() const { return delegate_; }

    // Sizes the columns and the row-label column from their widths in twips at dpi; these are
    // the proportions in which the columns share the grid's width.
    void ApplyColumnWidths(int dpi);
    // Rows one wheel notch scrolls.
    static constexpr int kRowsPerWheelNotch = 3;

    // Opens the editor for index's row: at index's column, or at "Rx Freq" when the row is an
    // empty channel.
    void BeginCellEdit(const QModelIndex& index);
    // Commits and closes the open editor, if any.
    void CommitOpenEditor();
    // Closes the open editor without committing it (the grid is being refilled).
    void DiscardOpenEditor();
    bool IsEditing() const { return state() == EditingState; }
    // The editor widget currently open, or nullptr.
    QWidget* OpenEditor() const;
    // Moves the current cell as the arrow keys do (with the wrap between rows).
    void MoveCurrent(GridMove move);
    // The rows whose labels are highlighted, in order; else the current row; else none.
    std::vector<int> SelectedRecords() const;
    // Highlights exactly these rows, as clicks on their labels would, and makes current the
    // current cell, scrolled into view (after an edit moved the channels they show).
    void HighlightRecords(const std::vector<int>& records, const QModelIndex& current);

    // What a drag of these records from this grid carries; a drop reads it back, on this grid
    // only.
    QMimeData* RowsMimeData(const std::vector<int>& records) const;

signals:
    // Highlighted rows were dragged by their labels and dropped on row target (another row of
    // the grid, possibly in the other section or a VFO). Reported once the drag has ended.
    void rowsDropped(const std::vector<int>& records, int target);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool eventFilter(QObject* object, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // A press, move or release on the row labels while a drag of highlighted rows may start;
    // true when it was taken for the drag.
    bool FilterLabelMouse(QEvent* event);
    void StartRowDrag();
    // The records a drop carries, or none when it is no drag of this grid's rows.
    std::vector<int> DroppedRecords(const QDropEvent* event) const;
    // Follows a drag over the grid (cells or labels) at y: the drop line, and the scrolling near
    // the edges. True when it may drop there.
    bool TrackDrop(const QDropEvent* event, int y);
    // The drop line for a drop of the dragged rows at y.
    void ShowDropAt(int y);
    // The drag left or dropped: no line, no scrolling.
    void EndDropIndicator();

    // The grid lines, as the table draws them with its grid pen, drawn as one-pixel rectangles.
    void PaintGridLines(QPainter& painter, const QRegion& region) const;

    void HighlightRow(int modelRow);
    void OnScrolled();
    // Spreads the viewport's width over the columns.
    void FitColumnsToWidth();
    // Opens the list of a drop-down cell editor that a click started.
    void OpenListOfEditor();

    ChannelGridModel* model_ = nullptr;
    ChannelCellDelegate* delegate_ = nullptr;
    bool highlighting_ = false;
    int highlightAnchor_ = -1;   // the row a Shift+click on a label extends from
    bool labelPressed_ = false;  // a row label is being clicked: the highlight is its to change
    int dragRow_ = -1;           // the highlighted row label pressed, a drag may start from it
    QPoint dragStart_;
    int dropRow_ = -1;          // the row a drag is over, for the drop indicator
    bool dropAbove_ = true;     // the dragged rows would land at dropRow_ from below (its top edge)
    std::vector<int> dragged_;  // the rows a drag over the grid carries
    int dragY_ = 0;             // where it is
    static constexpr int kDragScrollMilliseconds = 50;
    QBasicTimer dragScroll_;       // scrolls while a drag stays near the top or bottom edge
    int dragScrollDirection_ = 0;  // -1 up, 1 down
    int dragScrollTicks_ = 0;
    std::vector<int> baseWidths_;
};

}  // namespace kestra
