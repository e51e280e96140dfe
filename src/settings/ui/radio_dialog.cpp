// SPDX-License-Identifier: GPL-3.0-or-later
// The "Radio" dialog.

#include "settings/ui/radio_dialog.hpp"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>

#include "common/ui/screen_area.hpp"
#include "settings/broadcast_settings.hpp"
#include "settings/ui/field_grid_widget.hpp"
#include "settings/ui/settings_form_widget.hpp"

namespace kestra {

RadioDialog::RadioDialog(MemoryImage& image, QWidget* parent)
    : QDialog(parent), image_(image), binder_(new FormBinder(std::make_unique<RadioForm>(), this)) {
    setWindowTitle(QStringLiteral("Radio"));
    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    for (std::size_t field : {RadioForm::kCurrentChannel, RadioForm::kCurrentFrequency}) {
        QWidget* control = binder_->MakeControl(field, this);
        control->setMinimumWidth(100);
        const std::string_view caption = binder_->form().Caption(field);
        fields->addRow(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())),
                       control);
    }

    grid_ = new FieldGrid(*binder_,
                          {.firstField = RadioForm::kFirstChannel,
                           .rows = RadioForm::kChannels,
                           .numberHeader = QStringLiteral("Radio CH"),
                           .textHeader = QStringLiteral("Frequency"),
                           .firstNumber = 1,
                           .numberPressEdits = true,
                           .numberTwips = 1000,
                           .textTwips = 1500},
                          this);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(grid_, 1);

    binder_->form().LoadFromImage(image_);
    binder_->Refresh();
    // Every receiver channel in view where the screen is tall enough.
    ResizeWithinScreen(*this, sizeHint());
}

void RadioDialog::keyPressEvent(QKeyEvent* event) {
    if (!DropDialogCloseKey(event)) {
        QDialog::keyPressEvent(event);
    }
}

void RadioDialog::done(int result) {
    if (!stored_) {
        stored_ = true;
        binder_->LeaveFocusedControl();
        grid_->CommitOpenEditor();
        binder_->form().StoreToImage(image_);
    }
    QDialog::done(result);
}

}  // namespace kestra
