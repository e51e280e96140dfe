// SPDX-License-Identifier: GPL-3.0-or-later
// The program with the keyboard alone: Tab walks the main window and every dialog and reaches
// every control that takes input; no two controls of the main window, of "Write to Several
// Radios..." or items of the Program menu share an Alt letter; Tab and Shift+Tab leave the
// channel grid; after a failed transfer the keyboard is back in the document window.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "app/application.hpp"
#include "app/main_window.hpp"
#include "channels/ui/channel_find_bar.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "every_dialog.hpp"
#include "fleet/fleet_fixture.hpp"
#include "fleet/ui/fleet_dialog.hpp"
#include "link/port_names.hpp"
#include "settings/ui/dtmf_dialog.hpp"

namespace kestra {
namespace {

using test::OnNextModal;

QString Describe(const QWidget* widget) {
    QString text = QString::fromLatin1(widget->metaObject()->className());
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        text += QStringLiteral(" \"%1\"").arg(button->text());
    } else if (!widget->objectName().isEmpty()) {
        text += QStringLiteral(" %1").arg(widget->objectName());
    }
    return text;
}

// Whether Tab should stop at the widget: shown, enabled, taking focus from Tab, not standing in
// for another widget, and not an unchecked radio button of a group (the arrows reach those).
bool TakesTabFocus(const QWidget* widget, const QWidget* window) {
    // A sub-window hands its focus on to the widget it holds.
    if (qobject_cast<const QMdiSubWindow*>(widget) != nullptr || !widget->isVisibleTo(window) ||
        !widget->isEnabled() || (widget->focusPolicy() & Qt::TabFocus) == 0 ||
        widget->focusProxy() != nullptr) {
        return false;
    }
    const auto* radio = qobject_cast<const QRadioButton*>(widget);
    return radio == nullptr || radio->isChecked() || !radio->autoExclusive();
}

// Presses Tab until the focus comes back to where it started, and returns the controls that
// take input but were never reached.
QStringList UnreachedByTab(QWidget* window) {
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    QSet<QWidget*> reached;
    QWidget* start = QApplication::focusWidget();
    for (int press = 0; press < 400; ++press) {
        QWidget* now = QApplication::focusWidget();
        if (now == nullptr) {
            break;
        }
        reached.insert(now);
        if (qEnvironmentVariableIsSet("KESTRA_TAB_TRACE")) {
            qInfo("tab %d: %s (in %s)", press, qPrintable(Describe(now)),
                  now->parentWidget() ? now->parentWidget()->metaObject()->className() : "-");
        }
        // Tab walks a grid cell by cell; a user goes to its last cell (Ctrl+End) to leave it.
        if (auto* grid = qobject_cast<QAbstractItemView*>(now); grid && grid->model()) {
            const QAbstractItemModel* model = grid->model();
            grid->setCurrentIndex(model->index(model->rowCount() - 1, model->columnCount() - 1));
        }
        QTest::keyClick(now, Qt::Key_Tab);
        if (QApplication::focusWidget() == start) {
            break;
        }
    }
    QStringList missing;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (TakesTabFocus(widget, window) && !reached.contains(widget)) {
            missing << Describe(widget);
        }
    }
    return missing;
}

using KeyboardTest = test::EveryDialogTest;

TEST_F(KeyboardTest, TabReachesEveryControlOfTheMainWindow) {
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    CMainFrame* frame = program.mainFrame();
    frame->resize(1280, 720);
    EXPECT_EQ(UnreachedByTab(frame).join(", ").toStdString(), "");

    // The Find bar, made when first opened, comes in the Tab order where it stands: after the
    // form's buttons.
    frame->action(CMainFrame::Command::Find)->trigger();
    // (From the grid: Tab into the document window returns to the control last used there.)
    frame->view()->grid()->setFocus();
    EXPECT_EQ(UnreachedByTab(frame).join(", ").toStdString(), "");
    QPushButton* channelEdit = frame->view()->channelEditButton();
    channelEdit->setFocus();
    QTest::keyClick(channelEdit, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), frame->view()->findBar()->textEdit());
}

TEST_F(KeyboardTest, TabReachesEveryControlOfEachDialog) {
    for (const auto& [name, make] : EveryDialog()) {
        const std::unique_ptr<QDialog> dialog = make();
        EXPECT_EQ(UnreachedByTab(dialog.get()).join(", ").toStdString(), "") << qPrintable(name);
    }
    // The DTMF dialog: every page in turn.
    DtmfDialog dtmf(state_.image, callId_);
    for (int page = 0; page < dtmf.tabs()->count(); ++page) {
        dtmf.tabs()->setCurrentIndex(page);
        EXPECT_EQ(UnreachedByTab(&dtmf).join(", ").toStdString(), "") << "DTMF page " << page;
    }
}

// The letter after '&' in a text, upper case, or nothing.
QChar Mnemonic(const QString& text) {
    for (qsizetype at = text.indexOf(u'&'); at >= 0 && at + 1 < text.size();
         at = text.indexOf(u'&', at + 2)) {
        if (text[at + 1] != u'&') {
            return text[at + 1].toUpper();
        }
    }
    return {};
}

