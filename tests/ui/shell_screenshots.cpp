// SPDX-License-Identifier: GPL-3.0-or-later
// Offscreen pictures of the desktop program for checking its look: the main window with the
// demo radio's channels, the transfer dialog (also with the demo radio as the port), the Port
// dialog, the About box (from Program.ini and built in), the settings dialogs (every DTMF page),
// the print preview, the four service dialogs after a Read from the demo radio, the cable check
// of the demo radio, Import CSV with its report, the summary before a write, a comparison in
// words, the list of backups and "Write to Several Radios..." after a run with three radios;
// the Sort Channels dialog, the grid's context menu and the Find bar (list_screenshots.cpp).
// With --screen, on a real display, pictures of the whole screen with the main window and the
// large dialogs as a user opens them (screen_screenshots.cpp).
//
//   shell_screenshots [--screen] OUTPUT_DIR     (run by scripts/screenshots)

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

#include "app/about_dialog.hpp"
#include "app/application.hpp"
#include "app/backups_dialog.hpp"
#include "app/channel_printer.hpp"
#include "app/main_window.hpp"
#include "app/write_preview_dialog.hpp"
#include "channels/backup_store.hpp"
#include "channels/ui/batch_generate_dialog.hpp"
#include "channels/ui/channel_edit_dialog.hpp"
#include "channels/ui/csv_import_dialog.hpp"
#include "channels/ui/csv_report_dialog.hpp"
#include "channels/ui/program_view.hpp"
#include "fleet/fleet_fixture.hpp"
#include "fleet/ui/fleet_dialog.hpp"
#include "link/clone_session.hpp"
#include "link/device/link_factory.hpp"
#include "link/port_names.hpp"
#include "link/ui/doctor_report_dialog.hpp"
#include "link/ui/port_dialog.hpp"
#include "link/ui/threaded_transfer.hpp"
#include "link/ui/transfer_dialog.hpp"
#include "model/settings_file.hpp"
#include "review/image_diff.hpp"
#include "settings/ui/dtmf_dialog.hpp"
#include "settings/ui/optional_features_dialog.hpp"
#include "settings/ui/radio_dialog.hpp"
#include "ui/screenshot_support.hpp"

namespace kestra::screenshots {
// screen_screenshots.cpp
bool SaveScreenPictures(KestraApplication& program, const QDir& out);
}  // namespace kestra::screenshots

