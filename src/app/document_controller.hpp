// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document as the desktop program handles it (the CProgramDoc and CMyDocManager roles). The
// controller owns the ChannelDocument (the one memory image seen as a "*.dat" file, its grid,
// limits and model), the document's undo stack and its editor (DocumentEditor, the one write
// door every edit goes through, one command on the stack each); the stack's clean state is
// "saved". New, Open, Save and Save As go through the ChannelDocument and then let the document
// window show the result; the window is reused for every document. Changes that are not undo
// commands (a read from the radio, a chosen radio model) also count as unsaved, so unsaved work
// is never dropped without the "Save changes" question. A read from the radio detaches the
// document from its file: the radio's image is "Untitled" until the user saves it under a name,
// so no file is overwritten with a radio's contents by a quick Ctrl+S. The recent-file list
// (four entries) lives in QSettings.
//
// Everything that asks the user goes through Messenger (messages, "All data will be Cleared!")
// or DocumentPrompts (save question, file names), which tests replace.

#include <QObject>
#include <QString>
#include <QStringList>

#include <filesystem>

#include "channels/channel_document.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QUndoStack;
class QWidget;

namespace kestra {

class CChildFrame;
class CProgramView;
class DocumentEditor;

enum class SaveChoice { Save, Discard, Cancel };

class DocumentPrompts {
public:
    virtual ~DocumentPrompts() = default;
    // "Save changes to <name>?" with Save, Discard and Cancel.
    virtual SaveChoice AskSaveChanges(const QString& documentName) = 0;
    // Before a read from the radio: "Save changes to <name>?" with Yes and No (the transfer
    // dialog's "Exit" is the way back). True for Yes.
    virtual bool AskSaveBeforeRead(const QString& documentName) = 0;
    // A "*.dat" file to open, or empty when the user cancelled.
    virtual QString AskOpenPath(const QString& directory) = 0;
    // Where to save, or empty when the user cancelled.
    virtual QString AskSavePath(const QString& suggestion) = 0;
};

// The prompts as dialogs over a parent window.
class DialogDocumentPrompts final : public DocumentPrompts {
public:
    explicit DialogDocumentPrompts(QWidget* parent) : parent_(parent) {}
    SaveChoice AskSaveChanges(const QString& documentName) override;
    bool AskSaveBeforeRead(const QString& documentName) override;
    QString AskOpenPath(const QString& directory) override;
    QString AskSavePath(const QString& suggestion) override;

private:
    QWidget* parent_;
};

// What a path typed, dropped or passed on the command line names: surrounding quotes removed,
// made absolute, symbolic links followed to the file they point at.
QString NormalizeDocumentPath(const QString& path);

class DocumentController : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentFileCount = 4;

    // The document starts as whatever the program state's image holds.
    DocumentController(AppState& state, Messenger& messenger, DocumentPrompts& prompts,
                       std::filesystem::path programDir, QObject* parent = nullptr);
    ~DocumentController() override;

    // The document window, whose view shows this document; set once, before any command.
    void AttachWindow(CChildFrame* frame);

    ChannelDocument& document() { return document_; }
    QUndoStack* undoStack() const { return undoStack_; }
    // The one write door of this document.
    DocumentEditor& editor() const { return *editor_; }

    // File, New: the save question when the document is modified, then, with the document
    // window shown, "All data will be Cleared!".
    void New();
    // Before Program, Read: with unsaved changes asks whether to save them first (Yes saves,
    // and a save that fails or is cancelled stops the read: false; No reads over them). A read
    // that went through leaves an "Untitled", modified document holding the radio's data.
    bool SaveBeforeRead();
    // File, Open: asks for a file, then OpenPath.
    void Open();
    // Opens a file (recent list, drop, command line). A file that is open already only shows
    // its window. A failed open reports why and leaves the image and grid as they were.
    bool OpenPath(const QString& path);
    // Opens a file's contents as a new, untitled document (a backup): the file itself is never
    // saved over, since saving asks for a name. Not added to the recent-file list.
    bool OpenCopy(const QString& path);
    bool Save();
    bool SaveAs();
    // File, Close: hides the document window; the document stays open.
    void Close();
    // Shows the document window again (Channel Information).
    void ShowWindow();
    // Asks "Save changes" when the document is modified (a cell still being typed into is
    // committed first). False when the user cancelled or the save failed: the caller must then
    // stop what it was doing.
    bool SaveModified();

    bool isModified() const;
    // The image changed outside the grid's undo stack.
    void MarkModified();

    QString currentPath() const { return path_; }
    // The file name, or "Untitled" for a document never saved.
    QString displayName() const;
    QStringList recentFiles() const { return recent_; }
    void OpenRecent(int index);

signals:
    void modifiedChanged(bool modified);
    void pathChanged(const QString& path);
    void recentFilesChanged(const QStringList& files);
    // What a file command did, for the status bar: "Saved myradio.dat", "Opened myradio.dat".
    void statusMessage(const QString& text);

private:
    CProgramView* view() const;
    // The document holds new contents: show them, forget undo history.
    void AdoptDocument(const QString& path);
    // The image now holds what the radio sent: in no file yet.
    void DetachFromFile();
    bool SaveTo(const QString& path);
    void SetExternallyModified(bool modified);
    void AddRecent(const QString& path);
    void RemoveRecent(const QString& path);
    void StoreRecent() const;
    void EmitModified();

    Messenger& messenger_;
    DocumentPrompts& prompts_;
    std::filesystem::path programDir_;
    ChannelDocument document_;
    QUndoStack* undoStack_;
    DocumentEditor* editor_;
    CChildFrame* frame_ = nullptr;
    QString path_;
    bool externallyModified_ = false;
    bool lastModified_ = false;
    QStringList recent_;
};

}  // namespace kestra
