// SPDX-License-Identifier: GPL-3.0-or-later
// The document window's form: the channel grid and the transfer commands.

#include "channels/ui/program_view.hpp"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QUndoStack>
#include <QVBoxLayout>

#include <tuple>

#include "channels/backup_store.hpp"
#include "channels/channel_document.hpp"
#include "channels/channel_table.hpp"
#include "channels/image_diff.hpp"
#include "channels/image_preparation.hpp"
#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/channel_grid_view.hpp"
#include "channels/ui/channel_interchange.hpp"
#include "channels/ui/image_edit_command.hpp"
#include "channels/ui/write_preview_dialog.hpp"
#include "link/device/cable_check.hpp"
#include "link/device/link_factory.hpp"
#include "link/port_choice.hpp"
#include "link/transfer_messages.hpp"
#include "link/ui/port_dialog.hpp"
#include "link/ui/transfer_controller.hpp"
#include "model/image_map.hpp"
#include "model/program_directory.hpp"
#include "model/settings_file.hpp"
#include "service/ui/password_dialog.hpp"

namespace kestra {

struct CProgramView::Private {
    Private(AppState& s, ChannelDocument& d, QUndoStack& u, Messenger& m)
        : state(s), document(d), undoStack(u), messenger(m) {}

    AppState& state;
    ChannelDocument& document;
    QUndoStack& undoStack;
    Messenger& messenger;
    ChannelGridModel* model = nullptr;
    std::filesystem::path settingsPath;
    std::function<std::vector<ComPortStatus>()> portProbe = ProbeComPorts;
    std::filesystem::path backupFolder = BackupDirectory();
};

CProgramView::CProgramView(AppState& state, ChannelDocument& document, QUndoStack& undoStack,
                           Messenger& messenger, QWidget* parent)
    : QWidget(parent), d_(std::make_unique<Private>(state, document, undoStack, messenger)) {
    d_->model = new ChannelGridModel(document, undoStack, this);
    grid_ = new ChannelGridView(this);
    grid_->SetChannelModel(d_->model);
    grid_->ApplyColumnWidths(logicalDpiX());
    // Focusing the form (start-up, a new or opened document, the window shown again) puts the
    // keyboard in the grid, so Enter and the arrows work without a click first.
    setFocusProxy(grid_);
    BuildForm();

    // A read that went through has filled the image: the document adopts it as the radio's.
    // The image a write is about to send is kept as a backup once its Start is pressed.
    transfers_ = new TransferController(state, messenger, nullptr,
                                        {[this] { StoreGridToImage(); },
                                         [this] {
                                             d_->document.ReplaceImage(d_->document.image());
                                             ShowDocument();
                                         },
                                         [this] { KeepTransferBackup(false); }},
                                        this);
    transfers_->SetSettingsPath(SettingsFilePath(ProgramDirectory()));
    connect(initialization_, &QPushButton::clicked, this, &CProgramView::Initialization);

    // The row commands act on the grid itself (its keys and its context menu); an open cell
    // editor keeps its own copy and paste.
    interchange_ = new ChannelInterchange(*this, messenger);
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const auto& [text, keys, rowCommand] :
         {std::tuple{"Copy Channels", QKeySequence(QKeySequence::Copy),
                     &ChannelInterchange::CopyRows},
          std::tuple{"Paste Channels", QKeySequence(QKeySequence::Paste),
                     &ChannelInterchange::PasteRows},
          std::tuple{"Clear Channels", QKeySequence(Qt::Key_Delete),
                     &ChannelInterchange::DeleteRows}}) {
        auto* rowAction = new QAction(QString::fromLatin1(text), grid_);
        rowAction->setShortcut(keys);
        rowAction->setShortcutContext(Qt::WidgetShortcut);
        connect(rowAction, &QAction::triggered, interchange_, rowCommand);
        grid_->addAction(rowAction);
    }

    auto* serviceKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F11), this);
    serviceKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(serviceKey, &QShortcut::activated, this, &CProgramView::EnterServiceMode);

    ShowDocument();
}

