// SPDX-License-Identifier: GPL-3.0-or-later
// Controls of the settings dialogs bound to their forms.

#include "settings/ui/settings_form_widget.hpp"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>

namespace kestra {

// ---- typing -------------------------------------------------------------------------------

SpinEdit::SpinEdit(TypingRules rules, QWidget* parent) : QAbstractSpinBox(parent), rules_(rules) {
    if (rules_.maxLength > 0) {
        lineEdit()->setMaxLength(rules_.maxLength);
    }
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setKeyboardTracking(true);
}

void SpinEdit::stepBy(int steps) {
    for (int i = 0; i < std::abs(steps) && onStep; ++i) {
        onStep(steps > 0 ? 1 : -1);
    }
}

QValidator::State SpinEdit::validate(QString& input, int&) const {
    const auto typed = TypedText(rules_, input);
    if (!typed) {
        return QValidator::Invalid;
    }
    input = *typed;
    return QValidator::Acceptable;
}

// ---- the binder ---------------------------------------------------------------------------

FormBinder::FormBinder(std::unique_ptr<SettingsForm> form, QObject* parent)
    : QObject(parent), form_(std::move(form)), controls_(form_->Count(), nullptr) {}

QWidget* FormBinder::MakeControl(std::size_t field, QWidget* parent) {
    QWidget* made = nullptr;
    const TypingRules typing = form_->Typing(field);
    switch (form_->Kind(field)) {
        case ControlKind::List: {
            auto* list = new QComboBox(parent);
            for (std::string_view text : form_->ListTexts(field)) {
                list->addItem(Latin1Text(text));
            }
            // Every change the user makes (list, keys, wheel, typed search); the binder's own
            // updates are made with the signals blocked.
            connect(list, &QComboBox::currentIndexChanged, this, [this, list, field](int index) {
                form_->SetText(field, list->itemText(index).toStdString());
                Leave(field);
            });
            made = list;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(parent);
            if (typing.maxLength > 0) {
                edit->setMaxLength(typing.maxLength);
            }
            edit->setValidator(new TypingValidator(typing, edit));
            connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
                form_->SetText(field, text.toStdString());
            });
            Watch(edit, field);
            made = edit;
            break;
        }
        case ControlKind::SpinEdit: {
            auto* spin = new SpinEdit(typing, parent);
            spin->onStep = [this, field](int direction) {
                form_->Step(field, direction);
                Refresh();
            };
            connect(spin->edit(), &QLineEdit::textEdited, this, [this, field](const QString& text) {
                form_->SetText(field, text.toStdString());
            });
            Watch(spin, field);
            Watch(spin->edit(), field);
            made = spin;
            break;
        }
    }
    made->setAccessibleName(Latin1Text(form_->Caption(field)));
    controls_[field] = made;
    return made;
}

QWidget* FormBinder::control(std::size_t field) const {
    return controls_[field];
}

QWidget* FormBinder::control(std::string_view caption) const {
    const auto found = form_->Find(caption);
    return found ? controls_[*found] : nullptr;
}

std::size_t FormBinder::field(std::string_view caption) const {
    return form_->Find(caption).value_or(form_->Count());
}

void FormBinder::Refresh() {
    for (std::size_t field = 0; field < controls_.size(); ++field) {
        QWidget* widget = controls_[field];
        const QString text = QString::fromStdString(form_->Text(field));
        if (auto* list = qobject_cast<QComboBox*>(widget)) {
            const QSignalBlocker quiet(list);
            list->setCurrentIndex(list->findText(text, Qt::MatchExactly));
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            if (edit->text() != text) {
                const QSignalBlocker quiet(edit);
                edit->setText(text);
            }
        } else if (auto* spin = qobject_cast<SpinEdit*>(widget)) {
            if (spin->edit()->text() != text) {
                const QSignalBlocker quiet(spin->edit());
                spin->edit()->setText(text);
            }
        }
    }
    emit refreshed();
}

void FormBinder::Leave(std::size_t field) {
    form_->Leave(field);
    Refresh();
}

void FormBinder::LeaveFocusedControl() {
    const QWidget* focused = QApplication::focusWidget();
    for (const auto& [object, field] : watched_) {
        if (object == focused) {
            Leave(field);
            return;
        }
    }
}

void FormBinder::Watch(QObject* object, std::size_t field) {
    watched_.emplace_back(object, field);
    object->installEventFilter(this);
}

bool FormBinder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // A context menu over the edit or a switch to another program is no leaving.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            for (const auto& [object, field] : watched_) {
                if (object == watched) {
                    Leave(field);
                    break;
                }
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kestra
