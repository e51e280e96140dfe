// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CProgramView: the document window's form. It shows the document's 258 channel slots in the
// grid (a QTableView over the document's ChannelTable), edits cells in place through the core
// commit rules, mirrors the document's radio model in the "Radio" box, and carries the form's
// buttons ("Batch Generate", "Channel Edit" and, in service mode, "Initialization"), the
// grid's row commands (Copy Channels, Paste Channels, Clear Channels, the list commands Sort,
// Move Up, Move Down, Insert Empty Channel and Remove Channels, and Find, with their keys and
// the context menu) and the Find bar above the grid, hidden until Find opens it.
//
// The view decides nothing about what those commands do: the application's controllers
// connect to its buttons, actions and signals, and every change of the document goes through
// the document's editor (the one write door), which also records the grid's cell commits
// (ChannelGridModel::cellsCommitted) as undo steps. The view owns neither the document nor the
// undo stack.

#include <QWidget>

#include <memory>

class QAction;
class QComboBox;
class QPushButton;

namespace kestra {

class ChannelDocument;
class ChannelFindBar;
class ChannelGridModel;
class ChannelGridView;
class ChannelTable;

class CProgramView : public QWidget {
    Q_OBJECT
public:
    // The grid's row commands, each an action of the grid with its keys; the Edit menu shows
    // the list commands and Find as well.
    enum class RowCommand {
        Copy,
        Paste,
        Clear,
        Sort,
        MoveUp,
        MoveDown,
        InsertEmpty,
        Remove,
        Find,
        FindNext,
        Count
    };

    // document must outlive the view.
    explicit CProgramView(ChannelDocument& document, QWidget* parent = nullptr);
    ~CProgramView() override;

    // Decode the image into the grid and show it (after an editor changed channel records).
    void FillGridFromImage();
    // The document was replaced or decoded anew (New, Open, a read): show its grid and its
    // model. An open cell editor is dropped; its text belonged to the old contents.
    void ShowDocument();
    // Commit open editors, encode the grid into the image and prepare the image (before every
    // save, write, print and edit of the image).
    void StoreGridToImage();
    // Commits and closes the cell editor being typed into, if any.
    void CommitOpenEditor();
    // Service mode shows the "Initialization" button.
    void ShowInitializationButton();

    ChannelDocument& document() const { return document_; }
    const ChannelTable& table() const;
    // The document's radio model, shown in the "Radio" box: the model block every store writes.
    int modelIndex() const;

    ChannelGridView* grid() const { return grid_; }
    ChannelGridModel* gridModel() const { return model_; }
    QComboBox* modelCombo() const { return modelCombo_; }
    QPushButton* batchGenerateButton() const { return batchGenerate_; }
    QPushButton* channelEditButton() const { return channelEdit_; }
    QPushButton* initializationButton() const { return initialization_; }
    QAction* rowAction(RowCommand command) const { return rowActions_[static_cast<int>(command)]; }
    // The Find bar above the grid, made (hidden) when it is first asked for.
    ChannelFindBar* findBar();
    bool findBarShown() const;

signals:
    // The user picked another radio model: the next save writes its model block.
    void modelChosen();
    // Ctrl+F11: the user asks for the service password.
    void passwordRequested();
    // The Find bar has just been made.
    void findBarMade(ChannelFindBar* bar);

private:
    // The "Radio" box, the buttons and the layout around the grid.
    void BuildForm();
    void CreateRowActions();

    ChannelDocument& document_;
    ChannelGridModel* model_ = nullptr;
    // The form's controls, children of the view.
    ChannelGridView* grid_ = nullptr;
    QComboBox* modelCombo_ = nullptr;
    QPushButton* batchGenerate_ = nullptr;
    QPushButton* channelEdit_ = nullptr;
    QPushButton* initialization_ = nullptr;
    ChannelFindBar* findBar_ = nullptr;
    QAction* rowActions_[static_cast<int>(RowCommand::Count)] = {};
};

}  // namespace kestra
