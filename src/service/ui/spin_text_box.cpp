// SPDX-License-Identifier: GPL-3.0-or-later
// The service dialogs' edit box with a spin control.

#include "service/ui/spin_text_box.hpp"

#include <QLineEdit>
#include <QWheelEvent>

#include <algorithm>

namespace kestra {

SpinTextBox::SpinTextBox(const SpinFieldRule& rule, QWidget* parent)
    : QAbstractSpinBox(parent), rule_(rule) {
    lineEdit()->setMaxLength(rule_.typing.maxLength);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAccelerated(true);
    // A wheel turned over the dialog must not take the focus to a box and change it.
    setFocusPolicy(Qt::StrongFocus);
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
    // One step up or down wraps, as the spin control always has; bigger steps and the wheel
    // stop at the ends, so a value near the top never jumps to the bottom.
    const bool wrap = (steps == 1 || steps == -1) && !stepsWithin_;
    const std::string now = text().toStdString();
    const std::string stepped =
        wrap ? StepSpinField(rule_, now, steps) : StepSpinFieldWithin(rule_, now, steps);
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

void SpinTextBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    stepsWithin_ = true;
    QAbstractSpinBox::wheelEvent(event);
    stepsWithin_ = false;
}

void SpinTextBox::Leave() {
    const QString clamped = QString::fromStdString(LeaveSpinField(rule_, text().toStdString()));
    if (clamped != text()) {
        lineEdit()->setText(clamped);
        emit textEdited();
    }
}

}  // namespace kestra
