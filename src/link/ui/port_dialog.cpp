// The "Port" dialog.

#include "link/ui/port_dialog.hpp"

#include <QButtonGroup>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "model/settings_file.hpp"
#include "link/port_names.hpp"

namespace kestra {
namespace {

constexpr int kPortsPerRow = 4;
constexpr std::string_view kSetup = "Setup";
constexpr std::string_view kComKey = "COM";
constexpr std::string_view kDeviceKey = "Device";

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

    demoButton_ = new QRadioButton(QStringLiteral("Demo radio (built-in)"), group);
    buttons->addButton(demoButton_);
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
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(grid);
    groupLayout->addWidget(demoButton_);
    groupLayout->addLayout(deviceRow);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = box->button(QDialogButtonBox::Ok);
    okButton_->setText(QStringLiteral("OK"));
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(box, &QDialogButtonBox::accepted, this, &PortDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &PortDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(box);

    CheckCurrentChoice(ports);
    UpdateOkButton();
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
    const QString override = QString::fromStdString(state_.deviceOverride);
    if (override == QLatin1String(kDemoDevice.data(), static_cast<qsizetype>(kDemoDevice.size()))) {
        demoButton_->setChecked(true);
        return;
    }
    if (!override.isEmpty()) {
        deviceButton_->setChecked(true);
        deviceEdit_->setText(override);
        return;
    }
    // The current port is checked only when it can be opened now.
    const int number = PortNumberFromName(state_.portName);
    const ComPortStatus* status = FindPort(ports, number);
    if (status != nullptr && status->available && number >= 1 && number <= kPortCount) {
        portButton(number)->setChecked(true);
    }
}

void PortDialog::accept() {
    for (int number = 1; number <= kPortCount; ++number) {
        if (portButton(number)->isChecked()) {
            state_.portName = PortNameForNumber(number);
            state_.deviceOverride.clear();
            settings_.WriteInt(kSetup, kComKey, number);
            // A COM choice replaces a stored device path; a file without one stays as it is.
            if (!settings_.GetText(kSetup, kDeviceKey).empty()) {
                settings_.WriteText(kSetup, kDeviceKey, "");
            }
            QDialog::accept();
            return;
        }
    }
    if (demoButton_->isChecked()) {
        state_.deviceOverride = std::string(kDemoDevice);
        settings_.WriteText(kSetup, kDeviceKey, kDemoDevice);
    } else if (deviceButton_->isChecked()) {
        // An empty path is no choice: it would silently fall back to the COM port.
        const std::string path = deviceEdit_->text().trimmed().toStdString();
        if (!path.empty()) {
            state_.deviceOverride = path;
            settings_.WriteText(kSetup, kDeviceKey, path);
        }
    }
    QDialog::accept();
}

}  // namespace kestra
