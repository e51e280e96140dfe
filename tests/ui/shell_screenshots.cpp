// Offscreen pictures of the desktop program for checking its look: the main window with the
// demo radio's channels, the transfer dialog, the About box, the settings dialogs (every DTMF
// page) and the print preview.
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
#include <vector>

#include "app/about_dialog.hpp"
#include "app/application.hpp"
#include "app/channel_printer.hpp"
#include "app/main_window.hpp"
#include "channels/ui/program_view.hpp"
#include "link/clone_session.hpp"
#include "link/device/link_factory.hpp"
#include "link/ui/transfer_dialog.hpp"
#include "settings/ui/dtmf_dialog.hpp"
#include "settings/ui/optional_features_dialog.hpp"
#include "settings/ui/radio_dialog.hpp"

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
    program.Start({});
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

    kestra::LinkFactory links;
    kestra::TransferDialog transfer(program.state(), messenger, links, kestra::ClonePlan::Read(),
                                    frame);
    transfer.show();
    ok = Save(transfer, out, QStringLiteral("transfer-dialog.png")) && ok;
    transfer.hide();

    kestra::AboutDialog about(program.settings().Path(), frame);
    about.show();
    ok = Save(about, out, QStringLiteral("about.png")) && ok;
    about.hide();

    ok = SaveSettingsDialogs(program, frame, out) && ok;

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
