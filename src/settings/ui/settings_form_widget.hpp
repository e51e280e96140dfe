// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The glue between a settings form (core) and the controls of its dialog: a drop-down list, an
// edit or an edit with up-down buttons per field, built from the field's row, filtered as the
// row says, and kept in step with the form's texts. Choosing an entry, leaving an edit and
// pressing an up-down button go to the form, which normalises; the controls then show what the
// form holds.

#include <QAbstractSpinBox>
#include <QObject>
#include <QValidator>

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "common/ui/editor_controls_widget.hpp"
#include "settings/settings_form.hpp"

class QLineEdit;

namespace kestra {

// An edit with up-down buttons that leaves the stepping to a callback: the field's own rule
// decides the next value and where it wraps.
class SpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    SpinEdit(TypingRules rules, QWidget* parent);

    QLineEdit* edit() const { return lineEdit(); }
    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

    std::function<void(int direction)> onStep;

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    TypingRules rules_;
};

// Owns its form, so that no control outlives the texts it shows (a focused edit is left while
// the dialog is torn down).
class FormBinder : public QObject {
    Q_OBJECT
public:
    FormBinder(std::unique_ptr<SettingsForm> form, QObject* parent);

    SettingsForm& form() const { return *form_; }

    // The field's control, filled and filtered from its row.
    QWidget* MakeControl(std::size_t field, QWidget* parent);
    QWidget* control(std::size_t field) const;
    QWidget* control(std::string_view caption) const;
    std::size_t field(std::string_view caption) const;

    // Shows the form's texts in every control.
    void Refresh();
    // The user left the field: the form normalises it and every control is refreshed.
    void Leave(std::size_t field);
    // When a control of this form has the focus, leaves it as if the focus moved on (before a
    // page encodes, so that text still being typed counts).
    void LeaveFocusedControl();

signals:
    // The form's texts may have changed (controls outside the binder, such as a grid, follow).
    void refreshed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QObject* object, std::size_t field);

    std::unique_ptr<SettingsForm> form_;
    std::vector<QWidget*> controls_;
    std::vector<std::pair<QObject*, std::size_t>> watched_;
};

}  // namespace kestra
