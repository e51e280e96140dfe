// SPDX-License-Identifier: GPL-3.0-or-later
// Offscreen pictures of the desktop program for checking its look: the main window with the
// demo radio's channels, the transfer dialog (also with the demo radio as the port), the Port
// dialog, the About box, the settings dialogs (every DTMF page), the print preview and the four
// service dialogs with a plausible calibration, Import CSV with its report, the summary before a
// write, the list of backups and "Write to Several Radios..." after a run with three radios;
// the Sort Channels dialog, the grid's context menu and the Find bar (list_screenshots.cpp).
// With --screen, on a real display, pictures of the whole screen with the main window and the
// large dialogs as a user opens them (screen_screenshots.cpp).
//
//   shell_screenshots [--screen] OUTPUT_DIR     (run by scripts/screenshots)

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
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
#include "service/sql_adjust.hpp"
#include "service/ui/calibration_grid_widget.hpp"
#include "service/ui/dtmf_initialization_dialog.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"
#include "service/ui/radio_information_dialog.hpp"
#include "service/ui/sql_adjust_dialog.hpp"
#include "settings/ui/dtmf_dialog.hpp"
#include "settings/ui/optional_features_dialog.hpp"
#include "settings/ui/radio_dialog.hpp"

namespace kestra::screenshots {
// list_screenshots.cpp
bool SaveListPictures(CMainFrame& frame, const std::function<bool(QWidget&, const QString&)>& save);
// screen_screenshots.cpp
bool SaveScreenPictures(KestraApplication& program, const QDir& out);
}  // namespace kestra::screenshots

namespace {

class SilentMessenger final : public kestra::Messenger {
public:
    bool Show(const std::string&, kestra::MessageButtons) override { return true; }
};

bool Save(QWidget& widget, const QDir& dir, const QString& name) {
    QApplication::processEvents();
    const QString file = dir.filePath(name);
    if (!widget.grab().save(file)) {
        std::fprintf(stderr, "shell_screenshots: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

// A calibration such as a radio from the factory holds: smooth curves with a little scatter.
void FillSampleCalibration(kestra::MemoryImage& image) {
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 3; ++c) {
            image[0x3F00 + 3 * r + c] = static_cast<std::uint8_t>(30 + 12 * (r % 2) + 4 * c - r);
            image[0x3F39 + 3 * r + c] = static_cast<std::uint8_t>((r % 2 ? 180 : 60) + 10 * c -
                                                                  (c == 2 ? 25 : 0) + 5 * (r / 2));
        }
    }
    for (int k = 0; k < 36; ++k) {
        image[0x3ED0 + k] = static_cast<std::uint8_t>(40 + (k * 13) % 60);
    }
    for (const kestra::SqlPoint& point : kestra::AllSqlPoints()) {
        for (std::size_t b = 0; b < 16; ++b) {
            const int wave = (point.mhz * 7 + static_cast<int>(b) * 11) % 9;
            image[point.offset + b] = static_cast<std::uint8_t>(50 + 6 * (b % 8) + wave);
        }
    }
    const std::uint8_t block[] = {0x9A, 40, 12, 0x40, 0xA0, 0x80, 0xC1, 30,
                                  31,   32, 33, 20,   0x8A, 100,  0};
    std::copy(std::begin(block), std::end(block), image.all().begin() + 0x3F20);
    image[0x3F2F] = 0x65;
    image[0x3F30] = 128;
    image[0x3F31] = 18;
    image[0x3F32] = 0x00;
    image[0x3F33] = 0x02;
    image[0x3F34] = 16;
    image[0x3F35] = 0x40;
    image[0x3F36] = 0x1F;
    image[0x3F37] = 0x00;
    image[0x3F38] = 0x0C;
    image[0x3F6F] = (24 << 2) | 1;
    image[0x3F12] = 45;
    image[0x3F14] = 50;
    for (std::size_t k = 0; k < 11; ++k) {
        image[0x3E00 + 4 * k + 2] = static_cast<std::uint8_t>(k);
        image[0x3E00 + 4 * k + 3] = static_cast<std::uint8_t>(0x20 + 0x11 * k);
    }
}

bool SaveServiceDialogs(kestra::AppState& state, kestra::Messenger& messenger, QWidget* parent,
                        const QDir& out) {
    FillSampleCalibration(state.image);
    kestra::VirtualRadio radio;
    const kestra::LinkFactory links(&radio);
    const std::string device = state.deviceOverride;
    state.deviceOverride = "demo";
    const kestra::ServiceContext context{state, messenger, &links};
    bool ok = true;

    // As on a large screen; the whole-screen pictures show it on small ones.
    kestra::ParameterAdjustDialog parameters(context, parent);
    parameters.resize(1160, 620);
    parameters.show();
    parameters.grid(kestra::GridId::Power)->setCurrentCell(1, 1);
    ok = Save(parameters, out, QStringLiteral("parameter-adjust.png")) && ok;
    parameters.hide();

    kestra::DtmfInitializationDialog dtmf(context, parent);
    dtmf.show();
    ok = Save(dtmf, out, QStringLiteral("dtmf-initialization.png")) && ok;
    dtmf.hide();

    kestra::SqlAdjustDialog sql(context, parent);
    sql.show();
    sql.tree()->expandItem(sql.tree()->topLevelItem(0));
    sql.tree()->setCurrentItem(sql.pointItem(0, 146));
    sql.grid()->setCurrentCell(1, 2);
    ok = Save(sql, out, QStringLiteral("sql-adjust.png")) && ok;
    sql.hide();

    kestra::RadioInformationDialog information(context, parent);
    information.show();
    information.Read();
    while (information.transfers()->running()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ok = Save(information, out, QStringLiteral("radio-information.png")) && ok;
    information.hide();

    state.deviceOverride = device;
    return ok;
}

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

    ok = SaveServiceDialogs(program.state(), messenger, frame, out) && ok;
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
        FillSampleCalibration(program.state().image);
        KeepSampleBackups(program.state().image, program.state().image);
        return kestra::screenshots::SaveScreenPictures(program, out) ? 0 : 1;
    }
    return SaveWindowPictures(program, messenger, out) ? 0 : 1;
}
