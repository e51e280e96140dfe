// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands: every action with its text, keys, icon and tip, the menus, the
// toolbar and the navigation bar that show them, and the connections from each action to the
// object that carries it out.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QUndoStack>

#include "app/about_dialog.hpp"
#include "app/app_icons.hpp"
#include "app/backups_dialog.hpp"
#include "app/channel_editors.hpp"
#include "app/channel_interchange.hpp"
#include "app/channel_printer.hpp"
#include "app/child_frame.hpp"
#include "app/document_controller.hpp"
#include "app/fleet_commands.hpp"
#include "app/main_window.hpp"
#include "app/navigation_bar.hpp"
#include "app/radio_commands.hpp"
#include "app/service_editors.hpp"
#include "channels/ui/program_view.hpp"

namespace kestra {

using Command = CMainFrame::Command;

QAction* CMainFrame::MakeAction(Command command, const QString& text) {
    auto* created = new QAction(text, this);
    actions_[static_cast<int>(command)] = created;
    return created;
}

void CMainFrame::CreateActions() {
    CreateFileActions();
    CreateEditActions();
    CreateRadioActions();
    MakeAction(Command::StatusBar, QStringLiteral("&Status Bar"))->setCheckable(true);
    action(Command::StatusBar)->setChecked(true);
    MakeAction(Command::About, QStringLiteral("&About ..."))->setIcon(AboutIcon());
    action(Command::About)->setStatusTip(QStringLiteral("Show the program's version"));
}

void CMainFrame::CreateFileActions() {
    MakeAction(Command::New, QStringLiteral("&New"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    action(Command::New)->setIcon(NewIcon());
    action(Command::New)->setStatusTip(QStringLiteral("Create a new document"));
    MakeAction(Command::Open, QStringLiteral("&Open..."))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    action(Command::Open)->setIcon(OpenIcon());
    action(Command::Open)->setStatusTip(QStringLiteral("Open an existing document"));
    MakeAction(Command::Close, QStringLiteral("&Close"))
        ->setStatusTip(QStringLiteral("Close the document window"));
    MakeAction(Command::Save, QStringLiteral("&Save"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    action(Command::Save)->setIcon(SaveIcon());
    action(Command::Save)->setStatusTip(QStringLiteral("Save the document"));
    MakeAction(Command::SaveAs, QStringLiteral("Save &As..."))
        ->setStatusTip(QStringLiteral("Save the document under a new name"));
    MakeAction(Command::Print, QStringLiteral("&Print..."))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    action(Command::Print)->setIcon(PrintIcon());
    action(Command::Print)->setStatusTip(QStringLiteral("Print the channel list"));
    MakeAction(Command::PrintPreview, QStringLiteral("Print Preview"))
        ->setStatusTip(QStringLiteral("Show the printed pages"));
    MakeAction(Command::PrintSetup, QStringLiteral("Print Setup..."))
        ->setStatusTip(QStringLiteral("Choose the printer and the page"));
    MakeAction(Command::ImportCsv, QStringLiteral("&Import CSV..."))
        ->setStatusTip(QStringLiteral("Put the channels of a CSV list into this document"));
    MakeAction(Command::ExportCsv, QStringLiteral("E&xport CSV..."))
        ->setStatusTip(QStringLiteral("Save the channels as a CSV list for other tools"));
    MakeAction(Command::Backups, QStringLiteral("&Backups..."))
        ->setStatusTip(QStringLiteral("Open a copy of what was read from or written to a radio"));
    MakeAction(Command::Exit, QStringLiteral("&Exit"))
        ->setStatusTip(QStringLiteral("Quit the program"));
    action(Command::Exit)->setMenuRole(QAction::QuitRole);
}

void CMainFrame::CreateEditActions() {
    QUndoStack* undo = documents_->undoStack();
    QAction* undoAction = undo->createUndoAction(this, QStringLiteral("&Undo"));
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    actions_[static_cast<int>(Command::Undo)] = undoAction;
    QAction* redoAction = undo->createRedoAction(this, QStringLiteral("&Redo"));
    redoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    actions_[static_cast<int>(Command::Redo)] = redoAction;
    // Ctrl+Z and Ctrl+Y reach these actions while a drop-down cell editor is open (it has no
    // undo of its own): commit the choice first, so Undo takes back that choice and not an
    // earlier edit somewhere else in the grid.
    for (auto [action, step] :
         {std::pair{undoAction, &QUndoStack::undo}, std::pair{redoAction, &QUndoStack::redo}}) {
        disconnect(action, &QAction::triggered, undo, nullptr);
        connect(action, &QAction::triggered, this, [this, undo, step = step] {
            view()->CommitOpenEditor();
            (undo->*step)();
        });
    }

    // The document window's two buttons, also in the menu for the keyboard.
    MakeAction(Command::ChannelEdit, QStringLiteral("&Channel Edit..."))
        ->setStatusTip(QStringLiteral("Edit the current channel in a dialog"));
    MakeAction(Command::BatchGenerate, QStringLiteral("&Batch Generate..."))
        ->setStatusTip(QStringLiteral("Fill a range of channels in one step"));
    // The channel-list commands and Find are the grid's own actions, with their keys and its
    // context menu; the Edit menu shows the same actions.
    using Row = CProgramView::RowCommand;
    for (const auto& [command, row] : {std::pair{Command::SortChannels, Row::Sort},
                                       {Command::MoveUp, Row::MoveUp},
                                       {Command::MoveDown, Row::MoveDown},
                                       {Command::InsertEmptyChannel, Row::InsertEmpty},
                                       {Command::RemoveChannels, Row::Remove},
                                       {Command::Find, Row::Find},
                                       {Command::FindNext, Row::FindNext}}) {
        actions_[static_cast<int>(command)] = view()->rowAction(row);
    }

    MakeAction(Command::ChannelInformation, QStringLiteral("Channel &Information"));
    // The editors behind these items are wired and enabled by their own owners. Every item has
    // its own mnemonic letter.
    for (const auto& [command, text] : {std::pair{Command::OptionalFeatures, "&Optional Features"},
                                        {Command::Dtmf, "&DTMF"},
                                        {Command::Radio, "R&adio"},
                                        {Command::RadioInformation, "Radio I&nformation"},
                                        {Command::ParamAdjust, "&Param Adjust"},
                                        {Command::DtmfInitialization, "DTMF Ini&tialization"},
                                        {Command::SqlAdjust, "&Sql Adjust"}}) {
        MakeAction(command, QString::fromLatin1(text))->setEnabled(false);
    }
}

void CMainFrame::CreateRadioActions() {
    MakeAction(Command::Read, QStringLiteral("&Read"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    action(Command::Read)->setStatusTip(QStringLiteral("Read Data From Radio"));
    action(Command::Read)->setIcon(ReadIcon());
    MakeAction(Command::Write, QStringLiteral("&Write"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    action(Command::Write)->setStatusTip(QStringLiteral("Write Data To Radio"));
    action(Command::Write)->setIcon(WriteIcon());
    MakeAction(Command::WriteSeveralRadios, QStringLiteral("Write to &Several Radios..."))
        ->setStatusTip(QStringLiteral("Write this document to several radios at once"));
    MakeAction(Command::ComSetup, QStringLiteral("Com Setup"))
        ->setStatusTip(QStringLiteral("Choose the serial port"));
}

void CMainFrame::CreateMenus() {
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->addAction(action(Command::New));
    fileMenu_->addAction(action(Command::Open));
    fileMenu_->addAction(action(Command::Close));
    fileMenu_->addAction(action(Command::Save));
    fileMenu_->addAction(action(Command::SaveAs));
    fileMenu_->addSeparator();
    fileMenu_->addAction(action(Command::ImportCsv));
    fileMenu_->addAction(action(Command::ExportCsv));
    fileMenu_->addAction(action(Command::Backups));
    fileMenu_->addSeparator();
    fileMenu_->addAction(action(Command::Print));
    fileMenu_->addAction(action(Command::PrintPreview));
    fileMenu_->addAction(action(Command::PrintSetup));
    recentSeparator_ = fileMenu_->addSeparator();
    for (int i = 0; i < static_cast<int>(recentActions_.size()); ++i) {
        recentActions_[i] = fileMenu_->addAction(QString());
        connect(recentActions_[i], &QAction::triggered, this,
                [this, i] { documents_->OpenRecent(i); });
    }
    fileMenu_->addSeparator();
    fileMenu_->addAction(action(Command::Exit));

    editMenu_ = menuBar()->addMenu(QStringLiteral("&Edit"));
    // Opening the menu does not take the focus from a cell editor, so commit it first: Undo
    // must see the text being typed as the last edit.
    connect(editMenu_, &QMenu::aboutToShow, this, [this] { view()->CommitOpenEditor(); });
    editMenu_->addAction(action(Command::Undo));
    editMenu_->addAction(action(Command::Redo));
    editMenu_->addSeparator();
    editMenu_->addAction(action(Command::ChannelEdit));
    editMenu_->addAction(action(Command::BatchGenerate));
    editMenu_->addSeparator();
    for (const Command command : {Command::SortChannels, Command::MoveUp, Command::MoveDown,
                                  Command::InsertEmptyChannel, Command::RemoveChannels}) {
        editMenu_->addAction(action(command));
    }
    editMenu_->addSeparator();
    editMenu_->addAction(action(Command::Find));
    editMenu_->addAction(action(Command::FindNext));
    editMenu_->addSeparator();
    for (const Command command : {Command::ChannelInformation, Command::OptionalFeatures,
                                  Command::Dtmf, Command::Radio, Command::RadioInformation}) {
        editMenu_->addAction(action(command));
    }

    QMenu* program = menuBar()->addMenu(QStringLiteral("&Program"));
    program->addAction(action(Command::Read));
    program->addAction(action(Command::Write));
    program->addAction(action(Command::WriteSeveralRadios));

    QMenu* setup = menuBar()->addMenu(QStringLiteral("&Setup"));
    setup->addAction(action(Command::ComSetup));

    // The toolbar and bar toggles are created with their widgets; the menu gets them later.
    viewMenu_ = menuBar()->addMenu(QStringLiteral("&View"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(action(Command::About));
}

void CMainFrame::CreateToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Toolbar"));
    toolBar_->setMovable(true);
    toolBar_->setIconSize(QSize(24, 24));
    toolBar_->addAction(action(Command::New));
    toolBar_->addAction(action(Command::Open));
    toolBar_->addSeparator();
    toolBar_->addAction(action(Command::Save));
    toolBar_->addSeparator();
    toolBar_->addAction(action(Command::Read));
    toolBar_->addAction(action(Command::Write));
    toolBar_->addSeparator();
    toolBar_->addAction(action(Command::Print));
    toolBar_->addAction(action(Command::About));

    QAction* toggle = toolBar_->toggleViewAction();
    toggle->setText(QStringLiteral("&Toolbar"));
    toggle->setStatusTip(QStringLiteral("Show or hide the toolbar"));
    actions_[static_cast<int>(Command::Toolbar)] = toggle;
}

void CMainFrame::CreateNavigationBar(const QString& rootLabel) {
    navigationBar_ = new NavigationBar(rootLabel, this);
    addDockWidget(Qt::LeftDockWidgetArea, navigationBar_);
    navigationBar_->setItemAction(NavigationBar::Item::ChannelInformation,
                                  action(Command::ChannelInformation));
    navigationBar_->setItemAction(NavigationBar::Item::OptionalFeatures,
                                  action(Command::OptionalFeatures));
    navigationBar_->setItemAction(NavigationBar::Item::Dtmf, action(Command::Dtmf));

    QAction* toggle = navigationBar_->toggleViewAction();
    toggle->setText(QStringLiteral("Control &Bar"));
    toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    toggle->setStatusTip(QStringLiteral("Show or hide the navigation bar"));
    actions_[static_cast<int>(Command::ControlBar)] = toggle;
    // The menu action must live in the window to answer its shortcut while the bar is hidden.
    addAction(toggle);

    // Tab goes round the document window's controls and the tree.
    childFrame_->setFocusNeighbour(navigationBar_->tree());

    viewMenu_->addAction(action(Command::Toolbar));
    viewMenu_->addAction(action(Command::StatusBar));
    viewMenu_->addAction(toggle);
}

void CMainFrame::ConnectCommands() {
    DocumentController* docs = documents_;
    connect(action(Command::New), &QAction::triggered, docs, &DocumentController::New);
    connect(action(Command::Open), &QAction::triggered, docs, &DocumentController::Open);
    connect(action(Command::Close), &QAction::triggered, docs, &DocumentController::Close);
    connect(action(Command::Save), &QAction::triggered, docs, &DocumentController::Save);
    connect(action(Command::SaveAs), &QAction::triggered, docs, &DocumentController::SaveAs);
    connect(action(Command::Exit), &QAction::triggered, this, &QWidget::close);
    connect(action(Command::Backups), &QAction::triggered, this, [this] {
        BackupsDialog dialog(BackupDirectory(), this);
        if (dialog.exec() == QDialog::Accepted && !dialog.chosenPath().empty()) {
            documents_->OpenCopy(QString::fromStdString(dialog.chosenPath().string()));
        }
    });
    connect(action(Command::ChannelInformation), &QAction::triggered, docs,
            &DocumentController::ShowWindow);

    connect(action(Command::Print), &QAction::triggered, printing_, &PrintController::Print);
    connect(action(Command::PrintPreview), &QAction::triggered, printing_,
            &PrintController::PrintPreview);
    connect(action(Command::PrintSetup), &QAction::triggered, printing_,
            &PrintController::PrintSetup);

    connect(action(Command::Read), &QAction::triggered, radio_, &RadioCommands::Read);
    connect(action(Command::Write), &QAction::triggered, radio_, &RadioCommands::Write);
    connect(action(Command::WriteSeveralRadios), &QAction::triggered, fleet_,
            &FleetCommands::WriteToSeveralRadios);
    connect(action(Command::ComSetup), &QAction::triggered, radio_, &RadioCommands::ComSetup);
    connect(action(Command::ChannelEdit), &QAction::triggered, channelEditors_,
            &ChannelEditors::ChannelEdit);
    connect(action(Command::BatchGenerate), &QAction::triggered, channelEditors_,
            &ChannelEditors::BatchGenerate);
    connect(action(Command::ImportCsv), &QAction::triggered, interchange_,
            &ChannelInterchange::ImportCsv);
    connect(docs, &DocumentController::pathChanged, interchange_,
            &ChannelInterchange::SetDocumentPath);
    connect(action(Command::ExportCsv), &QAction::triggered, interchange_,
            &ChannelInterchange::ExportCsv);
    connect(radio_, &RadioCommands::serviceModeEntered, this, &CMainFrame::AppendServiceItems);
    connect(radio_, &RadioCommands::serviceModeEntered, serviceEditors_,
            &ServiceEditors::EnableServiceItems);
    connect(radio_, &RadioCommands::transferCompleted, statusText_, &QLabel::setText);
    connect(docs, &DocumentController::statusMessage, statusText_, &QLabel::setText);
    connect(interchange_, &ChannelInterchange::statusMessage, statusText_, &QLabel::setText);

    connect(action(Command::StatusBar), &QAction::toggled, statusBar(), &QWidget::setVisible);
    connect(action(Command::About), &QAction::triggered, this, [this] {
        AboutDialog about(settings_.settingsPath, this);
        about.exec();
    });

    connect(docs, &DocumentController::recentFilesChanged, this, &CMainFrame::UpdateRecentFiles);
    connect(docs, &DocumentController::pathChanged, this, &CMainFrame::UpdateDocumentTitle);
    connect(docs, &DocumentController::modifiedChanged, this, &CMainFrame::UpdateDocumentTitle);
}

void CMainFrame::AppendServiceItems() {
    if (editMenu_->actions().contains(action(Command::SqlAdjust))) {
        return;
    }
    editMenu_->addAction(action(Command::ParamAdjust));
    editMenu_->addAction(action(Command::DtmfInitialization));
    editMenu_->addAction(action(Command::SqlAdjust));
}

}  // namespace kestra
