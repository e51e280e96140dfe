// SPDX-License-Identifier: GPL-3.0-or-later
// Import, export, copy, paste and delete of channel rows as CSV text.

#include "app/channel_interchange.hpp"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

#include "app/document_editor.hpp"
#include "channels/channel_document.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/csv_import_dialog.hpp"
#include "channels/ui/csv_report_dialog.hpp"
#include "channels/ui/program_view.hpp"
#include "model/atomic_file.hpp"
#include "model/channel_record.hpp"

namespace kestra {

namespace {

// Rows 0..255 are the memory channels A001-B128; the VFO slots after them take no list rows.
constexpr int kMemoryChannels = kVfoARecordIndex;

// A list of 256 channels is some tens of kilobytes.
constexpr qint64 kMaxListSize = qint64{16} << 20;

std::string Quoted(const QString& path) {
    return "\"" + path.toStdString() + "\"";
}

// The file's text, or nothing with the sentence in error.
std::optional<std::string> ReadList(const QString& path, std::string& error) {
    const QFileInfo info(path);
    if (info.isDir()) {
        error = "Cannot read " + Quoted(path) + ": it is a folder.";
        return std::nullopt;
    }
    if (info.exists() && info.size() > kMaxListSize) {
        error = "Cannot read " + Quoted(path) +
                ": it is larger than 16 MiB, far more than a "
                "channel list.";
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "Cannot read " + Quoted(path) + ": " + file.errorString().toStdString() + ".";
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxListSize + 1);
    if (bytes.size() > kMaxListSize) {
        error = "Cannot read " + Quoted(path) + ": it is larger than 16 MiB.";
        return std::nullopt;
    }
    return bytes.toStdString();
}

}  // namespace

ChannelInterchange::ChannelInterchange(DocumentEditor& editor, CProgramView& view,
                                       Messenger& messenger)
    : QObject(&view), editor_(editor), view_(view), messenger_(messenger) {
    using Row = CProgramView::RowCommand;
    connect(view.rowAction(Row::Copy), &QAction::triggered, this, &ChannelInterchange::CopyRows);
    connect(view.rowAction(Row::Paste), &QAction::triggered, this, &ChannelInterchange::PasteRows);
    connect(view.rowAction(Row::Clear), &QAction::triggered, this, &ChannelInterchange::DeleteRows);
    exportPath_ = [this](const QString& suggestion) {
        return QFileDialog::getSaveFileName(&view_, QStringLiteral("Export CSV"), suggestion,
                                            QStringLiteral("CSV Files (*.csv);;All Files (*)"));
    };
}

void ChannelInterchange::ImportCsv() {
    CsvImportDialog dialog(directory_.isEmpty() ? QDir::homePath() : directory_, &view_);
    if (dialog.exec() == QDialog::Accepted) {
        ImportFile(dialog.path(), dialog.placement());
    }
}

bool ChannelInterchange::ImportFile(const QString& path, CsvPlacement placement) {
    std::string problem;
    const auto text = ReadList(path, problem);
    if (!text) {
        messenger_.Show(problem + " Nothing was changed.");
        return false;
    }
    directory_ = QFileInfo(path).absolutePath();
    return PutRows(*text, {placement, 0, "choosing \"into the first empty channels\""},
                   QStringLiteral("Import CSV"), true,
                   QStringLiteral("\"%1\"").arg(QFileInfo(path).fileName()));
}

void ChannelInterchange::ExportCsv() {
    const QString folder = directory_.isEmpty() ? QDir::homePath() : directory_;
    QString path = exportPath_(QDir(folder).filePath(QStringLiteral("channels.csv")));
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".csv");
    }
    ExportFile(path);
}

