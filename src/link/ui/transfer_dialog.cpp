// SPDX-License-Identifier: GPL-3.0-or-later
// The clone transfer's progress dialog and its worker thread.

#include "link/ui/transfer_dialog.hpp"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

#include "link/port_choice.hpp"
#include "link/port_names.hpp"
#include "link/ui/threaded_transfer.hpp"
#include "model/settings_file.hpp"

namespace kestra {

namespace {
constexpr std::string_view kVerifyKey = "VerifyAfterWrite";
}  // namespace

TransferDialog::TransferDialog(AppState& state, Messenger& messenger, const LinkFactory& links,
                               ClonePlan plan, QWidget* parent)
    : QDialog(parent),
      appState_(state),
      messenger_(messenger),
      links_(links),
      plan_(std::move(plan)),
      transfer_(new ThreadedTransfer(state.busy, messenger, &links, this)) {
    setWindowTitle(QString::fromStdString(plan_.caption));
    setModal(true);

    progressBar_ = new QProgressBar(this);
    progressBar_->setRange(0, plan_.BlockCount());
    progressBar_->setTextVisible(false);
    percentLabel_ = new QLabel(this);
    percentLabel_->setMinimumWidth(percentLabel_->fontMetrics().horizontalAdvance("100%") + 8);
    percentLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    startButton_ = new QPushButton(QStringLiteral("Start"), this);
    startButton_->setDefault(true);
    startButton_->setAutoDefault(true);
    exitButton_ = new QPushButton(QStringLiteral("Exit"), this);
    exitButton_->setAutoDefault(false);

    // The demo radio answers like a radio; the user must never take it for the real one.
    demoLabel_ = new QLabel(QStringLiteral("Demo radio"), this);
    demoLabel_->setToolTip(
        QStringLiteral("This run talks to the built-in demo radio, not to a radio on a cable. "
                       "Setup, Com Setup chooses the real port."));
    QFont bold = demoLabel_->font();
    bold.setBold(true);
    demoLabel_->setFont(bold);
    demoLabel_->setVisible(IsDemoPort(appState_));
    // Which cable the transfer goes through; the port cannot change while the dialog is up.
    portLabel_ = new QLabel(
        QStringLiteral("Port: %1").arg(QString::fromStdString(PortLabel(appState_))), this);
    portLabel_->setVisible(!IsDemoPort(appState_));

    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(progressBar_, 1);
    progressRow->addWidget(percentLabel_);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(startButton_);
    buttonRow->addWidget(exitButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(demoLabel_);
    layout->addWidget(portLabel_);
    layout->addLayout(progressRow);
    if (plan_.direction == TransferDirection::Write) {
        AddVerifyOption(*layout);
    }
    layout->addLayout(buttonRow);
    setMinimumWidth(360);

    connect(startButton_, &QPushButton::clicked, this, &TransferDialog::Start);
    connect(exitButton_, &QPushButton::clicked, this, &TransferDialog::reject);
    connect(transfer_, &ThreadedTransfer::progress, this, &TransferDialog::ShowProgress);
    connect(transfer_, &ThreadedTransfer::closeRequested, this, [this] { closeRequested_ = true; });
    connect(transfer_, &ThreadedTransfer::finished, this, &TransferDialog::OnWorkerFinished);

    SetState(State::Idle);
}

TransferDialog::~TransferDialog() {
    // Only matters when the program tears the dialog down under a running transfer: the worker
    // finishes without talking to a dialog that is going away.
    delete transfer_;
}

void TransferDialog::AddVerifyOption(QVBoxLayout& layout) {
    verifyBox_ = new QCheckBox(QStringLiteral("Verify after write"), this);
    verifyBox_->setToolTip(QStringLiteral(
        "Read the written data back from the radio and compare it with what was sent."));
    layout.addWidget(verifyBox_);
    connect(verifyBox_, &QCheckBox::toggled, this, [this](bool on) {
        if (settingsPath_.empty()) {
            return;
        }
        SettingsFile settings(settingsPath_);
        if (const FileResult stored = settings.WriteInt("Setup", kVerifyKey, on ? 1 : 0); !stored) {
            messenger_.Show(stored.error +
                            " \"Verify after write\" is kept for this program run only.");
        }
    });
}

void TransferDialog::SetSettingsPath(std::filesystem::path path) {
    settingsPath_ = std::move(path);
    std::error_code ec;
    if (verifyBox_ == nullptr || !std::filesystem::exists(settingsPath_, ec)) {
        return;
    }
    // Reading must not create the file; only a change of the box writes it.
    const SettingsFile settings(settingsPath_);
    const QSignalBlocker quiet(verifyBox_);
    verifyBox_->setChecked(settings.GetInt("Setup", kVerifyKey, 0) != 0);
}

void TransferDialog::Start() {
    if (state_ != State::Idle || appState_.busy) {
        return;
    }
    CloneRequest request;
    request.plan = plan_;
    request.plan.verify = verifyBox_ != nullptr && verifyBox_->isChecked();
    request.device = ResolveDevice(appState_.portName, appState_.deviceOverride);
    request.serviceMode = appState_.serviceMode;
    request.image = appState_.image;
    result_ = CloneResult{};
    closeRequested_ = false;
    emit starting();
    // The job writes result_ on the worker; this thread reads it only after finished().
    const bool started = transfer_->Start(request.device, [this, request](auto& worker) {
        result_ = CloneSession(worker.link, worker.clock, worker.observer).Run(request);
    });
    if (started) {
        SetState(State::Running);
    }
}

void TransferDialog::reject() {
    if (state_ == State::Running) {
        return;
    }
    QDialog::reject();
}

void TransferDialog::closeEvent(QCloseEvent* event) {
    if (state_ == State::Running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TransferDialog::SetState(State state) {
    state_ = state;
    const bool idle = state == State::Idle;
    startButton_->setEnabled(idle);
    exitButton_->setEnabled(idle);
    if (verifyBox_ != nullptr) {
        verifyBox_->setEnabled(idle);
    }
    if (idle) {
        progressBar_->setValue(0);
        percentLabel_->setText(QStringLiteral("0%"));
    }
}

void TransferDialog::ShowProgress(int position, int total, const QString& percentText) {
    if (total > 0 && total != progressBar_->maximum()) {
        progressBar_->setMaximum(total);
    }
    progressBar_->setValue(position);
    percentLabel_->setText(percentText);
}

void TransferDialog::OnWorkerFinished() {
    // The transfer's own ending decides: it asks to close after a read, a write and every
    // failure; a finished Initialization stays open for the next radio.
    const bool success = result_.ok;
    if (closeRequested_) {
        SetState(State::Finished);
        done(success ? QDialog::Accepted : QDialog::Rejected);
    } else {
        SetState(State::Idle);
    }
    emit transferFinished(success);
}

}  // namespace kestra
