// SPDX-License-Identifier: GPL-3.0-or-later
// The "Radio Infomation" dialog.

#include "service/ui/radio_information_dialog.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/ident_reply.hpp"

namespace kestra {

RadioInformationDialog::RadioInformationDialog(const ServiceContext& context, QWidget* parent)
    : ServiceDialog(QStringLiteral("Radio Infomation"), context, parent) {
    mcuVersion_ = ReadOnlyField(false);
    pcVersion_ = ReadOnlyField(false);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("MCU version"), this), 0, 0);
    grid->addWidget(mcuVersion_, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("PC Version"), this), 1, 0);
    grid->addWidget(pcVersion_, 1, 1, 1, 3);
    const QString sections[] = {QStringLiteral("A Section"), QStringLiteral("B Section")};
    for (int s = 0; s < 2; ++s) {
        lower_[s] = ReadOnlyField(true);
        upper_[s] = ReadOnlyField(true);
        auto* dash = new QLabel(QStringLiteral("---"), this);
        dash->setAlignment(Qt::AlignCenter);
        grid->addWidget(new QLabel(sections[s], this), 2 + s, 0);
        grid->addWidget(lower_[s], 2 + s, 1);
        grid->addWidget(dash, 2 + s, 2);
        grid->addWidget(upper_[s], 2 + s, 3);
    }
    // The model text is decoded but never shown.
    modelLabel_ = new QLabel(QStringLiteral("Model"), this);
    model_ = ReadOnlyField(false);
    modelLabel_->setVisible(false);
    model_->setVisible(false);
    grid->addWidget(modelLabel_, 4, 0);
    grid->addWidget(model_, 4, 1, 1, 3);
    grid->setColumnMinimumWidth(1, 70);
    grid->setColumnMinimumWidth(3, 70);

    read_ = MakeButton(QStringLiteral("Read"));
    connect(read_, &QPushButton::clicked, this, &RadioInformationDialog::Read);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(read_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit* RadioInformationDialog::ReadOnlyField(bool centred) {
    auto* field = new QLineEdit(this);
    field->setReadOnly(true);
    if (centred) {
        field->setAlignment(Qt::AlignCenter);
        field->setMaximumWidth(90);
    }
    return field;
}

void RadioInformationDialog::Read() {
    RunIdentify([this](const std::optional<IdentReply>& reply) {
        if (reply) {
            ShowReply(*reply);
        }
    });
}

void RadioInformationDialog::ShowReply(const IdentReply& reply) {
    const RadioInformation info = DecodeIdentReply(reply);
    model_->setText(QString::fromStdString(info.model));
    if (info.mcuVersion) {
        mcuVersion_->setText(QString::fromStdString(*info.mcuVersion));
    }
    if (info.pcVersion) {
        pcVersion_->setText(QString::fromStdString(*info.pcVersion));
    }
    lower_[0]->setText(QString::number(info.aLowerMhz));
    upper_[0]->setText(QString::number(info.aUpperMhz));
    lower_[1]->setText(QString::number(info.bLowerMhz));
    upper_[1]->setText(QString::number(info.bUpperMhz));
}

}  // namespace kestra
