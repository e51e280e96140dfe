// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of a CSV channel list and of where its rows go.

#include "channels/ui/csv_import_dialog.hpp"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kestra {

CsvImportDialog::CsvImportDialog(const QString& directory, QWidget* parent)
    : QDialog(parent), directory_(directory) {
    setWindowTitle(QStringLiteral("Import CSV"));

    auto* fileLabel = new QLabel(QStringLiteral("&File"), this);
    path_ = new QLineEdit(this);
    path_->setMinimumWidth(320);
    fileLabel->setBuddy(path_);
    browse_ = new QPushButton(QStringLiteral("&Browse..."), this);
    browse_->setAutoDefault(false);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(path_, 1);
    fileRow->addWidget(browse_);

    auto* where = new QGroupBox(QStringLiteral("Put the rows"), this);
    byLocation_ =
        new QRadioButton(QStringLiteral("into the channel each row's &Location names"), where);
    firstEmpty_ =
        new QRadioButton(QStringLiteral("into the first &empty channels, in file order"), where);
    byLocation_->setChecked(true);
    auto* whereLayout = new QVBoxLayout(where);
    whereLayout->addWidget(byLocation_);
    whereLayout->addWidget(firstEmpty_);

    auto* buttons = new QDialogButtonBox(this);
    import_ = buttons->addButton(QStringLiteral("Import"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    import_->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(where);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(path_, &QLineEdit::textChanged, this,
            [this](const QString& text) { import_->setEnabled(!text.trimmed().isEmpty()); });
    connect(browse_, &QPushButton::clicked, this, &CsvImportDialog::Browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString CsvImportDialog::path() const {
    return path_->text().trimmed();
}

CsvPlacement CsvImportDialog::placement() const {
    return firstEmpty_->isChecked() ? CsvPlacement::FirstEmpty : CsvPlacement::ByLocation;
}

void CsvImportDialog::Browse() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("Import CSV"), path().isEmpty() ? directory_ : path(),
        QStringLiteral("CSV Files (*.csv);;Text Files (*.txt);;All Files (*)"));
    if (!chosen.isEmpty()) {
        path_->setText(chosen);
    }
}

}  // namespace kestra
