// SPDX-License-Identifier: GPL-3.0-or-later
// The "Sql Adjust" dialog.

#include "service/ui/sql_adjust_dialog.hpp"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "link/service_transfer.hpp"
#include "model/calibration_tables.hpp"
#include "service/calibration_curves.hpp"
#include "service/ui/calibration_grid_widget.hpp"
#include "service/ui/curve_chart_widget.hpp"

namespace kestra {

namespace {

// Item data: the point's band, MHz and record offset; band items carry none.
constexpr int kBandRole = Qt::UserRole;
constexpr int kMhzRole = Qt::UserRole + 1;
constexpr int kOffsetRole = Qt::UserRole + 2;

CalibrationGridWidget::Layout SqlGridLayout() {
    CalibrationGridWidget::Layout layout;
    for (std::string_view header : kSqlColumnHeaders) {
        layout.columnHeaders << QString::fromLatin1(header.data(),
                                                    static_cast<qsizetype>(header.size()));
    }
    for (std::string_view label : kSqlRowLabels) {
        layout.rowLabels << QString::fromLatin1(label.data(), static_cast<qsizetype>(label.size()));
    }
    layout.labelWidthTwips = kSqlLabelWidthTwips;
    layout.cellWidthTwips = kSqlCellWidthTwips;
    layout.editor = kSqlCellRule;
    return layout;
}

}  // namespace

SqlAdjustDialog::SqlAdjustDialog(const ServiceContext& context, QWidget* parent)
    : ServiceDialog(QStringLiteral("Sql Adjust"), context, parent) {
    tree_ = new QTreeWidget(this);
    tree_->setHeaderHidden(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setMinimumWidth(150);
    FillTree();

    grid_ = new CalibrationGridWidget(SqlGridLayout(), this);
    chart_ = new CurveChartWidget(this);
    chart_->setMinimumWidth(grid_->width());

    read_ = MakeButton(QStringLiteral("Read"));
    write_ = MakeButton(QStringLiteral("Write"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(read_);
    buttons->addWidget(write_);

    auto* right = new QVBoxLayout;
    right->addWidget(grid_);
    right->addWidget(chart_, 1);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(tree_);
    layout->addLayout(right, 1);
    resize(560, 420);

    connect(tree_, &QTreeWidget::itemSelectionChanged, this, &SqlAdjustDialog::OnSelectionChanged);
    connect(grid_, &CalibrationGridWidget::cellsEdited, this, &SqlAdjustDialog::UpdateChart);
    connect(grid_, &QTableWidget::currentCellChanged, this, &SqlAdjustDialog::UpdateChart);
    connect(read_, &QPushButton::clicked, this, &SqlAdjustDialog::Read);
    connect(write_, &QPushButton::clicked, this, &SqlAdjustDialog::Write);
    // The first point is chosen from the start, so the grid always edits a record.
    tree_->expandItem(tree_->topLevelItem(0));
    tree_->setCurrentItem(tree_->topLevelItem(0)->child(0));
    LoadGrid();
}

void SqlAdjustDialog::FillTree() {
    for (int band = 0; band < static_cast<int>(kSupportedBands.size()); ++band) {
        auto* bandItem = new QTreeWidgetItem(tree_, {QString::fromStdString(BandText(band))});
        // Only points can be selected: a click on a band leaves the selection as it was.
        bandItem->setFlags(bandItem->flags() & ~Qt::ItemIsSelectable);
        for (const SqlPoint& point : SqlPointsOfBand(band)) {
            auto* item = new QTreeWidgetItem(bandItem, {QString::number(point.mhz)});
            item->setData(0, kBandRole, point.band);
            item->setData(0, kMhzRole, point.mhz);
            item->setData(0, kOffsetRole, static_cast<qulonglong>(point.offset));
        }
    }
}

QTreeWidgetItem* SqlAdjustDialog::pointItem(int band, int mhz) const {
    QTreeWidgetItem* bandItem = tree_->topLevelItem(band);
    for (int i = 0; bandItem != nullptr && i < bandItem->childCount(); ++i) {
        if (bandItem->child(i)->data(0, kMhzRole).toInt() == mhz) {
            return bandItem->child(i);
        }
    }
    return nullptr;
}

void SqlAdjustDialog::OnSelectionChanged() {
    const QList<QTreeWidgetItem*> items = tree_->selectedItems();
    if (items.isEmpty() || items.front()->parent() == nullptr) {
        // Towards a band: refused, the chosen point stays chosen.
        if (selected_) {
            const QSignalBlocker quiet(tree_);
            pointItem(selected_->band, selected_->mhz)->setSelected(true);
        }
        return;
    }
    const QTreeWidgetItem* item = items.front();
    const SqlPoint point{item->data(0, kBandRole).toInt(), item->data(0, kMhzRole).toInt(),
                         static_cast<std::size_t>(item->data(0, kOffsetRole).toULongLong())};
    if (selected_ && selected_->offset == point.offset) {
        return;
    }
    StoreGrid();
    selected_ = point;
    LoadGrid();
}

void SqlAdjustDialog::StoreGrid() {
    if (!selected_) {
        return;
    }
    grid_->CommitOpenEditor();
    SqlRecordTexts cells;
    const std::vector<std::string> texts = grid_->Cells();
    std::copy_n(texts.begin(), cells.size(), cells.begin());
    StoreSqlRecord(cells, state_.image, selected_->offset);
}

void SqlAdjustDialog::LoadGrid() {
    // Typing needs a record to go to.
    grid_->SetEditable(selected_.has_value());
    if (selected_) {
        const SqlRecordTexts cells = LoadSqlRecord(state_.image, selected_->offset);
        grid_->SetCells({cells.begin(), cells.end()});
    } else {
        grid_->SetCells({});
    }
    UpdateChart();
}

void SqlAdjustDialog::UpdateChart() {
    SqlRecordTexts cells;
    if (selected_) {
        const std::vector<std::string> texts = grid_->Cells();
        std::copy_n(texts.begin(), cells.size(), cells.begin());
    }
    const int row = std::max(grid_->currentRow(), 0);
    chart_->SetData(
        SqlPointCurves(state_.image, selected_ ? selected_->band : 0, row, selected_, cells));
}

void SqlAdjustDialog::Commit() {
    StoreGrid();
}

void SqlAdjustDialog::Read() {
    RunTransfer(kSqlAdjustRead, [this](bool ok) {
        if (ok) {
            LoadGrid();
        }
    });
}

void SqlAdjustDialog::Write() {
    ComputeBandPoints(state_.image);
    StoreGrid();
    RunWrite(ServiceArea::SqlAdjust);
}

}  // namespace kestra
