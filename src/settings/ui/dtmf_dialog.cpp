// SPDX-License-Identifier: GPL-3.0-or-later
// The "DTMF" dialog and its three pages.

#include "settings/ui/dtmf_dialog.hpp"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "settings/dtmf_settings.hpp"
#include "settings/ui/field_grid_widget.hpp"
#include "settings/ui/settings_form_widget.hpp"

namespace kestra {

namespace {

QString Caption(std::string_view caption) {
    return QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size()));
}

}  // namespace

DtmfDialog::DtmfDialog(MemoryImage& image, std::string& callId, QWidget* parent)
    : QDialog(parent), image_(image), tabs_(new QTabWidget(this)) {
    setWindowTitle(QStringLiteral("DTMF"));
    binders_[Encode] = new FormBinder(std::make_unique<DtmfEncodePage>(), this);
    binders_[Decode] = new FormBinder(std::make_unique<DtmfDecodePage>(), this);
    binders_[AutoDial] = new FormBinder(std::make_unique<DtmfAutoDialPage>(callId), this);

    tabs_->addTab(
        MakeFormPage(Encode, {"Speed (digit/s)", "First Digit Delay Time (ms)",
                              "First Digit TIme (ms)", "* and # Tone (ms)", "Side Tone",
                              "PTT ID BOT", "PTT ID EOT", "Wait Reply", "Wait Reply Time (s)"}),
        QStringLiteral("Encode"));
    tabs_->addTab(MakeFormPage(Decode, {"Group Code", "Kill Active", "Kill Type", "Kill Code",
                                        "Auto Reset Time (s)", "Decode Response", "Decode Time (s)",
                                        "Alarm Code"}),
                  QStringLiteral("Decode"));
    tabs_->addTab(MakeAutoDialPage(), QStringLiteral("Auto Dial"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);

    // Every page decodes when it is created; the Encode page is shown first.
    for (FormBinder* binder : binders_) {
        binder->form().LoadFromImage(image_);
        binder->Refresh();
    }
    tabs_->setCurrentIndex(Encode);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        LeavePage(shownPage_);
        ShowPage(index);
    });
}

QWidget* DtmfDialog::MakeFormPage(Page page, std::initializer_list<const char*> captions) {
    auto* widget = new QWidget;
    auto* form = new QFormLayout(widget);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    for (const char* caption : captions) {
        FormBinder* binder = binders_[page];
        QWidget* control = binder->MakeControl(binder->field(caption), widget);
        control->setMinimumWidth(160);
        form->addRow(Caption(caption), control);
    }
    return widget;
}

QWidget* DtmfDialog::MakeAutoDialPage() {
    auto* widget = new QWidget;
    FormBinder* binder = binders_[AutoDial];
    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    for (const char* caption : {"Own ID", "Call ID", "Delimiter"}) {
        QWidget* control = binder->MakeControl(binder->field(caption), widget);
        control->setMinimumWidth(120);
        fields->addRow(Caption(caption), control);
    }
    aniCall_ = new QPushButton(QStringLiteral("ANI Call"), widget);
    aniCall_->setAutoDefault(false);
    fields->addRow(QString(), aniCall_);

    codeGrid_ = new FieldGrid(*binder,
                              {.firstField = DtmfAutoDialPage::kFirstCode,
                               .rows = DtmfAutoDialPage::kCodeRows,
                               .numberHeader = QStringLiteral("No."),
                               .textHeader = QStringLiteral("Code"),
                               .firstNumber = 0,
                               .enterMovesDown = true,
                               .numberTwips = 500,
                               .textTwips = 2500},
                              widget);
    connect(aniCall_, &QPushButton::clicked, this, [this, binder] {
        codeGrid_->CommitOpenEditor();
        static_cast<DtmfAutoDialPage&>(binder->form()).AniCall(codeGrid_->currentFieldRow());
        binder->Refresh();
    });

    auto* layout = new QHBoxLayout(widget);
    layout->addLayout(fields);
    layout->addWidget(codeGrid_, 1);
    return widget;
}

void DtmfDialog::LeavePage(int index) {
    FormBinder* binder = binders_[index];
    binder->LeaveFocusedControl();
    if (index == AutoDial) {
        codeGrid_->CommitOpenEditor();
    }
    binder->form().StoreToImage(image_);
}

void DtmfDialog::ShowPage(int index) {
    shownPage_ = index;
    binders_[index]->form().LoadFromImage(image_);
    binders_[index]->Refresh();
}

void DtmfDialog::keyPressEvent(QKeyEvent* event) {
    // Enter must not close the dialog from a box; Esc closes it as it closes the other editors
    // (the pages are encoded on every close).
    if (IsEnterKey(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DtmfDialog::done(int result) {
    if (!stored_) {
        stored_ = true;
        binders_[shownPage_]->LeaveFocusedControl();
        codeGrid_->CommitOpenEditor();
        for (FormBinder* binder : binders_) {
            binder->form().StoreToImage(image_);
        }
    }
    QDialog::done(result);
}

}  // namespace kestra
