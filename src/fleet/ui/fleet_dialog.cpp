// SPDX-License-Identifier: GPL-3.0-or-later
// "Write to Several Radios...": the controls, the port rows and their "Check...".

#include "fleet/ui/fleet_dialog.hpp"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

#include "common/ui/editor_controls_widget.hpp"
#include "link/clock.hpp"
#include "link/device/cable_check.hpp"
#include "link/device/link_factory.hpp"
#include "link/port_choice.hpp"
#include "link/port_names.hpp"
#include "link/ui/doctor_report_dialog.hpp"
#include "link/ui/threaded_transfer.hpp"
#include "model/image_map.hpp"

namespace kestra {

namespace {

enum Column { kPortColumn, kDeviceColumn, kCheckColumn, kProgressColumn, kStatusColumn };

}  // namespace

LineProvider LinesThrough(const LinkFactory* links) {
    return [links](const std::string& device, const auto& use) {
        static const LinkFactory realPortsOnly;
        const std::unique_ptr<SerialLink> link =
            (links != nullptr ? *links : realPortsOnly).Create(device);
        SteadyClock clock;
        use(*link, clock);
    };
}

FleetDialog::FleetDialog(AppState& state, Messenger& messenger, Setup setup, QWidget* parent)
    : QDialog(parent),
      appState_(state),
      messenger_(messenger),
      setup_(std::move(setup)),
      transfer_(new ThreadedTransfer(state.busy, messenger, nullptr, this)) {
    setWindowTitle(QStringLiteral("Write to Several Radios"));
    setModal(true);
    // Without a way of its own the dialog reaches real serial ports only.
    if (!setup_.lines) {
        setup_.lines = LinesThrough(nullptr);
    }
    if (!setup_.check) {
        setup_.check = [](const ChosenPort& port) { return CheckCable(port, LinkFactory()); };
    }

    resultTable_ = new QTableWidget(this);
    resultTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A list to read: the arrows move between its rows, Tab goes on to the buttons.
    resultTable_->setTabKeyNavigation(false);
    resultTable_->verticalHeader()->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreatePortList(), 3);
    layout->addLayout(CreateOptions());
    layout->addWidget(resultTable_, 2);
    layout->addLayout(CreateButtons());
    // Room for the long status lines, but never more than the screen has (a 1024x600 netbook):
    // the port list scrolls and the result table shrinks.
    QSize size(960, 680);
    if (const QScreen* shown = screen()) {
        size = size.boundedTo(shown->availableSize());
    }
    resize(size);

    connect(transfer_, &ThreadedTransfer::finished, this, &FleetDialog::OnRunFinished);
    SetState(State::Idle);
}

FleetDialog::~FleetDialog() {
    // Only when the program tears the dialog down under a run: every radio stops before its
    // next block and the workers end without talking to a dialog that is going away.
    cancel_ = true;
    delete transfer_;
    if (checkThread_ != nullptr) {
        checkThread_->wait();
    }
}

QWidget* FleetDialog::CreatePortList() {
    auto* group = new QGroupBox(QStringLiteral("&Radios"), this);
    auto* inner = new QWidget;
    grid_ = new QGridLayout(inner);
    grid_->setColumnStretch(kStatusColumn, 1);
    for (int number = 1; number <= kPortCount; ++number) {
        const auto status = std::find_if(setup_.ports.begin(), setup_.ports.end(),
                                         [number](const auto& p) { return p.number == number; });
        const bool known = status != setup_.ports.end();
        const std::string device =
            known ? status->device.toStdString() : DeviceForPortNumber(number);
        // "COM12", as the Port dialog shows it, not the name the program keeps for it.
        AddRow({"COM" + std::to_string(number), device}, QString::fromStdString(device),
               known && status->available);
    }
    for (const DetectedSerialPort& port : setup_.detected) {
        if (port.comNumber == 0) {
            const int row = AddRow({port.device.toStdString(), port.device.toStdString()},
                                   port.description, true);
            rows_[static_cast<std::size_t>(row)].box->setToolTip(port.description);
        }
    }
    if (setup_.demoRadio) {
        AddRow({std::string(kDemoDevice), std::string(kDemoDevice)},
               QStringLiteral("built-in, not a radio on a cable"), true);
    }
    auto* scroll = new QScrollArea(group);
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);

    deviceEdit_ = new QLineEdit(group);
    deviceEdit_->setPlaceholderText(QStringLiteral("/dev/ttyUSB0, /dev/pts/5"));
    addButton_ = new QPushButton(QStringLiteral("&Add"), group);
    addButton_->setAutoDefault(false);
    connect(addButton_, &QPushButton::clicked, this, &FleetDialog::AddTypedDevice);
    connect(deviceEdit_, &QLineEdit::returnPressed, this, &FleetDialog::AddTypedDevice);
    auto* deviceRow = new QHBoxLayout;
    auto* deviceLabel = new QLabel(QStringLiteral("Other &device:"), group);
    deviceLabel->setBuddy(deviceEdit_);
    deviceRow->addWidget(deviceLabel);
    deviceRow->addWidget(deviceEdit_, 1);
    deviceRow->addWidget(addButton_);

    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(scroll, 1);
    groupLayout->addLayout(deviceRow);
    return group;
}

