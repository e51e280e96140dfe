// SPDX-License-Identifier: GPL-3.0-or-later
// The list of automatic backups.

#include "app/backups_dialog.hpp"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "channels/channel_fields.hpp"
#include "model/document_file.hpp"

namespace kestra {

namespace {

QString DateText(const BackupStamp& s) {
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(s.year, 4, 10, QLatin1Char('0'))
        .arg(s.month, 2, 10, QLatin1Char('0'))
        .arg(s.day, 2, 10, QLatin1Char('0'))
        .arg(s.hour, 2, 10, QLatin1Char('0'))
        .arg(s.minute, 2, 10, QLatin1Char('0'))
        .arg(s.second, 2, 10, QLatin1Char('0'));
}

// The number of channels the backup holds, or "?" when it cannot be read as a document.
QString ChannelsText(const std::filesystem::path& path) {
    MemoryImage image;
    return LoadDocumentFile(path, image).ok ? QString::number(ShownChannelCount(image))
                                            : QStringLiteral("?");
}

}  // namespace

BackupsDialog::BackupsDialog(const std::filesystem::path& folder, QWidget* parent)
    : QDialog(parent), entries_(ListBackups(folder)) {
    setWindowTitle(QStringLiteral("Backups"));

    const QString where = QString::fromStdString(folder.string());
    folder_ = new QLabel(entries_.empty()
                             ? QStringLiteral("No backups in %1 yet. Every successful read from "
                                              "a radio, and every write to one, keeps one there.")
                                   .arg(where)
                             : QStringLiteral("Backups in %1, newest first:").arg(where),
                         this);
    folder_->setTextFormat(Qt::PlainText);
    folder_->setWordWrap(true);

    list_ = new QTableWidget(static_cast<int>(entries_.size()), 4, this);
    list_->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Kind"),
                                      QStringLiteral("Model"), QStringLiteral("Channels")});
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A list to read: the arrows move between its rows, Tab goes on to the buttons.
    list_->setTabKeyNavigation(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->verticalHeader()->setVisible(false);
    list_->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < list_->rowCount(); ++row) {
        const BackupEntry& entry = entries_[static_cast<std::size_t>(row)];
        const QString texts[] = {DateText(ShownStamp(entry)),
                                 QString::fromStdString(BackupKindLabel(entry)),
                                 QString::fromStdString(entry.model), ChannelsText(entry.path)};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setToolTip(QString::fromStdString(entry.path.string()));
            list_->setItem(row, column, item);
        }
    }
    list_->resizeColumnsToContents();

    auto* buttons = new QDialogButtonBox(this);
    open_ = buttons->addButton(QStringLiteral("Open"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    open_->setEnabled(false);
    connect(list_, &QTableWidget::itemSelectionChanged, this,
            [this] { open_->setEnabled(!list_->selectedItems().isEmpty()); });
    connect(list_, &QTableWidget::itemDoubleClicked, this, &BackupsDialog::OpenSelected);
    connect(buttons, &QDialogButtonBox::accepted, this, &BackupsDialog::OpenSelected);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The newest backup is the one usually wanted: chosen from the start, so Enter opens it.
    if (list_->rowCount() > 0) {
        list_->selectRow(0);
        list_->setFocus();
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folder_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(520, 360);
}

void BackupsDialog::OpenSelected() {
    const QList<QTableWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    chosen_ = entries_[static_cast<std::size_t>(selected.first()->row())].path;
    accept();
}

}  // namespace kestra
