// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own icons, drawn with QPainter so that they stay crisp at every screen scale:
// the application icon (a handheld radio) and the toolbar pictures for the commands that have
// no standard icon (Read, Write, Print). The file commands and About use the style's icons.

#include <QIcon>

namespace kestra {

QIcon ApplicationIcon();
QIcon ReadIcon();   // from the radio into the program
QIcon WriteIcon();  // from the program into the radio
QIcon PrintIcon();

}  // namespace kestra
