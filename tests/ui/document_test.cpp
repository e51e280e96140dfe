// SPDX-License-Identifier: GPL-3.0-or-later
// Documents in the desktop shell: New with its confirmation, Open and its failures, Save and
// reopen, the modified flag behind the save question, the recent-file list, dropped files and
// the printed channel list.

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QUndoStack>
#include <QUrl>

#include "app/application.hpp"
#include "app/channel_printer.hpp"
#include "app/child_frame.hpp"
#include "app/main_window.hpp"
#include "channels/channel_table.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "model/codecs.hpp"
#include "model/document_file.hpp"
#include "ui_test_support.hpp"

namespace kestra::test {
namespace {

using Command = CMainFrame::Command;

class DocumentTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        program_ = std::make_unique<KestraApplication>(&messenger_, &prompts_);
        program_->Start({});
        frame_ = program_->mainFrame();
        docs_ = frame_->documents();
    }

    AppState& State() { return program_->state(); }
    std::string Rx(int record) const {
        return frame_->view()->table().Cell(record, Column::RxFreq);
    }

    // Types a frequency into a cell the way the grid's editor commits it.
    void TypeRx(int record, const QString& text) {
        QAbstractItemModel* model = frame_->view()->grid()->model();
        ASSERT_TRUE(model->setData(model->index(record, 0), text, Qt::EditRole));
    }

    // An image with a channel in A001, as a file on disk.
    std::filesystem::path ChannelFile(const std::string& name, Frequency rx) {
        MemoryImage image = BuiltInDocumentImage();
        image.write(0, Bcd8Encode(static_cast<std::uint32_t>(rx)));
        const auto path = Home() / name;
        EXPECT_TRUE(SaveDocumentFile(path, image));
        return path;
    }

    std::unique_ptr<KestraApplication> program_;
    CMainFrame* frame_ = nullptr;
    DocumentController* docs_ = nullptr;
};

TEST_F(DocumentTest, NewAsksToSaveFirstThenConfirmsAndCancelKeepsEverything) {
    TypeRx(0, "146.52");
    const MemoryImage before = State().image;

    // The save question comes first; Cancel there ends New before the confirmation.
    prompts_.saveChoice = SaveChoice::Cancel;
    frame_->action(Command::New)->trigger();
    EXPECT_EQ(prompts_.saveQuestions, QStringList{"Untitled"});
    EXPECT_TRUE(messenger_.messages.empty());
    EXPECT_EQ(Rx(0), "146.52000");

    // Discard, then Cancel at "All data will be Cleared!": still nothing lost.
    prompts_.saveChoice = SaveChoice::Discard;
    messenger_.answers = {false};
    frame_->action(Command::New)->trigger();
    EXPECT_EQ(messenger_.messages, std::vector<std::string>{"All data will be Cleared!"});
    EXPECT_EQ(State().image, before);
    EXPECT_EQ(Rx(0), "146.52000");
    frame_->documents()->undoStack()->undo();
    EXPECT_FALSE(docs_->isModified());
    frame_->documents()->undoStack()->redo();
    prompts_.saveChoice = SaveChoice::Cancel;

    // Open asks as well before it replaces anything.
    const auto other = ChannelFile("other.dat", 14700000);
    EXPECT_FALSE(docs_->OpenPath(QString::fromStdString(other.string())));
    EXPECT_EQ(prompts_.saveQuestions.size(), 3);
    EXPECT_EQ(Rx(0), "146.52000");

    // Exit: Cancel keeps the window, Save writes the file and lets it close.
    frame_->close();
    EXPECT_TRUE(frame_->isVisible());
    prompts_.saveChoice = SaveChoice::Save;
    prompts_.savePath = HomeFile("kept.dat");
    frame_->action(Command::Exit)->trigger();
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_TRUE(QFile::exists(HomeFile("kept.dat")));
}

TEST_F(DocumentTest, AnEditorsImageChangeIsOneUndoableStepThatMarksTheDocument) {
    QUndoStack* stack = docs_->undoStack();
    DocumentEditor& editor = docs_->editor();
    TypeRx(1, "146.52");  // a grid edit before the editor's, kept by its undo
    stack->setClean();
    ASSERT_FALSE(docs_->isModified());

    // Nothing changed: no step, still clean.
    EXPECT_FALSE(editor.EditImage(QStringLiteral("Optional Features"), [] {}));
    EXPECT_FALSE(docs_->isModified());

    // A settings byte and channel A001, as a dialog would leave them. The editor gets the grid
    // stored into the image first, so the step holds only what the dialog changed.
    stack->setClean();
    MemoryImage before;
    ASSERT_TRUE(editor.EditImage(QStringLiteral("Channel Edit"), [&] {
        before = State().image;
        State().image[0x2040] = 0x01;
        State().image.write(0, Bcd8Encode(14700000));
        State().image[0x2E40] |= 0x01;  // A001 present, as Channel Edit marks a new channel
    }));
    EXPECT_TRUE(docs_->isModified());
    EXPECT_EQ(stack->undoText(), "Channel Edit");
    EXPECT_EQ(Rx(0), "147.00000");  // the grid was refilled from the changed records

    const MemoryImage after = State().image;
    stack->undo();
    EXPECT_EQ(State().image, before);
    EXPECT_EQ(Rx(0), "");  // the grid follows the records it shows
    EXPECT_EQ(Rx(1), "146.52000");
    EXPECT_FALSE(docs_->isModified());
    stack->redo();
    EXPECT_EQ(State().image, after);
    EXPECT_EQ(Rx(0), "147.00000");
}

