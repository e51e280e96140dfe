// SPDX-License-Identifier: GPL-3.0-or-later
// The clone transfer's progress dialog and its worker thread.

#include "link/ui/transfer_dialog.hpp"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <memory>
#include <utility>

#include "link/clock.hpp"
#include "link/device/link_factory.hpp"
#include "link/port_choice.hpp"
#include "link/port_names.hpp"
#include "model/settings_file.hpp"

namespace kestra {

namespace {
constexpr std::string_view kVerifyKey = "VerifyAfterWrite";
}  // namespace

// The worker's view of the dialog: every report runs on the dialog's thread while the worker
// waits for it, so a message box is answered before the transfer goes on.
class TransferDialog::WorkerObserver final : public TransferObserver {
public:
    explicit WorkerObserver(TransferDialog& dialog) : dialog_(dialog) {}

    void SetButtonsEnabled(bool) override {
        // The dialog's state decides: the buttons are off while the worker runs and on again
        // when an Initialization returns to idle.
    }
    void SetProgress(int position, int total, const std::string& percentText) override {
        const QString text = QString::fromStdString(percentText);
        OnDialogThread(
            [this, position, total, text] { dialog_.ShowProgress(position, total, text); });
    }
    void ShowMessage(const std::string& text) override {
        OnDialogThread([this, &text] { dialog_.messenger_.Show(text); });
    }
    void ShowFailure(const std::string& text, MessageIcon icon) override {
        OnDialogThread([this, &text, icon] { dialog_.messenger_.ShowFailure(text, icon); });
    }
    void RequestClose() override {
        OnDialogThread([this] { dialog_.closeRequested_ = true; });
    }

private:
    template <typename Function>
    void OnDialogThread(Function function) {
        if (dialog_.abandoned_) {
            return;
        }
        QMetaObject::invokeMethod(&dialog_, std::move(function), Qt::BlockingQueuedConnection);
    }

    TransferDialog& dialog_;
};

TransferDialog::TransferDialog(AppState& state, Messenger& messenger, const LinkFactory& links,
                               ClonePlan plan, QWidget* parent)
    : QDialog(parent),
      appState_(state),
      messenger_(messenger),
      links_(links),
      plan_(std::move(plan)) {
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

    SetState(State::Idle);
}

TransferDialog::~TransferDialog() {
    if (worker_ != nullptr) {
        // Only reached when the program tears the dialog down under a running transfer: let
        // the worker finish without talking to a dialog that is going away.
        // A report already on its way blocks the worker until this thread delivers it, so keep
        // delivering this dialog's queued calls while waiting instead of deadlocking.
        abandoned_ = true;
        while (!worker_->wait(10)) {
            QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        }
    }
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
    if (state_ != State::Idle) {
        return;
    }
    // Taking the busy flag here, not only on the worker, leaves no moment in which a second
    // start could slip in.
    bool expected = false;
    if (!appState_.busy.compare_exchange_strong(expected, true)) {
        return;
    }
    success_ = false;
    closeRequested_ = false;
    emit starting();
    SetState(State::Running);

    const std::string device = ResolveDevice(appState_.portName, appState_.deviceOverride);
    ClonePlan plan = plan_;
    plan.verify = verifyBox_ != nullptr && verifyBox_->isChecked();
    worker_ = QThread::create([this, device, plan] {
        WorkerObserver observer(*this);
        // The link is created, used and closed on this thread.
        std::unique_ptr<SerialLink> link = links_.Create(device);
        SteadyClock clock;
        CloneSession session(appState_, *link, clock, observer);
        success_ = session.Run(plan);
    });
    connect(worker_, &QThread::finished, this, &TransferDialog::OnWorkerFinished);
    worker_->start();
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
    worker_->wait();
    worker_->deleteLater();
    worker_ = nullptr;
    // The transfer's own ending decides: it asks to close after a read, a write and every
    // failure; a finished Initialization stays open for the next radio.
    const bool success = success_;
    if (closeRequested_) {
        SetState(State::Finished);
        done(success ? QDialog::Accepted : QDialog::Rejected);
    } else {
        SetState(State::Idle);
    }
    emit transferFinished(success);
}

}  // namespace kestra
