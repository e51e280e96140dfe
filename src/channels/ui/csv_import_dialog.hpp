// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File, Import CSV: which channel list to read and where its rows go, either to the channel each
// row's Location names or, one after another, into the first empty channels (for lists from
// tools that number their channels differently). "Import" is usable once a file is named.

#include <QDialog>

#include "channels/channel_csv.hpp"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestra {

class CsvImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit CsvImportDialog(const QString& directory, QWidget* parent = nullptr);

    QString path() const;
    CsvPlacement placement() const;

    QLineEdit* pathEdit() const { return path_; }
    QPushButton* browseButton() const { return browse_; }
    QRadioButton* byLocationButton() const { return byLocation_; }
    QRadioButton* firstEmptyButton() const { return firstEmpty_; }
    QPushButton* importButton() const { return import_; }

private:
    void Browse();

    QString directory_;
    QLineEdit* path_;
    QPushButton* browse_;
    QRadioButton* byLocation_;
    QRadioButton* firstEmpty_;
    QPushButton* import_;
};

}  // namespace kestra
