// SPDX-License-Identifier: GPL-3.0-or-later
// What a start of the desktop program leaves out until it is needed: the print system (a
// printer is made by the first print command) and the desktop's icon theme (the toolbar's icons
// are the program's own drawings, drawn at the size shown; the Find bar's clear button, a theme
// icon, comes with the bar; the style's window-decoration pictures are made when first drawn,
// and look as the style draws them). Its own test program, so that no other test has printed
// before. The time a start takes is measured by bench/startup_bench.

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QPrinter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

#include "app/application.hpp"
#include "app/channel_printer.hpp"
#include "app/main_window.hpp"
#include "app/program_style.hpp"
#include "app/startup_warm_up.hpp"
#include "channels/ui/channel_find_bar.hpp"
#include "channels/ui/program_view.hpp"
#include "ui_test_support.hpp"

namespace kestra::test {
namespace {

// Whether a shared object whose path contains `part` is mapped into this process.
bool Mapped(const QString& part) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && QString::fromLatin1(maps.readAll()).contains(part);
}

using StartupTest = ShellTest;

// First in this program: nothing has read a picture yet.
TEST_F(StartupTest, TheWarmUpLoadsTheImagePluginsOnItsThread) {
    if (!QFile::exists(QStringLiteral("/proc/self/maps"))) {
        GTEST_SKIP() << "no /proc/self/maps to look at";
    }
    ASSERT_FALSE(Mapped(QStringLiteral("imageformats/")));
    StartupWarmUp warmUp;
    warmUp.ApplicationReady();
    warmUp.ApplicationReady();  // once is all it does
    warmUp.Wait();
    EXPECT_TRUE(Mapped(QStringLiteral("imageformats/")));
    warmUp.Wait();
}

TEST_F(StartupTest, TheFirstPrintCommandLoadsThePrintSystemNotTheStart) {
    if (!QFile::exists(QStringLiteral("/proc/self/maps"))) {
        GTEST_SKIP() << "no /proc/self/maps to look at";
    }
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    CMainFrame* frame = program.mainFrame();
    EXPECT_FALSE(Mapped(QStringLiteral("printsupport/"))) << "a print plugin was loaded at start";

    // The toolbar's pictures exist at the sizes a toolbar and a menu show.
    for (const CMainFrame::Command command :
         {CMainFrame::Command::New, CMainFrame::Command::Open, CMainFrame::Command::Save,
          CMainFrame::Command::Read, CMainFrame::Command::Write, CMainFrame::Command::Print,
          CMainFrame::Command::About}) {
        const QIcon icon = frame->action(command)->icon();
        EXPECT_FALSE(icon.pixmap(24, 24).isNull()) << frame->action(command)->text().toStdString();
        EXPECT_FALSE(icon.pixmap(16, 16, QIcon::Disabled).isNull());
    }

    // The Find bar is hidden at start; its clear button comes when it is first shown.
    ChannelFindBar* bar = frame->view()->findBar();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(bar->textEdit()->isClearButtonEnabled());
    frame->action(CMainFrame::Command::Find)->trigger();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->textEdit()->isClearButtonEnabled());

    // The printer is there once a print command needs it, and stays for the next one.
    PrintController printing([&]() -> const ChannelTable& { return frame->view()->table(); },
                             [] { return QStringLiteral("demo"); }, frame);
    QPrinter& printer = printing.printer();
    EXPECT_EQ(&printing.printer(), &printer);
    EXPECT_TRUE(Mapped(QStringLiteral("printsupport/")));  // what the first check looks for
}

TEST_F(StartupTest, DecorationPicturesMadeOnFirstUseAreTheStylesOwn) {
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    auto* style = qobject_cast<ProgramStyle*>(QApplication::style());
    ASSERT_NE(style, nullptr);
    QStyle* base = style->baseStyle();
    for (const QStyle::StandardPixmap which :
         {QStyle::SP_TitleBarMenuButton, QStyle::SP_TitleBarNormalButton,
          QStyle::SP_TitleBarMinButton, QStyle::SP_TitleBarMaxButton,
          QStyle::SP_TitleBarCloseButton, QStyle::SP_DockWidgetCloseButton,
          QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton,
          QStyle::SP_DialogOkButton}) {
        // Asked for with a widget that is gone before the picture is drawn.
        auto* widget = new QWidget;
        QStyleOption option;
        option.initFrom(widget);
        option.styleObject = widget;
        const QIcon icon = style->standardIcon(which, &option, widget);
        delete widget;
        const QIcon expected = base->standardIcon(which, &option, nullptr);
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
            for (const int size : {16, 24}) {
                const QImage got = icon.pixmap(size, size, mode).toImage();
                EXPECT_FALSE(got.isNull()) << which;
                EXPECT_EQ(got, expected.pixmap(size, size, mode).toImage())
                    << "picture " << which << " mode " << mode << " size " << size;
            }
        }
        EXPECT_EQ(icon.availableSizes(), expected.availableSizes()) << which;
    }
}

}  // namespace
}  // namespace kestra::test
