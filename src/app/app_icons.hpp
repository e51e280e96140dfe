// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own icons, drawn with QPainter so that they stay crisp at every screen scale:
// the application icon (a handheld radio) and the toolbar pictures (New, Open, Save, Read,
// Write, Print, About), and the window background's built-in tile. Each icon is drawn at a size
// only when that size is first shown, and none goes through the desktop's icon theme or the
// image readers, whose first use would cost every start of the program several milliseconds.

#include <QIcon>
#include <QPixmap>

namespace kestra {

QIcon ApplicationIcon();
QIcon ReadIcon();   // from the radio into the program
QIcon WriteIcon();  // from the program into the radio
QIcon PrintIcon();
QIcon NewIcon();
QIcon OpenIcon();
QIcon SaveIcon();
QIcon AboutIcon();

// The 64-pixel tile behind the document windows when there is no background.bmp.
QPixmap BackgroundTile();

}  // namespace kestra
