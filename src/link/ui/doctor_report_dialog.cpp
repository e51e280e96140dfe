// SPDX-License-Identifier: GPL-3.0-or-later
// The cable doctor's report window.

#include "link/ui/doctor_report_dialog.hpp"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace kestra {
namespace {

QStyle::StandardPixmap IconFor(FindingLevel level) {
    switch (level) {
        case FindingLevel::Good:
            return QStyle::SP_DialogApplyButton;
        case FindingLevel::Note:
            return QStyle::SP_MessageBoxInformation;
        case FindingLevel::Problem:
            break;
    }
    return QStyle::SP_MessageBoxWarning;
}

QString HeadlineText(const QString& portLabel, const DoctorReport& report) {
    if (report.demoRadio && report.Healthy()) {
        return QStringLiteral("The demo radio answered.");
    }
    if (report.Healthy()) {
        return QStringLiteral("The radio answered on %1 and nothing stands in the way.")
            .arg(portLabel);
    }
    if (portLabel.isEmpty()) {
        return QStringLiteral("No port is chosen. The lines below say what the system has.");
    }
    return QStringLiteral("%1 does not work yet. The lines marked with a warning say what to do.")
        .arg(portLabel);
}

}  // namespace

DoctorReportDialog::DoctorReportDialog(const QString& portLabel, const DoctorReport& report,
                                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Cable check"));
    headline_ = new QLabel(HeadlineText(portLabel, report), this);
    headline_->setWordWrap(true);
    QFont bold = headline_->font();
    bold.setBold(true);
    headline_->setFont(bold);

    auto* lines = new QWidget;
    auto* grid = new QGridLayout(lines);
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize);
    int row = 0;
    for (const Finding& finding : report.findings) {
        auto* icon = new QLabel(lines);
        icon->setPixmap(style()->standardIcon(IconFor(finding.level)).pixmap(iconSize, iconSize));
        auto* text = new QLabel(QString::fromStdString(finding.text), lines);
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(icon, row, 0, Qt::AlignTop);
        grid->addWidget(text, row, 1);
        findingLabels_.push_back(text);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(lines);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(headline_);
    layout->addWidget(scroll, 1);
    layout->addWidget(box);
    resize(640, 420);
}

}  // namespace kestra
