// SPDX-License-Identifier: GPL-3.0-or-later
// "Write to Several Radios...": the run, its per-radio rows, the result table and the report.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include "channels/backup_store.hpp"
#include "fleet/fleet_report.hpp"
#include "fleet/ui/fleet_dialog.hpp"
#include "link/device/worker_threads.hpp"
#include "link/ui/threaded_transfer.hpp"

namespace kestra {

namespace {

// The run's reports, each carried to the user-interface thread (and waited for there) before
// the radio's worker goes on.
class DialogFleetObserver final : public FleetObserver {
public:
    DialogFleetObserver(const ThreadedTransfer::UiCall& onUiThread,
                        std::function<void(std::size_t, int, int)> progress,
                        std::function<void(std::size_t, const RadioOutcome&)> finished)
        : onUiThread_(onUiThread), progress_(std::move(progress)), finished_(std::move(finished)) {}

    void RadioProgress(std::size_t radio, int position, int total) override {
        onUiThread_([&] { progress_(radio, position, total); });
    }
    void RadioFinished(std::size_t radio, const RadioOutcome& outcome) override {
        onUiThread_([&] { finished_(radio, outcome); });
    }

private:
    const ThreadedTransfer::UiCall& onUiThread_;
    std::function<void(std::size_t, int, int)> progress_;
    std::function<void(std::size_t, const RadioOutcome&)> finished_;
};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void FleetDialog::SetReportPathChooser(std::function<QString()> choose) {
    chooseReportPath_ = std::move(choose);
}

std::optional<FleetRequest> FleetDialog::RequestFromControls(std::vector<int>& rows) {
    std::vector<FleetPort> ports;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].available && rows_[i].box->isChecked()) {
            ports.push_back(rows_[i].port);
            rows.push_back(static_cast<int>(i));
        }
    }
    if (ports.empty()) {
        return std::nullopt;  // Start waits for a checked port
    }
    if (const std::string problem = FleetPortProblem(ports); !problem.empty()) {
        messenger_.ShowFailure("Cannot start: " + problem + ". Uncheck one of them.",
                               MessageIcon::Warning);
        return std::nullopt;
    }
    std::optional<std::string> ownIdStart;
    if (ownIdBox_->isChecked()) {
        ownIdStart = ownIdEdit_->text().toStdString();
    }
    std::string error;
    auto radios = FleetWriteRadios(ports, setup_.image, ownIdStart, error);
    if (!radios) {
        messenger_.ShowFailure("Cannot number the Own IDs: " + error +
                                   ". Type a first Own ID that leaves room for every checked "
                                   "radio.",
                               MessageIcon::Warning);
        return std::nullopt;
    }
    return FleetRequest{FleetAction::Write, verifyBox_->isChecked(), appState_.serviceMode,
                        std::move(*radios), BackupDirectory()};
}

void FleetDialog::Start() {
    if (state_ == State::Running || checkThread_ != nullptr || appState_.busy) {
        return;
    }
    std::vector<int> rows;
    const std::optional<FleetRequest> request = RequestFromControls(rows);
    if (!request) {
        return;
    }
    status_ = FleetStatus(request->action, request->radios);
    runRows_ = rows;
    for (const PortRow& row : rows_) {
        row.bar->setVisible(false);
        row.status->setVisible(false);
    }
    for (std::size_t radio = 0; radio < runRows_.size(); ++radio) {
        ShowRadio(radio);
    }
    resultNote_->clear();
    cancel_ = false;
    started_ = std::chrono::system_clock::now();
    // The radios' reports change the rows on this thread only; the run waits for each.
    const bool started = transfer_->StartFleet([this, run = *request](const auto& onUiThread) {
        DialogFleetObserver observer(
            onUiThread,
            [this](std::size_t radio, int position, int total) {
                status_.Progress(radio, position, total);
                ShowRadio(radio);
            },
            [this](std::size_t radio, const RadioOutcome& outcome) {
                status_.Finished(radio, outcome);
                ShowRadio(radio);
            });
        RunFleet(run, setup_.lines, observer, &cancel_, RunOnQtThreads);
    });
    if (started) {
        SetState(State::Running);
    }
}

void FleetDialog::ShowRadio(std::size_t radio) {
    const FleetStatus::Row& shown = status_.row(radio);
    const PortRow& row = rows_[static_cast<std::size_t>(runRows_[radio])];
    row.bar->setVisible(true);
    row.bar->setMaximum(std::max(shown.total, 1));
    row.bar->setValue(shown.position);
    row.status->setVisible(true);
    row.status->setText(Text(shown.status));
    // The whole line, and for a failure the whole message (the step that failed, the
    // partly-written warning), on hovering.
    const RadioOutcome& outcome = status_.outcomes()[radio];
    row.status->setToolTip(shown.done && !outcome.ok() ? Text(shown.status + "\n\n" + outcome.error)
                                                       : Text(shown.status));
}

void FleetDialog::Cancel() {
    if (state_ != State::Running) {
        return;
    }
    cancel_ = true;
    SetState(state_);
}

void FleetDialog::reject() {
    if (state_ == State::Running) {
        Cancel();
        return;
    }
    if (checkThread_ == nullptr) {
        QDialog::reject();
    }
}

void FleetDialog::OnRunFinished() {
    const FleetTable table = MakeFleetTable(status_.outcomes());
    resultTable_->clear();
    resultTable_->setColumnCount(static_cast<int>(table.header.size()));
    resultTable_->setRowCount(static_cast<int>(table.rows.size()));
    QStringList header;
    for (const std::string& cell : table.header) {
        header << Text(cell);
    }
    resultTable_->setHorizontalHeaderLabels(header);
    const int last = static_cast<int>(table.header.size()) - 1;  // the seconds
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(Text(table.rows[r][c]));
            if (static_cast<int>(c) == last) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            resultTable_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    // Every column as wide as its texts; the result, the one long text, takes the rest.
    QHeaderView* columns = resultTable_->horizontalHeader();
    columns->setStretchLastSection(false);
    for (int c = 0; c <= last; ++c) {
        columns->setSectionResizeMode(
            c, c == last - 1 ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    }
    SetState(State::Finished);
    emit runFinished();
}

void FleetDialog::CopyResults() {
    if (state_ == State::Finished) {
        QApplication::clipboard()->setText(
            Text(FleetTableTabs(MakeFleetTable(status_.outcomes()))));
        resultNote_->setText(QStringLiteral("The table is on the clipboard."));
    }
}

void FleetDialog::SaveReport() {
    if (state_ != State::Finished) {
        return;
    }
    const QString path =
        chooseReportPath_
            ? chooseReportPath_()
            : QFileDialog::getSaveFileName(this, QStringLiteral("Save Report"),
                                           QStringLiteral("fleet-report.json"),
                                           QStringLiteral("JSON report (*.json);;All files (*)"));
    if (path.isEmpty()) {
        return;
    }
    const FleetReportInfo info = MakeReportInfo("desktop write", setup_.documentName, started_);
    if (const FileResult saved =
            SaveFleetReport(path.toStdString(), FleetReportJson(info, status_.outcomes()));
        !saved) {
        messenger_.ShowFailure(saved.error, MessageIcon::Critical);
        return;
    }
    resultNote_->setText(QStringLiteral("Report saved as %1").arg(path));
}

}  // namespace kestra
