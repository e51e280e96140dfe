// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

namespace kestra {

// The desktop style the program runs with (Fusion, a desktop's own style, or one chosen with
// -style), unchanged in every look and size, with one saving: the pictures of window
// decorations (the title-bar menu's Restore, Minimize, Maximize and Close, a dock's buttons,
// a toolbar's overflow arrow) are made when something first shows them. Qt asks for them
// while it builds the document window, the navigation bar and the menu bar, mostly for menus
// and buttons that stay hidden, and making them means reading image files: at start-up that
// costs more than building the rest of those windows.
class ProgramStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit ProgramStyle(QStyle* base);

    // Puts a ProgramStyle around the application's current style, once (when no style of that
    // name can be made, the style stays as it is).
    static void Install();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override;
};

}  // namespace kestra