TEST_F(DocumentTest, TextStillBeingTypedCountsAsAnUnsavedEdit) {
    ChannelGridView* grid = frame_->view()->grid();
    grid->BeginCellEdit(grid->model()->index(0, 0));
    auto* editor = qobject_cast<QLineEdit*>(grid->OpenEditor());
    ASSERT_NE(editor, nullptr);
    editor->setText("146.52");

    prompts_.saveChoice = SaveChoice::Cancel;
    frame_->close();
    EXPECT_EQ(prompts_.saveQuestions, QStringList{"Untitled"});
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_EQ(Rx(0), "146.52000");
}

TEST_F(DocumentTest, OpeningTheOpenFileAgainOnlyShowsItsWindow) {
    const auto path = ChannelFile("radio.dat", 14652500);
    ASSERT_TRUE(docs_->OpenPath(QString::fromStdString(path.string())));
    TypeRx(0, "147.00");
    frame_->childFrame()->close();

    // Quoted, relative and through a link it is still the same file.
    std::filesystem::create_symlink(path, Home() / "link.dat");
    const QString saved = QDir::currentPath();
    QDir::setCurrent(home_.path());
    EXPECT_TRUE(docs_->OpenPath("\"link.dat\""));
    QDir::setCurrent(saved);

    EXPECT_TRUE(prompts_.saveQuestions.isEmpty());
    EXPECT_EQ(Rx(0), "147.00000");
    EXPECT_TRUE(frame_->childFrame()->isVisible());
    EXPECT_EQ(NormalizeDocumentPath(QString::fromStdString((Home() / "link.dat").string())),
              QString::fromStdString(path.string()));
}

TEST_F(DocumentTest, RecentFilesKeepFourAndOutliveTheProgram) {
    QStringList paths;
    for (int i = 1; i <= 5; ++i) {
        const auto path = ChannelFile("r" + std::to_string(i) + ".dat", 14600000 + i * 2500);
        paths.prepend(QString::fromStdString(path.string()));
        ASSERT_TRUE(docs_->OpenPath(paths.front()));
    }
    EXPECT_EQ(docs_->recentFiles(), paths.mid(0, 4));

    program_.reset();
    KestraApplication restarted(&messenger_, &prompts_);
    restarted.Start({});
    DocumentController* docs = restarted.mainFrame()->documents();
    EXPECT_EQ(docs->recentFiles(), paths.mid(0, 4));

    // A recent file that has gone away leaves the list.
    QFile::remove(paths[1]);
    docs->OpenRecent(1);
    EXPECT_EQ(docs->recentFiles(), QStringList({paths[0], paths[2], paths[3]}));
}

TEST_F(DocumentTest, FileNamedOnTheCommandLineOrDroppedIsOpened) {
    const auto first = ChannelFile("first.dat", 14652500);
    const auto second = ChannelFile("second.dat", 43500000);

    program_.reset();
    KestraApplication program(&messenger_, &prompts_);
    StartupOptions options;
    options.document = QString::fromStdString(first.string());
    program.Start(options);
    CMainFrame* frame = program.mainFrame();
    EXPECT_EQ(frame->view()->table().Cell(0, Column::RxFreq), "146.52500");

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(second.string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame, &drop);
    EXPECT_EQ(frame->view()->table().Cell(0, Column::RxFreq), "435.00000");

    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(HomeFile("notes.txt"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(frame, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(DocumentTest, PrintoutListsTheChannelsOnNumberedPages) {
    ChannelTable table;
    ChannelPrinter empty(table, "Untitled");
    EXPECT_TRUE(empty.PrintedRows().empty());
    QPdfWriter one(HomeFile("empty.pdf"));
    EXPECT_EQ(empty.Print(one), 1);

    for (int record = 0; record < kRecordCount; record += 2) {
        table.SetCell(record, Column::RxFreq, "146.52000");
    }
    ChannelPrinter full(table, "radio.dat");
    const std::vector<int> rows = full.PrintedRows();
    ASSERT_EQ(rows.size(), 129u);
    EXPECT_EQ(rows.front(), 0);
    EXPECT_EQ(rows.back(), 256);
    QPdfWriter many(HomeFile("full.pdf"));
    many.setPageSize(QPageSize(QPageSize::A4));
    EXPECT_GT(full.Print(many), 1);
}

TEST_F(DocumentTest, PrintPreviewShowsTheTextBeingTyped) {
    ChannelGridView* grid = frame_->view()->grid();
    grid->BeginCellEdit(grid->model()->index(0, 0));
    auto* editor = qobject_cast<QLineEdit*>(grid->OpenEditor());
    ASSERT_NE(editor, nullptr);
    editor->setText("146.52");

    const auto previewPages = [this] {
        auto pages = std::make_shared<QImage>();
        OnNextModal<QPrintPreviewDialog>([pages](QPrintPreviewDialog* preview) {
            *pages = preview->findChild<QPrintPreviewWidget*>()->grab().toImage();
            preview->reject();
        });
        frame_->action(Command::PrintPreview)->trigger();
        return *pages;
    };
    const QImage whileTyping = previewPages();
    ASSERT_FALSE(whileTyping.isNull());
    EXPECT_EQ(Rx(0), "146.52000");
    // The same preview once the text is in the grid for certain.
    frame_->view()->StoreGridToImage();
    EXPECT_TRUE(previewPages() == whileTyping);
}

}  // namespace
}  // namespace kestra::test
