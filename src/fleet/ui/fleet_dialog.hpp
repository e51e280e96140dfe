// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Write to Several Radios..." (Program menu): the open document's image, prepared as Program,
// Write prepares it, written to several radios at once, one cable each. The ports are the Com
// Setup list (COM1-COM16 with their devices, the system's other serial devices, the demo radio,
// any device typed in), each with a check box and its own "Check..."; "Verify after write" and
// "Number Own IDs from" apply to every radio. Start runs them all with a progress bar and a
// status line per radio; Cancel stops every radio before its next block; at the end a result
// table that can be copied or saved as the JSON report.
//
// The dialog only draws: the ports' rules, the Own IDs, the runs, the per-radio state, the table
// and the report are the fleet's core code, shared with `kestra-cli fleet`. The run goes through
// the program's ThreadedTransfer as one fleet job, so the busy flag is taken from Start until the
// last radio has ended. States: Idle (nothing run yet), Running (only Cancel), Finished (the
// table shown; another Start runs the next radios).

#include <QDialog>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fleet/fleet_plan.hpp"
#include "fleet/fleet_status.hpp"
#include "link/device/port_probe.hpp"
#include "link/ui/cable_check_thread.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;

namespace kestra {

class LinkFactory;
class ThreadedTransfer;

// Each radio's serial line through links (null: real serial ports only): created, used and
// closed on that radio's own worker thread.
LineProvider LinesThrough(const LinkFactory* links);

class FleetDialog : public QDialog {
    Q_OBJECT
public:
    enum class State { Idle, Running, Finished };

    // What the dialog is given by the program.
    struct Setup {
        MemoryImage image;                         // prepared as Program, Write prepares it
        std::string documentName;                  // the report's "image"
        std::vector<ComPortStatus> ports;          // COM1-COM16, as Com Setup shows them
        std::vector<DetectedSerialPort> detected;  // the system's serial devices
        bool demoRadio = false;                    // offer the built-in demo radio
        LineProvider lines;   // each radio's serial line (default: real serial ports only)
        CableCheck check;     // what "Check..." runs (default: the cable doctor, real ports)
        bool verify = false;  // "Verify after write" at first
    };

    FleetDialog(AppState& state, Messenger& messenger, Setup setup, QWidget* parent = nullptr);
    ~FleetDialog() override;

    State state() const { return state_; }
    // The radios of the last run as their rows show them, with their outcomes.
    const FleetStatus& status() const { return status_; }

    int rowCount() const { return static_cast<int>(rows_.size()); }
    // The row of a port by its name ("COM3", "demo", a device path); -1 when there is none.
    int RowOf(const QString& name) const;
    QCheckBox* portBox(int row) const { return rows_[static_cast<std::size_t>(row)].box; }
    QPushButton* checkButton(int row) const { return rows_[static_cast<std::size_t>(row)].check; }
    QProgressBar* progressBar(int row) const { return rows_[static_cast<std::size_t>(row)].bar; }
    QLabel* statusLabel(int row) const { return rows_[static_cast<std::size_t>(row)].status; }
    QLineEdit* deviceEdit() const { return deviceEdit_; }
    QPushButton* addButton() const { return addButton_; }
    QCheckBox* verifyBox() const { return verifyBox_; }
    QCheckBox* ownIdBox() const { return ownIdBox_; }
    QLineEdit* ownIdEdit() const { return ownIdEdit_; }
    QPushButton* startButton() const { return startButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QPushButton* copyButton() const { return copyButton_; }
    QPushButton* saveButton() const { return saveButton_; }
    QPushButton* closeButton() const { return closeButton_; }
    QTableWidget* resultTable() const { return resultTable_; }
    // What became of the last Copy or Save Report ("Report saved as ...").
    QLabel* resultNote() const { return resultNote_; }

    // Where "Save Report..." saves (default: a file dialog); an empty path saves nothing.
    void SetReportPathChooser(std::function<QString()> choose);

public slots:
    void Start();
    // Stops every radio before its next block.
    void Cancel();
    // The result table as tab-separated text on the clipboard.
    void CopyResults();
    void SaveReport();
    // The device typed into the "Other device" box: its row checked, a new row when needed.
    void AddTypedDevice();
    // Esc and the close box: while radios run they stop them instead of closing.
    void reject() override;

signals:
    // Every radio of the run has ended and the table shows them.
    void runFinished();
    // A "Check..." ended; its report is about to be shown.
    void checkFinished();

private:
    struct PortRow {
        FleetPort port;
        QCheckBox* box = nullptr;
        QPushButton* check = nullptr;
        QProgressBar* bar = nullptr;
        QLabel* status = nullptr;
        bool available = true;  // the port opens now (else only its "Check..." is usable)
    };

    QWidget* CreatePortList();
    QLayout* CreateOptions();
    QLayout* CreateButtons();
    int AddRow(FleetPort port, const QString& shownDevice, bool available);
    void StartCheck(int row);
    // The run the controls ask for, with the row of each radio; nothing after saying why not.
    std::optional<FleetRequest> RequestFromControls(std::vector<int>& rows);
    // The one place that decides what the controls show.
    void SetState(State state);
    void ShowRadio(std::size_t radio);
    void OnRunFinished();

    AppState& appState_;
    Messenger& messenger_;
    Setup setup_;
    State state_ = State::Idle;
    FleetStatus status_;
    std::vector<int> runRows_;  // the row of each radio of the run
    std::atomic<bool> cancel_{false};
    std::chrono::system_clock::time_point started_;
    std::function<QString()> chooseReportPath_;
    ThreadedTransfer* transfer_;
    QThread* checkThread_ = nullptr;

    std::vector<PortRow> rows_;
    QGridLayout* grid_ = nullptr;
    QLineEdit* deviceEdit_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QCheckBox* verifyBox_ = nullptr;
    QCheckBox* ownIdBox_ = nullptr;
    QLineEdit* ownIdEdit_ = nullptr;
    QTableWidget* resultTable_ = nullptr;
    QLabel* resultNote_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace kestra
