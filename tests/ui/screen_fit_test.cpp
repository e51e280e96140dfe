// SPDX-License-Identifier: GPL-3.0-or-later
// Small screens: the main window and every dialog fit a 1024x600 screen once a taskbar and the
// window manager's frame are taken off; Print Preview opens inside the screen's free area.

#include <QDialog>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include <memory>

#include "app/application.hpp"
#include "app/main_window.hpp"
#include "every_dialog.hpp"
#include "service/ui/calibration_grid_widget.hpp"
#include "service/ui/curve_chart_widget.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"

namespace kestra {
namespace {

// What a 1024x600 screen leaves a window's contents: a 40-pixel taskbar, a 30-pixel title bar
// and 4-pixel borders.
constexpr QSize kSmallScreenClient(1024 - 2 * 4, 600 - 40 - 30 - 2 * 4);

// The smallest size the widget's layout lets it take.
QSize SmallestSize(QWidget& widget) {
    widget.ensurePolished();
    if (widget.layout() != nullptr) {
        widget.layout()->activate();
    }
    return widget.minimumSize().expandedTo(widget.minimumSizeHint());
}

using ScreenFitTest = test::EveryDialogTest;

TEST_F(ScreenFitTest, EveryWindowFitsA1024x600Screen) {
    const auto expectFits = [](QWidget& window, const QString& name) {
        const QSize smallest = SmallestSize(window);
        EXPECT_TRUE(kSmallScreenClient.expandedTo(smallest) == kSmallScreenClient)
            << qPrintable(name) << " needs at least " << smallest.width() << "x"
            << smallest.height();
    };
    for (const auto& [name, make] : EveryDialog()) {
        expectFits(*make(), name);
    }
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    expectFits(*program.mainFrame(), QStringLiteral("the main window"));
}

// On a small screen the curves fold below the grids and the dialog scrolls, with Read and Write
// always in view; on a large one the curves stand beside the grids, as the dialog was drawn.
TEST_F(ScreenFitTest, ParameterAdjustFoldsItsCurvesBelowTheGridsWhenNarrow) {
    ParameterAdjustDialog dialog(ServiceContext{state_, messenger_, &links_});
    const auto top = [&dialog](const QWidget* widget) {
        return QRect(widget->mapTo(&dialog, QPoint(0, 0)), widget->size());
    };
    dialog.resize(kSmallScreenClient);
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog.curvesBeside());
    EXPECT_GE(top(dialog.sqlChart()).top(), top(dialog.grid(GridId::SquelchDetection)).bottom());
    EXPECT_GT(dialog.scrollArea()->verticalScrollBar()->maximum(), 0) << "the rest scrolls";
    for (const QPushButton* button : {dialog.readButton(), dialog.writeButton()}) {
        EXPECT_TRUE(dialog.rect().contains(top(button)));
        EXPECT_FALSE(dialog.scrollArea()->isAncestorOf(button));
    }

    dialog.resize(1600, 900);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialog.curvesBeside());
    EXPECT_GE(top(dialog.sqlChart()).left(), top(dialog.grid(GridId::Power)).right());
    EXPECT_EQ(dialog.scrollArea()->verticalScrollBar()->maximum(), 0);
}

// The dialogs whose natural size outgrows a small screen open inside its free area when the
// program opens them (the offscreen screen is 800x600).
TEST_F(ScreenFitTest, PrintPreviewAndParameterAdjustOpenInsideTheScreen) {
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    program.state().serviceMode = true;
    CMainFrame* frame = program.mainFrame();
    const QRect free = frame->screen()->availableGeometry();
    for (const CMainFrame::Command command :
         {CMainFrame::Command::PrintPreview, CMainFrame::Command::ParamAdjust}) {
        auto opened = std::make_shared<QRect>();
        test::OnNextModal<QDialog>([opened](QDialog* dialog) {
            *opened = dialog->frameGeometry();
            dialog->reject();
        });
        frame->action(command)->setEnabled(true);
        frame->action(command)->trigger();
        EXPECT_FALSE(opened->isEmpty());
        EXPECT_TRUE(free.contains(*opened)) << opened->width() << "x" << opened->height() << " at "
                                            << opened->x() << "," << opened->y();
    }
}

}  // namespace
}  // namespace kestra
