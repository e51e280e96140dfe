#pragma once
// What the Channel Edit and batch dialogs share about their controls: edits that take only the
// characters their box takes (dropped as they are typed, a paste with anything else refused),
// and a watcher that tells a dialog when the focus enters or leaves one of its controls, which
// is where their boxes are committed and normalised.

#include <QObject>
#include <QValidator>

#include <functional>
#include <vector>

#include "model/field_layout.hpp"

class QLineEdit;
class QWidget;

namespace kestra {

// Takes a text only when every character and the length fit the rules.
class TypingRulesValidator : public QValidator {
public:
    TypingRulesValidator(TypingRules rules, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    TypingRules rules_;
};

// An edit that takes what the rules allow (length included).
QLineEdit* MakeFilteredEdit(const TypingRules& rules, QWidget* parent);

// Calls entered(control) when the focus moves into one of the watched controls (or a child of
// it) from outside it, and left(control) when it moves out of it.
class ControlFocusWatcher : public QObject {
    Q_OBJECT
public:
    ControlFocusWatcher(std::function<void(QWidget*)> entered, std::function<void(QWidget*)> left,
                        QObject* parent);
    void Watch(QWidget* control);
    // The watched control holding the focus now, or null.
    QWidget* FocusedControl() const;

private:
    QWidget* ControlOf(QWidget* widget) const;
    void FocusChanged(QWidget* old, QWidget* now);

    std::vector<QWidget*> controls_;
    std::function<void(QWidget*)> entered_;
    std::function<void(QWidget*)> left_;
};

}  // namespace kestra
