// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The modal progress dialog of a clone transfer ("Read", "Write" or "Initialization"): a
// progress bar over the transfer's blocks, the percent text, "Start" and "Exit". "Start" runs
// a CloneSession through the ThreadedTransfer with the port, the service-mode flag and a copy of
// the program's image as they are at that moment; the dialog never changes the image itself:
// after a read that went through, result() holds the radio's image for the caller to adopt.
//
// The dialog is a small state machine: Idle (both buttons usable), Running (both disabled;
// Esc and the close box are refused) and Finished (the transfer asked to close). A finished
// Initialization goes back to Idle so that the next radio can be written. When the port is the
// built-in demo radio the dialog says "Demo radio" above the progress bar. A transfer that writes
// offers "Verify after write" (the written ranges read back and compared); the choice is kept in
// Program.ini as [Setup] VerifyAfterWrite once a settings file is named.

#include <QDialog>

#include <filesystem>

#include "link/clone_session.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace kestra {

class LinkFactory;
class ThreadedTransfer;

class TransferDialog : public QDialog {
    Q_OBJECT
public:
    enum class State { Idle, Running, Finished };

    TransferDialog(AppState& state, Messenger& messenger, const LinkFactory& links, ClonePlan plan,
                   QWidget* parent = nullptr);
    ~TransferDialog() override;

    State state() const { return state_; }
    // The success flag of the last run: true only after a transfer that went through.
    bool succeeded() const { return result_.ok; }
    // What the last run returned (a read's image among it).
    const CloneResult& result() const { return result_; }

    QPushButton* startButton() const { return startButton_; }
    QPushButton* exitButton() const { return exitButton_; }
    QProgressBar* progressBar() const { return progressBar_; }
    QLabel* percentLabel() const { return percentLabel_; }
    // "Demo radio", shown when the transfer goes to the built-in demo radio.
    QLabel* demoLabel() const { return demoLabel_; }
    // "Verify after write"; null for a read.
    QCheckBox* verifyBox() const { return verifyBox_; }

    // The settings file that remembers "Verify after write": read now, written on every change.
    void SetSettingsPath(std::filesystem::path path);
    // "Port: COM3 (/dev/ttyUSB2)": the port this transfer uses (hidden for the demo radio).
    QLabel* portLabel() const { return portLabel_; }

public slots:
    // Starts the transfer unless one is running (here or anywhere: the busy flag).
    void Start();
    // "Exit", Esc and the close box: refused while the transfer runs.
    void reject() override;

signals:
    // The worker thread ended (the dialog may already be closing).
    void transferFinished(bool success);
    // Start was pressed and the transfer is about to begin (the busy flag is taken).
    void starting();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // "Verify after write" below the progress bar; each change is stored in the settings file.
    void AddVerifyOption(QVBoxLayout& layout);
    // The one place that decides what the buttons and texts show.
    void SetState(State state);
    void ShowProgress(int position, int total, const QString& percentText);
    void OnWorkerFinished();

    AppState& appState_;
    Messenger& messenger_;
    const LinkFactory& links_;
    const ClonePlan plan_;

    State state_ = State::Idle;
    CloneResult result_;
    bool closeRequested_ = false;
    ThreadedTransfer* transfer_;

    QProgressBar* progressBar_;
    QLabel* percentLabel_;
    QLabel* demoLabel_;
    QCheckBox* verifyBox_ = nullptr;
    std::filesystem::path settingsPath_;
    QLabel* portLabel_;
    QPushButton* startButton_;
    QPushButton* exitButton_;
};

}  // namespace kestra
