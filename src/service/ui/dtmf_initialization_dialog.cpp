// SPDX-License-Identifier: GPL-3.0-or-later
// The "DTMF Initialization" dialog.

#include "service/ui/dtmf_initialization_dialog.hpp"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/service_transfer.hpp"
#include "service/dtmf_initialization.hpp"
#include "service/ui/spin_text_box.hpp"

namespace kestra {

DtmfInitializationDialog::DtmfInitializationDialog(const ServiceContext& context, QWidget* parent)
    : ServiceDialog(QStringLiteral("DTMF Initialization"), context, parent) {
    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (std::size_t k = 0; k < boxes_.size(); ++k) {
        boxes_[k] = new SpinTextBox(kDtmfDecoderRule, this);
        const std::string_view caption = kDtmfDecoderEntries[k].caption;
        auto* label = new QLabel(
            QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())), this);
        label->setBuddy(boxes_[k]);
        fields->addRow(label, boxes_[k]);
    }
    read_ = MakeButton(QStringLiteral("Read"));
    write_ = MakeButton(QStringLiteral("Write"));
    connect(read_, &QPushButton::clicked, this, &DtmfInitializationDialog::Read);
    connect(write_, &QPushButton::clicked, this, &DtmfInitializationDialog::Write);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(read_);
    buttons->addWidget(write_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Load();
}

void DtmfInitializationDialog::Load() {
    const DtmfInitializationForm form = LoadDtmfInitialization(state_.image);
    for (std::size_t k = 0; k < boxes_.size(); ++k) {
        boxes_[k]->setText(QString::fromStdString(form[k]));
    }
}

void DtmfInitializationDialog::Commit() {
    DtmfInitializationForm form;
    for (std::size_t k = 0; k < boxes_.size(); ++k) {
        form[k] = boxes_[k]->text().toStdString();
    }
    CommitDtmfInitialization(form, state_.image);
    for (std::size_t k = 0; k < boxes_.size(); ++k) {
        boxes_[k]->setText(QString::fromStdString(form[k]));
    }
}

void DtmfInitializationDialog::Read() {
    RunTransfer(kDtmfInitializationRead, [this](bool ok) {
        if (ok) {
            Load();
        }
    });
}

void DtmfInitializationDialog::Write() {
    LeaveFocusedBox();
    Commit();
    RunWrite(ServiceArea::DtmfInitialization);
}

}  // namespace kestra
