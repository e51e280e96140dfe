// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: the application icon, three lines taken from Program.ini's [About] section
// (Version, Copyright, Company; re-read every time the box opens, so an absent key leaves its
// line empty) and "OK". Without any [About] line the box names the program itself: its name and
// version, its licence and where to report problems.

#include <QDialog>
#include <filesystem>

class QLabel;

namespace kestra {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // settingsPath is the bound Program.ini.
    AboutDialog(const std::filesystem::path& settingsPath, QWidget* parent = nullptr);

    QString lineText(int line) const;  // 0 Version, 1 Copyright, 2 Company

private:
    QLabel* lines_[3];
};

}  // namespace kestra
