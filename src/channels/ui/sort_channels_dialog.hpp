// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Edit, Sort Channels: what to sort the channels by (Rx frequency, Tx frequency or name), in
// which order and in which sections. The dialog only gathers the choice; the sort itself is the
// core's SortChannels, run by the caller as one undoable edit.

#include <QDialog>

#include <array>

#include "channels/channel_list.hpp"

class QPushButton;
class QRadioButton;

namespace kestra {

class SortChannelsDialog : public QDialog {
    Q_OBJECT
public:
    // Opens with initial chosen (the last sort's choice).
    explicit SortChannelsDialog(const SortOptions& initial, QWidget* parent = nullptr);

    SortOptions options() const;

    QRadioButton* keyButton(SortKey key) const { return keys_[static_cast<std::size_t>(key)]; }
    QRadioButton* orderButton(bool descending) const { return order_[descending ? 1 : 0]; }
    QRadioButton* sectionButton(SortSections sections) const {
        return sections_[static_cast<std::size_t>(sections)];
    }
    QPushButton* sortButton() const { return sort_; }

private:
    std::array<QRadioButton*, 3> keys_{};      // in SortKey's order
    std::array<QRadioButton*, 2> order_{};     // ascending, descending
    std::array<QRadioButton*, 3> sections_{};  // in SortSections' order
    QPushButton* sort_ = nullptr;
};

}  // namespace kestra
