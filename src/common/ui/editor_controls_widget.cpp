// SPDX-License-Identifier: GPL-3.0-or-later
// Filtered edits and the focus watcher of the editors' dialogs.

#include "common/ui/editor_controls_widget.hpp"

#include <QApplication>
#include <QLineEdit>

namespace kestra {

std::optional<QString> TypedText(const TypingRules& rules, const QString& input) {
    // Characters beyond ASCII are refused by every rule; Latin-1 keeps them single bytes that
    // the core then refuses.
    for (QChar c : input) {
        if (c.unicode() > 0x7F) {
            return std::nullopt;
        }
    }
    const std::optional<std::string> typed = TypedText(rules, Latin1String(input));
    if (!typed) {
        return std::nullopt;
    }
    return Latin1Text(*typed);
}

TypingValidator::TypingValidator(TypingRules rules, QObject* parent)
    : QValidator(parent), rules_(rules) {}

QValidator::State TypingValidator::validate(QString& input, int&) const {
    const std::optional<QString> typed = TypedText(rules_, input);
    if (!typed) {
        return Invalid;
    }
    input = *typed;
    return Acceptable;
}

QLineEdit* MakeFilteredEdit(const TypingRules& rules, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new TypingValidator(rules, edit));
    if (rules.maxLength > 0) {
        edit->setMaxLength(rules.maxLength);
    }
    return edit;
}

ControlFocusWatcher::ControlFocusWatcher(std::function<void(QWidget*)> entered,
                                         std::function<void(QWidget*)> left, QObject* parent)
    : QObject(parent), entered_(std::move(entered)), left_(std::move(left)) {
    connect(qApp, &QApplication::focusChanged, this, &ControlFocusWatcher::FocusChanged);
}

void ControlFocusWatcher::Watch(QWidget* control) {
    controls_.push_back(control);
}

QWidget* ControlFocusWatcher::ControlOf(QWidget* widget) const {
    for (QWidget* control : controls_) {
        if (widget != nullptr && (widget == control || control->isAncestorOf(widget))) {
            return control;
        }
    }
    return nullptr;
}

QWidget* ControlFocusWatcher::FocusedControl() const {
    return ControlOf(QApplication::focusWidget());
}

void ControlFocusWatcher::FocusChanged(QWidget* old, QWidget* now) {
    QWidget* from = ControlOf(old);
    QWidget* to = ControlOf(now);
    if (from == to) {
        return;
    }
    if (from != nullptr && left_) {
        left_(from);
    }
    if (to != nullptr && entered_) {
        entered_(to);
    }
}

}  // namespace kestra
