#pragma once
// The document: the one memory image seen as a "*.dat" file (the CProgramDoc and CMyDocManager
// roles). New, Open, Save and Save As replace or store the image and keep the grid in step with
// it; the document window is reused for every document. The grid's undo stack decides whether
// the document is modified (its clean state is "saved"), together with changes made outside the
// grid (a read from the radio, a settings editor), so unsaved work is never dropped without the
// "Save changes" question. The recent-file list (four entries) lives in QSettings.
//
// Everything that asks the user goes through Messenger (messages, "All data will be Cleared!")
// or DocumentPrompts (save question, file names), which tests replace.

#include <QObject>
#include <QString>
#include <QStringList>

#include <filesystem>

#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QUndoStack;
class QWidget;

namespace kestra {

class CChildFrame;
class CProgramView;

enum class SaveChoice { Save, Discard, Cancel };

class DocumentPrompts {
public:
    virtual ~DocumentPrompts() = default;
    // "Save changes to <name>?" with Save, Discard and Cancel.
    virtual SaveChoice AskSaveChanges(const QString& documentName) = 0;
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

    DocumentController(AppState& state, Messenger& messenger, DocumentPrompts& prompts,
                       std::filesystem::path programDir, CChildFrame* frame,
                       QObject* parent = nullptr);

    // File, New: with the document window shown asks "All data will be Cleared!" first; then
    // the save question when the document is modified.
    void New();
    // File, Open: asks for a file, then OpenPath.
    void Open();
    // Opens a file (recent list, drop, command line). A file that is open already only shows
    // its window. A failed open reports why and leaves the image and grid as they were.
    bool OpenPath(const QString& path);
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
    void openRecent(int index);

signals:
    void modifiedChanged(bool modified);
    void pathChanged(const QString& path);
    void recentFilesChanged(const QStringList& files);

private:
    CProgramView* view() const;
    QUndoStack* undoStack() const;
    // The image holds a new document's bytes: refresh the grid, forget undo history.
    void AdoptImage(const QString& path);
    bool SaveTo(const QString& path);
    void SetExternallyModified(bool modified);
    void AddRecent(const QString& path);
    void RemoveRecent(const QString& path);
    void StoreRecent() const;
    void EmitModified();

    AppState& state_;
    Messenger& messenger_;
    DocumentPrompts& prompts_;
    std::filesystem::path programDir_;
    CChildFrame* frame_;
    QString path_;
    bool externallyModified_ = false;
    bool lastModified_ = false;
    QStringList recent_;
};

}  // namespace kestra
