// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Sql Adjust": the squelch calibration points. A tree of the three bands holds one item per
// 5 MHz point; selecting a point loads its record into the 4 x 4 grid, and moving to another
// point (or closing the dialog, or "Write") stores the grid back. Band items cannot be
// selected. The dialog opens with the first point chosen; without a chosen point the grid
// takes no typing. Beside the grid a curve shows the current grid row across every point of the
// band. "Read" and "Write" move the whole squelch table; "Write" also sends the band point table,
// freshly computed.

#include <optional>

#include "service/sql_adjust.hpp"
#include "service/ui/service_dialog.hpp"

class QTreeWidget;
class QTreeWidgetItem;

namespace kestra {

class CalibrationGridWidget;
class CurveChartWidget;

class SqlAdjustDialog : public ServiceDialog {
    Q_OBJECT
public:
    SqlAdjustDialog(const ServiceContext& context, QWidget* parent = nullptr);

    QTreeWidget* tree() const { return tree_; }
    CalibrationGridWidget* grid() const { return grid_; }
    CurveChartWidget* chart() const { return chart_; }
    QPushButton* readButton() const { return read_; }
    QPushButton* writeButton() const { return write_; }
    // The selected point, if any.
    const std::optional<SqlPoint>& selectedPoint() const { return selected_; }
    // The item of a point (band 0-2, its MHz), or null.
    QTreeWidgetItem* pointItem(int band, int mhz) const;

public slots:
    void Read();
    void Write();

protected:
    void Commit() override;

private:
    void FillTree();
    void OnSelectionChanged();
    void StoreGrid();
    void LoadGrid();
    void UpdateChart();

    QTreeWidget* tree_;
    CalibrationGridWidget* grid_;
    CurveChartWidget* chart_;
    QPushButton* read_;
    QPushButton* write_;
    std::optional<SqlPoint> selected_;
};

}  // namespace kestra
