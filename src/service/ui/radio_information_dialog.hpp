// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Radio Infomation" (so captioned; the menu item reads "Radio Information"): asks the radio to
// identify itself and shows its firmware version, the programming-software version that goes
// with it and the limits of its A and B sections in whole MHz. It needs no password and touches
// neither the image nor the radio's memory. A second "Read" overwrites what it decodes and
// keeps the rest (a firmware without a table entry leaves "PC Version" as it was).

#include "service/ui/service_dialog.hpp"

class QLabel;
class QLineEdit;

namespace kestra {

class RadioInformationDialog : public ServiceDialog {
    Q_OBJECT
public:
    RadioInformationDialog(const ServiceContext& context, QWidget* parent = nullptr);

    QLineEdit* mcuVersion() const { return mcuVersion_; }
    QLineEdit* pcVersion() const { return pcVersion_; }
    // Section 0 is A, 1 is B.
    QLineEdit* lowerLimit(int section) const { return lower_[section]; }
    QLineEdit* upperLimit(int section) const { return upper_[section]; }
    QLineEdit* model() const { return model_; }
    QPushButton* readButton() const { return read_; }

public slots:
    void Read();

private:
    // The reply's model, versions and band limits in the read-only fields.
    void ShowReply(const IdentReply& reply);
    QLineEdit* ReadOnlyField(bool centred);

    QLineEdit* mcuVersion_;
    QLineEdit* pcVersion_;
    QLineEdit* lower_[2];
    QLineEdit* upper_[2];
    QLabel* modelLabel_;
    QLineEdit* model_;
    QPushButton* read_;
};

}  // namespace kestra
