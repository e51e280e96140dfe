// SPDX-License-Identifier: GPL-3.0-or-later
// The "Port" dialog.

#include "link/ui/port_dialog.hpp"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QThread>
#include <QVBoxLayout>

#include "link/device/cable_check.hpp"
#include "link/device/link_factory.hpp"
#include "link/port_choice.hpp"
#include "link/port_names.hpp"
#include "link/ui/cable_check_thread.hpp"
#include "link/ui/doctor_report_dialog.hpp"
#include "model/settings_file.hpp"

namespace kestra {
namespace {

constexpr int kPortsPerRow = 4;

const ComPortStatus* FindPort(const std::vector<ComPortStatus>& ports, int number) {
    for (const ComPortStatus& port : ports) {
        if (port.number == number) {
            return &port;
        }
    }
    return nullptr;
}

}  // namespace

PortDialog::PortDialog(AppState& state, SettingsFile& settings,
                       const std::vector<ComPortStatus>& ports,
                       const std::vector<DetectedSerialPort>& detected, QWidget* parent)
    : QDialog(parent), state_(state), settings_(settings) {
    setWindowTitle(QStringLiteral("Port"));

    auto* group = new QGroupBox(QStringLiteral("Communication Port"), this);
    auto* buttons = new QButtonGroup(this);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(CreatePortButtons(group, buttons, ports));
    demoButton_ =
        new QRadioButton(QStringLiteral("Demo radio (built-in, for this run only)"), group);
    buttons->addButton(demoButton_);
    groupLayout->addWidget(demoButton_);
    groupLayout->addLayout(CreateDeviceRow(group, buttons, detected));

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = box->button(QDialogButtonBox::Ok);
    okButton_->setText(QStringLiteral("OK"));
    cancelButton_ = box->button(QDialogButtonBox::Cancel);
    cancelButton_->setText(QStringLiteral("Cancel"));
    checkButton_ = box->addButton(QStringLiteral("Check..."), QDialogButtonBox::ActionRole);
    checkButton_->setToolTip(
        QStringLiteral("Test the chosen port: permissions, other programs, drivers, and whether "
                       "the radio answers. Nothing is changed."));
    connect(box, &QDialogButtonBox::accepted, this, &PortDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &PortDialog::reject);
    connect(checkButton_, &QPushButton::clicked, this, &PortDialog::StartCheck);
    // The line keeps its room while hidden and never widens the dialog (a long path is cut
    // short), so the dialog keeps its size while a check comes and goes.
    checkStatus_ = new QLabel(this);
    QSizePolicy statusPolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    statusPolicy.setRetainSizeWhenHidden(true);
    checkStatus_->setSizePolicy(statusPolicy);
    checkStatus_->setVisible(false);
    SetCableCheck({});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(checkStatus_);
    layout->addWidget(box);

    CheckCurrentChoice(ports);
    UpdateOkButton();
    // From here on a change of the checked button, a click on one (the current one included)
    // or a typed path is the user's pick; only a pick reaches Program.ini.
    connect(buttons, &QButtonGroup::buttonToggled, this, [this] { picked_ = true; });
    connect(buttons, &QButtonGroup::buttonClicked, this, [this] { picked_ = true; });
    connect(deviceEdit_, &QLineEdit::textEdited, this, [this] { picked_ = true; });
}

QGridLayout* PortDialog::CreatePortButtons(QWidget* group, QButtonGroup* buttons,
                                           const std::vector<ComPortStatus>& ports) {
    auto* grid = new QGridLayout;
    for (int number = 1; number <= kPortCount; ++number) {
        const ComPortStatus* status = FindPort(ports, number);
        const QString device = status != nullptr
                                   ? status->device
                                   : QString::fromStdString(DeviceForPortNumber(number));
        auto* button = new QRadioButton(QStringLiteral("COM%1").arg(number), group);
        button->setToolTip(device);
        button->setEnabled(status != nullptr && status->available);
        auto* deviceLabel = new QLabel(device, group);
        QFont small = deviceLabel->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        deviceLabel->setFont(small);
        deviceLabel->setEnabled(button->isEnabled());
        deviceLabel->setIndent(button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth));

        auto* cell = new QVBoxLayout;
        cell->setSpacing(0);
        cell->addWidget(button);
        cell->addWidget(deviceLabel);
        const int index = number - 1;
        grid->addLayout(cell, index / kPortsPerRow, index % kPortsPerRow);
        buttons->addButton(button, number);
        portButtons_[static_cast<std::size_t>(index)] = button;
    }
    return grid;
}

QHBoxLayout* PortDialog::CreateDeviceRow(QWidget* group, QButtonGroup* buttons,
                                         const std::vector<DetectedSerialPort>& detected) {
    deviceButton_ = new QRadioButton(QStringLiteral("Other device:"), group);
    buttons->addButton(deviceButton_);
    deviceEdit_ = new QLineEdit(group);
    deviceEdit_->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    deviceEdit_->setEnabled(false);
    QStringList devicePaths;
    QStringList descriptions;
    for (const DetectedSerialPort& port : detected) {
        devicePaths << port.device;
        if (!port.description.isEmpty()) {
            descriptions << QStringLiteral("%1: %2").arg(port.device, port.description);
        }
    }
    if (!devicePaths.isEmpty()) {
        deviceEdit_->setCompleter(new QCompleter(devicePaths, deviceEdit_));
        deviceEdit_->setToolTip(descriptions.join(QLatin1Char('\n')));
    }
    connect(deviceButton_, &QRadioButton::toggled, this, [this](bool chosen) {
        deviceEdit_->setEnabled(chosen);
        if (chosen) {
            // Choosing a device path means typing one next.
            deviceEdit_->setFocus();
        }
        UpdateOkButton();
    });
    connect(deviceEdit_, &QLineEdit::textChanged, this, &PortDialog::UpdateOkButton);

    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(deviceButton_);
    deviceRow->addWidget(deviceEdit_, 1);
    return deviceRow;
}

