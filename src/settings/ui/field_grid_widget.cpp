// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialogs' two-column grids with their in-place edit.

#include "settings/ui/field_grid_widget.hpp"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <functional>

#include "settings/ui/settings_form_widget.hpp"

namespace kestra {

// The in-place edit of a grid's text column. Unlike a plain item delegate, Esc keeps the typed
// text instead of throwing it away, and Enter can move on to the next row.
class CellEditorDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    std::function<TypingRules(int row)> typing;
    std::function<void(int row, const QString& text)> commit;
    std::function<void(int row)> enterPressed;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* edit = new QLineEdit(parent);
        const TypingRules rules = typing(index.row());
        if (rules.maxLength > 0) {
            edit->setMaxLength(rules.maxLength);
        }
        edit->setValidator(new TypingValidator(rules, edit));
        edit->setAlignment(Qt::AlignCenter);
        open_ = edit;
        openRow_ = index.row();
        return edit;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QLineEdit*>(editor)->setText(index.data().toString());
    }

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        commit(index.row(), static_cast<QLineEdit*>(editor)->text());
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        if (editor == open_) {
            open_ = nullptr;
        }
        QStyledItemDelegate::destroyEditor(editor, index);
    }

    QLineEdit* openEditor() const { return open_; }

    void CommitAndClose() {
        if (QLineEdit* edit = open_) {
            emit commitData(edit);
            emit closeEditor(edit, QAbstractItemDelegate::NoHint);
        }
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && object == open_) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
                const int row = openRow_;
                CommitAndClose();
                if (key != Qt::Key_Escape && enterPressed) {
                    enterPressed(row);
                }
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    mutable QLineEdit* open_ = nullptr;
    mutable int openRow_ = -1;
};

namespace {

constexpr int kNumberColumn = 0;
constexpr int kTextColumn = 1;

}  // namespace

FieldGrid::FieldGrid(FormBinder& binder, Layout layout, QWidget* parent)
    : QTableWidget(layout.rows, 2, parent),
      binder_(binder),
      layout_(std::move(layout)),
      delegate_(new CellEditorDelegate(this)) {
    setHorizontalHeaderLabels({layout_.numberHeader, layout_.textHeader});
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < layout_.rows; ++row) {
        auto* number = new QTableWidgetItem(QString::number(layout_.firstNumber + row));
        number->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        number->setTextAlignment(Qt::AlignCenter);
        setItem(row, kNumberColumn, number);
        auto* text = new QTableWidgetItem;
        text->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        text->setTextAlignment(Qt::AlignCenter);
        setItem(row, kTextColumn, text);
    }
    setCurrentCell(0, kTextColumn);
    // Rows as tall as the in-place edit needs; every row shows without scrolling where the
    // screen has room (sizeHint), and the text column takes what width the grid has.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 10);
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidth(kNumberColumn, layout_.numberTwips * logicalDpiX() / 1440);
    setColumnWidth(kTextColumn, layout_.textTwips * logicalDpiX() / 1440);
    setMinimumWidth(columnWidth(kNumberColumn) + columnWidth(kTextColumn) + 2 * frameWidth());
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    delegate_->typing = [this](int row) {
        return binder_.form().Typing(layout_.firstField + static_cast<std::size_t>(row));
    };
    delegate_->commit = [this](int row, const QString& text) { Commit(row, text); };
    if (layout_.enterMovesDown) {
        delegate_->enterPressed = [this](int row) {
            if (row + 1 < layout_.rows) {
                setCurrentCell(row + 1, kTextColumn);
            }
        };
    }
    setItemDelegateForColumn(kTextColumn, delegate_);

    connect(this, &QAbstractItemView::pressed, this, [this](const QModelIndex& index) {
        if (pressedButton_ == Qt::LeftButton &&
            (index.column() == kTextColumn || layout_.numberPressEdits)) {
            EditRow(index.row());
        }
    });
    connect(&binder_, &FormBinder::refreshed, this, &FieldGrid::Refresh);
    Refresh();
}

int FieldGrid::HeightFor(int rows) const {
    return horizontalHeader()->sizeHint().height() + rows * verticalHeader()->defaultSectionSize() +
           2 * frameWidth();
}

QSize FieldGrid::sizeHint() const {
    return {minimumWidth(), HeightFor(layout_.rows)};
}

QSize FieldGrid::minimumSizeHint() const {
    return {minimumWidth(), HeightFor(std::min(layout_.rows, kFewestShownRows))};
}

int FieldGrid::currentFieldRow() const {
    return std::max(currentRow(), 0);
}

void FieldGrid::EditRow(int row) {
    if (row < 0 || row >= layout_.rows) {
        return;
    }
    setCurrentCell(row, kTextColumn);
    edit(model()->index(row, kTextColumn));
}

QLineEdit* FieldGrid::openEditor() const {
    return delegate_->openEditor();
}

void FieldGrid::CommitOpenEditor() {
    delegate_->CommitAndClose();
}

void FieldGrid::keyPressEvent(QKeyEvent* event) {
    if (IsEnterKey(event)) {
        EditRow(currentFieldRow());
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void FieldGrid::mousePressEvent(QMouseEvent* event) {
    pressedButton_ = event->button();
    QTableWidget::mousePressEvent(event);
    pressedButton_ = Qt::NoButton;
}

void FieldGrid::Refresh() {
    for (int row = 0; row < layout_.rows; ++row) {
        const std::size_t field = layout_.firstField + static_cast<std::size_t>(row);
        item(row, kTextColumn)->setText(QString::fromStdString(binder_.form().Text(field)));
    }
}

void FieldGrid::Commit(int row, const QString& text) {
    const std::size_t field = layout_.firstField + static_cast<std::size_t>(row);
    binder_.form().SetText(field, text.toStdString());
    binder_.Leave(field);
}

}  // namespace kestra