namespace {

using kestra::screenshots::Save;
using kestra::screenshots::SilentMessenger;

// The settings dialogs, every DTMF page on its own picture. They work on a copy of the image,
// so that taking their pictures changes nothing.
bool SaveSettingsDialogs(kestra::KestraApplication& program, QWidget* frame, const QDir& out) {
    bool ok = true;
    kestra::MemoryImage scratch = program.state().image;
    std::string callId = program.state().autoDialCallId;
    // A few broadcast stations (kHz in BCD) and a stored code, so the grids show something.
    scratch.write(0x2F80, std::vector<std::uint8_t>{0x00, 0x75, 0x08});
    scratch.write(0x2F88, std::vector<std::uint8_t>{0x00, 0x75, 0x08, 0xFF, 0x00, 0x81, 0x09, 0xFF,
                                                    0x00, 0x17, 0x10, 0xFF});
    scratch.write(0x20F0, std::vector<std::uint8_t>{1, 2, 3, 14, 1, 0, 0});
    {
        kestra::OptionalFeaturesDialog features(scratch, frame);
        features.show();
        ok = Save(features, out, QStringLiteral("optional-features.png")) && ok;
        features.hide();
    }
    {
        kestra::DtmfDialog dtmf(scratch, callId, frame);
        dtmf.show();
        const QString pages[] = {QStringLiteral("dtmf-encode.png"),
                                 QStringLiteral("dtmf-decode.png"),
                                 QStringLiteral("dtmf-auto-dial.png")};
        for (int page = 0; page < kestra::DtmfDialog::PageCount; ++page) {
            dtmf.tabs()->setCurrentIndex(page);
            ok = Save(dtmf, out, pages[page]) && ok;
        }
        dtmf.hide();
    }
    {
        kestra::RadioDialog radio(scratch, frame);
        radio.show();
        ok = Save(radio, out, QStringLiteral("radio.png")) && ok;
        radio.hide();
    }
    return ok;
}

// Channel Edit on a stored channel and on an empty one, and the batch dialog, on a copy of the
// image.
bool SaveChannelDialogs(kestra::KestraApplication& program, QWidget* frame, const QDir& out) {
    bool ok = true;
    kestra::MemoryImage scratch = program.state().image;
    const kestra::SectionLimits& limits = program.state().limits;
    for (const auto& [number, name] : {std::pair{1, QStringLiteral("channel-edit.png")},
                                       std::pair{200, QStringLiteral("channel-edit-empty.png")}}) {
        kestra::ChannelEditDialog edit(scratch, limits, number, frame);
        edit.show();
        ok = Save(edit, out, name) && ok;
        edit.hide();
    }
    kestra::BatchGenerateDialog batch(scratch, limits, frame);
    batch.show();
    ok = Save(batch, out, QStringLiteral("batch-generate.png")) && ok;
    batch.hide();
    return ok;
}

// The transfer dialog, for a real port and for the demo radio, and the Port dialog on a machine
// with one USB cable (COM1) while the demo radio is in use.
bool SaveLinkDialogs(kestra::KestraApplication& program, kestra::Messenger& messenger,
                     const QDir& out) {
    kestra::CMainFrame* frame = program.mainFrame();
    kestra::LinkFactory links;
    kestra::TransferDialog transfer(program.state(), messenger, links, kestra::ClonePlan::Read(),
                                    frame);
    transfer.show();
    bool ok = Save(transfer, out, QStringLiteral("transfer-dialog.png"));
    transfer.hide();

    kestra::AppState demoState;
    demoState.deviceOverride = "demo";
    kestra::TransferDialog demoTransfer(demoState, messenger, links, kestra::ClonePlan::Write(),
                                        frame);
    demoTransfer.show();
    ok = Save(demoTransfer, out, QStringLiteral("transfer-dialog-demo.png")) && ok;
    demoTransfer.hide();

    std::vector<kestra::ComPortStatus> ports;
    for (int n = 1; n <= kestra::kPortCount; ++n) {
        ports.push_back({n, QString::fromStdString(kestra::PortNameForNumber(n)),
                         QString::fromStdString(kestra::DeviceForPortNumber(n)), n == 1});
    }
    kestra::SettingsFile settings(program.settings().Path());
    kestra::PortDialog port(demoState, settings, ports, {}, frame);
    port.show();
    ok = Save(port, out, QStringLiteral("port-dialog.png")) && ok;
    port.hide();

    kestra::DoctorReport report;
    report.findings = {
        {kestra::FindingLevel::Note,
         "Serial device /dev/ttyUSB0 (/dev/serial/by-id/usb-1a86_USB"
         "_Serial-if00-port0): USB 1a86:7523 CH340, driver ch341."},
        {kestra::FindingLevel::Problem,
         "You may not open /dev/ttyUSB0: it belongs to the group dialout. Join it with: sudo "
         "usermod -aG dialout $USER, then log out and in again."},
        {kestra::FindingLevel::Good, "Nothing else holds /dev/ttyUSB0 open."}};
    kestra::DoctorReportDialog check(QStringLiteral("COM1"), report, frame);
    check.show();
    ok = Save(check, out, QStringLiteral("cable-check.png")) && ok;
    check.hide();
    return ok;
}

// Two backups, a day apart, for the list of backups.
void KeepSampleBackups(const kestra::MemoryImage& image, const kestra::MemoryImage& changed) {
    const auto now = std::chrono::system_clock::now();
    kestra::KeepBackup(kestra::BackupDirectory(), image, kestra::BackupKind::Read,
                       now - std::chrono::hours(26));
    kestra::KeepBackup(kestra::BackupDirectory(), changed, kestra::BackupKind::Write, now);
}

// Import CSV with its report, the summary before a write and the list of backups.
bool SaveInterchangeDialogs(kestra::KestraApplication& program, QWidget* parent, const QDir& out) {
    kestra::CsvImportDialog import(QDir::homePath(), parent);
    import.pathEdit()->setText(QStringLiteral("/home/ham/repeaters.csv"));
    import.show();
    bool ok = Save(import, out, QStringLiteral("import-csv.png"));
    import.hide();

    kestra::MemoryImage scratch = program.state().image;
    const kestra::CsvImportResult imported = kestra::ImportChannelsCsv(
        "Location,Name,Frequency,Duplex,Offset,Power\n1,Repeater,145.6,-,0.6,5.0W\n"
        "2,AIR,121.5,,,1.0W\n3,CALL,146.52,,,1.0W\n4,HOTSPOT,438.8,,,1.0W\n",
        scratch, program.state().limits, {});
    kestra::CsvReportDialog report(QStringLiteral("Import CSV"), imported.report, parent);
    report.show();
    ok = Save(report, out, QStringLiteral("import-report.png")) && ok;
    report.hide();

    kestra::WritePreviewDialog preview(kestra::DiffImages(program.state().image, scratch), parent);
    preview.show();
    ok = Save(preview, out, QStringLiteral("write-preview.png")) && ok;
    preview.hide();

    KeepSampleBackups(program.state().image, scratch);
    kestra::BackupsDialog backups(kestra::BackupDirectory(), parent);
    backups.show();
    ok = Save(backups, out, QStringLiteral("backups.png")) && ok;
    backups.hide();
    return ok;
}

// "Write to Several Radios..." once three radios have run: two verified with their Own IDs, one
// that never answered.
bool SaveFleetDialog(kestra::AppState& state, kestra::Messenger& messenger, QWidget* parent,
                     const QDir& out) {
    kestra::test::FleetRadios radios(3);
    radios.radio(1).faults().silent = true;
    kestra::FleetDialog::Setup setup;
    setup.image = state.image;
    setup.documentName = "club.dat";
    for (int n = 1; n <= kestra::kPortCount; ++n) {
        const std::string device =
            n <= 3 ? kestra::test::FleetRadios::Device(n - 1) : kestra::DeviceForPortNumber(n);
        setup.ports.push_back({n, QString::fromStdString(kestra::PortNameForNumber(n)),
                               QString::fromStdString(device), n <= 3});
    }
    setup.demoRadio = true;
    setup.lines = radios.Lines();
    setup.verify = true;
    kestra::AppState fleetState;
    kestra::FleetDialog dialog(fleetState, messenger, std::move(setup), parent);
    for (int row = 0; row < 3; ++row) {
        dialog.portBox(row)->setChecked(true);
    }
    dialog.ownIdBox()->setChecked(true);
    dialog.ownIdEdit()->setText(QStringLiteral("101"));
    dialog.show();
    dialog.startButton()->click();
    const bool ran = QTest::qWaitFor(
        [&dialog] { return dialog.state() == kestra::FleetDialog::State::Finished; }, 60000);
    dialog.resize(960, 680);
    bool ok = ran && Save(dialog, out, QStringLiteral("write-to-several-radios.png"));
    // What a 1024x600 screen leaves for it under a title bar and a panel.
    dialog.resize(960, 540);
    ok = ran && Save(dialog, out, QStringLiteral("write-to-several-radios-1024x600.png")) && ok;
    dialog.hide();
    return ok;
}

bool SaveWindowPictures(kestra::KestraApplication& program, kestra::Messenger& messenger,
                        const QDir& out) {
    kestra::CMainFrame* frame = program.mainFrame();
    frame->showNormal();
    frame->resize(1400, 860);

    bool ok = Save(*frame, out, QStringLiteral("main-window.png"));
    // A small laptop screen and a large maximized window.
    frame->resize(1280, 720);
    frame->statusText()->setText(QStringLiteral("Read complete: 57 channels from the demo radio"));
    ok = Save(*frame, out, QStringLiteral("main-window-1280x720.png")) && ok;
    frame->resize(1920, 1080);
    ok = Save(*frame, out, QStringLiteral("main-window-1920x1080.png")) && ok;
    frame->resize(1400, 860);

    ok = SaveLinkDialogs(program, messenger, out) && ok;

    kestra::AboutDialog about(program.settings().Path(), frame);
    about.show();
    ok = Save(about, out, QStringLiteral("about.png")) && ok;
    about.hide();
    // Without [About] lines in Program.ini the box names the program itself.
    const QDir home = QFileInfo(QString::fromStdString(program.settings().Path().string())).dir();
    const QString plainIni = home.filePath(QStringLiteral("plain/Program.ini"));
    home.mkpath(QStringLiteral("plain"));
    kestra::AboutDialog builtIn(plainIni.toStdString(), frame);
    builtIn.show();
    ok = Save(builtIn, out, QStringLiteral("about-built-in.png")) && ok;
    builtIn.hide();

    ok = SaveSettingsDialogs(program, frame, out) && ok;
    ok = SaveChannelDialogs(program, frame, out) && ok;

    QPrintPreviewDialog preview(frame);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [&](QPrinter* printer) {
        kestra::ChannelPrinter(frame->view()->table(), QStringLiteral("demo-radio.dat"))
            .Print(*printer);
    });
    preview.resize(900, 1000);
    preview.show();
    ok = Save(preview, out, QStringLiteral("print-preview.png")) && ok;
    preview.hide();

