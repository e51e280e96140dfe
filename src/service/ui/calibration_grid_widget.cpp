// SPDX-License-Identifier: GPL-3.0-or-later
// The service dialogs' grids with their in-place spin editor.

#include "service/ui/calibration_grid_widget.hpp"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScreen>
#include <QStyledItemDelegate>

#include <utility>

#include "common/ui/editor_controls_widget.hpp"
#include "service/ui/spin_text_box.hpp"

namespace kestra {

class CalibrationGridWidget::Delegate final : public QStyledItemDelegate {
public:
    explicit Delegate(CalibrationGridWidget& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* box = new SpinTextBox(grid_.rule_, parent);
        box->setFrame(false);
        box->setMinimumWidth(0);
        connect(box, &SpinTextBox::textEdited, &grid_, &CalibrationGridWidget::cellsEdited);
        open_ = box;
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* box = static_cast<SpinTextBox*>(editor);
        box->setText(index.data().toString());
        box->selectAll();
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        const auto* box = static_cast<SpinTextBox*>(editor);
        const std::string left = LeaveSpinField(grid_.rule_, box->text().toStdString());
        model->setData(index, QString::fromStdString(left));
    }
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        if (editor == open_) {
            open_ = nullptr;
        }
        QStyledItemDelegate::destroyEditor(editor, index);
    }

    SpinTextBox* open() const { return open_; }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        // The current cell's text is red until another cell becomes current.
        if (index == grid_.currentIndex()) {
            option->palette.setColor(QPalette::Text, Qt::red);
            option->palette.setColor(QPalette::HighlightedText, Qt::red);
        }
    }

private:
    CalibrationGridWidget& grid_;
    mutable QPointer<SpinTextBox> open_;
};

CalibrationGridWidget::CalibrationGridWidget(const Layout& layout, QWidget* parent)
    : QTableWidget(static_cast<int>(layout.rowLabels.size()),
                   static_cast<int>(layout.columnHeaders.size()), parent),
      rule_(layout.editor) {
    delegate_ = new Delegate(*this);
    setItemDelegate(delegate_);
    setHorizontalHeaderLabels(layout.columnHeaders);
    setVerticalHeaderLabels(layout.rowLabels);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCornerButtonEnabled(false);
    setWordWrap(false);

    QHeaderView* columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setDefaultAlignment(Qt::AlignCenter);
    columns->setHighlightSections(false);
    for (int c = 0; c < columnCount(); ++c) {
        setColumnWidth(c, TwipsToPixels(layout.cellWidthTwips));
    }
    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultAlignment(Qt::AlignCenter);
    rows->setHighlightSections(false);
    rows->setFixedWidth(TwipsToPixels(layout.labelWidthTwips));
    // As tall as the editor needs, no taller.
    rows->setDefaultSectionSize(SpinTextBox(rule_).sizeHint().height());
    ClearCells();
    FitToContents();

    connect(this, &QTableWidget::itemChanged, this, [this] {
        if (!loading_) {
            emit cellsEdited();
        }
    });
}

int CalibrationGridWidget::TwipsToPixels(int twips) const {
    return twips * logicalDpiX() / 1440;
}

void CalibrationGridWidget::FitToContents() {
    int width = verticalHeader()->width() + 2 * frameWidth();
    for (int c = 0; c < columnCount(); ++c) {
        width += columnWidth(c);
    }
    const int height = horizontalHeader()->sizeHint().height() + 2 * frameWidth() +
                       rowCount() * verticalHeader()->defaultSectionSize();
    setFixedSize(width, height);
}

void CalibrationGridWidget::SetCells(const std::vector<std::string>& texts) {
    loading_ = true;
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            const auto k = static_cast<std::size_t>(r * columnCount() + c);
            item(r, c)->setText(k < texts.size() ? QString::fromStdString(texts[k]) : QString());
        }
    }
    loading_ = false;
}

void CalibrationGridWidget::ClearCells() {
    loading_ = true;
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            auto* cell = new QTableWidgetItem;
            cell->setTextAlignment(Qt::AlignCenter);
            setItem(r, c, cell);
        }
    }
    loading_ = false;
    SetEditable(editable_);
}

void CalibrationGridWidget::SetEditable(bool editable) {
    if (!editable) {
        CommitOpenEditor();
    }
    editable_ = editable;
    // A cell without the editable flag opens no editor, whatever asks for one.
    const bool wasLoading = std::exchange(loading_, true);
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem* cell = item(r, c);
            cell->setFlags(editable ? cell->flags() | Qt::ItemIsEditable
                                    : cell->flags() & ~Qt::ItemIsEditable);
        }
    }
    loading_ = wasLoading;
}

std::vector<std::string> CalibrationGridWidget::Cells() const {
    std::vector<std::string> texts;
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            texts.push_back(item(r, c)->text().toStdString());
        }
    }
    if (SpinTextBox* editor = OpenEditor(); editor != nullptr && currentIndex().isValid()) {
        const auto k = static_cast<std::size_t>(currentRow() * columnCount() + currentColumn());
        texts[k] = LeaveSpinField(rule_, editor->text().toStdString());
    }
    return texts;
}

void CalibrationGridWidget::BeginEdit(int row, int column) {
    setCurrentCell(row, column);
    edit(currentIndex());
}

SpinTextBox* CalibrationGridWidget::OpenEditor() const {
    return delegate_->open();
}

void CalibrationGridWidget::CommitOpenEditor() {
    if (SpinTextBox* editor = OpenEditor()) {
        emit delegate_->commitData(editor);
        emit delegate_->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

QModelIndex CalibrationGridWidget::moveCursor(CursorAction action,
                                              Qt::KeyboardModifiers modifiers) {
    if ((action == MoveNext || action == MovePrevious) &&
        TabWouldWrap(action == MoveNext, currentIndex())) {
        return {};
    }
    return QTableWidget::moveCursor(action, modifiers);
}

void CalibrationGridWidget::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && OpenEditor() == nullptr) {
        edit(index);
    }
}

}  // namespace kestra
