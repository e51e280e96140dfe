// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Find in the document window: Ctrl+F opens the Find bar above the grid, and every channel whose
// name contains the text or whose Rx or Tx frequency starts with it (the core's FindChannels) is
// marked in the grid as the user types; the first one from the current row on becomes current.
// Enter, "Next" and F3 go to the next one (round from the last to the first), highlighting it so
// the list commands act on it, and the bar names it ("2 of 5: A 014 \"MARINE\"", as the grid
// shows no names); Esc or "Close" closes the bar, drops the marks and gives the
// keyboard back to the grid, on the channel found last.
//
// The grid marks the matches instead of hiding the other rows: a row of the grid is a slot of
// the radio, and the list commands (Move Up, Insert, Remove, drag and drop) shift the channels
// around the ones found; with rows hidden the user could not see what moved, and a drop between
// two visible rows would land among hidden ones.

#include <QObject>

#include <vector>

namespace kestra {

class CProgramView;

class ChannelFinder : public QObject {
    Q_OBJECT
public:
    // Connects the view's Find and Find Next actions, its Find bar and its grid.
    explicit ChannelFinder(CProgramView& view);

    // Ctrl+F: the bar, with the keyboard in its text.
    void OpenBar();
    // Enter, "Next", F3: the next matching channel after the current row. With the bar closed,
    // F3 opens it first.
    void FindNext();
    // Esc, "Close".
    void CloseBar();

    // The records that match the bar's text, in row order (none while it is closed or empty).
    const std::vector<int>& matches() const { return matches_; }

private:
    // Finds the matches of the bar's text again and marks them in the grid.
    void Search();
    // Typing: the matches, and the first one from the current row on as the current row.
    void SearchTyped();
    // Makes match number index current and says which one it is.
    void GoToMatch(std::size_t index);

    CProgramView& view_;
    std::vector<int> matches_;
};

}  // namespace kestra
