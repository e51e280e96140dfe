// SPDX-License-Identifier: GPL-3.0-or-later
// The document window's form: the channel grid, the "Radio" box and the form's buttons.

#include "channels/ui/program_view.hpp"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "channels/channel_document.hpp"
#include "channels/channel_table.hpp"
#include "channels/image_preparation.hpp"
#include "channels/ui/channel_find_bar.hpp"
#include "channels/ui/channel_grid_model.hpp"
#include "channels/ui/channel_grid_view.hpp"

namespace kestra {

CProgramView::CProgramView(ChannelDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
    model_ = new ChannelGridModel(document, this);
    grid_ = new ChannelGridView(this);
    grid_->SetChannelModel(model_);
    grid_->ApplyColumnWidths(logicalDpiX());
    // Focusing the form (start-up, a new or opened document, the window shown again) puts the
    // keyboard in the grid, so Enter and the arrows work without a click first.
    setFocusProxy(grid_);
    BuildForm();
    CreateRowActions();

    auto* serviceKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F11), this);
    serviceKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(serviceKey, &QShortcut::activated, this, &CProgramView::passwordRequested);

    ShowDocument();
}

void CProgramView::BuildForm() {
    // Every control of the form has a mnemonic (Alt+R, Alt+B, Alt+C, Alt+I).
    auto* radioLabel = new QLabel(QStringLiteral("&Radio"), this);
    modelCombo_ = new QComboBox(this);
    for (std::string_view name : kModelNames) {
        modelCombo_->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    radioLabel->setBuddy(modelCombo_);
    connect(modelCombo_, &QComboBox::activated, this, [this](int index) {
        if (document_.SetModelIndex(index)) {
            emit modelChosen();
        }
    });

    batchGenerate_ = new QPushButton(QStringLiteral("&Batch Generate"), this);
    channelEdit_ = new QPushButton(QStringLiteral("&Channel Edit"), this);
    initialization_ = new QPushButton(QStringLiteral("&Initialization"), this);
    initialization_->setVisible(false);

    auto* controls = new QHBoxLayout;
    controls->addWidget(radioLabel);
    controls->addWidget(modelCombo_);
    controls->addStretch(1);
    controls->addWidget(batchGenerate_);
    controls->addWidget(channelEdit_);
    controls->addWidget(initialization_);
    // The Find bar comes between the controls and the grid once it is first used.
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    // The grid shares out whatever width the window has (a narrow one scrolls sideways), so the
    // window fits any screen.
    layout->addWidget(grid_, 1);
}

ChannelFindBar* CProgramView::findBar() {
    if (findBar_ == nullptr) {
        findBar_ = new ChannelFindBar(this);
        findBar_->setVisible(false);
        static_cast<QVBoxLayout*>(layout())->insertWidget(1, findBar_);
        emit findBarMade(findBar_);
    }
    return findBar_;
}

bool CProgramView::findBarShown() const {
    return findBar_ != nullptr && findBar_->isVisible();
}

void CProgramView::CreateRowActions() {
    // The row commands act on the grid itself (its keys and its context menu); an open cell
    // editor keeps its own keys (copy, paste, Insert, Delete). Find and Find Next answer
    // anywhere in the window, the Find bar included.
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    const struct {
        RowCommand command;
        const char* text;
        QKeySequence keys;
        bool separatorBefore;
    } commands[] = {
        {RowCommand::Copy, "Copy Channels", QKeySequence(QKeySequence::Copy), false},
        {RowCommand::Paste, "Paste Channels", QKeySequence(QKeySequence::Paste), false},
        {RowCommand::Clear, "Clear Channels", QKeySequence(Qt::Key_Delete), false},
        {RowCommand::Sort, "Sort C&hannels...", QKeySequence(), true},
        {RowCommand::MoveUp, "&Move Up", QKeySequence(Qt::ALT | Qt::Key_Up), false},
        {RowCommand::MoveDown, "Move Do&wn", QKeySequence(Qt::ALT | Qt::Key_Down), false},
        {RowCommand::InsertEmpty, "Insert &Empty Channel", QKeySequence(Qt::Key_Insert), false},
        {RowCommand::Remove, "Remo&ve Channels", QKeySequence(Qt::SHIFT | Qt::Key_Delete), false},
        {RowCommand::Find, "&Find...", QKeySequence(Qt::CTRL | Qt::Key_F), true},
        {RowCommand::FindNext, "Find Ne&xt", QKeySequence(Qt::Key_F3), false}};
    for (const auto& [command, text, keys, separatorBefore] : commands) {
        if (separatorBefore) {
            auto* separator = new QAction(grid_);
            separator->setSeparator(true);
            grid_->addAction(separator);
        }
        auto* action = new QAction(QString::fromLatin1(text), grid_);
        action->setShortcut(keys);
        const bool wholeWindow = command == RowCommand::Find || command == RowCommand::FindNext;
        action->setShortcutContext(wholeWindow ? Qt::WindowShortcut : Qt::WidgetShortcut);
        grid_->addAction(action);
        rowActions_[static_cast<int>(command)] = action;
    }
}

CProgramView::~CProgramView() {
    // The grid is the working copy: whatever it holds goes back into the image.
    StoreGridToImage();
}

void CProgramView::FillGridFromImage() {
    // The grid is about to be replaced: an open editor's text belongs to the old contents.
    grid_->DiscardOpenEditor();
    document_.FillGridFromImage();
    ShowDocument();
}

void CProgramView::ShowDocument() {
    grid_->DiscardOpenEditor();
    model_->Reload();
    modelCombo_->setCurrentIndex(document_.modelIndex());
}

void CProgramView::StoreGridToImage() {
    CommitOpenEditor();
    document_.StoreGridToImage();
    model_->MarkStored();
}

void CProgramView::CommitOpenEditor() {
    grid_->CommitOpenEditor();
}

void CProgramView::ShowInitializationButton() {
    initialization_->setVisible(true);
}

const ChannelTable& CProgramView::table() const {
    return document_.table();
}

int CProgramView::modelIndex() const {
    return document_.modelIndex();
}

}  // namespace kestra
