// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "IE Control Bar": a dockable side panel with a small tree that leads to the program's
// editors. The root item carries the radio type from Program.ini ([Setup] Type), or the radio
// model the "Radio" box shows when the file has no Type line (the application sets it); its
// children "Channel Infomation", "Optional Features" and "DTMF" trigger the same actions as the
// Edit menu. After every choice the root is selected again, so the same item can be chosen twice in
// a row. The main window owns the bar and keeps its width between 11 pixels and half its own
// width.

#include <QDockWidget>
#include <QFont>

class QAction;
class QTreeWidget;
class QTreeWidgetItem;

namespace kestra {

class NavigationBar : public QDockWidget {
    Q_OBJECT
public:
    enum class Item { ChannelInformation, OptionalFeatures, Dtmf };

    NavigationBar(const QString& rootLabel, QWidget* parent = nullptr);

    // The caption's font: base (the program's font) in the serif family the caption is drawn in.
    static QFont CaptionFont(QFont base);

    // The action an item triggers; a disabled action makes its item do nothing.
    void setItemAction(Item item, QAction* action);

    QTreeWidget* tree() const { return tree_; }
    QTreeWidgetItem* rootItem() const { return root_; }
    QTreeWidgetItem* item(Item item) const;

    // Picks an item as a click does: runs its action, then reselects the root.
    void choose(QTreeWidgetItem* item);

    static constexpr int kInitialWidth = 220;
    static constexpr int kMinimumWidth = 11;

private:
    QTreeWidget* tree_;
    QTreeWidgetItem* root_;
    QTreeWidgetItem* items_[3];
    QAction* actions_[3] = {nullptr, nullptr, nullptr};
};

}  // namespace kestra
