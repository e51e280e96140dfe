// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the editors' dialogs share about their controls: edits that take only the
// characters their box takes (dropped as they are typed, a paste with anything else refused),
// and a watcher that tells a dialog when the focus enters or leaves one of its controls, which
// is where their boxes are committed and normalised.

#include <QKeyEvent>
#include <QModelIndex>
#include <QObject>
#include <QValidator>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/field_layout.hpp"

class QLineEdit;
class QWidget;

namespace kestra {

// The editors' texts are Latin-1 bytes (the radio's character set is ASCII).
inline QString Latin1Text(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string Latin1String(const QString& text) {
    return text.toLatin1().toStdString();
}

// Return or the keypad's Enter.
inline bool IsEnterKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// For dialogs that close only by their close box or buttons: Enter and Esc, with which a
// QDialog would close itself, are accepted and dropped. True when the key was one of them.
inline bool DropDialogCloseKey(QKeyEvent* event) {
    if (IsEnterKey(event) || event->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return false;
}

// Tab and Shift+Tab in a grid move from cell to cell but leave the grid at its ends instead of
// wrapping around to the other end, so a keyboard user is never trapped in it: true when the
// move from current would wrap (the grid's moveCursor then returns an invalid index and the
// focus moves on to the next control). next: Tab (the view's MoveNext), else Shift+Tab.
inline bool TabWouldWrap(bool next, const QModelIndex& current) {
    const QAbstractItemModel* model = current.model();
    if (model == nullptr) {
        return false;
    }
    if (next) {
        return current.row() == model->rowCount() - 1 &&
               current.column() == model->columnCount() - 1;
    }
    return current.row() == 0 && current.column() == 0;
}

// The text as an edit with these rules would hold it (upper-cased where they say so), or
// nothing when a character or the length is refused.
std::optional<QString> TypedText(const TypingRules& rules, const QString& input);

// Takes only what the edit's typing rules let through, upper-casing where they say so.
class TypingValidator : public QValidator {
public:
    TypingValidator(TypingRules rules, QObject* parent);
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