    ok = kestra::screenshots::SaveServiceDialogs(program.state(), messenger, frame, out) && ok;
    ok = kestra::screenshots::SaveDifferenceInWords(program.state().image, frame, out) && ok;
    ok = SaveInterchangeDialogs(program, frame, out) && ok;
    ok = SaveFleetDialog(program.state(), messenger, frame, out) && ok;
    return kestra::screenshots::SaveListPictures(
               *frame,
               [&out](QWidget& widget, const QString& name) { return Save(widget, out, name); }) &&
           ok;
}

}  // namespace

int main(int argc, char** argv) {
    const bool screen = argc == 3 && std::string(argv[1]) == "--screen";
    if (!screen) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc != 2 && !screen) {
        std::fprintf(stderr, "usage: shell_screenshots [--screen] OUTPUT_DIR\n");
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[argc - 1]));
    out.mkpath(QStringLiteral("."));

    QTemporaryDir home;
    qputenv("KESTRA_HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    std::ofstream(QDir(home.path()).filePath("Program.ini").toStdString())
        << "[Setup]\nCOM=1\nType=Handheld\n[About]\nVersion=Kestra 0.1\n"
           "Copyright=Copyright (C) 2024\nCompany=Kestra Radio Works\n";

    SilentMessenger messenger;
    kestra::KestraApplication program(&messenger);
    kestra::StartupOptions options;
    options.port = "demo";  // as make run starts it
    program.Start(options);

    // The demo radio's channels make a realistic grid.
    QFile demo(QString::fromLatin1(kestra::kDemoRadioResource));
    if (demo.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = demo.readAll();
        if (bytes.size() == static_cast<qsizetype>(kestra::kImageSize)) {
            std::copy(bytes.begin(), bytes.end(), program.state().image.all().begin());
        }
    }
    program.mainFrame()->view()->FillGridFromImage();
    if (screen) {
        KeepSampleBackups(program.state().image, program.state().image);
        return kestra::screenshots::SaveScreenPictures(program, out) ? 0 : 1;
    }
    return SaveWindowPictures(program, messenger, out) ? 0 : 1;
}
