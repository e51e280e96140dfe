// SPDX-License-Identifier: GPL-3.0-or-later
// The channel grid's in-place editors: a frequency box, the editable tone combo and the
// drop-down lists of the choice columns.

#include "channels/ui/channel_grid_view.hpp"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "channels/ui/channel_grid_model.hpp"
#include "common/ui/editor_controls_widget.hpp"
#include "model/codecs.hpp"

namespace kestra {
namespace {

QStringList ToStringList(std::span<const std::string_view> texts) {
    QStringList list;
    for (std::string_view text : texts) {
        list << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    return list;
}

const QStringList& ToneTexts() {
    static const QStringList texts = [] {
        QStringList list;
        for (const std::string& text : ToneChoiceList()) {
            list << QString::fromStdString(text);
        }
        return list;
    }();
    return texts;
}

// The frequency box: digits, the point and the editing keys only. Other characters are dropped
// as they are typed, and a paste holding anything else is refused.
class FrequencyEdit : public QLineEdit {
public:
    explicit FrequencyEdit(QWidget* parent) : QLineEdit(parent) {
        setAlignment(Qt::AlignCenter);
        setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), this));
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QString typed = event->text();
        if (typed.size() == 1 && typed.at(0).isPrint()) {
            const char16_t c = typed.at(0).unicode();
            if (c > 0x7F || !FilterAccepts(kFrequencyFilter, static_cast<char>(c))) {
                event->accept();
                return;
            }
        }
        QLineEdit::keyPressEvent(event);
    }
};

}  // namespace

// ---- ChannelCellDelegate --------------------------------------------------------------------

QWidget* ChannelCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                           const QModelIndex& index) const {
    const Column column = ColumnAt(index.column());
    switch (EditorKindFor(column)) {
        case EditorKind::Frequency:
            return new FrequencyEdit(parent);
        case EditorKind::Tone: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            combo->addItems(ToneTexts());
            combo->setInsertPolicy(QComboBox::NoInsert);
            // The typed text is normalised by the commit; completing it inline while typing
            // would turn "8" into "82.5".
            combo->setCompleter(nullptr);
            combo->setMaxVisibleItems(20);
            return combo;
        }
        case EditorKind::Choice: {
            auto* combo = new QComboBox(parent);
            combo->addItems(ToStringList(ChoiceList(column)));
            return combo;
        }
        case EditorKind::None:
            break;
    }
    return nullptr;
}

void ChannelCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
        edit->selectAll();
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int entry = combo->findText(text);
        if (entry >= 0 || !combo->isEditable()) {
            combo->setCurrentIndex(entry);
        } else {
            combo->setEditText(text);
        }
        // As in the frequency box, a tone typed into the opened combo replaces the cell's text.
        if (QLineEdit* line = combo->lineEdit()) {
            line->selectAll();
        }
    }
}

void ChannelCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                       const QModelIndex& index) const {
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, edit->text(), Qt::EditRole);
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, combo->currentText(), Qt::EditRole);
    }
}

bool ChannelCellDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor != nullptr && event->type() == QEvent::KeyPress &&
        IsEnterKey(static_cast<QKeyEvent*>(event))) {
        // Enter commits and moves on: down after an emptied frequency (the row is gone, so the
        // next row is the natural place to go on), right otherwise. Closing the editor from
        // inside its own key event is not safe, so it happens on the next turn of the loop.
        GridMove move = GridMove::Right;
        if (auto* edit = qobject_cast<QLineEdit*>(editor);
            edit != nullptr && edit->text().isEmpty()) {
            move = GridMove::Down;
        }
        QPointer<QWidget> guarded(editor);
        QMetaObject::invokeMethod(
            this,
            [this, guarded, move] {
                if (guarded.isNull()) {
                    return;
                }
                emit commitData(guarded);
                emit closeEditor(guarded, QAbstractItemDelegate::NoHint);
                emit moveRequested(move);
            },
            Qt::QueuedConnection);
        return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace kestra
