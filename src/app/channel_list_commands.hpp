// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The channel-list commands of the document window: Sort Channels (with its dialog), Move Up
// and Move Down (Alt+Up, Alt+Down), Insert Empty Channel (Insert), Remove Channels
// (Shift+Delete) and the drop of highlighted rows dragged by their labels. Each runs the core's
// list function (channel_list.hpp) on the document's image as one undoable step through the
// document's editor, which refills the grid once; a refused operation changes no byte and shows
// the core's sentence. The commands act on the highlighted rows, else the current row, and
// leave the channels they moved highlighted, so repeated presses keep moving them.

#include <QObject>

#include <functional>
#include <optional>
#include <vector>

#include "channels/channel_list.hpp"
#include "model/messenger.hpp"

class QModelIndex;
class QString;

namespace kestra {

class CProgramView;
class DocumentEditor;

class ChannelListCommands : public QObject {
    Q_OBJECT
public:
    // Connects the view's list actions and the grid's drops.
    ChannelListCommands(DocumentEditor& editor, CProgramView& view, Messenger& messenger);

    // The Sort Channels dialog, then the sort it asks for.
    void SortChannels();
    // The highlighted channels one row up or down, within their section; nothing at its end.
    void MoveUp();
    void MoveDown();
    // One empty channel at the first highlighted (or the current) row.
    void InsertEmptyChannel();
    // The highlighted channels deleted, the following ones shifted up.
    void RemoveChannels();
    // The dragged records (one block of neighbouring rows) take the place of row target.
    void MoveDropped(const std::vector<int>& records, int target);

private:
    using ListEdit = std::function<std::optional<ListRefusal>()>;
    // Runs edit as one step named caption; when it refuses, the image is put back as it was
    // and the reason shown. Returns whether the image changed.
    bool Run(const QString& caption, const ListEdit& edit);
    void MoveBy(int step);
    // Highlights records after an edit and puts the current cell on row current, in the
    // column it was in.
    void Highlight(const std::vector<int>& records, int current, int column);

    DocumentEditor& editor_;
    CProgramView& view_;
    Messenger& messenger_;
    SortOptions lastSort_;
};

}  // namespace kestra
