// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop shell as a user meets it: start-up from Program.ini, the menus, toolbar and
// navigation tree, the document window that hides instead of closing, the service items and
// the splash.

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include <memory>

#include "app/about_dialog.hpp"
#include "app/application.hpp"
#include "app/child_frame.hpp"
#include "app/main_window.hpp"
#include "app/navigation_bar.hpp"
#include "app/radio_commands.hpp"
#include "channels/channel_table.hpp"
#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "link/ui/transfer_dialog.hpp"
#include "model/codecs.hpp"
#include "model/program_version.hpp"
#include "ui_test_support.hpp"

namespace kestra::test {
namespace {

using Command = CMainFrame::Command;

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* a : actions) {
        texts << (a->isSeparator() ? QStringLiteral("|") : a->text());
    }
    return texts;
}

// The items' texts as a user reads them (without the mnemonic markers).
QStringList VisibleTexts(QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions()) {
        if (!a->isSeparator() && a->isVisible()) {
            texts << QString(a->text()).remove(QLatin1Char('&'));
        }
    }
    return texts;
}

class MainWindowTest : public ShellTest {
protected:
    CMainFrame* Start(const StartupOptions& options = {}) {
        program_ = std::make_unique<KestraApplication>(&messenger_, &prompts_);
        program_->Start(options);
        return program_->mainFrame();
    }

    std::unique_ptr<KestraApplication> program_;
};

TEST_F(MainWindowTest, StartsWithoutProgramIniOnCom0NamingTheModelAndTheProgram) {
    CMainFrame* frame = Start();

    EXPECT_TRUE(std::filesystem::exists(Home() / "Program.ini"));
    EXPECT_EQ(program_->state().portName, "COM0");
    EXPECT_EQ(program_->state().deviceOverride, "");
    EXPECT_FALSE(program_->splashShown());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(frame->windowTitle(), "Program");
    EXPECT_TRUE(frame->childFrame()->isVisible());

    // Without a Type the tree's root names the model the "Radio" box shows, and follows it.
    QComboBox* box = frame->view()->modelCombo();
    EXPECT_EQ(frame->navigationBar()->rootItem()->text(0), "6120E");
    box->setCurrentIndex(0);
    emit box->activated(0);
    EXPECT_EQ(frame->navigationBar()->rootItem()->text(0), box->itemText(0));

    // Without [About] lines the box names the program and its version, its copyright and where
    // to report problems; the licence is below them.
    AboutDialog about(program_->settings().Path());
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(about.lineText(0), "Kestra " + QString::fromStdString(std::string(ProgramVersion())));
    EXPECT_EQ(about.lineText(1), "Copyright (C) 2026 Kestra developers");
    EXPECT_TRUE(about.lineText(2).startsWith("Report problems at https://"));

    // An [About] line, even an empty one, and a Type line, even an empty one, are the file's.
    WriteFile(Home() / "Program.ini", "[Setup]\nType=\n[About]\nCompany=\n");
    AboutDialog empty(program_->settings().Path());
    for (int line = 0; line < 3; ++line) {
        EXPECT_EQ(empty.lineText(line), "") << line;
    }
    // The licence is the program's own: it shows whatever Program.ini says.
    for (const AboutDialog* box : {&about, &empty}) {
        EXPECT_TRUE(box->licenceText().startsWith("License GPL-3.0-or-later"))
            << box->licenceText().toStdString();
        EXPECT_TRUE(box->licenceText().contains("NO WARRANTY"));
    }
    program_.reset();
    EXPECT_EQ(Start()->navigationBar()->rootItem()->text(0), "");
}