void PortDialog::UpdateOkButton() {
    // Without a path the device choice would store nothing: OK waits for one.
    okButton_->setEnabled(!deviceButton_->isChecked() || !deviceEdit_->text().trimmed().isEmpty());
}

QRadioButton* PortDialog::portButton(int number) const {
    if (number < 1 || number > kPortCount) {
        return nullptr;
    }
    return portButtons_[static_cast<std::size_t>(number - 1)];
}

void PortDialog::CheckCurrentChoice(const std::vector<ComPortStatus>& ports) {
    const PortChoice current = CurrentPortChoice(state_, [&ports](int number) {
        const ComPortStatus* status = FindPort(ports, number);
        return status != nullptr && status->available;
    });
    switch (current.kind) {
        case PortChoice::Kind::Demo:
            demoButton_->setChecked(true);
            break;
        case PortChoice::Kind::Device:
            deviceButton_->setChecked(true);
            deviceEdit_->setText(QString::fromStdString(current.device));
            break;
        case PortChoice::Kind::Com:
            portButton(current.number)->setChecked(true);
            break;
        case PortChoice::Kind::None:
            break;
    }
}

PortChoice PortDialog::CheckedChoice() const {
    for (int number = 1; number <= kPortCount; ++number) {
        if (portButton(number)->isChecked()) {
            return PortChoice::Com(number);
        }
    }
    if (demoButton_->isChecked()) {
        return PortChoice::Demo();
    }
    if (deviceButton_->isChecked()) {
        // An empty path is no choice: it would silently fall back to the COM port.
        return PortChoiceFromText(deviceEdit_->text().toStdString());
    }
    return {};
}

PortDialog::~PortDialog() {
    if (checkThread_ != nullptr) {
        // Only when the dialog is torn down under a running check: let it end first.
        checkThread_->wait();
    }
}

void PortDialog::SetCableCheck(CableCheck check) {
    if (!check) {
        check = [](const ChosenPort& port) { return CheckCable(port, LinkFactory()); };
    }
    check_ = std::move(check);
}

ChosenPort PortDialog::PortToCheck() const {
    ChosenPort port;
    port.howToChoose = "choose it in this dialog";
    const PortChoice choice = CheckedChoice();
    switch (choice.kind) {
        case PortChoice::Kind::Com:
            port.label = "COM" + std::to_string(choice.number);
            port.device = DeviceForPortNumber(choice.number);
            break;
        case PortChoice::Kind::Demo:
            port.label = "the demo radio";
            port.device = std::string(kDemoDevice);
            break;
        case PortChoice::Kind::Device:
            port.label = choice.device;
            port.device = choice.device;
            break;
        case PortChoice::Kind::None:
            port.whyNone = deviceButton_->isChecked() ? "no device path is typed in this dialog"
                                                      : "no port is checked in this dialog";
            break;
    }
    return port;
}

void PortDialog::StartCheck() {
    if (checkThread_ != nullptr) {
        return;
    }
    const ChosenPort port = PortToCheck();
    // Named as the dialog names its ports: "COM13 (/dev/ttyS0)".
    const QString label = QString::fromStdString(port.Named());
    const QString status =
        port.device.empty() ? QStringLiteral("Checking the system's serial ports...")
                            : QStringLiteral("Checking %1, this takes a few seconds...").arg(label);
    // The line has its width once the dialog is on the screen.
    const int room = isVisible() ? checkStatus_->width() : QWIDGETSIZE_MAX;
    checkStatus_->setText(checkStatus_->fontMetrics().elidedText(status, Qt::ElideMiddle, room));
    checkStatus_->setToolTip(status);
    checkStatus_->setVisible(true);
    // The dialog waits for the check: nothing else may change the port meanwhile.
    for (QPushButton* button : {okButton_, cancelButton_, checkButton_}) {
        button->setEnabled(false);
    }
    checkThread_ = StartCableCheck(this, check_, port, [this, label](const DoctorReport& report) {
        checkThread_ = nullptr;
        OnCheckFinished(report, label);
    });
}

void PortDialog::OnCheckFinished(const DoctorReport& report, const QString& portLabel) {
    checkStatus_->setVisible(false);
    cancelButton_->setEnabled(true);
    checkButton_->setEnabled(true);
    UpdateOkButton();
    emit checkFinished();
    DoctorReportDialog reportDialog(portLabel, report, this);
    reportDialog.exec();
}

void PortDialog::reject() {
    if (checkThread_ == nullptr) {
        QDialog::reject();
    }
}

void PortDialog::closeEvent(QCloseEvent* event) {
    if (checkThread_ != nullptr) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void PortDialog::accept() {
    if (checkThread_ != nullptr) {
        return;
    }
    PortSetup setup(state_, settings_);
    if (!setup.Accept(CheckedChoice(), picked_)) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(setup.FailureText()));
    }
    QDialog::accept();
}

}  // namespace kestra
