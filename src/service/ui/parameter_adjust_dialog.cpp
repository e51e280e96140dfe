// SPDX-License-Identifier: GPL-3.0-or-later
// The "Parameter Adjust" dialog.

#include "service/ui/parameter_adjust_dialog.hpp"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/service_transfer.hpp"
#include "model/channel_record.hpp"
#include "service/calibration_curves.hpp"
#include "service/ui/calibration_grid_widget.hpp"
#include "service/ui/curve_chart_widget.hpp"
#include "service/ui/spin_text_box.hpp"

namespace kestra {

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

CalibrationGridWidget::Layout GridLayoutOf(const CalibrationGrid& grid) {
    CalibrationGridWidget::Layout layout;
    for (int c = 0; c < grid.columnCount; ++c) {
        layout.columnHeaders << Text(grid.headers[static_cast<std::size_t>(c)]);
    }
    for (int r = 0; r < grid.rowCount; ++r) {
        layout.rowLabels << QString::fromStdString(GridRowLabel(grid, r));
    }
    layout.labelWidthTwips = grid.labelWidthTwips;
    layout.cellWidthTwips = grid.cellWidthTwips;
    layout.editor = grid.editor;
    return layout;
}

}  // namespace

ParameterAdjustDialog::ParameterAdjustDialog(const ServiceContext& context, QWidget* parent)
    : ServiceDialog(QStringLiteral("Parameter Adjust"), context, parent) {
    powerChart_ = new CurveChartWidget(this);
    sqlChart_ = new CurveChartWidget(this);
    powerChart_->setMinimumWidth(320);
    sqlChart_->setMinimumWidth(320);
    auto* charts = new QVBoxLayout;
    charts->addWidget(sqlChart_, 1);
    charts->addWidget(powerChart_, 1);

    read_ = MakeButton(QStringLiteral("Read"));
    write_ = MakeButton(QStringLiteral("Write"));
    connect(read_, &QPushButton::clicked, this, &ParameterAdjustDialog::Read);
    connect(write_, &QPushButton::clicked, this, &ParameterAdjustDialog::Write);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(read_);
    buttons->addWidget(write_);

    auto* right = new QVBoxLayout;
    right->addLayout(BuildFields());
    right->addStretch(1);
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(BuildGrids());
    layout->addLayout(charts, 1);
    layout->addLayout(right);
    Load();
}

QLayout* ParameterAdjustDialog::BuildGrids() {
    auto* column = new QVBoxLayout;
    for (std::size_t g = 0; g < kGridCount; ++g) {
        grids_[g] = new CalibrationGridWidget(GridLayoutOf(kCalibrationGrids[g]), this);
        connect(grids_[g], &CalibrationGridWidget::cellsEdited, this,
                &ParameterAdjustDialog::UpdateCharts);
        column->addWidget(grids_[g]);
    }
    column->addStretch(1);
    return column;
}

QLayout* ParameterAdjustDialog::BuildFields() {
    // The visible boxes in two columns, in the order of the field table.
    std::vector<std::size_t> visible;
    for (std::size_t i = 0; i < kScalarFields.size(); ++i) {
        boxes_[i] = new SpinTextBox(kScalarFields[i].rule, this);
        if (kScalarFields[i].hidden) {
            boxes_[i]->setVisible(false);
        } else {
            visible.push_back(i);
        }
    }
    auto* columns = new QHBoxLayout;
    const std::size_t half = (visible.size() + 1) / 2;
    for (std::size_t part = 0; part < 2; ++part) {
        auto* form = new QFormLayout;
        form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
        for (std::size_t n = part * half; n < std::min(visible.size(), (part + 1) * half); ++n) {
            const std::size_t i = visible[n];
            auto* label = new QLabel(Text(kScalarFields[i].caption), this);
            label->setBuddy(boxes_[i]);
            form->addRow(label, boxes_[i]);
        }
        columns->addLayout(form);
    }
    auto* switches = new QGridLayout;
    for (std::size_t i = 0; i < kCheckFields.size(); ++i) {
        checks_[i] = new QCheckBox(Text(kCheckFields[i].caption), this);
        switches->addWidget(checks_[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    auto* fields = new QVBoxLayout;
    fields->addLayout(columns);
    fields->addSpacing(8);
    fields->addLayout(switches);
    return fields;
}

SpinTextBox* ParameterAdjustDialog::box(std::string_view caption) const {
    for (std::size_t i = 0; i < kScalarFields.size(); ++i) {
        if (kScalarFields[i].caption == caption) {
            return boxes_[i];
        }
    }
    return nullptr;
}

QCheckBox* ParameterAdjustDialog::check(std::string_view caption) const {
    for (std::size_t i = 0; i < kCheckFields.size(); ++i) {
        if (kCheckFields[i].caption == caption) {
            return checks_[i];
        }
    }
    return nullptr;
}

void ParameterAdjustDialog::Load() {
    Show(LoadParameterAdjust(state_.image));
}

void ParameterAdjustDialog::Show(const ParameterAdjustForm& form) {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i]->setText(QString::fromStdString(form.fields[i]));
    }
    for (std::size_t i = 0; i < checks_.size(); ++i) {
        checks_[i]->setChecked(form.checks[i]);
    }
    for (std::size_t g = 0; g < grids_.size(); ++g) {
        grids_[g]->SetCells(form.cells[g]);
    }
    UpdateCharts();
}

ParameterAdjustForm ParameterAdjustDialog::Form() const {
    ParameterAdjustForm form;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        form.fields[i] = boxes_[i]->text().toStdString();
    }
    for (std::size_t i = 0; i < checks_.size(); ++i) {
        form.checks[i] = checks_[i]->isChecked();
    }
    for (std::size_t g = 0; g < grids_.size(); ++g) {
        form.cells[g] = grids_[g]->Cells();
    }
    return form;
}

void ParameterAdjustDialog::UpdateCharts() {
    const ParameterAdjustForm form = Form();
    powerChart_->SetData(PowerCurves(form));
    sqlChart_->SetData(SqlThresholdCurves(form));
}

void ParameterAdjustDialog::Commit() {
    for (CalibrationGridWidget* grid : grids_) {
        grid->CommitOpenEditor();
    }
    ParameterAdjustForm form = Form();
    CommitParameterAdjust(form, state_.image);
    Show(form);
}

void ParameterAdjustDialog::Read() {
    RunTransfer(kParameterAdjustRead, [this](bool ok) {
        if (ok) {
            ReadModelLimits(state_.image, state_.limits);
            Load();
        }
    });
}

void ParameterAdjustDialog::Write() {
    LeaveFocusedBox();
    Commit();
    WriteModelLimits(state_.image, state_.limits);
    RunWrite(ServiceArea::ParameterAdjust);
}

}  // namespace kestra
