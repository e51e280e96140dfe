// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document_controller.hpp"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QUndoStack>

#include "app/child_frame.hpp"
#include "app/document_editor.hpp"
#include "app/program_identity.hpp"
#include "channels/ui/program_view.hpp"

namespace kestra {

namespace {

const QString kUntitled = QStringLiteral("Untitled");
const QString kFileFilter = QStringLiteral("Kestra Document (*.dat);;All Files (*)");

QSettings RecentSettings() {
    return QSettings(QString::fromLatin1(kOrganizationName), QString::fromLatin1(kApplicationName));
}

const QString kRecentGroup = QStringLiteral("Recent File List");

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

}  // namespace

// ---- prompts ---------------------------------------------------------------------------------

SaveChoice DialogDocumentPrompts::AskSaveChanges(const QString& documentName) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Program"),
                    QStringLiteral("Save changes to %1?").arg(documentName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

bool DialogDocumentPrompts::AskSaveBeforeRead(const QString& documentName) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Program"),
                    QStringLiteral("Save changes to %1?").arg(documentName),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setInformativeText(QStringLiteral("Program, Read replaces them with the radio's data."));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString DialogDocumentPrompts::AskOpenPath(const QString& directory) {
    return QFileDialog::getOpenFileName(parent_, QStringLiteral("Open"), directory, kFileFilter);
}

QString DialogDocumentPrompts::AskSavePath(const QString& suggestion) {
    QFileDialog dialog(parent_, QStringLiteral("Save As"), suggestion, kFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("dat"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QString NormalizeDocumentPath(const QString& path) {
    QString text = path.trimmed();
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"'))) {
        text = text.mid(1, text.size() - 2);
    }
    if (text.isEmpty()) {
        return {};
    }
    const QFileInfo info(text);
    // canonicalFilePath follows every link; it is empty for a file that does not exist, which
    // then keeps its absolute name for the error message.
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

// ---- controller ------------------------------------------------------------------------------

DocumentController::DocumentController(AppState& state, Messenger& messenger,
                                       DocumentPrompts& prompts, std::filesystem::path programDir,
                                       QObject* parent)
    : QObject(parent),
      messenger_(messenger),
      prompts_(prompts),
      programDir_(std::move(programDir)),
      document_(state.image, state.limits),
      undoStack_(new QUndoStack(this)),
      editor_(new DocumentEditor(document_, *undoStack_, messenger, this)) {
    QSettings settings = RecentSettings();
    settings.beginGroup(kRecentGroup);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString file = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty() && !recent_.contains(file)) {
            recent_.append(file);
        }
    }
    connect(undoStack_, &QUndoStack::cleanChanged, this, &DocumentController::EmitModified);
}

DocumentController::~DocumentController() {
    // The undo stack goes with this object's children and empties itself as it goes; its last
    // signals must not reach a controller that is half torn down.
    disconnect(undoStack_, nullptr, this, nullptr);
}

void DocumentController::AttachWindow(CChildFrame* frame) {
    frame_ = frame;
    editor_->AttachView(view());
    // A read from the radio replaces the data: it is not in any file yet.
    connect(editor_, &DocumentEditor::radioImageAdopted, this, &DocumentController::DetachFromFile);
    connect(view(), &CProgramView::modelChosen, this, &DocumentController::MarkModified);
}

CProgramView* DocumentController::view() const {
    return frame_->view();
}

void DocumentController::New() {
    // The save question first: the confirmation after it is then about data that is safe.
    if (!SaveModified()) {
        return;
    }
    if (frame_->isVisible() &&
        !messenger_.Show("All data will be Cleared!", MessageButtons::OkCancel)) {
        return;
    }
    document_.New(programDir_);
    AdoptDocument(QString());
}

bool DocumentController::SaveBeforeRead() {
    view()->CommitOpenEditor();
    return !(isModified() && prompts_.AskSaveBeforeRead(displayName()) && !Save());
}

void DocumentController::DetachFromFile() {
    externallyModified_ = true;
    EmitModified();
    if (!path_.isEmpty()) {
        path_.clear();
        emit pathChanged(path_);
    }
}

void DocumentController::Open() {
    QString directory;
    if (!path_.isEmpty()) {
        directory = QFileInfo(path_).absolutePath();
    } else if (!recent_.isEmpty()) {
        directory = QFileInfo(recent_.constFirst()).absolutePath();
    }
    const QString chosen = prompts_.AskOpenPath(directory);
    if (!chosen.isEmpty()) {
        OpenPath(chosen);
    }
}

bool DocumentController::OpenPath(const QString& rawPath) {
    const QString path = NormalizeDocumentPath(rawPath);
    if (path.isEmpty()) {
        return false;
    }
    if (path == path_) {
        ShowWindow();
        return true;
    }
    if (!SaveModified()) {
        return false;
    }
    // A failed open leaves the whole document as it was, so the grid still matches it.
    const FileResult result = document_.Open(ToPath(path));
    if (!result) {
        messenger_.ShowFailure(result.error, MessageIcon::Warning);
        return false;
    }
    AdoptDocument(path);
    AddRecent(path);
    emit statusMessage(QStringLiteral("Opened %1").arg(QFileInfo(path).fileName()));
    return true;
}

bool DocumentController::OpenCopy(const QString& path) {
    if (!SaveModified()) {
        return false;
    }
    const FileResult result = document_.Open(ToPath(path));
    if (!result) {
        messenger_.Show(result.error);
        return false;
    }
    AdoptDocument(QString());
    emit statusMessage(QStringLiteral("Opened a copy of %1; Save asks for a new name")
                           .arg(QFileInfo(path).fileName()));
    return true;
}

void DocumentController::OpenRecent(int index) {
    if (index < 0 || index >= recent_.size()) {
        return;
    }
    const QString path = recent_.at(index);
    if (!OpenPath(path) && !QFileInfo::exists(path)) {
        // A file that has gone away leaves the list, as it would in any editor.
        RemoveRecent(path);
    }
}

bool DocumentController::Save() {
    return path_.isEmpty() ? SaveAs() : SaveTo(path_);
}

bool DocumentController::SaveAs() {
    QString suggestion = path_;
    if (suggestion.isEmpty()) {
        const QString folder =
            recent_.isEmpty() ? QDir::homePath() : QFileInfo(recent_.constFirst()).absolutePath();
        suggestion = QDir(folder).filePath(kUntitled + QStringLiteral(".dat"));
    }
    QString chosen = prompts_.AskSavePath(suggestion);
    if (chosen.isEmpty()) {
        return false;
    }
    if (QFileInfo(chosen).suffix().isEmpty()) {
        chosen += QStringLiteral(".dat");
    }
    return SaveTo(NormalizeDocumentPath(chosen));
}

bool DocumentController::SaveTo(const QString& path) {
    // Text still in a cell editor belongs in the file; the save encodes the grid first.
    view()->CommitOpenEditor();
    const FileResult result = document_.Save(ToPath(path));
    if (!result) {
        messenger_.ShowFailure(result.error, MessageIcon::Warning);
        return false;
    }
    const bool renamed = path != path_;
    path_ = path;
    externallyModified_ = false;
    undoStack_->setClean();
    EmitModified();
    if (renamed) {
        emit pathChanged(path_);
    }
    AddRecent(path_);
    emit statusMessage(QStringLiteral("Saved %1").arg(QFileInfo(path_).fileName()));
    return true;
}

void DocumentController::Close() {
    if (frame_->isVisible()) {
        frame_->close();
    }
}

void DocumentController::ShowWindow() {
    frame_->showDocument();
}

bool DocumentController::SaveModified() {
    // Text still being typed into a cell is an edit too: commit it so it counts.
    view()->CommitOpenEditor();
    if (!isModified()) {
        return true;
    }
    switch (prompts_.AskSaveChanges(displayName())) {
        case SaveChoice::Save:
            return Save();
        case SaveChoice::Discard:
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

bool DocumentController::isModified() const {
    return externallyModified_ || !undoStack_->isClean();
}

void DocumentController::MarkModified() {
    SetExternallyModified(true);
}

QString DocumentController::displayName() const {
    return path_.isEmpty() ? kUntitled : QFileInfo(path_).fileName();
}

void DocumentController::AdoptDocument(const QString& path) {
    view()->ShowDocument();
    // Undo steps of the previous document would write its texts into this one.
    undoStack_->clear();
    externallyModified_ = false;
    EmitModified();
    path_ = path;
    emit pathChanged(path_);
    ShowWindow();
}

void DocumentController::SetExternallyModified(bool modified) {
    externallyModified_ = modified;
    EmitModified();
}

void DocumentController::EmitModified() {
    const bool modified = isModified();
    if (modified != lastModified_) {
        lastModified_ = modified;
        emit modifiedChanged(modified);
    }
}

void DocumentController::AddRecent(const QString& path) {
    recent_.removeAll(path);
    recent_.prepend(path);
    while (recent_.size() > kRecentFileCount) {
        recent_.removeLast();
    }
    StoreRecent();
    emit recentFilesChanged(recent_);
}

void DocumentController::RemoveRecent(const QString& path) {
    if (recent_.removeAll(path) > 0) {
        StoreRecent();
        emit recentFilesChanged(recent_);
    }
}

void DocumentController::StoreRecent() const {
    QSettings settings = RecentSettings();
    settings.beginGroup(kRecentGroup);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= recent_.size()) {
            settings.setValue(key, recent_.at(i - 1));
        } else {
            settings.remove(key);
        }
    }
}

}  // namespace kestra