TEST_F(MainWindowTest, ProgramIniNamesPortTypeAndAboutLinesAndPortOptionIsNotStored) {
    const std::string ini = "[setup]\r\nCOM=12\r\nType=Handheld\r\n[About]\r\nVersion=V1.0\r\n";
    WriteFile(Home() / "Program.ini", ini);

    StartupOptions options;
    options.port = "demo";
    CMainFrame* frame = Start(options);

    EXPECT_EQ(program_->state().portName, "\\\\.\\COM12");
    EXPECT_EQ(program_->state().deviceOverride, "demo");
    EXPECT_EQ(ReadFile(Home() / "Program.ini"), ini);
    EXPECT_EQ(frame->navigationBar()->rootItem()->text(0), "Handheld");

    {
        AboutDialog about(program_->settings().Path());
        EXPECT_EQ(about.lineText(0), "V1.0");
        EXPECT_EQ(about.lineText(1), "");
    }
    // The About box reads the file again every time it opens.
    WriteFile(Home() / "Program.ini", "[About]\nVersion=V2.0\nCompany=Kestra Radio\n");
    AboutDialog again(program_->settings().Path());
    EXPECT_EQ(again.lineText(0), "V2.0");
    EXPECT_EQ(again.lineText(2), "Kestra Radio");
}

