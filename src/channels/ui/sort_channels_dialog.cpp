// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of how to sort the channel list.

#include "channels/ui/sort_channels_dialog.hpp"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace kestra {
namespace {

// A group of radio buttons titled title, one per text, the first checked.
template <std::size_t N>
QGroupBox* ChoiceGroup(const QString& title, std::initializer_list<const char*> texts,
                       std::array<QRadioButton*, N>& buttons, QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(group);
    std::size_t i = 0;
    for (const char* text : texts) {
        buttons[i] = new QRadioButton(QString::fromLatin1(text), group);
        layout->addWidget(buttons[i]);
        ++i;
    }
    layout->addStretch(1);
    buttons[0]->setChecked(true);
    return group;
}

}  // namespace

SortChannelsDialog::SortChannelsDialog(const SortOptions& initial, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Sort Channels"));
    auto* groups = new QHBoxLayout;
    groups->addWidget(ChoiceGroup(QStringLiteral("Sort by"),
                                  {"&Rx frequency", "&Tx frequency", "&Name"}, keys_, this));
    groups->addWidget(
        ChoiceGroup(QStringLiteral("Order"), {"A&scending", "&Descending"}, order_, this));
    groups->addWidget(ChoiceGroup(QStringLiteral("Sections"), {"Section &A", "Section &B", "B&oth"},
                                  sections_, this));
    keyButton(initial.key)->setChecked(true);
    orderButton(initial.descending)->setChecked(true);
    sectionButton(initial.sections)->setChecked(true);

    auto* note = new QLabel(QStringLiteral("Channels stay in their own section and keep all their "
                                           "settings. Empty channels go last; channels without a "
                                           "name (or Tx frequency) come just before them."),
                            this);
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    sort_ = buttons->addButton(QStringLiteral("Sort"), QDialogButtonBox::AcceptRole);
    sort_->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

SortOptions SortChannelsDialog::options() const {
    SortOptions options;
    for (const SortKey key : {SortKey::RxFrequency, SortKey::TxFrequency, SortKey::Name}) {
        if (keyButton(key)->isChecked()) {
            options.key = key;
        }
    }
    options.descending = orderButton(true)->isChecked();
    for (const SortSections sections : {SortSections::A, SortSections::B, SortSections::Both}) {
        if (sectionButton(sections)->isChecked()) {
            options.sections = sections;
        }
    }
    return options;
}

}  // namespace kestra
