// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The channel list moving in and out of the document window as text: File, Import CSV and
// Export CSV, and the grid's Ctrl+C (the selected rows as CSV with its header), Ctrl+V (CSV or
// spreadsheet rows from the current row on) and Delete (the selected rows emptied). Every change
// goes through the document's editor as one undoable step; what a list or a paste could not put
// into the radio's channels as given is shown in a report, row by row. The CSV rules themselves are
// the core's (channel_csv.hpp); this class only moves text between files, the clipboard and the
// document.

#include <QObject>
#include <QString>

#include <functional>
#include <string>

#include "channels/channel_csv.hpp"
#include "model/messenger.hpp"

namespace kestra {

class CProgramView;
class DocumentEditor;

class ChannelInterchange : public QObject {
    Q_OBJECT
public:
    // Asks where to save a file, starting at suggestion; empty when the user cancelled.
    using PathPrompt = std::function<QString(const QString& suggestion)>;

    // Connects the view's row actions (copy, paste, clear).
    ChannelInterchange(DocumentEditor& editor, CProgramView& view, Messenger& messenger);

    // Replaces the file dialog of Export CSV (tests).
    void SetExportPathPrompt(PathPrompt prompt) { exportPath_ = std::move(prompt); }

    // File, Import CSV: the import dialog, then ImportFile.
    void ImportCsv();
    // Reads the list at path into the channels as placement says, as one undoable step, and
    // shows the report. A list that cannot be read changes nothing and says why. Returns
    // whether anything was imported.
    bool ImportFile(const QString& path, CsvPlacement placement);
    // File, Export CSV: asks for a file name, then ExportFile.
    void ExportCsv();
    // Writes every channel the grid shows as a CSV list, replacing path atomically.
    bool ExportFile(const QString& path);

    // The selected rows (or the current row) as CSV text with its header, on the clipboard.
    void CopyRows();
    // The clipboard's CSV or spreadsheet rows into the channels from the current row on.
    void PasteRows();
    // Empties the selected channel rows (or the current one).
    void DeleteRows();

signals:
    // What an import or export did, for the status bar: "Exported 53 channels to channels.csv".
    void statusMessage(const QString& text);

private:
    // Puts the rows of text into the channels; one undo step named stepName. The report is
    // shown always, or only when a row did not fit. False when the text could not be read.
    bool PutRows(const std::string& text, const CsvImportOptions& options, const QString& stepName,
                 bool alwaysReport, const QString& source);

    DocumentEditor& editor_;
    CProgramView& view_;
    Messenger& messenger_;
    PathPrompt exportPath_;
    QString directory_;  // where the last list was read or written
};

}  // namespace kestra
