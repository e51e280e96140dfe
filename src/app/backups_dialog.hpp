// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File, Backups: the automatic backups of transfers with a radio, newest first, with the date
// and time, the kind ("read" or "write"), the radio model and the number of channels; the
// newest is selected when the list opens. "Open" (or a double click) chooses one; the caller
// opens it as a new, untitled document, so the backup itself is never saved over.

#include <QDialog>

#include <filesystem>
#include <vector>

#include "channels/backup_store.hpp"

class QLabel;
class QPushButton;
class QTableWidget;

namespace kestra {

class BackupsDialog : public QDialog {
    Q_OBJECT
public:
    explicit BackupsDialog(const std::filesystem::path& folder, QWidget* parent = nullptr);

    // The backup chosen with "Open"; empty before.
    const std::filesystem::path& chosenPath() const { return chosen_; }

    // Columns "Date", "Kind", "Model", "Channels".
    QTableWidget* list() const { return list_; }
    QPushButton* openButton() const { return open_; }
    QLabel* folderLabel() const { return folder_; }

private:
    void OpenSelected();

    std::vector<BackupEntry> entries_;
    std::filesystem::path chosen_;
    QLabel* folder_;
    QTableWidget* list_;
    QPushButton* open_;
};

}  // namespace kestra
