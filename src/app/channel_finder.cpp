// SPDX-License-Identifier: GPL-3.0-or-later
// The Find bar's controller: which channels match, where the grid goes.

#include "app/channel_finder.hpp"

#include <QAction>

#include <algorithm>

#include "channels/channel_document.hpp"
#include "channels/channel_list.hpp"
#include "channels/channel_table.hpp"
#include "channels/ui/channel_find_bar.hpp"
#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "model/channel_record.hpp"

namespace kestra {

ChannelFinder::ChannelFinder(CProgramView& view) : QObject(&view), view_(view) {
    using Row = CProgramView::RowCommand;
    connect(view.rowAction(Row::Find), &QAction::triggered, this, &ChannelFinder::OpenBar);
    connect(view.rowAction(Row::FindNext), &QAction::triggered, this, &ChannelFinder::FindNext);
    // The bar is made when it is first needed (it is not part of the first picture).
    connect(&view, &CProgramView::findBarMade, this, [this](ChannelFindBar* bar) {
        connect(bar, &ChannelFindBar::textEdited, this, &ChannelFinder::SearchTyped);
        connect(bar, &ChannelFindBar::nextRequested, this, &ChannelFinder::FindNext);
        connect(bar, &ChannelFindBar::closeRequested, this, &ChannelFinder::CloseBar);
    });
    // An edit, undo or redo refilled the grid: the channels may have moved or changed.
    connect(view.gridModel(), &QAbstractItemModel::modelReset, this, [this] {
        if (view_.findBarShown()) {
            Search();
        }
    });
}

void ChannelFinder::OpenBar() {
    view_.CommitOpenEditor();
    view_.findBar()->Open();
    Search();
}

void ChannelFinder::CloseBar() {
    view_.findBar()->hide();
    matches_.clear();
    view_.gridModel()->SetMarkedRecords({});
    view_.grid()->setFocus();
}

void ChannelFinder::Search() {
    const std::string text = view_.findBar()->text().toStdString();
    matches_.clear();
    if (!text.empty()) {
        // The grid is the working copy: a channel typed a moment ago is found too.
        if (view_.gridModel()->HasUnstoredEdits()) {
            view_.StoreGridToImage();
        }
        const ChannelDocument& document = view_.document();
        matches_ = FindChannels(document.image(), document.limits(), text);
    }
    view_.gridModel()->SetMarkedRecords(matches_);
    if (text.empty()) {
        view_.findBar()->ShowResult(QString());
    } else if (matches_.empty()) {
        view_.findBar()->ShowResult(QStringLiteral("No channel matches"));
    } else {
        view_.findBar()->ShowResult(matches_.size() == 1
                                        ? QStringLiteral("1 channel matches")
                                        : QStringLiteral("%1 channels match").arg(matches_.size()));
    }
}

void ChannelFinder::SearchTyped() {
    Search();
    if (matches_.empty()) {
        return;
    }
    const int current = std::max(0, view_.grid()->currentIndex().row());
    const auto from = std::lower_bound(matches_.begin(), matches_.end(), current);
    GoToMatch(from == matches_.end() ? 0 : static_cast<std::size_t>(from - matches_.begin()));
}

void ChannelFinder::FindNext() {
    ChannelFindBar* bar = view_.findBar();
    if (!bar->isVisible() || bar->text().isEmpty()) {
        OpenBar();
        if (bar->text().isEmpty()) {
            return;
        }
    }
    Search();
    if (matches_.empty()) {
        return;
    }
    const int current = view_.grid()->currentIndex().row();
    const auto next = std::upper_bound(matches_.begin(), matches_.end(), current);
    GoToMatch(next == matches_.end() ? 0 : static_cast<std::size_t>(next - matches_.begin()));
}

void ChannelFinder::GoToMatch(std::size_t index) {
    const int record = matches_[index];
    ChannelGridView* grid = view_.grid();
    const int column = std::max(0, grid->currentIndex().column());
    grid->HighlightRecords({record}, view_.gridModel()->index(record, column));
    // The grid has no name column: the bar names the channel, so a match by name shows why.
    std::string found = RowLabel(record);
    const std::string name = ConstChannelRecord(view_.document().image(), record).Name();
    if (!name.empty()) {
        found += " \"" + name + "\"";
    }
    view_.findBar()->ShowResult(QStringLiteral("%1 of %2: %3")
                                    .arg(index + 1)
                                    .arg(matches_.size())
                                    .arg(QString::fromLatin1(found.c_str())));
}

}  // namespace kestra
