// SPDX-License-Identifier: GPL-3.0-or-later
// The groups of the "Batch Gerenate CH" dialog: its controls and their layout.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "channels/ui/batch_generate_dialog.hpp"
#include "common/ui/editor_controls_widget.hpp"
#include "model/channel_record.hpp"
#include "model/codecs.hpp"

namespace kestra {

namespace {

// Two or more radios that choose exactly one, laid out in a row.
QHBoxLayout* RadioRow(QWidget* parent, std::initializer_list<QRadioButton*> radios) {
    auto* group = new QButtonGroup(parent);
    auto* row = new QHBoxLayout;
    for (QRadioButton* radio : radios) {
        group->addButton(radio);
        row->addWidget(radio);
    }
    row->addStretch(1);
    return row;
}

QComboBox* ToneList(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    for (const std::string& tone : ToneChoiceList()) {
        combo->addItem(Latin1Text(tone));
    }
    combo->setMaxVisibleItems(20);
    return combo;
}

}  // namespace

QGroupBox* BatchGenerateDialog::BuildRangeGroup() {
    auto* group = new QGroupBox(QStringLiteral("Range:"), this);
    c_.all = new QRadioButton(QStringLiteral("All"), group);
    c_.aSection = new QRadioButton(QStringLiteral("A Section"), group);
    c_.bSection = new QRadioButton(QStringLiteral("B Section"), group);
    c_.from = new QRadioButton(QStringLiteral("From"), group);
    c_.fromEdit = MakeFilteredEdit(kRangeBoxTyping, group);
    c_.toEdit = MakeFilteredEdit(kRangeBoxTyping, group);
    for (QLineEdit* edit : {c_.fromEdit, c_.toEdit}) {
        edit->setFixedWidth(50);
    }
    auto* box = new QVBoxLayout(group);
    box->addLayout(RadioRow(group, {c_.all, c_.aSection, c_.bSection}));
    auto* fromRow = new QHBoxLayout;
    fromRow->addWidget(c_.from);
    fromRow->addWidget(c_.fromEdit);
    fromRow->addWidget(new QLabel(QStringLiteral("To"), group));
    fromRow->addWidget(c_.toEdit);
    fromRow->addStretch(1);
    box->addLayout(fromRow);
    // "From" belongs to the same choice as the three above it.
    c_.all->group()->addButton(c_.from);
    return group;
}

QGroupBox* BatchGenerateDialog::BuildRxGroup() {
    auto* group = new QGroupBox(QStringLiteral("Rx Freq:"), this);
    c_.rxStart = MakeFilteredEdit(kStartBoxTyping, group);
    c_.rxStep = MakeFilteredEdit(kStepBoxTyping, group);
    c_.rxAsc = new QRadioButton(QStringLiteral("Asc"), group);
    c_.rxDesc = new QRadioButton(QStringLiteral("Desc"), group);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Start Freq(MHz)"), c_.rxStart);
    form->addRow(QStringLiteral("Rx Steo (kHz)"), c_.rxStep);
    form->addRow(RadioRow(group, {c_.rxAsc, c_.rxDesc}));
    return group;
}

QGroupBox* BatchGenerateDialog::BuildTxGroup() {
    auto* group = new QGroupBox(QStringLiteral("Tx Freq:"), this);
    c_.txDefault = new QRadioButton(QStringLiteral("Default"), group);
    c_.txOffset = new QRadioButton(QStringLiteral("Offset Freq(MHz)"), group);
    c_.txStart = new QRadioButton(QStringLiteral("Start Freq(MHz)"), group);
    c_.offset = MakeFilteredEdit(kOffsetBoxTyping, group);
    c_.plus = new QRadioButton(QStringLiteral("Plus"), group);
    c_.minus = new QRadioButton(QStringLiteral("Minus"), group);
    c_.txStartEdit = MakeFilteredEdit(kStartBoxTyping, group);
    c_.txStep = MakeFilteredEdit(kStepBoxTyping, group);
    c_.txAsc = new QRadioButton(QStringLiteral("Asc"), group);
    c_.txDesc = new QRadioButton(QStringLiteral("Desc"), group);

    auto* modes = new QButtonGroup(group);
    auto* grid = new QGridLayout(group);
    grid->addWidget(c_.txDefault, 0, 0);
    grid->addWidget(c_.txOffset, 1, 0);
    grid->addWidget(c_.offset, 1, 1);
    grid->addLayout(RadioRow(group, {c_.plus, c_.minus}), 2, 1);
    grid->addWidget(c_.txStart, 3, 0);
    grid->addWidget(c_.txStartEdit, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Tx Step(KHz)"), group), 4, 0);
    grid->addWidget(c_.txStep, 4, 1);
    grid->addLayout(RadioRow(group, {c_.txAsc, c_.txDesc}), 5, 1);
    for (QRadioButton* mode : {c_.txDefault, c_.txOffset, c_.txStart}) {
        modes->addButton(mode);
    }
    return group;
}

QGroupBox* BatchGenerateDialog::BuildRxToneGroup() {
    auto* group = new QGroupBox(QStringLiteral("Rx Tone:"), this);
    c_.rxTone = ToneList(group);
    c_.rxRandom = new QCheckBox(QStringLiteral("Random"), group);
    c_.rxInterval = MakeFilteredEdit(kIntervalBoxTyping, group);
    c_.rxToneAsc = new QRadioButton(QStringLiteral("Asc"), group);
    c_.rxToneDesc = new QRadioButton(QStringLiteral("Desc"), group);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Start Tone"), c_.rxTone);
    form->addRow(c_.rxRandom);
    form->addRow(QStringLiteral("Interval"), c_.rxInterval);
    form->addRow(RadioRow(group, {c_.rxToneAsc, c_.rxToneDesc}));
    return group;
}

QGroupBox* BatchGenerateDialog::BuildTxToneGroup() {
    auto* group = new QGroupBox(QStringLiteral("Tx Tone:"), this);
    c_.txToneDefault = new QRadioButton(QStringLiteral("Default"), group);
    c_.txToneStart = new QRadioButton(QStringLiteral("Start Tone"), group);
    c_.txTone = ToneList(group);
    c_.txRandom = new QCheckBox(QStringLiteral("Random"), group);
    c_.txInterval = MakeFilteredEdit(kIntervalBoxTyping, group);
    c_.txToneAsc = new QRadioButton(QStringLiteral("Asc"), group);
    c_.txToneDesc = new QRadioButton(QStringLiteral("Desc"), group);
    auto* form = new QFormLayout(group);
    auto* modes = new QButtonGroup(group);
    modes->addButton(c_.txToneDefault);
    modes->addButton(c_.txToneStart);
    form->addRow(c_.txToneDefault);
    form->addRow(c_.txToneStart, c_.txTone);
    form->addRow(c_.txRandom);
    form->addRow(QStringLiteral("Interval"), c_.txInterval);
    form->addRow(RadioRow(group, {c_.txToneAsc, c_.txToneDesc}));
    return group;
}

QGroupBox* BatchGenerateDialog::BuildListGroup() {
    auto* group = new QGroupBox(this);
    auto* form = new QFormLayout(group);
    // The form's order: Tx Power, W/N, Signal Type, Scan Add, BCL, PTT ID, Relay Mode, Vox,
    // Voice Process (indices into kChannelListFields).
    for (std::size_t i : {0, 1, 6, 5, 2, 7, 8, 3, 4}) {
        auto* list = new QComboBox(group);
        for (std::string_view text : kChannelListFields[i].texts) {
            list->addItem(Latin1Text(text));
        }
        c_.lists[i] = list;
        form->addRow(Latin1Text(kChannelListFields[i].caption), list);
    }
    c_.name = MakeFilteredEdit({{}, static_cast<int>(kChannelNameLength)}, group);
    c_.byNumber = new QCheckBox(QStringLiteral("By CH Num"), group);
    form->addRow(QStringLiteral("CH. Name"), c_.name);
    form->addRow(c_.byNumber);
    return group;
}

}  // namespace kestra
