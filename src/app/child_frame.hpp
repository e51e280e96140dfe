// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CChildFrame: the document window inside the main window's MDI area, holding the channel view.
// It opens at the top-left corner of the area, 1095 by 650 pixels, and the main window then
// fits it to the area and keeps it so while the area changes size. Closing it (its close box or
// File, Close) only hides it: the document and its data live on, and "Channel Information" or
// the navigation tree brings the same window back.

#include <QMdiSubWindow>

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

signals:
    // The window was hidden by its close box or File, Close.
    void hiddenByClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CProgramView* view_;
};

}  // namespace kestra
