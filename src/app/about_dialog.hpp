// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: the application icon, three lines taken from Program.ini's [About] section
// (Version, Copyright, Company; re-read every time the box opens, so an absent key leaves its
// line empty), the program's licence notice below them, and "OK". Without any [About] line the
// three lines are the program's own: its name and version, its copyright and where to report
// problems.

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
    QString licenceText() const;

private:
    QLabel* lines_[3];
    QLabel* licence_;
};

}  // namespace kestra
