// SPDX-License-Identifier: GPL-3.0-or-later
// The service dialogs' edit box with a spin control.

#include "service/ui/spin_text_box.hpp"

#include <QLineEdit>

#include <algorithm>

namespace kestra {

SpinTextBox::SpinTextBox(const SpinFieldRule& rule, QWidget* parent)
    : QAbstractSpinBox(parent), rule_(rule) {
    lineEdit()->setMaxLength(rule_.typing.maxLength);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAccelerated(true);
    // Wide enough for the longest text the box holds, plus the arrows.
    const int digits = std::max(rule_.typing.maxLength, 3);
    setMinimumWidth(fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('8'))) + 34);
    connect(lineEdit(), &QLineEdit::textEdited, this, &SpinTextBox::textEdited);
    // Emitted when the focus leaves the box, and on Enter, which clamps without leaving it.
    connect(this, &QAbstractSpinBox::editingFinished, this, &SpinTextBox::Leave);
}

void SpinTextBox::setText(const QString& text) {
    lineEdit()->setText(text);
}

void SpinTextBox::stepBy(int steps) {
    const std::string stepped = StepSpinField(rule_, text().toStdString(), steps);
    lineEdit()->setText(QString::fromStdString(stepped));
    selectAll();
    emit textEdited();
}

QValidator::State SpinTextBox::validate(QString& input, int&) const {
    // Typing may not bring a character outside the filter; letters show in upper case.
    const std::optional<std::string> typed = TypedSpinText(rule_, input.toStdString());
    if (!typed) {
        return QValidator::Invalid;
    }
    input = QString::fromStdString(*typed);
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled SpinTextBox::stepEnabled() const {
    // Both arrows always work: the range wraps.
    return StepUpEnabled | StepDownEnabled;
}

void SpinTextBox::Leave() {
    const QString clamped = QString::fromStdString(LeaveSpinField(rule_, text().toStdString()));
    if (clamped != text()) {
        lineEdit()->setText(clamped);
        emit textEdited();
    }
}

}  // namespace kestra
