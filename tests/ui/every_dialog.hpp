// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every dialog of the program, made with plausible contents, for the tests that check a rule of
// all of them at once (Tab reaches every control, the dialog fits a small screen). A dialog
// added to the program is added here once.

#include <QDialog>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/about_dialog.hpp"
#include "app/backups_dialog.hpp"
#include "app/write_preview_dialog.hpp"
#include "channels/backup_store.hpp"
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
#include "service/ui/dtmf_initialization_dialog.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"
#include "service/ui/password_dialog.hpp"
#include "service/ui/radio_information_dialog.hpp"
#include "service/ui/sql_adjust_dialog.hpp"
#include "settings/ui/dtmf_dialog.hpp"
#include "settings/ui/optional_features_dialog.hpp"
#include "settings/ui/radio_dialog.hpp"
#include "ui_test_support.hpp"

namespace kestra::test {

using DialogMaker = std::function<std::unique_ptr<QDialog>()>;

// A program home with the demo radio as the port and service mode on.
class EveryDialogTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        state_.deviceOverride = "demo";
        state_.serviceMode = true;
        settings_ = std::make_unique<SettingsFile>(Home() / "Program.ini");
        changed_ = state_.image;
        changed_.write(0x0000, std::vector<std::uint8_t>(0x400, 0x11));
        report_.rows.assign(30, {2, "1", 0, CsvRowOutcome::Changed, {std::string(300, 'x')}});
        doctor_.findings = {{FindingLevel::Problem, std::string(400, 'x')}};
        // A list with rows: a keyboard user must be able to leave it.
        for (const BackupKind kind : {BackupKind::Read, BackupKind::Write}) {
            ASSERT_TRUE(
                KeepBackup(Home() / "backups", state_.image, kind, std::chrono::system_clock::now())
                    .ok());
        }
    }

    // The dialogs by name; each call of a maker makes a new one.
    std::vector<std::pair<QString, DialogMaker>> EveryDialog() {
        const ServiceContext service{state_, messenger_, &links_};
        return {
            {"Optional Features",
             [this] { return std::make_unique<OptionalFeaturesDialog>(state_.image); }},
            {"DTMF", [this] { return std::make_unique<DtmfDialog>(state_.image, callId_); }},
            {"Radio", [this] { return std::make_unique<RadioDialog>(state_.image); }},
            {"Channel Edit",
             [this] {
                 return std::make_unique<ChannelEditDialog>(state_.image, state_.limits, 1);
             }},
            {"Batch Generate",
             [this] { return std::make_unique<BatchGenerateDialog>(state_.image, state_.limits); }},
            {"Sort Channels", [] { return std::make_unique<SortChannelsDialog>(SortOptions{}); }},
            {"Parameter Adjust",
             [service] { return std::make_unique<ParameterAdjustDialog>(service); }},
            {"Sql Adjust", [service] { return std::make_unique<SqlAdjustDialog>(service); }},
            {"DTMF Initialization",
             [service] { return std::make_unique<DtmfInitializationDialog>(service); }},
            {"Radio Information",
             [service] { return std::make_unique<RadioInformationDialog>(service); }},
            {"Password", [] { return std::make_unique<PasswordDialog>(); }},
            {"Import CSV", [this] { return std::make_unique<CsvImportDialog>(home_.path()); }},
            {"Import report",
             [this] {
                 return std::make_unique<CsvReportDialog>(QStringLiteral("Import CSV"), report_);
             }},
            {"Write preview",
             [this] {
                 return std::make_unique<WritePreviewDialog>(DiffImages(state_.image, changed_));
             }},
            {"Backups", [this] { return std::make_unique<BackupsDialog>(Home() / "backups"); }},
            {"About", [this] { return std::make_unique<AboutDialog>(Home() / "Program.ini"); }},
            {"Port",
             [this] {
                 return std::make_unique<PortDialog>(state_, *settings_,
                                                     std::vector<ComPortStatus>{});
             }},
            {"Cable check",
             [this] {
                 return std::make_unique<DoctorReportDialog>(QStringLiteral("COM1"), doctor_);
             }},
            {"Transfer",
             [this] {
                 return std::make_unique<TransferDialog>(state_, messenger_, links_,
                                                         ClonePlan::Write());
             }},
            {"Write to Several Radios",
             [this] {
                 FleetDialog::Setup setup;
                 setup.image = state_.image;
                 for (int n = 1; n <= 16; ++n) {
                     setup.ports.push_back({n, QStringLiteral("COM%1").arg(n),
                                            QStringLiteral("/dev/ttyS%1").arg(n - 1), false});
                 }
                 return std::make_unique<FleetDialog>(state_, messenger_, std::move(setup));
             }},
        };
    }

    AppState state_;
    VirtualRadio radio_;
    LinkFactory links_{&radio_};
    std::string callId_ = "100";

private:
    std::unique_ptr<SettingsFile> settings_;
    MemoryImage changed_;
    CsvImportReport report_;
    DoctorReport doctor_;
};

}  // namespace kestra::test
