// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cable doctor's report in a window ("Cable check"): a headline saying whether the cable
// works, then one line per finding with an icon for how much it matters (fine, worth knowing, a
// problem). The texts can be selected, so a user can copy a command out of them. "OK" closes it.
// The Port dialog's "Check..." shows it.

#include <QDialog>

#include <vector>

#include "link/cable_doctor.hpp"

class QLabel;

namespace kestra {

class DoctorReportDialog : public QDialog {
    Q_OBJECT
public:
    // portLabel: the port as the user chose it ("COM3", a device path).
    DoctorReportDialog(const QString& portLabel, const DoctorReport& report,
                       QWidget* parent = nullptr);

    QLabel* headline() const { return headline_; }
    // The finding texts, in order.
    const std::vector<QLabel*>& findingLabels() const { return findingLabels_; }

private:
    QLabel* headline_;
    std::vector<QLabel*> findingLabels_;
};

}  // namespace kestra
