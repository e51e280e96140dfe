// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An edit box with a spin control whose text is its only state, the way the service dialogs'
// boxes work: typing goes through the box's character filter and length, letters show in upper
// case where the box says so, the arrows (and the Up and Down keys) step the number in the
// text and wrap at the ends of the range, and leaving the box clamps the text into the range.
// Big steps never wrap: PageUp/PageDown, Ctrl with an arrow or a spin click, and the mouse wheel
// stop at the ends of the range. The wheel turns a box only while it has the keyboard focus;
// over any other box it scrolls whatever lies beneath, and never moves the focus.
// The rules themselves are core functions (SpinFieldRule); this only wires them to Qt.

#include <QAbstractSpinBox>

#include "model/spin_field.hpp"

namespace kestra {

class SpinTextBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit SpinTextBox(const SpinFieldRule& rule, QWidget* parent = nullptr);

    const SpinFieldRule& rule() const { return rule_; }

    // Shows the text as it is: a loaded value may lie outside the range until the box is left.
    void setText(const QString& text);
    // The box's line edit, for tests that type into it.
    QLineEdit* editor() const { return lineEdit(); }

    // What leaving the box does (also on Enter): the text clamped into the range.
    void Leave();

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

signals:
    // The text changed by typing, a spin click or leaving the box (not by setText).
    void textEdited();

protected:
    StepEnabled stepEnabled() const override;
    void wheelEvent(QWheelEvent* event) override;

private:
    SpinFieldRule rule_;
    bool stepsWithin_ = false;  // the steps under way are the wheel's
};

}  // namespace kestra