TEST_F(MainWindowTest, CommandLineParsing) {
    QString error;
    auto options = ParseCommandLine({"kestra", "--port", "/dev/pts/4", "radio.dat"}, &error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->port, "/dev/pts/4");
    EXPECT_EQ(options->document, "radio.dat");

    EXPECT_FALSE(ParseCommandLine({"kestra", "a.dat", "b.dat"}, &error));
    EXPECT_FALSE(ParseCommandLine({"kestra", "--frobnicate"}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(MainWindowTest, MenusToolbarAndTreeReadAsDesigned) {
    CMainFrame* frame = Start();

    EXPECT_EQ(Texts(frame->menuBar()->actions()),
              QStringList({"&File", "&Edit", "&Program", "&Setup", "&View", "&Help"}));
    EXPECT_EQ(VisibleTexts(frame->fileMenu()),
              QStringList({"New", "Open...", "Close", "Save", "Save As...", "Import CSV...",
                           "Export CSV...", "Backups...", "Print...", "Print Preview",
                           "Print Setup...", "Exit"}));
    const QStringList edit = VisibleTexts(frame->editMenu());
    ASSERT_EQ(edit.size(), 16);
    EXPECT_TRUE(edit[0].startsWith("Undo"));
    EXPECT_TRUE(edit[1].startsWith("Redo"));
    EXPECT_EQ(edit.mid(2),
              QStringList({"Channel Edit...", "Batch Generate...", "Sort Channels...", "Move Up",
                           "Move Down", "Insert Empty Channel", "Remove Channels", "Find...",
                           "Find Next", "Channel Information", "Optional Features", "DTMF", "Radio",
                           "Radio Information"}));
    for (Command built : {Command::ChannelInformation, Command::OptionalFeatures, Command::Dtmf,
                          Command::Radio, Command::RadioInformation}) {
        EXPECT_TRUE(frame->action(built)->isEnabled());
    }

    struct Key {
        Command command;
        QKeySequence keys;
    };
    for (const Key& key :
         {Key{Command::New, QKeySequence("Ctrl+N")}, Key{Command::Open, QKeySequence("Ctrl+O")},
          Key{Command::Save, QKeySequence("Ctrl+S")}, Key{Command::Print, QKeySequence("Ctrl+P")},
          Key{Command::Undo, QKeySequence("Ctrl+Z")}, Key{Command::Redo, QKeySequence("Ctrl+Y")},
          Key{Command::Read, QKeySequence("Ctrl+R")}, Key{Command::Write, QKeySequence("Ctrl+W")},
          Key{Command::ControlBar, QKeySequence("Ctrl+B")},
          Key{Command::MoveUp, QKeySequence("Alt+Up")},
          Key{Command::MoveDown, QKeySequence("Alt+Down")},
          Key{Command::InsertEmptyChannel, QKeySequence("Ins")},
          Key{Command::RemoveChannels, QKeySequence("Shift+Del")},
          Key{Command::Find, QKeySequence("Ctrl+F")}, Key{Command::FindNext, QKeySequence("F3")}}) {
        EXPECT_EQ(frame->action(key.command)->shortcut(), key.keys) << key.keys.toString().data();
    }
    EXPECT_EQ(frame->action(Command::Read)->statusTip(), "Read Data From Radio");
    EXPECT_EQ(frame->action(Command::Write)->statusTip(), "Write Data To Radio");
    EXPECT_EQ(frame->action(Command::Read)->text(), "&Read");
    EXPECT_EQ(frame->action(Command::ComSetup)->text(), "Com Setup");
    EXPECT_EQ(frame->action(Command::About)->text(), "&About ...");
    EXPECT_EQ(frame->action(Command::Toolbar)->text(), "&Toolbar");
    EXPECT_EQ(frame->action(Command::StatusBar)->text(), "&Status Bar");
    EXPECT_EQ(frame->action(Command::ControlBar)->text(), "Control &Bar");
    EXPECT_TRUE(frame->action(Command::ControlBar)->isChecked());

    const QList<QAction*> tools = frame->toolBar()->actions();
    const QList<QAction*> expected = {frame->action(Command::New),
                                      frame->action(Command::Open),
                                      nullptr,
                                      frame->action(Command::Save),
                                      nullptr,
                                      frame->action(Command::Read),
                                      frame->action(Command::Write),
                                      nullptr,
                                      frame->action(Command::Print),
                                      frame->action(Command::About)};
    ASSERT_EQ(tools.size(), expected.size());
    for (int i = 0; i < tools.size(); ++i) {
        if (expected[i] == nullptr) {
            EXPECT_TRUE(tools[i]->isSeparator()) << i;
        } else {
            EXPECT_EQ(tools[i], expected[i]) << i;
        }
    }

    NavigationBar* bar = frame->navigationBar();
    EXPECT_EQ(bar->windowTitle(), "IE Control Bar");
    QTreeWidgetItem* root = bar->rootItem();
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(root->child(0)->text(0), "Channel Infomation");
    EXPECT_EQ(root->child(1)->text(0), "Optional Features");
    EXPECT_EQ(root->child(2)->text(0), "DTMF");
    EXPECT_TRUE(root->isExpanded());
}

TEST_F(MainWindowTest, ProgramKeysWorkWhileTypingInTheGrid) {
    CMainFrame* frame = Start();

    // The document window has window shortcuts of its own; none may take Ctrl+R or Ctrl+W.
    auto opened = std::make_shared<QStringList>();
    for (const Qt::Key key : {Qt::Key_R, Qt::Key_W}) {
        // (The offscreen platform does not give the focus back when a dialog closes.)
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
        frame->view()->grid()->setFocus();
        OnNextModal<TransferDialog>([opened](TransferDialog* dialog) {
            opened->append(dialog->windowTitle());
            dialog->reject();
        });
        QTest::keyClick(frame->view()->grid(), key, Qt::ControlModifier);
    }
    EXPECT_EQ(*opened, QStringList({"Read", "Write"}));
}

TEST_F(MainWindowTest, EditMenuCommitsTheCellBeingTypedBeforeUndo) {
    CMainFrame* frame = Start();
    ChannelGridView* grid = frame->view()->grid();
    // Model row 4 is A 005, empty in a new document.
    grid->BeginCellEdit(grid->model()->index(4, ModelColumnOf(Column::RxFreq)));
    auto* editor = qobject_cast<QLineEdit*>(grid->OpenEditor());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "145.5");

    emit frame->editMenu()->aboutToShow();
    EXPECT_EQ(grid->OpenEditor(), nullptr);
    EXPECT_EQ(frame->view()->table().Cell(4, Column::RxFreq), "145.50000");
    frame->action(Command::Undo)->trigger();
    EXPECT_EQ(frame->view()->table().Cell(4, Column::RxFreq), "");
}

TEST_F(MainWindowTest, EditMenuListCommandsActOnTheGridWithTheCellBeingTyped) {
    CMainFrame* frame = Start();
    ChannelGridView* grid = frame->view()->grid();
    // The Edit menu's list items are the grid's own actions, so its keys and its context menu
    // do what the menu does.
    EXPECT_TRUE(grid->actions().contains(frame->action(Command::MoveUp)));
    grid->BeginCellEdit(grid->model()->index(4, ModelColumnOf(Column::RxFreq)));
    QTest::keyClicks(grid->OpenEditor(), "145.5");

    // A 005, still being typed, moves up as a channel: the cell is its own step first.
    emit frame->editMenu()->aboutToShow();
    frame->action(Command::MoveUp)->trigger();
    EXPECT_EQ(frame->view()->table().Cell(3, Column::RxFreq), "145.50000");
    EXPECT_EQ(frame->view()->table().Cell(4, Column::RxFreq), "");
    EXPECT_EQ(frame->action(Command::Undo)->text(), "&Undo Move Up");
    frame->action(Command::Undo)->trigger();
    EXPECT_EQ(frame->view()->table().Cell(4, Column::RxFreq), "145.50000");
    EXPECT_EQ(frame->view()->table().Cell(3, Column::RxFreq), "");
}

TEST_F(MainWindowTest, UndoKeyTakesBackTheChoiceBeingMadeNotAnEarlierEditElsewhere) {
    CMainFrame* frame = Start();
    ChannelGridView* grid = frame->view()->grid();
    auto typeRx = [grid](int modelRow, const char* text) {
        grid->BeginCellEdit(grid->model()->index(modelRow, ModelColumnOf(Column::RxFreq)));
        QTest::keyClicks(grid->OpenEditor(), text);
        grid->CommitOpenEditor();
    };
    typeRx(0, "145.5");
    typeRx(9, "146.5");

    // A drop-down takes no Ctrl+Z of its own: the key reaches the Edit menu's Undo.
    grid->BeginCellEdit(grid->model()->index(0, ModelColumnOf(Column::Power)));
    auto* power = qobject_cast<QComboBox*>(grid->OpenEditor());
    ASSERT_NE(power, nullptr);
    power->setCurrentIndex(power->findText("Low"));
    frame->action(Command::Undo)->trigger();

    EXPECT_EQ(grid->OpenEditor(), nullptr);
    EXPECT_EQ(frame->view()->table().Cell(0, Column::Power), "High");
    EXPECT_EQ(frame->view()->table().Cell(9, Column::RxFreq), "146.50000");
    frame->action(Command::Redo)->trigger();
    EXPECT_EQ(frame->view()->table().Cell(0, Column::Power), "Low");
}

TEST_F(MainWindowTest, DialogCaptionsAreShownWithoutAProgramNameAppended) {
    // Qt appends an application display name to every caption it hands the window system
    // ("Read - Program"); the captions are the program's own texts, so there is none.
    SetProgramIdentity();
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    EXPECT_EQ(QCoreApplication::organizationName(), "Local AppWizard-Generated Applications");
}

TEST_F(MainWindowTest, EveryEditMenuItemHasAMnemonicOfItsOwn) {
    CMainFrame* frame = Start();
    emit frame->radio()->serviceModeEntered();  // all items, the service ones included
    QSet<QChar> letters;
    for (const QAction* item : frame->editMenu()->actions()) {
        if (item->isSeparator()) {
            continue;
        }
        const QString text = item->text();
        const qsizetype marker = text.indexOf(QLatin1Char('&'));
        ASSERT_GE(marker, 0) << qPrintable(text) << " has no mnemonic";
        const QChar letter = text.at(marker + 1).toLower();
        EXPECT_FALSE(letters.contains(letter))
            << qPrintable(text) << " repeats Alt+" << letter.toLatin1();
        letters.insert(letter);
    }
}

TEST_F(MainWindowTest, ServiceItemsAreAppendedOnce) {
    CMainFrame* frame = Start();
    EXPECT_FALSE(VisibleTexts(frame->editMenu()).contains("Sql Adjust"));

    emit frame->radio()->serviceModeEntered();
    emit frame->radio()->serviceModeEntered();

    const QStringList edit = VisibleTexts(frame->editMenu());
    EXPECT_EQ(edit.mid(edit.size() - 3),
              QStringList({"Param Adjust", "DTMF Initialization", "Sql Adjust"}));
    EXPECT_EQ(edit.count("Sql Adjust"), 1);
    EXPECT_FALSE(frame->action(Command::SqlAdjust)->isEnabled());
}

TEST_F(MainWindowTest, ClosedDocumentWindowComesBackWithItsData) {
    CMainFrame* frame = Start();
    program_->state().image.write(0, Bcd8Encode(14652500));
    frame->view()->FillGridFromImage();
    const std::string rx = frame->view()->table().Cell(0, Column::RxFreq);
    ASSERT_EQ(rx, "146.52500");

    frame->action(Command::Close)->trigger();
    EXPECT_FALSE(frame->childFrame()->isVisible());
    frame->action(Command::ChannelInformation)->trigger();
    EXPECT_TRUE(frame->childFrame()->isVisible());
    EXPECT_EQ(frame->view()->table().Cell(0, Column::RxFreq), rx);

    // The window's own close box hides it too; the tree item brings it back.
    frame->childFrame()->close();
    EXPECT_FALSE(frame->childFrame()->isVisible());
    NavigationBar* bar = frame->navigationBar();
    bar->choose(bar->item(NavigationBar::Item::ChannelInformation));
    EXPECT_TRUE(frame->childFrame()->isVisible());
    EXPECT_EQ(bar->tree()->currentItem(), bar->rootItem());
    EXPECT_EQ(frame->view()->table().Cell(0, Column::RxFreq), rx);
    // Back where it was: filling the area.
    EXPECT_EQ(frame->childFrame()->geometry(), frame->mdiArea()->viewport()->rect());
}

TEST_F(MainWindowTest, TheKeyboardStartsInTheGridAndFindsItAgainWhenTheWindowComesBack) {
    CMainFrame* frame = Start();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    ChannelGridView* grid = frame->view()->grid();

    // Enter opens the cell editor at once, without a click or a Tab into the grid first.
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_NE(grid->OpenEditor(), nullptr);
    grid->CommitOpenEditor();

    frame->action(Command::Close)->trigger();
    frame->action(Command::ChannelInformation)->trigger();
    EXPECT_EQ(QApplication::focusWidget(), grid);
}

TEST_F(MainWindowTest, DisabledTreeItemsDoNothingAndEnabledOnesRunTheirAction) {
    CMainFrame* frame = Start();
    NavigationBar* bar = frame->navigationBar();
    int opened = 0;
    // Count the choices instead of opening the dialog.
    QObject::disconnect(frame->action(Command::Dtmf), &QAction::triggered, nullptr, nullptr);
    QObject::connect(frame->action(Command::Dtmf), &QAction::triggered, [&opened] { ++opened; });

    frame->action(Command::Dtmf)->setEnabled(false);
    bar->choose(bar->item(NavigationBar::Item::Dtmf));
    EXPECT_EQ(opened, 0);
    frame->action(Command::Dtmf)->setEnabled(true);
    bar->choose(bar->item(NavigationBar::Item::Dtmf));
    bar->choose(bar->item(NavigationBar::Item::Dtmf));
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(bar->tree()->currentItem(), bar->rootItem());
}

TEST_F(MainWindowTest, ControlBarTogglesAndStaysWithinHalfTheWindow) {
    CMainFrame* frame = Start();
    NavigationBar* bar = frame->navigationBar();
    QAction* toggle = frame->action(Command::ControlBar);
    QApplication::processEvents();
    EXPECT_NEAR(bar->width(), NavigationBar::kInitialWidth, 4);

    toggle->trigger();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(toggle->isChecked());
    bar->close();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(toggle->isChecked());

    frame->showNormal();
    frame->resize(700, 500);
    QApplication::processEvents();
    EXPECT_EQ(bar->maximumWidth(), frame->width() / 2);
    EXPECT_EQ(bar->minimumWidth(), NavigationBar::kMinimumWidth);
}

TEST_F(MainWindowTest, SplashComesFirstAndAKeyDismissesIt) {
    QImage picture(60, 40, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(HomeFile("startup.bmp"), "BMP"));

    CMainFrame* frame = Start();
    EXPECT_TRUE(program_->splashShown());
    EXPECT_FALSE(frame->isVisible());

    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(frame, &press);
    EXPECT_TRUE(frame->isVisible());
}

}  // namespace
}  // namespace kestra::test
