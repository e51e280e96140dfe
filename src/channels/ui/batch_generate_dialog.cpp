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

#include "channels/ui/editor_controls_widget.hpp"
#include "model/channel_record.hpp"
#include "model/codecs.hpp"

namespace kestra {

namespace {

QString Text(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

// Two or more radios that choose exactly one, laid out in a row.
QHBoxLayout* RadioRow(QWidget* parent, std::initializer_list<QRadioButton*> radios) {
    auto* group = new QButtonGroup(parent);
    auto* row = new QHBoxLayout;
    for (QRadioButton* radio : radios) {
        group->addButton(radio);
        row->addWidget(radio);
    }
    row->addStretch(1);
    return row;
}

QComboBox* ToneList(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    for (const std::string& tone : ToneChoiceList()) {
        combo->addItem(Text(tone));
    }
    combo->setMaxVisibleItems(20);
    return combo;
}

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

QGroupBox* BatchGenerateDialog::BuildRangeGroup() {
    auto* group = new QGroupBox(QStringLiteral("Range:"), this);
    c_.all = new QRadioButton(QStringLiteral("All"), group);
    c_.aSection = new QRadioButton(QStringLiteral("A Section"), group);
    c_.bSection = new QRadioButton(QStringLiteral("B Section"), group);
    c_.from = new QRadioButton(QStringLiteral("From"), group);
    c_.fromEdit = MakeFilteredEdit(kRangeBoxTyping, group);
    c_.toEdit = MakeFilteredEdit(kRangeBoxTyping, group);
    for (QLineEdit* edit : {c_.fromEdit, c_.toEdit}) {
        edit->setFixedWidth(50);
    }
    auto* box = new QVBoxLayout(group);
    box->addLayout(RadioRow(group, {c_.all, c_.aSection, c_.bSection}));
    auto* fromRow = new QHBoxLayout;
    fromRow->addWidget(c_.from);
    fromRow->addWidget(c_.fromEdit);
    fromRow->addWidget(new QLabel(QStringLiteral("To"), group));
    fromRow->addWidget(c_.toEdit);
    fromRow->addStretch(1);
    box->addLayout(fromRow);
    // "From" belongs to the same choice as the three above it.
    c_.all->group()->addButton(c_.from);
    return group;
}

QGroupBox* BatchGenerateDialog::BuildRxGroup() {
    auto* group = new QGroupBox(QStringLiteral("Rx Freq:"), this);
    c_.rxStart = MakeFilteredEdit(kStartBoxTyping, group);
    c_.rxStep = MakeFilteredEdit(kStepBoxTyping, group);
    c_.rxAsc = new QRadioButton(QStringLiteral("Asc"), group);
    c_.rxDesc = new QRadioButton(QStringLiteral("Desc"), group);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Start Freq(MHz)"), c_.rxStart);
    form->addRow(QStringLiteral("Rx Steo (kHz)"), c_.rxStep);
    form->addRow(RadioRow(group, {c_.rxAsc, c_.rxDesc}));
    return group;
}

QGroupBox* BatchGenerateDialog::BuildTxGroup() {
    auto* group = new QGroupBox(QStringLiteral("Tx Freq:"), this);
    c_.txDefault = new QRadioButton(QStringLiteral("Default"), group);
    c_.txOffset = new QRadioButton(QStringLiteral("Offset Freq(MHz)"), group);
    c_.txStart = new QRadioButton(QStringLiteral("Start Freq(MHz)"), group);
    c_.offset = MakeFilteredEdit(kOffsetBoxTyping, group);
    c_.plus = new QRadioButton(QStringLiteral("Plus"), group);
    c_.minus = new QRadioButton(QStringLiteral("Minus"), group);
    c_.txStartEdit = MakeFilteredEdit(kStartBoxTyping, group);
    c_.txStep = MakeFilteredEdit(kStepBoxTyping, group);
    c_.txAsc = new QRadioButton(QStringLiteral("Asc"), group);
    c_.txDesc = new QRadioButton(QStringLiteral("Desc"), group);

    auto* modes = new QButtonGroup(group);
    auto* grid = new QGridLayout(group);
    grid->addWidget(c_.txDefault, 0, 0);
    grid->addWidget(c_.txOffset, 1, 0);
    grid->addWidget(c_.offset, 1, 1);
    grid->addLayout(RadioRow(group, {c_.plus, c_.minus}), 2, 1);
    grid->addWidget(c_.txStart, 3, 0);
    grid->addWidget(c_.txStartEdit, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Tx Step(KHz)"), group), 4, 0);
    grid->addWidget(c_.txStep, 4, 1);
    grid->addLayout(RadioRow(group, {c_.txAsc, c_.txDesc}), 5, 1);
    for (QRadioButton* mode : {c_.txDefault, c_.txOffset, c_.txStart}) {
        modes->addButton(mode);
    }
    return group;
}

QGroupBox* BatchGenerateDialog::BuildRxToneGroup() {
    auto* group = new QGroupBox(QStringLiteral("Rx Tone:"), this);
    c_.rxTone = ToneList(group);
    c_.rxRandom = new QCheckBox(QStringLiteral("Random"), group);
    c_.rxInterval = MakeFilteredEdit(kIntervalBoxTyping, group);
    c_.rxToneAsc = new QRadioButton(QStringLiteral("Asc"), group);
    c_.rxToneDesc = new QRadioButton(QStringLiteral("Desc"), group);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Start Tone"), c_.rxTone);
    form->addRow(c_.rxRandom);
    form->addRow(QStringLiteral("Interval"), c_.rxInterval);
    form->addRow(RadioRow(group, {c_.rxToneAsc, c_.rxToneDesc}));
    return group;
}

QGroupBox* BatchGenerateDialog::BuildTxToneGroup() {
    auto* group = new QGroupBox(QStringLiteral("Tx Tone:"), this);
    c_.txToneDefault = new QRadioButton(QStringLiteral("Default"), group);
    c_.txToneStart = new QRadioButton(QStringLiteral("Start Tone"), group);
    c_.txTone = ToneList(group);
    c_.txRandom = new QCheckBox(QStringLiteral("Random"), group);
    c_.txInterval = MakeFilteredEdit(kIntervalBoxTyping, group);
    c_.txToneAsc = new QRadioButton(QStringLiteral("Asc"), group);
    c_.txToneDesc = new QRadioButton(QStringLiteral("Desc"), group);
    auto* form = new QFormLayout(group);
    auto* modes = new QButtonGroup(group);
    modes->addButton(c_.txToneDefault);
    modes->addButton(c_.txToneStart);
    form->addRow(c_.txToneDefault);
    form->addRow(c_.txToneStart, c_.txTone);
    form->addRow(c_.txRandom);
    form->addRow(QStringLiteral("Interval"), c_.txInterval);
    form->addRow(RadioRow(group, {c_.txToneAsc, c_.txToneDesc}));
    return group;
}

QGroupBox* BatchGenerateDialog::BuildListGroup() {
    auto* group = new QGroupBox(this);
    auto* form = new QFormLayout(group);
    // The form's order: Tx Power, W/N, Signal Type, Scan Add, BCL, PTT ID, Relay Mode, Vox,
    // Voice Process (indices into kChannelListFields).
    for (std::size_t i : {0, 1, 6, 5, 2, 7, 8, 3, 4}) {
        auto* list = new QComboBox(group);
        for (std::string_view text : kChannelListFields[i].texts) {
            list->addItem(Text(text));
        }
        c_.lists[i] = list;
        form->addRow(Text(kChannelListFields[i].caption), list);
    }
    c_.name = MakeFilteredEdit({{}, static_cast<int>(kChannelNameLength)}, group);
    c_.byNumber = new QCheckBox(QStringLiteral("By CH Num"), group);
    form->addRow(QStringLiteral("CH. Name"), c_.name);
    form->addRow(c_.byNumber);
    return group;
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
            const QString limited = Text(LimitIntervalText(Latin1(interval->text())));
            if (limited != interval->text()) {
                interval->setText(limited);
            }
        });
    }
    for (QLineEdit* step : {c_.rxStep, c_.txStep}) {
        connect(step, &QLineEdit::textEdited, this, [step] {
            const QString limited = Text(LimitStepText(Latin1(step->text())));
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
    f.from = Latin1(c_.fromEdit->text());
    f.to = Latin1(c_.toEdit->text());
    f.rxStart = Latin1(c_.rxStart->text());
    f.rxStep = Latin1(c_.rxStep->text());
    f.rxDescending = c_.rxDesc->isChecked();
    f.txMode = c_.txOffset->isChecked()  ? TxFrequencyMode::Offset
               : c_.txStart->isChecked() ? TxFrequencyMode::Start
                                         : TxFrequencyMode::Default;
    f.offset = Latin1(c_.offset->text());
    f.minus = c_.minus->isChecked();
    f.txStart = Latin1(c_.txStartEdit->text());
    f.txStep = Latin1(c_.txStep->text());
    f.txDescending = c_.txDesc->isChecked();
    f.rxTone = c_.rxTone->currentIndex();
    f.rxRandom = c_.rxRandom->isChecked();
    f.rxInterval = Latin1(c_.rxInterval->text());
    f.rxToneDescending = c_.rxToneDesc->isChecked();
    f.txToneStart = c_.txToneStart->isChecked();
    f.txTone = c_.txTone->currentIndex();
    f.txRandom = c_.txRandom->isChecked();
    f.txInterval = Latin1(c_.txInterval->text());
    f.txToneDescending = c_.txToneDesc->isChecked();
    for (std::size_t i = 0; i < c_.lists.size(); ++i) {
        f.lists[i] = c_.lists[i]->currentIndex();
    }
    f.name = Latin1(c_.name->text());
    f.byNumber = c_.byNumber->isChecked();
}

void BatchGenerateDialog::ShowForm() {
    const BatchForm& f = form_;
    const std::array<QRadioButton*, 4> range{c_.all, c_.aSection, c_.bSection, c_.from};
    range[static_cast<std::size_t>(f.range)]->setChecked(true);
    c_.fromEdit->setText(Text(f.from));
    c_.toEdit->setText(Text(f.to));
    c_.rxStart->setText(Text(f.rxStart));
    c_.rxStep->setText(Text(f.rxStep));
    ShowChoice(c_.rxAsc, c_.rxDesc, f.rxDescending);
    (f.txMode == TxFrequencyMode::Offset  ? c_.txOffset
     : f.txMode == TxFrequencyMode::Start ? c_.txStart
                                          : c_.txDefault)
        ->setChecked(true);
    c_.offset->setText(Text(f.offset));
    ShowChoice(c_.plus, c_.minus, f.minus);
    c_.txStartEdit->setText(Text(f.txStart));
    c_.txStep->setText(Text(f.txStep));
    ShowChoice(c_.txAsc, c_.txDesc, f.txDescending);
    c_.rxTone->setCurrentIndex(f.rxTone);
    c_.rxRandom->setChecked(f.rxRandom);
    c_.rxInterval->setText(Text(f.rxInterval));
    ShowChoice(c_.rxToneAsc, c_.rxToneDesc, f.rxToneDescending);
    ShowChoice(c_.txToneDefault, c_.txToneStart, f.txToneStart);
    c_.txTone->setCurrentIndex(f.txTone);
    c_.txRandom->setChecked(f.txRandom);
    c_.txInterval->setText(Text(f.txInterval));
    ShowChoice(c_.txToneAsc, c_.txToneDesc, f.txToneDescending);
    for (std::size_t i = 0; i < c_.lists.size(); ++i) {
        c_.lists[i]->setCurrentIndex(f.lists[i]);
    }
    c_.name->setText(Text(f.name));
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
        rxStartAtFocus_ = Latin1(c_.rxStart->text());
    } else if (control == c_.txStartEdit) {
        txStartAtFocus_ = Latin1(c_.txStartEdit->text());
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

void BatchGenerateDialog::SetAppliedHandler(std::function<void(const MemoryImage&)> handler) {
    applied_ = std::move(handler);
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
    const MemoryImage before = image_;
    ApplyBatch(image_, limits_, PlanBatch(form_, limits_), randomSource_());
    if (applied_) {
        applied_(before);
    }
}

void BatchGenerateDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Apply();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace kestra
