// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Parameter Adjust": the radio's calibration block. Three grids (squelch thresholds, transmit
// power, squelch detection) with their in-place editors, the scalar boxes with spins, the
// filter and emphasis check boxes, two curves (power and squelch thresholds over frequency)
// beside the grids, and "Read" and "Write". On a screen too narrow for all three columns the
// curves fold below the grids and the boxes; everything but "Read" and "Write" scrolls, so the
// dialog fits a 1024x600 screen. Everything the dialog decides lives in the core
// form (service/parameter_adjust.hpp); the dialog moves texts between it and the controls.
//
// "Read" refreshes the section limits from the image's model block after it went through;
// "Write" commits, stores the section limits into that block, then sends the block.

#include <QString>

#include <array>
#include <string_view>

#include "service/parameter_adjust.hpp"
#include "service/ui/service_dialog.hpp"

class QBoxLayout;
class QCheckBox;
class QGridLayout;
class QScrollArea;

namespace kestra {

class CalibrationGridWidget;
class CurveChartWidget;
class SpinTextBox;

class ParameterAdjustDialog : public ServiceDialog {
    Q_OBJECT
public:
    ParameterAdjustDialog(const ServiceContext& context, QWidget* parent = nullptr);

    // The box of a kScalarFields caption (the hidden one included), or null.
    SpinTextBox* box(std::string_view caption) const;
    // The check box of a kCheckFields caption, or null.
    QCheckBox* check(std::string_view caption) const;
    CalibrationGridWidget* grid(GridId id) const { return grids_[static_cast<std::size_t>(id)]; }
    CurveChartWidget* powerChart() const { return powerChart_; }
    CurveChartWidget* sqlChart() const { return sqlChart_; }
    QPushButton* readButton() const { return read_; }
    QPushButton* writeButton() const { return write_; }
    QScrollArea* scrollArea() const { return scroll_; }
    // Whether the curves stand beside the grids (true) or below them.
    bool curvesBeside() const { return beside_; }

public slots:
    void Read();
    void Write();

protected:
    void Commit() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Arrange(bool beside);
    QLayout* BuildGrids();
    QLayout* BuildFields();
    void Load();
    void Show(const ParameterAdjustForm& form);
    ParameterAdjustForm Form() const;
    void UpdateCharts();

    std::array<SpinTextBox*, kScalarFields.size()> boxes_{};
    std::array<QCheckBox*, kCheckFields.size()> checks_{};
    std::array<CalibrationGridWidget*, kGridCount> grids_{};
    CurveChartWidget* powerChart_ = nullptr;
    CurveChartWidget* sqlChart_ = nullptr;
    QPushButton* read_ = nullptr;
    QPushButton* write_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QGridLayout* arrangement_ = nullptr;  // grids, curves and boxes
    QBoxLayout* charts_ = nullptr;
    QLayout* fields_ = nullptr;
    int besideWidth_ = 0;  // the least width that holds the curves beside the grids
    bool arranged_ = false;
    bool beside_ = true;
};

}  // namespace kestra
