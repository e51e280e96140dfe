// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document window's channel editors: its "Channel Edit" button opens the Channel Edit
// dialog on the grid's current row, and "Batch Generate" the batch dialog. What Channel Edit
// changed while it was open is one undoable step; each Apply of the batch dialog is one step
// of its own. Both go through the document's editor, which refills the grid; the keyboard goes
// back to the grid afterwards.

#include <QObject>

namespace kestra {

class CProgramView;
class DocumentEditor;

class ChannelEditors : public QObject {
    Q_OBJECT
public:
    // Connects the view's two buttons.
    ChannelEditors(DocumentEditor& editor, CProgramView& view);

public slots:
    void ChannelEdit();
    void BatchGenerate();

private:
    DocumentEditor& editor_;
    CProgramView& view_;
};

}  // namespace kestra
