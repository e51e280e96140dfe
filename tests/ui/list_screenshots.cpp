// SPDX-License-Identifier: GPL-3.0-or-later
// Offscreen pictures of the channel-list commands for shell_screenshots: the Sort Channels
// dialog, the grid's context menu and the Find bar with its marks, in the usual window and on a
// 1024x600 screen.

#include <QDir>
#include <QLineEdit>
#include <QMenu>

#include <functional>

#include "app/main_window.hpp"
#include "channels/ui/channel_find_bar.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "channels/ui/sort_channels_dialog.hpp"

namespace kestra::screenshots {

using SavePicture = std::function<bool(QWidget&, const QString&)>;

bool SaveListPictures(CMainFrame& frame, const SavePicture& save) {
    CProgramView* view = frame.view();
    bool ok = true;

    SortChannelsDialog sort({SortKey::Name, false, SortSections::Both}, &frame);
    sort.show();
    ok = save(sort, QStringLiteral("sort-channels.png")) && ok;
    sort.hide();

    QMenu menu(&frame);
    menu.addActions(view->grid()->actions());
    menu.popup(frame.mapToGlobal(QPoint(300, 200)));
    ok = save(menu, QStringLiteral("grid-context-menu.png")) && ok;
    menu.hide();

    // Find as a user starts it: Ctrl+F, a few letters, Enter.
    view->rowAction(CProgramView::RowCommand::Find)->trigger();
    view->findBar()->textEdit()->setText(QStringLiteral("14"));
    emit view->findBar()->textEdited(view->findBar()->text());
    emit view->findBar()->nextRequested();
    ok = save(frame, QStringLiteral("find-bar.png")) && ok;
    const QSize size = frame.size();
    frame.resize(1024, 600);
    ok = save(frame, QStringLiteral("find-bar-1024x600.png")) && ok;
    frame.resize(size);
    emit view->findBar()->closeRequested();
    return ok;
}

}  // namespace kestra::screenshots
