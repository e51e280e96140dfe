// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A two-column grid whose rows are consecutive fields of a settings form: a fixed number in the
// first column, the field's text in the second ("No."/"Code" on the Auto Dial page,
// "Radio CH"/"Frequency" in the Radio dialog). A left button press opens an edit over the
// row's text cell, filtered as the field's row says, with all its text selected; Enter on the
// grid opens it on the current row. Enter and Esc in the edit return to the grid keeping the
// text; leaving the edit writes the text into the form, which normalises it.

#include <QTableWidget>

#include <cstddef>

class QLineEdit;

namespace kestra {

class FormBinder;
class CellEditorDelegate;

class FieldGrid : public QTableWidget {
    Q_OBJECT
public:
    struct Layout {
        std::size_t firstField = 0;
        int rows = 0;
        QString numberHeader;
        QString textHeader;
        int firstNumber = 0;            // the first row's number ("0" or "1")
        bool numberPressEdits = false;  // a press on the number column edits the row too
        bool enterMovesDown = false;    // Enter in the edit moves to the next row
        int numberTwips = 0;            // column widths in twips (1/1440 inch)
        int textTwips = 0;
    };

    FieldGrid(FormBinder& binder, Layout layout, QWidget* parent);

    // The row the grid's current cell is in (0-based).
    int currentFieldRow() const;
    // Opens the edit on a row's text cell, as a press does.
    void EditRow(int row);
    // The open edit, or null.
    QLineEdit* openEditor() const;
    // Closes an open edit, writing its text into the form.
    void CommitOpenEditor();

    // Tall enough for every row; on a small screen the grid may shrink to kFewestShownRows
    // rows and scroll.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    static constexpr int kFewestShownRows = 12;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int HeightFor(int rows) const;
    void Refresh();
    void Commit(int row, const QString& text);

    FormBinder& binder_;
    Layout layout_;
    CellEditorDelegate* delegate_;
    Qt::MouseButton pressedButton_ = Qt::NoButton;
};

}  // namespace kestra