// The texts of the window's visible buttons, group boxes and labels with a buddy, and of the
// actions given, by their Alt letter.
QMap<QChar, QStringList> AltLetters(QWidget* window, const QList<QAction*>& actions = {}) {
    QMap<QChar, QStringList> users;
    for (const QAction* action : actions) {
        users[Mnemonic(action->text())] << action->text();
    }
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window)) {
            continue;
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            users[Mnemonic(button->text())] << button->text();
        } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
            users[Mnemonic(group->title())] << group->title();
        } else if (const auto* label = qobject_cast<const QLabel*>(widget);
                   label && label->buddy()) {
            users[Mnemonic(label->text())] << label->text();
        }
    }
    users.remove(QChar());
    return users;
}

// The letters that two or more texts share: two controls with one letter make Alt+letter cycle
// between them instead of acting.
QStringList SharedLetters(const QMap<QChar, QStringList>& users) {
    QStringList shared;
    for (auto it = users.cbegin(); it != users.cend(); ++it) {
        if (it.value().size() > 1) {
            shared << QStringLiteral("%1: %2").arg(it.key()).arg(
                it.value().join(QStringLiteral(", ")));
        }
    }
    return shared;
}

TEST_F(KeyboardTest, AltLettersOfTheMainWindowAreEachUsedOnce) {
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    CMainFrame* frame = program.mainFrame();
    frame->show();
    frame->view()->rowAction(CProgramView::RowCommand::Find)->trigger();
    ASSERT_TRUE(frame->view()->findBar()->isVisible());
    EXPECT_EQ(
        SharedLetters(AltLetters(frame, frame->menuBar()->actions())).join("; ").toStdString(), "");
}

TEST_F(KeyboardTest, EveryProgramMenuItemHasAnAltLetterOfItsOwn) {
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    const QList<QAction*> menus = program.mainFrame()->menuBar()->actions();
    const auto found = std::find_if(menus.begin(), menus.end(), [](const QAction* menu) {
        return menu->text() == QStringLiteral("&Program");
    });
    ASSERT_NE(found, menus.end());
    const QList<QAction*> items = (*found)->menu()->actions();
    QMap<QChar, QStringList> letters;
    for (const QAction* item : items) {
        EXPECT_FALSE(Mnemonic(item->text()).isNull()) << qPrintable(item->text());
        letters[Mnemonic(item->text())] << item->text();
    }
    EXPECT_EQ(SharedLetters(letters).join("; ").toStdString(), "");
}

TEST_F(KeyboardTest, TheFleetDialogIsWalkedByTabWithOneAltLetterPerControl) {
    test::FleetRadios radios(2);
    FleetDialog::Setup setup;
    setup.image = state_.image;
    for (int n = 1; n <= 2; ++n) {
        setup.ports.push_back({n, QStringLiteral("COM%1").arg(n),
                               QString::fromStdString(test::FleetRadios::Device(n - 1)), true});
    }
    setup.demoRadio = true;
    setup.lines = radios.Lines();
    FleetDialog dialog(state_, messenger_, std::move(setup));
    dialog.ownIdBox()->setChecked(true);
    dialog.ownIdEdit()->setText(QStringLiteral("101"));
    dialog.portBox(0)->setChecked(true);
    dialog.portBox(1)->setChecked(true);
    EXPECT_EQ(UnreachedByTab(&dialog).join(", ").toStdString(), "") << "before a run";
    EXPECT_EQ(SharedLetters(AltLetters(&dialog)).join("; ").toStdString(), "");

    // Once the radios have run, the result table and its buttons join the walk.
    QSignalSpy finished(&dialog, &FleetDialog::runFinished);
    dialog.startButton()->click();
    ASSERT_TRUE(messenger_.messages.empty()) << messenger_.messages.front();
    ASSERT_TRUE(finished.wait(60000));
    ASSERT_TRUE(dialog.resultTable()->isVisibleTo(&dialog));
    EXPECT_EQ(UnreachedByTab(&dialog).join(", ").toStdString(), "") << "after a run";
    EXPECT_EQ(SharedLetters(AltLetters(&dialog)).join("; ").toStdString(), "");
}

TEST_F(KeyboardTest, TabAndShiftTabLeaveTheGridAtItsEnds) {
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    CMainFrame* frame = program.mainFrame();
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    ChannelGridView* grid = frame->view()->grid();
    const QAbstractItemModel* model = grid->model();
    grid->setFocus();
    grid->setCurrentIndex(model->index(5, 2));
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_EQ(grid->currentIndex(), model->index(5, 3)) << "Tab moves on within the grid";
    EXPECT_EQ(QApplication::focusWidget(), grid);

    grid->setCurrentIndex(model->index(model->rowCount() - 1, model->columnCount() - 1));
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), grid) << "Tab at the last cell leaves the grid";
    grid->setFocus();
    grid->setCurrentIndex(model->index(0, 0));
    QTest::keyClick(grid, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_NE(QApplication::focusWidget(), grid) << "Shift+Tab at the first cell leaves it";
}

}  // namespace
}  // namespace kestra
