// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the service dialogs after a Read from the demo radio, of the cable check on the
// demo radio, and of a comparison in words: `kestra-cli diff` and the summary before a write.

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "app/write_preview_dialog.hpp"
#include "channels/channel_csv_support.hpp"
#include "channels/channel_fields.hpp"
#include "channels/image_preparation.hpp"
#include "link/clone_session.hpp"
#include "link/device/cable_check.hpp"
#include "link/device/link_factory.hpp"
#include "link/ui/doctor_report_dialog.hpp"
#include "link/ui/threaded_transfer.hpp"
#include "model/image_map.hpp"
#include "review/image_diff.hpp"
#include "service/calibration_file.hpp"
#include "service/ui/calibration_grid_widget.hpp"
#include "service/ui/dtmf_initialization_dialog.hpp"
#include "service/ui/parameter_adjust_dialog.hpp"
#include "service/ui/radio_information_dialog.hpp"
#include "service/ui/sql_adjust_dialog.hpp"
#include "settings/settings_text.hpp"
#include "ui/screenshot_support.hpp"

namespace kestra::screenshots {

namespace {

void Wait(ServiceDialog& dialog) {
    while (dialog.transfers()->running()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

}  // namespace

bool SaveServiceDialogs(AppState& state, Messenger& messenger, QWidget* parent, const QDir& out) {
    // The demo radio at full speed; its calibration arrives through each dialog's Read.
    DemoRadio demo(QString::fromLatin1(kDemoRadioResource), 0);
    const LinkFactory links(&demo.radio());
    const std::string device = state.deviceOverride;
    state.deviceOverride = "demo";
    const ServiceContext context{state, messenger, &links};
    bool ok = true;

    // As on a large screen; the whole-screen pictures show it on small ones.
    ParameterAdjustDialog parameters(context, parent);
    parameters.resize(1160, 620);
    parameters.show();
    parameters.Read();
    Wait(parameters);
    parameters.grid(GridId::Power)->setCurrentCell(1, 1);
    ok = Save(parameters, out, QStringLiteral("parameter-adjust.png")) && ok;
    parameters.hide();

    DtmfInitializationDialog dtmf(context, parent);
    dtmf.show();
    dtmf.Read();
    Wait(dtmf);
    ok = Save(dtmf, out, QStringLiteral("dtmf-initialization.png")) && ok;
    dtmf.hide();

    SqlAdjustDialog sql(context, parent);
    sql.show();
    sql.Read();
    Wait(sql);
    sql.tree()->expandItem(sql.tree()->topLevelItem(2));
    sql.tree()->setCurrentItem(sql.pointItem(2, 450));
    sql.grid()->setCurrentCell(1, 2);  // RSSI1: its wide and narrow columns are equal
    ok = Save(sql, out, QStringLiteral("sql-adjust.png")) && ok;
    sql.grid()->setCurrentCell(0, 0);  // Noise1
    ok = Save(sql, out, QStringLiteral("sql-adjust-noise.png")) && ok;
    sql.hide();

    RadioInformationDialog information(context, parent);
    information.show();
    information.Read();
    Wait(information);
    ok = Save(information, out, QStringLiteral("radio-information.png")) && ok;
    information.hide();

    ChosenPort port;
    port.label = "the demo radio";
    port.device = "demo";
    DoctorReportDialog check(QString::fromStdString(port.Named()), CheckCable(port, links), parent);
    check.show();
    ok = Save(check, out, QStringLiteral("cable-check-demo.png")) && ok;
    check.hide();

    state.deviceOverride = device;
    return ok;
}

bool SaveDifferenceInWords(const MemoryImage& image, QWidget* parent, const QDir& out) {
    // A new document's image as a radio holds it; the edit goes through the settings dialogs
    // (which also store the values they only normalised), the grid and the service editors,
    // and the image preparation a write runs.
    MemoryImage before = image;
    before[map::kDualWaitResetTime] = 0xFF;  // erased: the dialog shows Off and stores 0
    MemoryImage after = before;
    ChannelRecord(after, 2).SetRxFrequency(44210000);
    test::Put(after, {.record = 30, .rx = 44600625, .tx = 44600625, .name = "PMR 1"});
    std::string callId;
    SettingsForms forms(callId);
    forms.LoadFromImage(after);
    ApplySettingsText(
        "[Optional Features]\nTOT (s)=120\n[DTMF Encode]\nPTT ID BOT=123ABCD\n[Radio]\nCH 5=87.5\n",
        forms);
    forms.StoreToImage(after);
    ApplyCalibrationFile(
        "[Parameter Adjust]\nV PA Drive=9\n[Sql Adjust]\n136-174 141/Noise1/W High=90\n", after);
    PrepareImageForWrite(after, LimitsOfImage(after));

    // kestra-cli diff: the whole image, calibration included.
    const std::string text = FormatImageDifference(DiffImages(before, after));
    std::printf("diff in words:\n%s", text.c_str());
    QFile file(out.filePath(QStringLiteral("diff-in-words.txt")));
    bool ok = file.open(QIODevice::WriteOnly) &&
              file.write(text.data(), static_cast<qint64>(text.size())) ==
                  static_cast<qint64>(text.size());
    QPlainTextEdit terminal(QStringLiteral("$ kestra-cli diff radio.dat edited.dat\n") +
                                QString::fromStdString(text) + QStringLiteral("$ echo $?\n1\n"),
                            parent);
    terminal.setWindowTitle(QStringLiteral("kestra-cli diff"));
    terminal.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    terminal.setReadOnly(true);
    terminal.resize(620, 260);
    terminal.show();
    ok = Save(terminal, out, QStringLiteral("diff-in-words.png")) && ok;
    terminal.hide();

    // The summary before Program, Write: only what a write sends, so no calibration.
    std::vector<ImageSpan> sent;
    for (const CloneRange& range : ClonePlan::Write().ranges) {
        sent.push_back({range.start, range.end});
    }
    WritePreviewDialog preview(DiffImages(before, after, sent), parent);
    preview.show();
    ok = Save(preview, out, QStringLiteral("write-summary.png")) && ok;
    preview.hide();
    return ok;
}

}  // namespace kestra::screenshots