void CProgramView::BuildForm() {
    auto* radioLabel = new QLabel(QStringLiteral("Radio"), this);
    modelCombo_ = new QComboBox(this);
    for (std::string_view name : kModelNames) {
        modelCombo_->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    radioLabel->setBuddy(modelCombo_);
    connect(modelCombo_, &QComboBox::activated, this, [this](int index) {
        if (d_->document.SetModelIndex(index)) {
            emit modelChosen();
        }
    });

    batchGenerate_ = new QPushButton(QStringLiteral("Batch Generate"), this);
    channelEdit_ = new QPushButton(QStringLiteral("Channel Edit"), this);
    connect(batchGenerate_, &QPushButton::clicked, this, &CProgramView::BatchGenerate);
    connect(channelEdit_, &QPushButton::clicked, this, &CProgramView::ChannelEdit);
    initialization_ = new QPushButton(QStringLiteral("Initialization"), this);
    initialization_->setVisible(false);

    auto* controls = new QHBoxLayout;
    controls->addWidget(radioLabel);
    controls->addWidget(modelCombo_);
    controls->addStretch(1);
    controls->addWidget(batchGenerate_);
    controls->addWidget(channelEdit_);
    controls->addWidget(initialization_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(grid_, 1);
    // The grid shares out whatever width the window has (a narrow one scrolls sideways), so the
    // window fits any screen.
}

CProgramView::~CProgramView() {
    // The grid is the working copy: whatever it holds goes back into the image.
    StoreGridToImage();
}

void CProgramView::FillGridFromImage() {
    // The grid is about to be replaced: an open editor's text belongs to the old contents.
    grid_->DiscardOpenEditor();
    d_->document.FillGridFromImage();
    ShowDocument();
}

void CProgramView::ShowDocument() {
    grid_->DiscardOpenEditor();
    d_->model->Reload();
    modelCombo_->setCurrentIndex(d_->document.modelIndex());
}

void CProgramView::StoreGridToImage() {
    CommitOpenEditor();
    d_->document.StoreGridToImage();
}

void CProgramView::CommitOpenEditor() {
    grid_->CommitOpenEditor();
}

ChannelDocument& CProgramView::document() const {
    return d_->document;
}

QUndoStack* CProgramView::undoStack() const {
    return &d_->undoStack;
}

bool CProgramView::RecordImageEdit(const QString& text, const MemoryImage& before) {
    ImagePatch patch = ImagePatch::Between(before, d_->document.image());
    if (patch.empty()) {
        return false;
    }
    d_->undoStack.push(new ImageEditCommand(
        text, std::move(patch), d_->document.image(), [this](const ImagePatch& changed) {
            if (changed.Touches(map::kRecordBase, RecordOffset(kRecordCount))) {
                FillGridFromImage();
            }
        }));
    return true;
}

const ChannelTable& CProgramView::table() const {
    return d_->document.table();
}

void CProgramView::SetLinkFactory(const LinkFactory* links) {
    transfers_->SetLinkFactory(links);
}

void CProgramView::SetSettingsPath(std::filesystem::path path) {
    d_->settingsPath = std::move(path);
    transfers_->SetSettingsPath(d_->settingsPath.empty() ? SettingsFilePath(ProgramDirectory())
                                                         : d_->settingsPath);
}

void CProgramView::SetPortProbe(std::function<std::vector<ComPortStatus>()> probe) {
    d_->portProbe = probe ? std::move(probe) : ProbeComPorts;
}

void CProgramView::SetBackupFolder(std::filesystem::path folder) {
    d_->backupFolder = std::move(folder);
}

int CProgramView::modelIndex() const {
    return d_->document.modelIndex();
}

void CProgramView::Read() {
    CommitOpenEditor();
    if (transfers_->Read()) {
        KeepTransferBackup(true);
        // Undo steps recorded before the read would write old texts into the radio's data.
        d_->undoStack.clear();
        AnnounceCompleted(true);
        emit imageReplaced();
    }
}

void CProgramView::Write() {
    StoreGridToImage();
    if (!ConfirmWrite()) {
        return;
    }
    if (transfers_->Write()) {
        d_->document.RememberWrittenImage();
        AnnounceCompleted(false);
    }
}

void CProgramView::AnnounceCompleted(bool reading) {
    int channels = 0;
    for (int record = 0; record < kRecordCount; ++record) {
        channels += !IsVfoRecord(record) && !table().IsRowEmpty(record) ? 1 : 0;
    }
    emit transferCompleted(
        QString::fromStdString(TransferCompleteText(reading, channels, PortLabel(d_->state))));
}

void CProgramView::Initialization() {
    if (!d_->state.serviceMode) {
        return;
    }
    StoreGridToImage();
    if (transfers_->Initialization()) {
        d_->document.RememberWrittenImage();
    }
}

bool CProgramView::ConfirmWrite() {
    const std::optional<MemoryImage>& radio = d_->document.lastRadioImage();
    if (!radio) {
        return true;
    }
    std::vector<ImageSpan> sent;
    for (const CloneRange& range : ClonePlan::Write().ranges) {
        sent.push_back({range.start, range.end});
    }
    WritePreviewDialog preview(DiffImages(*radio, d_->document.image(), sent), this);
    return preview.exec() == QDialog::Accepted;
}

void CProgramView::KeepTransferBackup(bool read) {
    const BackupKind kind = read ? BackupKind::Read : BackupKind::Write;
    const BackupResult kept =
        KeepBackup(d_->backupFolder, d_->document.image(), kind, std::chrono::system_clock::now());
    std::string text;
    if (!kept.ok()) {
        const std::string what(BackupKindText(kind));
        text = "No backup of this " + what + " was kept: " + kept.error + " The " + what +
               " itself is not affected.";
    }
    for (const std::string& warning : kept.warnings) {
        text += (text.empty() ? "" : "\n") + warning;
    }
    if (!text.empty()) {
        d_->messenger.Show(text);
    }
}

void CProgramView::ComSetup() {
    const std::filesystem::path path =
        d_->settingsPath.empty() ? SettingsFilePath(ProgramDirectory()) : d_->settingsPath;
    SettingsFile settings(path);
    PortDialog dialog(d_->state, settings, d_->portProbe(), DetectSerialPorts(), this);
    // "Check..." reaches the demo radio as the transfers do.
    const LinkFactory* links = transfers_->linkFactory();
    dialog.SetCableCheck([links](const ChosenPort& port) {
        return CheckCable(port, links != nullptr ? *links : LinkFactory());
    });
    dialog.exec();
}

void CProgramView::EnterServiceMode() {
    PasswordDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    d_->state.serviceMode = true;
    initialization_->setVisible(true);
    emit serviceModeEntered();
}

}  // namespace kestra
