// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the whole screen for shell_screenshots --screen: run on a real display (Xvfb with
// a window manager, see scripts/screenshots), the main window as the program starts it and
// every large dialog opened from its menu as a user opens it, each with the window manager's
// frame, so that a dialog that does not fit the screen shows clipped or off its edge. A window
// whose frame leaves the screen's free area is also named on stderr.

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <vector>

#include "app/application.hpp"
#include "app/main_window.hpp"
#include "app/write_preview_dialog.hpp"
#include "channels/channel_csv.hpp"
#include "channels/ui/csv_report_dialog.hpp"
#include "review/image_diff.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"

namespace kestra::screenshots {

namespace {

using Command = CMainFrame::Command;

// Time for the window manager to frame and place a window that has just been mapped.
constexpr int kSettleMs = 1000;

void Settle(QWidget& window) {
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < kSettleMs * 10 &&
           (window.windowHandle() == nullptr || !window.windowHandle()->isExposed())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QElapsedTimer settled;
    settled.start();
    while (settled.elapsed() < kSettleMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

// Saves the whole screen; says on stderr when the window's frame leaves the free area.
bool SaveScreen(QWidget& window, const QDir& out, const QString& name) {
    QScreen* screen = window.screen();
    const QString file = out.filePath(name);
    if (!screen->grabWindow(0).save(file)) {
        std::fprintf(stderr, "shell_screenshots: cannot write %s\n", qPrintable(file));
        return false;
    }
    const QRect frame = window.frameGeometry();
    const QRect free = screen->availableGeometry();
    std::printf("%s (%s: %dx%d at %d,%d)\n", qPrintable(file), qPrintable(window.windowTitle()),
                frame.width(), frame.height(), frame.x(), frame.y());
    if (!free.contains(frame)) {
        std::fprintf(stderr, "shell_screenshots: %s does not fit the screen's free area %dx%d\n",
                     qPrintable(name), free.width(), free.height());
        return false;
    }
    return true;
}

// Triggers the action; once the modal dialog it opens is on the screen, saves the screen and
// closes the dialog as Esc would.
bool SaveModal(QAction* action, const QDir& out, const QString& name) {
    bool saved = false;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        opened = true;
        Settle(*dialog);
        saved = SaveScreen(*dialog, out, name);
        // Parameter Adjust once more at the end of its scroll: the curves folded below.
        if (auto* parameters = qobject_cast<ParameterAdjustDialog*>(dialog);
            parameters != nullptr && !parameters->curvesBeside()) {
            QScrollBar* bar = parameters->scrollArea()->verticalScrollBar();
            bar->setValue(bar->maximum());
            Settle(*dialog);
            saved =
                SaveScreen(*dialog, out, QStringLiteral("parameter-adjust-curves.png")) && saved;
        }
        dialog->reject();
    });
    action->setEnabled(true);
    action->trigger();
    if (!opened) {
        std::fprintf(stderr, "shell_screenshots: %s opened no dialog\n", qPrintable(name));
    }
    return saved;
}

bool SaveShown(QDialog& dialog, const QDir& out, const QString& name) {
    dialog.show();
    Settle(dialog);
    const bool saved = SaveScreen(dialog, out, name);
    dialog.hide();
    return saved;
}

}  // namespace

bool SaveScreenPictures(KestraApplication& program, const QDir& out) {
    CMainFrame* frame = program.mainFrame();
    program.state().serviceMode = true;
    Settle(*frame);
    bool ok = SaveScreen(*frame, out, QStringLiteral("main-window.png"));

    const std::vector<std::pair<Command, QString>> dialogs{
        {Command::ParamAdjust, QStringLiteral("parameter-adjust.png")},
        {Command::PrintPreview, QStringLiteral("print-preview.png")},
        {Command::SqlAdjust, QStringLiteral("sql-adjust.png")},
        {Command::DtmfInitialization, QStringLiteral("dtmf-initialization.png")},
        {Command::BatchGenerate, QStringLiteral("batch-generate.png")},
        {Command::ChannelEdit, QStringLiteral("channel-edit.png")},
        {Command::OptionalFeatures, QStringLiteral("optional-features.png")},
        {Command::Dtmf, QStringLiteral("dtmf.png")},
        {Command::Radio, QStringLiteral("radio.png")},
        {Command::SortChannels, QStringLiteral("sort-channels.png")},
        {Command::ComSetup, QStringLiteral("port-dialog.png")},
        {Command::RadioInformation, QStringLiteral("radio-information.png")},
        {Command::Backups, QStringLiteral("backups.png")},
        {Command::About, QStringLiteral("about.png")},
    };
    for (const auto& [command, name] : dialogs) {
        ok = SaveModal(frame->action(command), out, name) && ok;
    }

    // The report of an import whose rows the radio could not take as given, and the summary
    // before a write that changes a good part of the image.
    MemoryImage changed = program.state().image;
    const CsvImportResult imported = ImportChannelsCsv(
        "Location,Name,Frequency,Duplex,Offset,Power,Tone,rToneFreq,cToneFreq\n"
        "1,Repeater,145.6,-,0.6,5.0W,Tone,67.3,67.3\n2,AIR,121.5,,,1.0W,,88.5,88.5\n"
        "3,MARINE,156.8,,,25W,TSQL,254.1,254.1\n4,SIMPLEX,146.52,,,High,DTCS,88.5,88.5\n",
        changed, program.state().limits, {});
    CsvReportDialog report(QStringLiteral("Import CSV"), imported.report, frame);
    ok = SaveShown(report, out, QStringLiteral("import-report.png")) && ok;
    changed.write(0x2E00, std::vector<std::uint8_t>(0x20, 0x00));
    WritePreviewDialog preview(DiffImages(program.state().image, changed), frame);
    ok = SaveShown(preview, out, QStringLiteral("write-preview.png")) && ok;
    return ok;
}

}  // namespace kestra::screenshots
