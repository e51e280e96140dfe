// SPDX-License-Identifier: GPL-3.0-or-later
// The program with the keyboard alone: Tab walks the main window and every dialog and reaches
// every control that takes input; Tab and Shift+Tab leave the channel grid; after a failed
// transfer the keyboard is back in the document window.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/about_dialog.hpp"
#include "app/application.hpp"
#include "app/backups_dialog.hpp"
#include "app/main_window.hpp"
#include "channels/ui/batch_generate_dialog.hpp"
#include "channels/ui/channel_edit_dialog.hpp"
#include "channels/ui/channel_find_bar.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/csv_import_dialog.hpp"
#include "channels/ui/sort_channels_dialog.hpp"
#include "link/device/link_factory.hpp"
#include "link/port_names.hpp"
#include "link/ui/port_dialog.hpp"
#include "link/ui/transfer_dialog.hpp"
#include "model/settings_file.hpp"
#include "service/ui/dtmf_initialization_dialog.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"
#include "service/ui/password_dialog.hpp"
#include "service/ui/radio_information_dialog.hpp"
#include "service/ui/sql_adjust_dialog.hpp"
#include "settings/ui/dtmf_dialog.hpp"
#include "settings/ui/optional_features_dialog.hpp"
#include "settings/ui/radio_dialog.hpp"
#include "ui_test_support.hpp"

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

class KeyboardTest : public test::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        state_.deviceOverride = "demo";
        state_.serviceMode = true;
    }

    AppState state_;
    VirtualRadio radio_;
    LinkFactory links_{&radio_};
};

TEST_F(KeyboardTest, TabReachesEveryControlOfTheMainWindow) {
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    CMainFrame* frame = program.mainFrame();
    frame->resize(1280, 720);
    EXPECT_EQ(UnreachedByTab(frame).join(", ").toStdString(), "");
}

TEST_F(KeyboardTest, TabReachesEveryControlOfEachDialog) {
    std::string callId = "100";
    const ServiceContext service{state_, messenger_, &links_};
    SettingsFile settings(Home() / "Program.ini");
    const std::vector<std::pair<QString, std::function<std::unique_ptr<QDialog>()>>> dialogs{
        {"Optional Features",
         [&] { return std::make_unique<OptionalFeaturesDialog>(state_.image); }},
        {"Radio", [&] { return std::make_unique<RadioDialog>(state_.image); }},
        {"Channel Edit",
         [&] { return std::make_unique<ChannelEditDialog>(state_.image, state_.limits, 1); }},
        {"Batch",
         [&] { return std::make_unique<BatchGenerateDialog>(state_.image, state_.limits); }},
        {"Parameter Adjust", [&] { return std::make_unique<ParameterAdjustDialog>(service); }},
        {"Sql Adjust", [&] { return std::make_unique<SqlAdjustDialog>(service); }},
        {"DTMF Initialization",
         [&] { return std::make_unique<DtmfInitializationDialog>(service); }},
        {"Radio Information", [&] { return std::make_unique<RadioInformationDialog>(service); }},
        {"Sort Channels", [] { return std::make_unique<SortChannelsDialog>(SortOptions{}); }},
        {"Password", [] { return std::make_unique<PasswordDialog>(); }},
        {"Import CSV", [&] { return std::make_unique<CsvImportDialog>(home_.path()); }},
        {"Backups", [&] { return std::make_unique<BackupsDialog>(Home() / "backups"); }},
        {"About", [&] { return std::make_unique<AboutDialog>(Home() / "Program.ini"); }},
        {"Port",
         [&] {
             return std::make_unique<PortDialog>(state_, settings, std::vector<ComPortStatus>{});
         }},
        {"Transfer",
         [&] {
             return std::make_unique<TransferDialog>(state_, messenger_, links_,
                                                     ClonePlan::Write());
         }},
    };
    for (const auto& [name, make] : dialogs) {
        const std::unique_ptr<QDialog> dialog = make();
        EXPECT_EQ(UnreachedByTab(dialog.get()).join(", ").toStdString(), "") << qPrintable(name);
    }
    // The DTMF dialog: every page in turn.
    DtmfDialog dtmf(state_.image, callId);
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

TEST_F(KeyboardTest, AltLettersOfTheMainWindowAreEachUsedOnce) {
    // Two controls with one letter make Alt+letter cycle between them instead of acting.
    KestraApplication program(&messenger_, &prompts_);
    program.Start({});
    CMainFrame* frame = program.mainFrame();
    frame->show();
    frame->view()->rowAction(CProgramView::RowCommand::Find)->trigger();
    ASSERT_TRUE(frame->view()->findBar()->isVisible());
    QMap<QChar, QStringList> users;
    for (QAction* menu : frame->menuBar()->actions()) {
        users[Mnemonic(menu->text())] << menu->text();
    }
    for (QWidget* widget : frame->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(frame)) {
            continue;
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            users[Mnemonic(button->text())] << button->text();
        } else if (const auto* label = qobject_cast<const QLabel*>(widget);
                   label && label->buddy()) {
            users[Mnemonic(label->text())] << label->text();
        }
    }
    users.remove(QChar());
    for (auto it = users.cbegin(); it != users.cend(); ++it) {
        EXPECT_EQ(it.value().size(), 1) << qPrintable(it.value().join(", "));
    }
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
