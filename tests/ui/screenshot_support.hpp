// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the picture-taking program's parts share: saving a widget's picture, a messenger that
// answers every box with OK, and the pictures of the service dialogs and of the summaries.

#include <QApplication>
#include <QDir>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <string>

#include "model/app_state.hpp"
#include "model/messenger.hpp"

namespace kestra {
class CMainFrame;
}  // namespace kestra

namespace kestra::screenshots {

class SilentMessenger final : public Messenger {
public:
    bool Show(const std::string&, MessageButtons) override { return true; }
};

inline bool Save(QWidget& widget, const QDir& dir, const QString& name) {
    QApplication::processEvents();
    const QString file = dir.filePath(name);
    if (!widget.grab().save(file)) {
        std::fprintf(stderr, "shell_screenshots: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

// The four service dialogs after a Read from the demo radio (its curves included).
bool SaveServiceDialogs(AppState& state, Messenger& messenger, QWidget* parent, const QDir& out);

// `kestra-cli diff` in words (diff-in-words.png, its text also saved as diff-in-words.txt and
// printed) and the summary before a write (write-summary.png), for an edit of the image's
// channels, settings and calibration.
bool SaveDifferenceInWords(const MemoryImage& image, QWidget* parent, const QDir& out);

// The Sort Channels dialog, the grid's context menu and the Find bar (list_screenshots.cpp).
bool SaveListPictures(CMainFrame& frame, const std::function<bool(QWidget&, const QString&)>& save);

}  // namespace kestra::screenshots
