// SPDX-License-Identifier: GPL-3.0-or-later
// The "Batch Gerenate CH" dialog.

#include "channels/ui/batch_generate_dialog.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <ctime>

#include "common/ui/editor_controls_widget.hpp"
#include "model/channel_record.hpp"
#include "model/codecs.hpp"

namespace kestra {

namespace {

// Sets a radio pair from a flag (first when false).
void ShowChoice(QRadioButton* first, QRadioButton* second, bool secondChosen) {
    (secondChosen ? second : first)->setChecked(true);
}

}  // namespace

BatchGenerateDialog::BatchGenerateDialog(MemoryImage& image, const SectionLimits& limits,
                                         QWidget* parent)
    : QDialog(parent), image_(image), limits_(limits), form_(DefaultBatchForm(limits)) {
    setWindowTitle(QStringLiteral("Batch Gerenate CH"));
    randomSource_ = [] { return SeededRandomDraw(static_cast<std::uint32_t>(std::time(nullptr))); };

    auto* left = new QVBoxLayout;
    left->addWidget(BuildRangeGroup());
    left->addWidget(BuildRxGroup());
    left->addWidget(BuildTxGroup());
    left->addStretch(1);
    auto* middle = new QVBoxLayout;
    middle->addWidget(BuildRxToneGroup());
    middle->addWidget(BuildTxToneGroup());
    middle->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addWidget(BuildListGroup(), 0, Qt::AlignTop);

    c_.apply = new QPushButton(QStringLiteral("Apply"), this);
    c_.close = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* button : {c_.apply, c_.close}) {
        button->setAutoDefault(false);  // Enter applies, whichever control has the focus
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(c_.apply);
    buttons->addWidget(c_.close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);

    Connect();
    ShowForm();
}

BatchGenerateDialog::~BatchGenerateDialog() {
    // The controls go after the form; no focus change may reach it then.
    delete focus_;
}

void BatchGenerateDialog::Connect() {
    const std::pair<QRadioButton*, BatchRange> ranges[] = {{c_.all, BatchRange::All},
                                                           {c_.aSection, BatchRange::ASection},
                                                           {c_.bSection, BatchRange::BSection},
                                                           {c_.from, BatchRange::From}};
    for (const auto& [radio, range] : ranges) {
        connect(radio, &QRadioButton::clicked, this,
                [this, range = range] { React([this, range] { ChooseRange(form_, range); }); });
    }
    // The other choices only change what is enabled.
    for (QAbstractButton* button :
         std::initializer_list<QAbstractButton*>{c_.txDefault, c_.txOffset, c_.txStart, c_.rxRandom,
                                                 c_.txToneDefault, c_.txToneStart, c_.txRandom}) {
        connect(button, &QAbstractButton::clicked, this, [this] { React([] {}); });
    }
    for (QLineEdit* interval : {c_.rxInterval, c_.txInterval}) {
        connect(interval, &QLineEdit::textEdited, this, [interval] {
            const QString limited = Latin1Text(LimitIntervalText(Latin1String(interval->text())));
            if (limited != interval->text()) {
                interval->setText(limited);
            }
        });
    }
    for (QLineEdit* step : {c_.rxStep, c_.txStep}) {
        connect(step, &QLineEdit::textEdited, this, [step] {
            const QString limited = Latin1Text(LimitStepText(Latin1String(step->text())));
            if (limited != step->text()) {
                step->setText(limited);
            }
        });
    }
    connect(c_.apply, &QPushButton::clicked, this, &BatchGenerateDialog::Apply);
    connect(c_.close, &QPushButton::clicked, this, &QDialog::accept);
    focus_ = new ControlFocusWatcher([this](QWidget* w) { Entered(w); },
                                     [this](QWidget* w) { Left(w); }, this);
    for (QWidget* box :
         {c_.fromEdit, c_.toEdit, c_.rxStart, c_.txStartEdit, c_.rxStep, c_.txStep}) {
        focus_->Watch(box);
    }
}

void BatchGenerateDialog::Gather() {
    BatchForm& f = form_;
    f.range = c_.from->isChecked()       ? BatchRange::From
              : c_.aSection->isChecked() ? BatchRange::ASection
              : c_.bSection->isChecked() ? BatchRange::BSection
                                         : BatchRange::All;
    f.from = Latin1String(c_.fromEdit->text());
    f.to = Latin1String(c_.toEdit->text());
    f.rxStart = Latin1String(c_.rxStart->text());
    f.rxStep = Latin1String(c_.rxStep->text());
    f.rxDescending = c_.rxDesc->isChecked();
    f.txMode = c_.txOffset->isChecked()  ? TxFrequencyMode::Offset
               : c_.txStart->isChecked() ? TxFrequencyMode::Start
                                         : TxFrequencyMode::Default;
    f.offset = Latin1String(c_.offset->text());
    f.minus = c_.minus->isChecked();
    f.txStart = Latin1String(c_.txStartEdit->text());
    f.txStep = Latin1String(c_.txStep->text());
    f.txDescending = c_.txDesc->isChecked();
    f.rxTone = c_.rxTone->currentIndex();
    f.rxRandom = c_.rxRandom->isChecked();
    f.rxInterval = Latin1String(c_.rxInterval->text());
    f.rxToneDescending = c_.rxToneDesc->isChecked();
    f.txToneStart = c_.txToneStart->isChecked();
    f.txTone = c_.txTone->currentIndex();
    f.txRandom = c_.txRandom->isChecked();
    f.txInterval = Latin1String(c_.txInterval->text());
    f.txToneDescending = c_.txToneDesc->isChecked();
    for (std::size_t i = 0; i < c_.lists.size(); ++i) {
        f.lists[i] = c_.lists[i]->currentIndex();
    }
    f.name = Latin1String(c_.name->text());
    f.byNumber = c_.byNumber->isChecked();
}

void BatchGenerateDialog::ShowForm() {
    const BatchForm& f = form_;
    const std::array<QRadioButton*, 4> range{c_.all, c_.aSection, c_.bSection, c_.from};
    range[static_cast<std::size_t>(f.range)]->setChecked(true);
    c_.fromEdit->setText(Latin1Text(f.from));
    c_.toEdit->setText(Latin1Text(f.to));
    c_.rxStart->setText(Latin1Text(f.rxStart));
    c_.rxStep->setText(Latin1Text(f.rxStep));
    ShowChoice(c_.rxAsc, c_.rxDesc, f.rxDescending);
    (f.txMode == TxFrequencyMode::Offset  ? c_.txOffset
     : f.txMode == TxFrequencyMode::Start ? c_.txStart
                                          : c_.txDefault)
        ->setChecked(true);
    c_.offset->setText(Latin1Text(f.offset));
    ShowChoice(c_.plus, c_.minus, f.minus);
    c_.txStartEdit->setText(Latin1Text(f.txStart));
    c_.txStep->setText(Latin1Text(f.txStep));
    ShowChoice(c_.txAsc, c_.txDesc, f.txDescending);
    c_.rxTone->setCurrentIndex(f.rxTone);
    c_.rxRandom->setChecked(f.rxRandom);
    c_.rxInterval->setText(Latin1Text(f.rxInterval));
    ShowChoice(c_.rxToneAsc, c_.rxToneDesc, f.rxToneDescending);
    ShowChoice(c_.txToneDefault, c_.txToneStart, f.txToneStart);
    c_.txTone->setCurrentIndex(f.txTone);
    c_.txRandom->setChecked(f.txRandom);
    c_.txInterval->setText(Latin1Text(f.txInterval));
    ShowChoice(c_.txToneAsc, c_.txToneDesc, f.txToneDescending);
    for (std::size_t i = 0; i < c_.lists.size(); ++i) {
        c_.lists[i]->setCurrentIndex(f.lists[i]);
    }
    c_.name->setText(Latin1Text(f.name));
    c_.byNumber->setChecked(f.byNumber);
    ApplyEnablingRules();
}

void BatchGenerateDialog::ApplyEnablingRules() {
    const BatchForm& f = form_;
    auto enable = [](std::initializer_list<QWidget*> controls, bool enabled) {
        for (QWidget* control : controls) {
            control->setEnabled(enabled);
        }
    };
    enable({c_.fromEdit, c_.toEdit}, f.range == BatchRange::From);
    enable({c_.offset, c_.plus, c_.minus}, f.txMode == TxFrequencyMode::Offset);
    enable({c_.txStartEdit, c_.txStep, c_.txAsc, c_.txDesc}, f.txMode == TxFrequencyMode::Start);
    enable({c_.rxTone, c_.rxInterval, c_.rxToneAsc, c_.rxToneDesc}, !f.rxRandom);
    c_.txRandom->setEnabled(f.txToneStart);
    enable({c_.txTone, c_.txInterval, c_.txToneAsc, c_.txToneDesc}, f.txToneStart && !f.txRandom);
}

void BatchGenerateDialog::React(const std::function<void()>& change) {
    Gather();
    change();
    ShowForm();
}

void BatchGenerateDialog::Entered(QWidget* control) {
    if (control == c_.rxStart) {
        rxStartAtFocus_ = Latin1String(c_.rxStart->text());
    } else if (control == c_.txStartEdit) {
        txStartAtFocus_ = Latin1String(c_.txStartEdit->text());
    }
}

void BatchGenerateDialog::Left(QWidget* control) {
    React([this, control] {
        BatchForm& f = form_;
        if (control == c_.fromEdit) {
            f.from = NormalizeFromText(f.from, f.to);
        } else if (control == c_.toEdit) {
            f.to = NormalizeToText(f.to, f.from);
        } else if (control == c_.rxStep) {
            f.rxStep = NormalizeStepText(f.rxStep);
        } else if (control == c_.txStep) {
            f.txStep = NormalizeStepText(f.txStep);
        } else if (control == c_.rxStart) {
            f.rxStart = NormalizeStartText(f.rxStart, rxStartAtFocus_, limits_);
        } else if (control == c_.txStartEdit) {
            f.txStart = NormalizeStartText(f.txStart, txStartAtFocus_, limits_);
        }
    });
}

void BatchGenerateDialog::SetApplyRunner(std::function<void(const std::function<void()>&)> runner) {
    applyRunner_ = std::move(runner);
}

void BatchGenerateDialog::SetRandomSource(std::function<RandomDraw()> source) {
    randomSource_ = std::move(source);
}

void BatchGenerateDialog::Apply() {
    // The box being typed into counts as left; the plan normalises every other box again.
    if (QWidget* control = focus_->FocusedControl()) {
        Left(control);
    }
    Gather();
    const auto apply = [this] {
        ApplyBatch(image_, limits_, PlanBatch(form_, limits_), randomSource_());
    };
    if (applyRunner_) {
        applyRunner_(apply);
    } else {
        apply();
    }
}

void BatchGenerateDialog::keyPressEvent(QKeyEvent* event) {
    if (IsEnterKey(event)) {
        event->accept();
        Apply();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace kestra
