// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grids of the service dialogs: a fixed header row and label column, centred cells, and one
// in-place editor with a spin control (a SpinTextBox) that opens over a cell when it is clicked
// or typed into. Leaving the editor clamps its number into the grid's range and writes it to the
// cell; the current cell's text is drawn red. Column widths come in twips, as the layouts give
// them, and are converted with the screen's resolution.

#include <QPointer>
#include <QTableWidget>

#include <string>
#include <vector>

#include "model/spin_field.hpp"

namespace kestra {

class SpinTextBox;

class CalibrationGridWidget : public QTableWidget {
    Q_OBJECT
public:
    struct Layout {
        QStringList columnHeaders;  // the value columns
        QStringList rowLabels;
        int labelWidthTwips = 0;
        int cellWidthTwips = 0;
        SpinFieldRule editor;
    };

    CalibrationGridWidget(const Layout& layout, QWidget* parent = nullptr);

    // Every cell, row by row (the label column is not a cell).
    void SetCells(const std::vector<std::string>& texts);
    // The cells row by row; a cell being edited counts with the text leaving the editor gives.
    std::vector<std::string> Cells() const;
    void ClearCells();

    // Whether the cells take typing, clicks and the editor (default: yes). A grid with nothing
    // to edit behind it refuses them instead of letting typed values go nowhere.
    void SetEditable(bool editable);
    bool editable() const { return editable_; }

    // Opens the editor over a cell, as a click does (not while the grid is not editable).
    void BeginEdit(int row, int column);
    // The open editor, or null.
    SpinTextBox* OpenEditor() const;
    // Leaves the open editor: its clamped number goes into its cell.
    void CommitOpenEditor();

    const SpinFieldRule& editorRule() const { return rule_; }
    int TwipsToPixels(int twips) const;

signals:
    // A cell changed by editing, or the open editor's text changed (not by SetCells).
    void cellsEdited();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // Tab leaves the grid at its ends instead of wrapping around.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    class Delegate;
    friend class Delegate;

    void FitToContents();

    SpinFieldRule rule_;
    Delegate* delegate_ = nullptr;
    bool loading_ = false;
    bool editable_ = true;
};

}  // namespace kestra
