// SPDX-License-Identifier: GPL-3.0-or-later
// Window sizes: the document window fills the MDI area and
// follows it, and the grid's columns share the width, at 1280x720 and on a large screen.

#include <QMdiArea>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "app/application.hpp"
#include "app/child_frame.hpp"
#include "app/main_window.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/program_view.hpp"
#include "ui_test_support.hpp"

namespace kestra::test {
namespace {

class WindowSizeTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        program_ = std::make_unique<KestraApplication>(&messenger_, &prompts_);
        program_->Start({});
        frame_ = program_->mainFrame();
    }

    // Gives the main window a size and waits until the MDI area has taken its share of it.
    void ResizeMainWindow(const QSize& size) {
        frame_->showNormal();
        frame_->resize(size);
        QWidget* area = frame_->mdiArea()->viewport();
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return frame_->size() == size && frame_->childFrame()->geometry() == area->rect();
        }));
    }

    // Whether the widget lies wholly inside the visible part of the MDI area.
    bool FullyShown(const QWidget* widget) const {
        QWidget* area = frame_->mdiArea()->viewport();
        const QRect rect(widget->mapTo(area, QPoint(0, 0)), widget->size());
        return widget->isVisible() && area->rect().contains(rect);
    }

    int ColumnsWidth() const {
        const ChannelGridView* grid = frame_->view()->grid();
        int total = 0;
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            total += grid->columnWidth(c);
        }
        return total;
    }

    std::unique_ptr<KestraApplication> program_;
    CMainFrame* frame_ = nullptr;
};

TEST_F(WindowSizeTest, At1280x720NothingIsCutOffAndALargeWindowGivesTheGridItsWidth) {
    ResizeMainWindow(QSize(1280, 720));
    CProgramView* view = frame_->view();
    ChannelGridView* grid = view->grid();
    EXPECT_TRUE(FullyShown(view->channelEditButton()));
    EXPECT_TRUE(FullyShown(view->batchGenerateButton()));
    EXPECT_TRUE(FullyShown(grid));
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    EXPECT_EQ(ColumnsWidth(), grid->viewport()->width());
    const int narrowRx = grid->columnWidth(0);

    ResizeMainWindow(QSize(1920, 1080));
    EXPECT_TRUE(FullyShown(grid));
    EXPECT_EQ(ColumnsWidth(), grid->viewport()->width());
    EXPECT_GT(grid->columnWidth(0), narrowRx);

    // A document window the user sized himself keeps its size.
    frame_->childFrame()->resize(700, 400);
    frame_->resize(1280, 720);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame_->childFrame()->size(), QSize(700, 400));
}

}  // namespace
}  // namespace kestra::test
