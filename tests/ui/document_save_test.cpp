// SPDX-License-Identifier: GPL-3.0-or-later
// Saving from the desktop program onto a file the user may not replace: the refusal reaches the
// user in a message box, the file on disk stays as it was and the document stays modified, so
// the work can still be saved elsewhere.

#include <QAbstractItemModel>
#include <QAction>

#include <sys/stat.h>

#include <filesystem>

#include "app/application.hpp"
#include "app/main_window.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "ui_test_support.hpp"

namespace kestra::test {
namespace {

using Command = CMainFrame::Command;

class DocumentSaveTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        program_ = std::make_unique<KestraApplication>(&messenger_, &prompts_);
        program_->Start({});
        frame_ = program_->mainFrame();
        QAbstractItemModel* grid = frame_->view()->grid()->model();
        ASSERT_TRUE(grid->setData(grid->index(0, 0), QStringLiteral("146.52"), Qt::EditRole));
    }

    std::unique_ptr<KestraApplication> program_;
    CMainFrame* frame_ = nullptr;
};

TEST_F(DocumentSaveTest, ReadOnlyFileIsNotReplacedAndTheUserIsTold) {
    const std::filesystem::path path = Home() / "radio.dat";
    WriteFile(path, "kept");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    prompts_.savePath = HomeFile("radio.dat");

    frame_->action(Command::SaveAs)->trigger();

    ASSERT_EQ(messenger_.messages.size(), 1u);
    EXPECT_EQ(messenger_.messages[0], "Cannot save \"" + path.string() +
                                          "\": the file is read-only. Nothing was saved; make "
                                          "the file writable and try again.");
    EXPECT_EQ(ReadFile(path), "kept");
    EXPECT_TRUE(frame_->documents()->isModified());

    // Made writable, the same file takes the save.
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    frame_->action(Command::SaveAs)->trigger();
    EXPECT_EQ(messenger_.messages.size(), 1u);
    EXPECT_EQ(ReadFile(path).size(), kImageSize);
    EXPECT_FALSE(frame_->documents()->isModified());
}

TEST_F(DocumentSaveTest, LinkLoopIsReportedAndDanglingLinkSavedThrough) {
    std::filesystem::create_symlink("loop.dat", Home() / "loop.dat");
    prompts_.savePath = HomeFile("loop.dat");
    frame_->action(Command::SaveAs)->trigger();
    ASSERT_EQ(messenger_.messages.size(), 1u);
    EXPECT_NE(messenger_.messages[0].find("symbolic links lead round in a circle"),
              std::string::npos)
        << messenger_.messages[0];
    EXPECT_TRUE(std::filesystem::is_symlink(Home() / "loop.dat"));
    EXPECT_TRUE(frame_->documents()->isModified());

    std::filesystem::create_symlink("target.dat", Home() / "link.dat");
    prompts_.savePath = HomeFile("link.dat");
    frame_->action(Command::SaveAs)->trigger();
    EXPECT_EQ(messenger_.messages.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_symlink(Home() / "link.dat"));
    EXPECT_EQ(ReadFile(Home() / "target.dat").size(), kImageSize);
}

}  // namespace
}  // namespace kestra::test
