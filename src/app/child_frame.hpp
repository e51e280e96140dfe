// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CChildFrame: the document window inside the main window's MDI area, holding the channel view.
// It opens at the top-left corner of the area, 1095 by 650 pixels, and the main window then
// fits it to the area and keeps it so while the area changes size. Closing it (its close box or
// File, Close) only hides it: the document and its data live on, and "Channel Information" or
// the navigation tree brings the same window back.

#include <QMdiSubWindow>
#include <QPointer>

namespace kestra {

class CProgramView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = 1095;
    static constexpr int kHeight = 650;

    // Takes ownership of the view.
    explicit CChildFrame(CProgramView* view, QWidget* parent = nullptr);

    CProgramView* view() const { return view_; }

    // Shows the window again at its place and makes it the active one.
    void showDocument();
    // Where Tab goes after the window's last control and Shift+Tab before its first (the
    // navigation tree), so the keyboard is not kept inside the window; while the neighbour is
    // hidden Tab goes round the window's own controls.
    void setFocusNeighbour(QWidget* neighbour) { focusNeighbour_ = neighbour; }

signals:
    // The window was hidden by its close box or File, Close.
    void hiddenByClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    // A sub-window keeps Tab within itself; this one lets it leave at either end.
    bool focusNextPrevChild(bool next) override;

private:
    CProgramView* view_;
    QPointer<QWidget> focusNeighbour_;
};

}  // namespace kestra
