// The document window's form: the channel grid and the transfer commands.

#include "channels/program_view.hpp"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

#include "app/program_directory.hpp"
#include "app/settings_file.hpp"
#include "channels/channel_grid_model.hpp"
#include "channels/channel_grid_view.hpp"
#include "channels/channel_table.hpp"
#include "channels/image_preparation.hpp"
#include "link/link_factory.hpp"
#include "link/port_dialog.hpp"
#include "link/transfer_controller.hpp"
#include "service/password_dialog.hpp"

namespace kestra {

struct CProgramView::Private {
    Private(AppState& s, Messenger& m) : state(s), messenger(m) {}

    AppState& state;
    Messenger& messenger;
    ChannelTable table;
    QUndoStack* undoStack = nullptr;
    ChannelGridModel* model = nullptr;
    ChannelGridView* grid = nullptr;
    QComboBox* modelCombo = nullptr;
    QPushButton* batchGenerate = nullptr;
    QPushButton* channelEdit = nullptr;
    QPushButton* initialization = nullptr;
    TransferController* transfers = nullptr;
    std::filesystem::path settingsPath;
    std::function<std::vector<ComPortStatus>()> portProbe = ProbeComPorts;
};

CProgramView::CProgramView(AppState& state, Messenger& messenger, QWidget* parent)
    : QWidget(parent), d_(std::make_unique<Private>(state, messenger)) {
    d_->undoStack = new QUndoStack(this);
    d_->model = new ChannelGridModel(d_->table, state, *d_->undoStack, this);
    d_->grid = new ChannelGridView(this);
    d_->grid->SetChannelModel(d_->model);
    d_->grid->ApplyColumnWidths(logicalDpiX());

    auto* radioLabel = new QLabel(QStringLiteral("Radio"), this);
    d_->modelCombo = new QComboBox(this);
    for (std::string_view name : kModelNames) {
        d_->modelCombo->addItem(
            QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    d_->modelCombo->setCurrentIndex(kDefaultModelIndex);
    radioLabel->setBuddy(d_->modelCombo);

    d_->batchGenerate = new QPushButton(QStringLiteral("Batch Generate"), this);
    d_->channelEdit = new QPushButton(QStringLiteral("Channel Edit"), this);
    // Their dialogs are not part of this window yet.
    d_->batchGenerate->setEnabled(false);
    d_->channelEdit->setEnabled(false);
    d_->initialization = new QPushButton(QStringLiteral("Initialization"), this);
    d_->initialization->setVisible(false);

    auto* controls = new QHBoxLayout;
    controls->addWidget(radioLabel);
    controls->addWidget(d_->modelCombo);
    controls->addStretch(1);
    controls->addWidget(d_->batchGenerate);
    controls->addWidget(d_->channelEdit);
    controls->addWidget(d_->initialization);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(d_->grid, 1);

    // Wide enough for every column without a horizontal scroll bar.
    int gridWidth = d_->grid->verticalHeader()->width() + 2 * d_->grid->frameWidth() +
                    d_->grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < kModelColumnCount; ++c) {
        gridWidth += d_->grid->columnWidth(c);
    }
    d_->grid->setMinimumWidth(gridWidth);

    d_->transfers = new TransferController(
        state, messenger, nullptr,
        {[this] { StoreGridToImage(); }, [this] { FillGridFromImage(); }}, this);
    connect(d_->initialization, &QPushButton::clicked, this, &CProgramView::Initialization);

    auto* serviceKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F11), this);
    serviceKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(serviceKey, &QShortcut::activated, this, &CProgramView::EnterServiceMode);

    FillGridFromImage();
}

CProgramView::~CProgramView() {
    // The grid is the working copy: whatever it holds goes back into the image.
    StoreGridToImage();
}

void CProgramView::FillGridFromImage() {
    // The grid is about to be replaced: an open editor's text belongs to the old contents.
    d_->grid->DiscardOpenEditor();
    d_->table.FillGridFromImage(d_->state.image, d_->state.limits);
    d_->model->Reload();
}

void CProgramView::StoreGridToImage() {
    d_->grid->CommitOpenEditor();
    d_->table.StoreGridToImage(d_->state.image, d_->state.limits, modelIndex());
}

QUndoStack* CProgramView::undoStack() const {
    return d_->undoStack;
}

const ChannelTable& CProgramView::table() const {
    return d_->table;
}

void CProgramView::SetLinkFactory(const LinkFactory* links) {
    d_->transfers->SetLinkFactory(links);
}

void CProgramView::SetSettingsPath(std::filesystem::path path) {
    d_->settingsPath = std::move(path);
}

void CProgramView::SetPortProbe(std::function<std::vector<ComPortStatus>()> probe) {
    d_->portProbe = probe ? std::move(probe) : ProbeComPorts;
}

int CProgramView::modelIndex() const {
    return std::max(d_->modelCombo->currentIndex(), 0);
}

ChannelGridView* CProgramView::grid() const {
    return d_->grid;
}

QComboBox* CProgramView::modelCombo() const {
    return d_->modelCombo;
}

QPushButton* CProgramView::batchGenerateButton() const {
    return d_->batchGenerate;
}

QPushButton* CProgramView::channelEditButton() const {
    return d_->channelEdit;
}

QPushButton* CProgramView::initializationButton() const {
    return d_->initialization;
}

TransferController* CProgramView::transferController() const {
    return d_->transfers;
}

void CProgramView::Read() {
    d_->grid->CommitOpenEditor();
    if (d_->transfers->Read()) {
        // Undo steps recorded before the read would write old texts into the radio's data.
        d_->undoStack->clear();
        emit imageReplaced();
    }
}

void CProgramView::Write() {
    d_->transfers->Write();
}

void CProgramView::Initialization() {
    if (d_->state.serviceMode) {
        d_->transfers->Initialization();
    }
}

void CProgramView::ComSetup() {
    const std::filesystem::path path =
        d_->settingsPath.empty() ? SettingsFilePath(ProgramDirectory()) : d_->settingsPath;
    SettingsFile settings(path);
    PortDialog dialog(d_->state, settings, d_->portProbe(), DetectSerialPorts(), this);
    dialog.exec();
}

void CProgramView::EnterServiceMode() {
    PasswordDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    d_->state.serviceMode = true;
    d_->initialization->setVisible(true);
    emit serviceModeEntered();
}

}  // namespace kestra
