// SPDX-License-Identifier: GPL-3.0-or-later
// The "Optional Features" dialog.

#include "settings/ui/optional_features_dialog.hpp"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>

#include "settings/optional_features.hpp"
#include "settings/ui/settings_form_widget.hpp"

namespace kestra {

namespace {

constexpr int kColumnGap = 24;

}  // namespace

OptionalFeaturesDialog::OptionalFeaturesDialog(MemoryImage& image, QWidget* parent)
    : QDialog(parent),
      image_(image),
      binder_(new FormBinder(std::make_unique<OptionalFeaturesForm>(), this)) {
    setWindowTitle(QStringLiteral("Optional Features"));
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);

    const std::span<const std::string_view> columns[] = {
        kOptionalFeaturesColumn1, kOptionalFeaturesColumn2, kOptionalFeaturesColumn3};
    for (int column = 0; column < 3; ++column) {
        int row = 0;
        for (std::string_view caption : columns[column]) {
            QWidget* control = binder_->MakeControl(binder_->field(caption), this);
            control->setMinimumWidth(120);
            auto* label = new QLabel(QString::fromLatin1(caption.data(), caption.size()), this);
            label->setBuddy(control);
            grid->addWidget(label, row, column * 3);
            grid->addWidget(control, row, column * 3 + 1);
            ++row;
        }
        if (column < 2) {
            grid->setColumnMinimumWidth(column * 3 + 2, kColumnGap);
        }
    }
    grid->setRowStretch(11, 1);

    binder_->form().LoadFromImage(image_);
    binder_->Refresh();
}

QWidget* OptionalFeaturesDialog::control(std::string_view caption) const {
    return binder_->control(caption);
}

void OptionalFeaturesDialog::keyPressEvent(QKeyEvent* event) {
    // Enter closes the form as Esc does; both keep what the controls show.
    if (IsEnterKey(event)) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void OptionalFeaturesDialog::done(int result) {
    if (!stored_) {
        stored_ = true;
        binder_->LeaveFocusedControl();
        binder_->form().StoreToImage(image_);
    }
    QDialog::done(result);
}

}  // namespace kestra
