// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CMainFrame: the program's main window. It holds the MDI area with the document window, the
// menus, the toolbar, the status bar and the navigation bar, and wires every command to the
// object that carries it out: the document controller (the File menu), the radio commands
// (Read, Write, Com Setup, the password gate), the channel interchange (CSV and the grid's row
// commands), the channel-list commands and Find, the channel, settings and service editors, the
// print controller and the About box. It decides nothing itself.

#include <QMainWindow>
#include <QRect>

#include <array>
#include <filesystem>
#include <memory>

#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

namespace kestra {

class CChildFrame;
class CProgramView;
class ChannelEditors;
class ChannelInterchange;
class LinkFactory;
class DocumentController;
class DocumentPrompts;
class NavigationBar;
class PrintController;
class RadioCommands;
class ServiceEditors;

// What the main window needs to know about its surroundings.
struct MainFrameSettings {
    std::filesystem::path programDir;    // Default.dat, background.bmp
    std::filesystem::path settingsPath;  // Program.ini, re-read by the About box
    QString rootLabel;                   // [Setup] Type
    const LinkFactory* links = nullptr;  // how transfers reach the radio (with the demo radio)
};

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    enum class Command {
        New,
        Open,
        Close,
        Save,
        SaveAs,
        Print,
        PrintPreview,
        PrintSetup,
        ImportCsv,
        ExportCsv,
        Backups,
        Exit,
        Undo,
        Redo,
        ChannelEdit,
        BatchGenerate,
        SortChannels,
        MoveUp,
        MoveDown,
        InsertEmptyChannel,
        RemoveChannels,
        Find,
        FindNext,
        ChannelInformation,
        OptionalFeatures,
        Dtmf,
        Radio,
        RadioInformation,
        ParamAdjust,
        DtmfInitialization,
        SqlAdjust,
        Read,
        Write,
        ComSetup,
        Toolbar,
        StatusBar,
        ControlBar,
        About,
        Count
    };

    // prompts: the save question and file dialogs; null uses the real dialogs.
    CMainFrame(AppState& state, Messenger& messenger, MainFrameSettings settings,
               DocumentPrompts* prompts = nullptr, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Every command's action. The editors that are built later connect to and enable theirs;
    // the three service actions are in the Edit menu only once service mode was entered.
    QAction* action(Command command) const;

    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* editMenu() const { return editMenu_; }
    QMdiArea* mdiArea() const { return mdiArea_; }
    QToolBar* toolBar() const { return toolBar_; }
    NavigationBar* navigationBar() const { return navigationBar_; }
    CChildFrame* childFrame() const { return childFrame_; }
    CProgramView* view() const;
    DocumentController* documents() const { return documents_; }
    RadioCommands* radio() const { return radio_; }
    ChannelInterchange* interchange() const { return interchange_; }
    // The status bar's own text: "Ready", or how the last read or write went.
    QLabel* statusText() const { return statusText_; }

    // Appends "Param Adjust", "DTMF Initialization" and "Sql Adjust" to the Edit menu unless
    // they are there already.
    void AppendServiceItems();

    // Fills the MDI area with the document window, unless the user has moved or sized it.
    void FitDocumentWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* MakeAction(Command command, const QString& text);
    // The document window and the controllers that act on its document.
    void CreateDocument(DocumentPrompts& prompts);
    void CreateActions();
    void CreateFileActions();
    void CreateEditActions();
    void CreateRadioActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateNavigationBar(const QString& rootLabel);
    void ConnectCommands();
    void UpdateRecentFiles();
    void UpdateDocumentTitle();
    void LoadBackground();

    AppState& state_;
    Messenger& messenger_;
    MainFrameSettings settings_;
    std::unique_ptr<DocumentPrompts> ownPrompts_;
    std::array<QAction*, static_cast<int>(Command::Count)> actions_{};
    std::array<QAction*, 4> recentActions_{};
    QAction* recentSeparator_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMdiArea* mdiArea_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    NavigationBar* navigationBar_ = nullptr;
    CChildFrame* childFrame_ = nullptr;
    DocumentController* documents_ = nullptr;
    RadioCommands* radio_ = nullptr;
    ChannelInterchange* interchange_ = nullptr;
    ChannelEditors* channelEditors_ = nullptr;
    ServiceEditors* serviceEditors_ = nullptr;
    PrintController* printing_ = nullptr;
    QLabel* statusText_ = nullptr;
    QRect fittedDocument_;  // where FitDocumentWindow last put the document window
    bool barSized_ = false;
};

}  // namespace kestra
