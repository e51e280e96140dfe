// Offscreen pictures of the desktop program for checking its look: the main window with the
// demo radio's channels, the transfer dialog (also with the demo radio as the port), the Port
// dialog, the About box and the print preview.
//
//   shell_screenshots OUTPUT_DIR     (run by scripts/screenshots)

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <fstream>

#include "app/about_dialog.hpp"
#include "app/application.hpp"
#include "app/channel_printer.hpp"
#include "app/main_window.hpp"
#include "channels/ui/program_view.hpp"
#include "link/clone_session.hpp"
#include "link/device/link_factory.hpp"
#include "link/port_names.hpp"
#include "link/ui/port_dialog.hpp"
#include "link/ui/transfer_dialog.hpp"
#include "model/settings_file.hpp"

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
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: shell_screenshots OUTPUT_DIR\n");
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
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
    kestra::CMainFrame* frame = program.mainFrame();

    // The demo radio's channels make a realistic grid.
    QFile demo(QString::fromLatin1(kestra::kDemoRadioResource));
    if (demo.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = demo.readAll();
        if (bytes.size() == static_cast<qsizetype>(kestra::kImageSize)) {
            std::copy(bytes.begin(), bytes.end(), program.state().image.all().begin());
        }
    }
    frame->view()->FillGridFromImage();
    frame->showNormal();
    frame->resize(1400, 860);

    bool ok = Save(*frame, out, QStringLiteral("main-window.png"));

    ok = SaveLinkDialogs(program, messenger, out) && ok;

    kestra::AboutDialog about(program.settings().Path(), frame);
    about.show();
    ok = Save(about, out, QStringLiteral("about.png")) && ok;
    about.hide();

    QPrintPreviewDialog preview(frame);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [&](QPrinter* printer) {
        kestra::ChannelPrinter(frame->view()->table(), QStringLiteral("demo-radio.dat"))
            .Print(*printer);
    });
    preview.resize(900, 1000);
    preview.show();
    ok = Save(preview, out, QStringLiteral("print-preview.png")) && ok;
    preview.hide();

    return ok ? 0 : 1;
}
