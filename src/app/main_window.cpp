// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.hpp"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QPixmap>
#include <QStatusBar>

#include <algorithm>

#include "app/app_icons.hpp"
#include "app/channel_editors.hpp"
#include "app/channel_finder.hpp"
#include "app/channel_interchange.hpp"
#include "app/channel_list_commands.hpp"
#include "app/channel_printer.hpp"
#include "app/child_frame.hpp"
#include "app/document_controller.hpp"
#include "app/document_editor.hpp"
#include "app/fleet_commands.hpp"
#include "app/navigation_bar.hpp"
#include "app/radio_commands.hpp"
#include "app/resources.hpp"
#include "app/service_editors.hpp"
#include "app/settings_editors.hpp"
#include "channels/ui/program_view.hpp"

namespace kestra {

namespace {

using Command = CMainFrame::Command;

// The first local "*.dat" file among dropped URLs, or empty.
QString DroppedDocument(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls()) {
        return {};
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() &&
            QFileInfo(url.toLocalFile())
                    .suffix()
                    .compare(QStringLiteral("dat"), Qt::CaseInsensitive) == 0) {
            return url.toLocalFile();
        }
    }
    return {};
}

}  // namespace

CMainFrame::CMainFrame(AppState& state, Messenger& messenger, MainFrameSettings settings,
                       DocumentPrompts* prompts, QWidget* parent)
    : QMainWindow(parent), state_(state), messenger_(messenger), settings_(std::move(settings)) {
    EnsureResources();
    setWindowTitle(QStringLiteral("Program"));
    setWindowIcon(ApplicationIcon());
    setAcceptDrops(true);

    mdiArea_ = new QMdiArea(this);
    // Scroll bars let the document window be larger than the area; without them the area
    // would demand the window's full minimum size and squeeze the navigation bar.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    LoadBackground();

    if (prompts == nullptr) {
        ownPrompts_ = std::make_unique<DialogDocumentPrompts>(this);
        prompts = ownPrompts_.get();
    }
    CreateDocument(*prompts);

    printing_ = new PrintController(
        [this]() -> const ChannelTable& {
            // A cell still being typed into belongs in the printout.
            this->view()->CommitOpenEditor();
            return this->view()->table();
        },
        [this] { return documents_->displayName(); }, this, this);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    // A permanent "Ready" that menu and toolbar tips cover while they are shown.
    statusText_ = new QLabel(QStringLiteral("Ready"), statusBar());
    statusBar()->addWidget(statusText_, 1);
    CreateNavigationBar(settings_.rootLabel);
    serviceEditors_ =
        new ServiceEditors(*this, documents_->editor(), state_, messenger_, settings_.links);
    new SettingsEditors(*this, documents_->editor(), state_);
    ConnectCommands();
    UpdateRecentFiles();
    UpdateDocumentTitle();
}

void CMainFrame::CreateDocument(DocumentPrompts& prompts) {
    // The document (with its undo stack and its editor) first: the view shows it.
    documents_ = new DocumentController(state_, messenger_, prompts, settings_.programDir, this);
    auto* view = new CProgramView(documents_->document());
    // Built inside the area, the window takes the main window's icon from the start instead of
    // first loading the style's title-bar menu icon, which it would replace at once.
    childFrame_ = new CChildFrame(view, mdiArea_->viewport());
    mdiArea_->addSubWindow(childFrame_);
    childFrame_->move(0, 0);
    childFrame_->show();
    // The document window follows the area as the main window and the navigation bar change.
    mdiArea_->viewport()->installEventFilter(this);
    documents_->AttachWindow(childFrame_);

    DocumentEditor& editor = documents_->editor();
    radio_ = new RadioCommands(state_, messenger_, editor, *view, this);
    radio_->SetLinkFactory(settings_.links);
    radio_->SetSettingsPath(settings_.settingsPath);
    radio_->SetReadGuard([this] { return documents_->SaveBeforeRead(); });
    fleet_ = new FleetCommands(state_, messenger_, *view, this);
    fleet_->SetLinkFactory(settings_.links);
    fleet_->SetSettingsPath(settings_.settingsPath);
    fleet_->SetDocumentName([this] { return documents_->displayName(); });
    interchange_ = new ChannelInterchange(editor, *view, messenger_);
    channelEditors_ = new ChannelEditors(editor, *view);
    new ChannelListCommands(editor, *view, messenger_);
    new ChannelFinder(*view);
}

CMainFrame::~CMainFrame() {
    // The view works on the document and its undo stack and stores its grid into the image as
    // it goes: the document window goes first, then the document.
    delete childFrame_;
    childFrame_ = nullptr;
    delete documents_;
    documents_ = nullptr;
}

QAction* CMainFrame::action(Command command) const {
    return actions_[static_cast<int>(command)];
}

CProgramView* CMainFrame::view() const {
    return childFrame_->view();
}

void CMainFrame::UpdateRecentFiles() {
    const QStringList files = documents_->recentFiles();
    for (int i = 0; i < static_cast<int>(recentActions_.size()); ++i) {
        QAction* entry = recentActions_[i];
        if (i < files.size()) {
            const QString shown = fontMetrics().elidedText(QDir::toNativeSeparators(files.at(i)),
                                                           Qt::ElideMiddle, 360);
            entry->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
            entry->setStatusTip(files.at(i));
            entry->setVisible(true);
        } else {
            entry->setVisible(false);
        }
    }
    recentSeparator_->setVisible(!files.isEmpty());
}

void CMainFrame::UpdateDocumentTitle() {
    // The main caption stays "Program"; the document window names the file.
    childFrame_->setWindowTitle(documents_->displayName() + QStringLiteral("[*]"));
    childFrame_->setWindowModified(documents_->isModified());
}

void CMainFrame::LoadBackground() {
    QPixmap tile;
    const QString custom =
        QString::fromStdString((settings_.programDir / "background.bmp").string());
    // Only a file that exists is read: the image readers look through every image format
    // plugin the first time they are used, which the built-in tile, drawn, does not need.
    if (!QFileInfo::exists(custom) || !tile.load(custom) || tile.isNull()) {
        tile = BackgroundTile();
    }
    // A textured brush tiles from the area's top-left corner.
    mdiArea_->setBackground(tile.isNull() ? QBrush(Qt::darkGray) : QBrush(tile));
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (mdiArea_ != nullptr && watched == mdiArea_->viewport() && event->type() == QEvent::Resize) {
        FitDocumentWindow();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::FitDocumentWindow() {
    if (childFrame_ == nullptr || childFrame_->isMinimized() || childFrame_->isMaximized()) {
        return;
    }
    // A window the user placed himself stays where he put it.
    if (fittedDocument_.isValid() && childFrame_->geometry() != fittedDocument_) {
        return;
    }
    childFrame_->setGeometry(mdiArea_->viewport()->rect());
    fittedDocument_ = childFrame_->geometry();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (documents_->SaveModified()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The bar may take at most half the window.
    navigationBar_->setMaximumWidth(std::max(NavigationBar::kMinimumWidth, width() / 2));
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The bar's first width only holds once the window has its real size.
    if (!barSized_) {
        barSized_ = true;
        resizeDocks({navigationBar_}, {NavigationBar::kInitialWidth}, Qt::Horizontal);
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedDocument(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString file = DroppedDocument(event->mimeData());
    if (!file.isEmpty()) {
        event->acceptProposedAction();
        documents_->OpenPath(file);
    }
}

}  // namespace kestra
