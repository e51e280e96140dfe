// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an import or a paste of a CSV channel list did: a line with the count of rows taken
// whole, changed and skipped, the notes about the list as a whole (columns the radio has no use
// for), and one table row for every list row that was not taken exactly as given, with the
// channel it went to and what was done to it. Shown after every import, and after a paste when
// something did not fit.

#include <QDialog>

#include "channels/channel_csv.hpp"

class QLabel;
class QTableWidget;

namespace kestra {

class CsvReportDialog : public QDialog {
    Q_OBJECT
public:
    CsvReportDialog(const QString& title, const CsvImportReport& report, QWidget* parent = nullptr);

    QLabel* summaryLabel() const { return summary_; }
    // Columns "Line", "Location", "Channel", "Result", "What was done".
    QTableWidget* rowTable() const { return rows_; }

private:
    QLabel* summary_;
    QTableWidget* rows_;
};

// "12 rows: 10 taken whole, 1 changed, 1 skipped".
QString CsvReportSummary(const CsvImportReport& report);

}  // namespace kestra
