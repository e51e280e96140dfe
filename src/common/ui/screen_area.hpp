// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a window may open on a small screen: the part of its screen that panels and taskbars
// leave free, less the title bar and borders the window manager adds around it, and the size
// that keeps a window inside it. Dialogs whose natural size can outgrow a 1024x600 screen (the
// print preview, Parameter Adjust, the long grids) open through ResizeWithinScreen instead of
// the toolkit's default, which may place part of them off the screen.

#include <QSize>

class QWidget;

namespace kestra {

// The frame a window manager typically puts around a window (title bar and borders), for the
// time before the window is shown and its real frame is known.
inline constexpr QSize kWindowFrameAllowance(2 * 4, 30 + 2 * 4);

// The largest size a top-level window's contents can take on the screen it opens on.
QSize FreeClientArea(const QWidget& window);

// Gives the window preferred, bounded by FreeClientArea, and never smaller than what its layout
// needs (a window that cannot shrink that far is left to scroll or be moved by the user).
void ResizeWithinScreen(QWidget& window, QSize preferred);

}  // namespace kestra