bool ChannelInterchange::ExportFile(const QString& path) {
    view_.StoreGridToImage();
    const ChannelDocument& document = view_.document();
    const std::string text = ExportChannelsCsv(document.image(), document.limits());
    const FileResult saved = ReplaceFileAtomically({path.toStdString(), "channel list"}, text);
    if (!saved) {
        messenger_.Show(saved.error);
        return false;
    }
    directory_ = QFileInfo(path).absolutePath();
    // One line per channel after the header.
    const auto channels = std::count(text.begin(), text.end(), '\n') - 1;
    emit statusMessage(
        QStringLiteral("Exported %1 %2 to %3")
            .arg(channels)
            .arg(channels == 1 ? QStringLiteral("channel") : QStringLiteral("channels"),
                 QFileInfo(path).fileName()));
    return true;
}

void ChannelInterchange::CopyRows() {
    std::vector<int> records = view_.grid()->SelectedRecords();
    std::erase_if(records, [](int record) { return record < 0 || record >= kMemoryChannels; });
    if (records.empty()) {
        return;
    }
    view_.StoreGridToImage();
    const ChannelDocument& document = view_.document();
    const std::string text = ExportChannelsCsv(document.image(), document.limits(), records);
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

void ChannelInterchange::PasteRows() {
    const int first = view_.grid()->currentIndex().row();
    if (first < 0 || first >= kMemoryChannels) {
        messenger_.Show(
            "Paste puts channels into A001-B128 from the current row on. Click a "
            "channel row first, then paste again.");
        return;
    }
    const QString text = QApplication::clipboard()->text();
    if (text.trimmed().isEmpty()) {
        messenger_.Show(
            "The clipboard holds no text to paste. Copy channel rows here or in "
            "another program first.");
        return;
    }
    PutRows(text.toStdString(), {CsvPlacement::FromRecord, first}, QStringLiteral("Paste Channels"),
            false, QStringLiteral("the clipboard"));
}

void ChannelInterchange::DeleteRows() {
    ChannelDocument& document = view_.document();
    std::vector<int> records = view_.grid()->SelectedRecords();
    std::erase_if(records, [&document](int record) {
        return record < 0 || record >= kMemoryChannels || document.table().IsRowEmpty(record);
    });
    if (records.empty()) {
        return;
    }
    editor_.EditImage(QStringLiteral("Delete Channels"), [&document, &records] {
        for (const int record : records) {
            document.table().ClearRow(record);
        }
        document.StoreGridToImage();
    });
}

bool ChannelInterchange::PutRows(const std::string& text, const CsvImportOptions& options,
                                 const QString& stepName, bool alwaysReport,
                                 const QString& source) {
    ChannelDocument& document = view_.document();
    CsvImportResult result;
    editor_.EditImage(stepName, [&] {
        result = ImportChannelsCsv(text, document.image(), document.limits(), options);
    });
    if (!result.ok()) {
        std::string hint;
        if (options.placement == CsvPlacement::ByLocation &&
            result.error.find("Location") != std::string::npos) {
            hint = " Choose \"into the first empty channels\" to import it.";
        }
        messenger_.Show("Cannot import " + source.toStdString() + ": " + result.error + "." + hint +
                        " Nothing was changed.");
        return false;
    }
    const int put =
        result.report.Count(CsvRowOutcome::Taken) + result.report.Count(CsvRowOutcome::Changed);
    const int skipped = result.report.Count(CsvRowOutcome::Skipped);
    QString status =
        QStringLiteral("%1 %2 %3 from %4")
            .arg(stepName == QStringLiteral("Import CSV") ? QStringLiteral("Imported")
                                                          : QStringLiteral("Pasted"))
            .arg(put)
            .arg(put == 1 ? QStringLiteral("channel") : QStringLiteral("channels"), source);
    if (skipped > 0) {
        status += QStringLiteral(", %1 %2 skipped")
                      .arg(skipped)
                      .arg(skipped == 1 ? QStringLiteral("row") : QStringLiteral("rows"));
    }
    emit statusMessage(status);
    if (alwaysReport || !result.report.Complete()) {
        CsvReportDialog report(stepName, result.report, &view_);
        report.exec();
    }
    return true;
}

}  // namespace kestra
