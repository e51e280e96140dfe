// SPDX-License-Identifier: GPL-3.0-or-later
// The report of a CSV import or paste.

#include "channels/ui/csv_report_dialog.hpp"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/codecs.hpp"

namespace kestra {

namespace {

constexpr int kReasonColumn = 4;  // "What was done"

QString Joined(const std::vector<std::string>& notes) {
    QStringList parts;
    for (const std::string& note : notes) {
        parts.append(QString::fromStdString(note));
    }
    return parts.join(QStringLiteral("; "));
}

void AddRow(QTableWidget& table, const CsvRowReport& row) {
    const int at = table.rowCount();
    table.insertRow(at);
    const bool skipped = row.outcome == CsvRowOutcome::Skipped;
    const QString texts[] = {
        QString::number(row.line),
        QString::fromStdString(row.location),
        row.record >= 0 ? QString::fromStdString(ChannelLabel(row.record + 1)) : QString(),
        skipped ? QStringLiteral("skipped") : QStringLiteral("changed"),
        Joined(row.notes),
    };
    for (int column = 0; column < 5; ++column) {
        auto* item = new QTableWidgetItem(texts[column]);
        item->setToolTip(texts[column]);
        table.setItem(at, column, item);
    }
}

}  // namespace

QString CsvReportSummary(const CsvImportReport& report) {
    const auto count = static_cast<int>(report.rows.size());
    return QStringLiteral("%1 %2: %3 taken whole, %4 changed, %5 skipped")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("row") : QStringLiteral("rows"))
        .arg(report.Count(CsvRowOutcome::Taken))
        .arg(report.Count(CsvRowOutcome::Changed))
        .arg(report.Count(CsvRowOutcome::Skipped));
}

CsvReportDialog::CsvReportDialog(const QString& title, const CsvImportReport& report,
                                 QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);

    QString summary = CsvReportSummary(report) + QLatin1Char('.');
    for (const std::string& note : report.notes) {
        summary += QLatin1Char('\n') + QString::fromStdString(note);
    }
    summary_ = new QLabel(summary, this);
    summary_->setTextFormat(Qt::PlainText);
    summary_->setWordWrap(true);

    rows_ = new QTableWidget(0, 5, this);
    rows_->setHorizontalHeaderLabels({QStringLiteral("Line"), QStringLiteral("Location"),
                                      QStringLiteral("Channel"), QStringLiteral("Result"),
                                      QStringLiteral("What was done")});
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A list to read: the arrows move between its rows, Tab goes on to the buttons.
    rows_->setTabKeyNavigation(false);
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->verticalHeader()->setVisible(false);
    // The reasons take the width the short columns leave and wrap within it, each row as tall
    // as its reason, so that every reason reads whole whatever the dialog's width.
    rows_->setWordWrap(true);
    rows_->setTextElideMode(Qt::ElideNone);
    rows_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rows_->horizontalHeader()->setStretchLastSection(true);
    rows_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (const CsvRowReport& row : report.rows) {
        if (row.outcome != CsvRowOutcome::Taken) {
            AddRow(*rows_, row);
        }
    }
    for (int column = 0; column < kReasonColumn; ++column) {
        rows_->resizeColumnToContents(column);
    }
    // Every row taken whole: the summary says all there is.
    const bool listed = rows_->rowCount() > 0;
    rows_->setVisible(listed);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(rows_, 1);
    layout->addWidget(buttons);
    resize(listed ? 760 : 360, listed ? 360 : 100);
}

}  // namespace kestra