int FleetDialog::AddRow(FleetPort port, const QString& shownDevice, bool available) {
    PortRow row;
    QWidget* parent = grid_->parentWidget();
    // A '&' in a typed device name is shown, not taken for an Alt letter.
    const QString name = port.name == kDemoDevice ? QStringLiteral("Demo radio")
                                                  : QString::fromStdString(port.name).replace(
                                                        u'&', QStringLiteral("&&"));
    row.port = std::move(port);
    row.box = new QCheckBox(name, parent);
    // A port that cannot be opened now cannot be chosen, but its "Check..." says why.
    row.available = available;
    row.box->setEnabled(available);
    auto* device = new QLabel(shownDevice, parent);
    device->setEnabled(available);
    row.check = new QPushButton(QStringLiteral("Check..."), parent);
    row.check->setAutoDefault(false);
    row.check->setToolTip(
        QStringLiteral("Test this port: permissions, other programs, drivers, "
                       "and whether the radio answers. Nothing is changed."));
    row.bar = new QProgressBar(parent);
    row.bar->setTextVisible(false);
    row.bar->setVisible(false);
    row.status = new QLabel(parent);
    // A long line is cut at the dialog's edge rather than widening it; its tip shows it whole.
    row.status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row.status->setMinimumWidth(row.status->fontMetrics().horizontalAdvance(
        QStringLiteral("COM16: verified in 28.6 s (6120E v1.2.3, Own ID 1234567)")));
    row.status->setVisible(false);

    const int index = static_cast<int>(rows_.size());
    grid_->addWidget(row.box, index, kPortColumn);
    grid_->addWidget(device, index, kDeviceColumn);
    grid_->addWidget(row.check, index, kCheckColumn);
    grid_->addWidget(row.bar, index, kProgressColumn);
    grid_->addWidget(row.status, index, kStatusColumn);
    connect(row.check, &QPushButton::clicked, this, [this, index] { StartCheck(index); });
    connect(row.box, &QCheckBox::toggled, this, [this] { SetState(state_); });
    rows_.push_back(row);
    return index;
}

QLayout* FleetDialog::CreateOptions() {
    verifyBox_ = new QCheckBox(QStringLiteral("&Verify after write"), this);
    verifyBox_->setToolTip(QStringLiteral(
        "Read the written data back from every radio and compare it with what was sent."));
    verifyBox_->setChecked(setup_.verify);
    ownIdBox_ = new QCheckBox(QStringLiteral("&Number Own IDs from"), this);
    ownIdBox_->setToolTip(
        QStringLiteral("Give the radios the DTMF Own IDs N, N + 1, ... in the order of the list "
                       "(Auto Dial page); nothing else differs between them."));
    ownIdEdit_ = new QLineEdit(this);
    ownIdEdit_->setValidator(new TypingValidator(
        TypingRules{kDigitsOnly, static_cast<int>(map::kOwnIdSize), false}, ownIdEdit_));
    ownIdEdit_->setMaximumWidth(ownIdEdit_->fontMetrics().horizontalAdvance("00000000") + 16);
    connect(ownIdBox_, &QCheckBox::toggled, this, [this] { SetState(state_); });
    auto* options = new QHBoxLayout;
    options->addWidget(verifyBox_);
    options->addSpacing(24);
    options->addWidget(ownIdBox_);
    options->addWidget(ownIdEdit_);
    options->addStretch(1);
    return options;
}

