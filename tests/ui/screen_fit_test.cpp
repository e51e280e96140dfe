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

#include <functional>
#include <memory>

#include "app/about_dialog.hpp"
#include "app/application.hpp"
#include "app/backups_dialog.hpp"
#include "app/main_window.hpp"
#include "app/write_preview_dialog.hpp"
#include "channels/ui/batch_generate_dialog.hpp"
#include "channels/ui/channel_edit_dialog.hpp"
#include "channels/ui/csv_import_dialog.hpp"
#include "channels/ui/csv_report_dialog.hpp"
#include "channels/ui/sort_channels_dialog.hpp"
#include "fleet/ui/fleet_dialog.hpp"
#include "link/device/link_factory.hpp"
#include "link/ui/doctor_report_dialog.hpp"
#include "link/ui/port_dialog.hpp"
#include "link/ui/transfer_dialog.hpp"
#include "model/settings_file.hpp"
#include "review/image_diff.hpp"
#include "service/ui/calibration_grid_widget.hpp"
#include "service/ui/curve_chart_widget.hpp"
#include "service/ui/dtmf_initialization_dialog.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"
#include "service/ui/radio_information_dialog.hpp"
#include "service/ui/sql_adjust_dialog.hpp"
#include "settings/ui/dtmf_dialog.hpp"
#include "settings/ui/optional_features_dialog.hpp"
#include "settings/ui/radio_dialog.hpp"
#include "ui_test_support.hpp"

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

class ScreenFitTest : public test::ShellTest {
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

TEST_F(ScreenFitTest, EveryWindowFitsA1024x600Screen) {
    std::string callId = "100";
    const ServiceContext service{state_, messenger_, &links_};
    SettingsFile settings(Home() / "Program.ini");
    MemoryImage changed = state_.image;
    changed.write(0x0000, std::vector<std::uint8_t>(0x400, 0x11));
    CsvImportReport report;
    report.rows.assign(30, {2, "1", 0, CsvRowOutcome::Changed, {std::string(300, 'x')}});
    const std::vector<std::pair<QString, std::function<std::unique_ptr<QDialog>()>>> dialogs{
        {"Optional Features",
         [&] { return std::make_unique<OptionalFeaturesDialog>(state_.image); }},
        {"DTMF", [&] { return std::make_unique<DtmfDialog>(state_.image, callId); }},
        {"Radio", [&] { return std::make_unique<RadioDialog>(state_.image); }},
        {"Channel Edit",
         [&] { return std::make_unique<ChannelEditDialog>(state_.image, state_.limits, 1); }},
        {"Batch Generate",
         [&] { return std::make_unique<BatchGenerateDialog>(state_.image, state_.limits); }},
        {"Sort Channels", [] { return std::make_unique<SortChannelsDialog>(SortOptions{}); }},
        {"Parameter Adjust", [&] { return std::make_unique<ParameterAdjustDialog>(service); }},
        {"Sql Adjust", [&] { return std::make_unique<SqlAdjustDialog>(service); }},
        {"DTMF Initialization",
         [&] { return std::make_unique<DtmfInitializationDialog>(service); }},
        {"Radio Information", [&] { return std::make_unique<RadioInformationDialog>(service); }},
        {"Import CSV", [&] { return std::make_unique<CsvImportDialog>(home_.path()); }},
        {"Import report",
         [&] { return std::make_unique<CsvReportDialog>(QStringLiteral("Import CSV"), report); }},
        {"Write preview",
         [&] { return std::make_unique<WritePreviewDialog>(DiffImages(state_.image, changed)); }},
        {"Backups", [&] { return std::make_unique<BackupsDialog>(Home() / "backups"); }},
        {"About", [&] { return std::make_unique<AboutDialog>(Home() / "Program.ini"); }},
        {"Port",
         [&] {
             return std::make_unique<PortDialog>(state_, settings, std::vector<ComPortStatus>{});
         }},
        {"Cable check",
         [&] {
             DoctorReport doctor;
             doctor.findings = {{FindingLevel::Problem, std::string(400, 'x')}};
             return std::make_unique<DoctorReportDialog>(QStringLiteral("COM1"), doctor);
         }},
        {"Transfer",
         [&] {
             return std::make_unique<TransferDialog>(state_, messenger_, links_,
                                                     ClonePlan::Write());
         }},
        {"Write to Several Radios",
         [&] {
             FleetDialog::Setup setup;
             setup.image = state_.image;
             for (int n = 1; n <= 16; ++n) {
                 setup.ports.push_back({n, QStringLiteral("COM%1").arg(n),
                                        QStringLiteral("/dev/ttyS%1").arg(n - 1), false});
             }
             return std::make_unique<FleetDialog>(state_, messenger_, std::move(setup));
         }},
    };
    const auto expectFits = [](QWidget& window, const QString& name) {
        const QSize smallest = SmallestSize(window);
        EXPECT_TRUE(kSmallScreenClient.expandedTo(smallest) == kSmallScreenClient)
            << qPrintable(name) << " needs at least " << smallest.width() << "x"
            << smallest.height();
    };
    for (const auto& [name, make] : dialogs) {
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