QLayout* FleetDialog::CreateButtons() {
    auto button = [this](const char* text) {
        auto* created = new QPushButton(QString::fromLatin1(text), this);
        created->setAutoDefault(false);
        return created;
    };
    startButton_ = button("&Start");
    cancelButton_ = button("&Cancel");
    copyButton_ = button("Cop&y");
    saveButton_ = button("Save Re&port...");
    closeButton_ = button("Cl&ose");
    connect(startButton_, &QPushButton::clicked, this, &FleetDialog::Start);
    connect(cancelButton_, &QPushButton::clicked, this, &FleetDialog::Cancel);
    connect(copyButton_, &QPushButton::clicked, this, &FleetDialog::CopyResults);
    connect(saveButton_, &QPushButton::clicked, this, &FleetDialog::SaveReport);
    connect(closeButton_, &QPushButton::clicked, this, &FleetDialog::reject);
    resultNote_ = new QLabel(this);
    resultNote_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copyButton_);
    buttons->addWidget(saveButton_);
    buttons->addWidget(resultNote_, 1);
    buttons->addWidget(startButton_);
    buttons->addWidget(cancelButton_);
    buttons->addWidget(closeButton_);
    return buttons;
}

int FleetDialog::RowOf(const QString& name) const {
    const PortChoice wanted = PortChoiceFromText(name.toStdString());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (PortChoiceFromText(rows_[i].port.name) == wanted) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void FleetDialog::AddTypedDevice() {
    const QString typed = deviceEdit_->text().trimmed();
    if (typed.isEmpty() || state_ == State::Running) {
        return;
    }
    int row = RowOf(typed);
    if (row < 0) {
        const std::string device = typed.toStdString();
        row = AddRow({device, device}, typed, true);
    }
    rows_[static_cast<std::size_t>(row)].box->setChecked(true);
    deviceEdit_->clear();
}

void FleetDialog::StartCheck(int row) {
    if (checkThread_ != nullptr || state_ == State::Running) {
        return;
    }
    PortRow& checked = rows_[static_cast<std::size_t>(row)];
    ChosenPort port;
    port.label = checked.port.name;
    port.device = checked.port.device;
    port.howToChoose = "choose another port in this dialog";
    checked.status->setText(QStringLiteral("Checking, this takes a few seconds..."));
    checked.status->setVisible(true);
    checkThread_ = StartCableCheck(this, setup_.check, port, [this, row](const auto& report) {
        checkThread_ = nullptr;
        PortRow& done = rows_[static_cast<std::size_t>(row)];
        // The row shows what the last run did with its radio again, or nothing.
        done.status->setVisible(false);
        const auto inRun = std::find(runRows_.begin(), runRows_.end(), row);
        if (inRun != runRows_.end()) {
            ShowRadio(static_cast<std::size_t>(inRun - runRows_.begin()));
        }
        SetState(state_);
        emit checkFinished();
        DoctorReportDialog reportDialog(
            done.box->text().replace(QStringLiteral("&&"), QStringLiteral("&")), report, this);
        reportDialog.exec();
    });
    SetState(state_);
}

void FleetDialog::SetState(State state) {
    state_ = state;
    const bool running = state == State::Running;
    const bool checking = checkThread_ != nullptr;
    const bool anyChecked = std::any_of(rows_.begin(), rows_.end(), [](const PortRow& row) {
        return row.available && row.box->isChecked();
    });
    for (const PortRow& row : rows_) {
        row.box->setEnabled(row.available && !running);
        row.check->setEnabled(!running && !checking);
    }
    deviceEdit_->setEnabled(!running);
    addButton_->setEnabled(!running);
    verifyBox_->setEnabled(!running);
    ownIdBox_->setEnabled(!running);
    ownIdEdit_->setEnabled(!running && ownIdBox_->isChecked());
    startButton_->setEnabled(!running && !checking && anyChecked);
    cancelButton_->setEnabled(running && !cancel_);
    closeButton_->setEnabled(!running && !checking);
    const bool results = state == State::Finished;
    resultTable_->setVisible(results);
    copyButton_->setEnabled(results);
    saveButton_->setEnabled(results);
    resultNote_->setVisible(results);
}

}  // namespace kestra
