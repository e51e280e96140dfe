// SPDX-License-Identifier: GPL-3.0-or-later
// The "Channel Edit" dialog.

#include "channels/ui/channel_edit_dialog.hpp"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <cstdlib>
#include <functional>
#include <vector>

#include "common/ui/editor_controls_widget.hpp"
#include "model/channel_record.hpp"
#include "model/codecs.hpp"

namespace kestra {

namespace {

// Shows text in an editable combo, selecting its entry when the list has one.
void ShowComboText(QComboBox* combo, const std::string& text) {
    const QString shown = Latin1Text(text);
    combo->setCurrentIndex(combo->findText(shown));
    combo->setEditText(shown);
}

}  // namespace

// "CH": the channel label with an up-down spin. The text is its only state; the spin's steps go
// to the dialog, which wraps them around 258 <-> 1. Typing takes "ABab0123456789" and at most 4
// characters; the labels the dialog writes ("A VFO") may be longer.
class ChannelNumberBox : public QAbstractSpinBox {
public:
    explicit ChannelNumberBox(QWidget* parent) : QAbstractSpinBox(parent) {
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        setAlignment(Qt::AlignLeft);
    }

    QLineEdit* edit() const { return lineEdit(); }
    void stepBy(int steps) override {
        for (int i = 0; i < std::abs(steps) && onStep; ++i) {
            onStep(steps > 0 ? 1 : -1);
        }
    }

    std::function<void(int)> onStep;

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

    void keyPressEvent(QKeyEvent* event) override {
        const QString typed = event->text();
        if (typed.size() == 1 && typed.at(0).isPrint()) {
            const char16_t c = typed.at(0).unicode();
            const qsizetype kept = lineEdit()->text().size() - lineEdit()->selectedText().size();
            if (c > 0x7F || !FilterAccepts(kChannelLabelFilter, static_cast<char>(c)) ||
                kept >= kChannelTextLength) {
                event->accept();
                return;
            }
        }
        QAbstractSpinBox::keyPressEvent(event);
    }
};

ChannelEditDialog::ChannelEditDialog(MemoryImage& image, const SectionLimits& limits, int number,
                                     QWidget* parent)
    : QDialog(parent), editor_(image, limits, number) {
    setWindowTitle(QStringLiteral("Channel Edit"));
    BuildControls();
    focus_ = new ControlFocusWatcher([this](QWidget* c) { Entered(c); },
                                     [this](QWidget* c) { Left(c); }, this);
    for (QWidget* control :
         std::initializer_list<QWidget*>{channel_, rxFreq_, txFreq_, rxTone_, txTone_}) {
        focus_->Watch(control);
    }
    rxFreq_->installEventFilter(this);
    channel_->onStep = [this](int step) { Step(step); };
    ShowFields();
}

ChannelEditDialog::~ChannelEditDialog() {
    // The controls go after the editor; no focus change may reach it then.
    delete focus_;
}

void ChannelEditDialog::BuildControls() {
    channel_ = new ChannelNumberBox(this);
    rxFreq_ = MakeFilteredEdit({kDecimalDigits, 0}, this);
    txFreq_ = MakeFilteredEdit({kDecimalDigits, 0}, this);
    QStringList tones;
    for (const std::string& tone : ToneChoiceList()) {
        tones << Latin1Text(tone);
    }
    rxTone_ = new QComboBox(this);
    txTone_ = new QComboBox(this);
    for (QComboBox* tone : {rxTone_, txTone_}) {
        tone->setEditable(true);
        tone->addItems(tones);
        tone->setInsertPolicy(QComboBox::NoInsert);
        tone->setCompleter(nullptr);  // "8" must not become "82.5" while typing
        tone->setMaxVisibleItems(20);
    }
    name_ = MakeFilteredEdit({{}, static_cast<int>(kChannelNameLength)}, this);

    std::vector<std::pair<std::string_view, QWidget*>> rows{{"CH", channel_},
                                                            {"Rx Freq", rxFreq_},
                                                            {"Tx Freq", txFreq_},
                                                            {"Rx Tone", rxTone_},
                                                            {"Tx Tone", txTone_}};
    for (std::size_t i = 0; i < kChannelListFields.size(); ++i) {
        auto* list = new QComboBox(this);
        for (std::string_view text : kChannelListFields[i].texts) {
            list->addItem(Latin1Text(text));
        }
        lists_[i] = list;
        if (i == 5) {  // the name sits between Voice Process and Scan Add
            rows.emplace_back("CH. Name", name_);
        }
        rows.emplace_back(kChannelListFields[i].caption, list);
    }
    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(12);
    const std::size_t leftRows = 8;  // CH to BCL on the left, Vox to Relay Mode on the right
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i % leftRows);
        const int column = i < leftRows ? 0 : 2;
        auto* label = new QLabel(Latin1Text(rows[i].first), this);
        label->setBuddy(rows[i].second);
        rows[i].second->setMinimumWidth(130);
        layout->addWidget(label, row, column);
        layout->addWidget(rows[i].second, row, column + 1);
        if (i > 0) {
            setTabOrder(rows[i - 1].second, rows[i].second);
        }
    }
    layout->setColumnMinimumWidth(2, 100);
}

QWidget* ChannelEditDialog::channelBox() const {
    return channel_;
}

QLineEdit* ChannelEditDialog::channelEdit() const {
    return channel_->edit();
}

QComboBox* ChannelEditDialog::listCombo(std::string_view caption) const {
    for (std::size_t i = 0; i < kChannelListFields.size(); ++i) {
        if (kChannelListFields[i].caption == caption) {
            return lists_[i];
        }
    }
    return nullptr;
}

void ChannelEditDialog::Gather() {
    ChannelEditFields& fields = editor_.fields();
    fields.ch = Latin1String(channel_->edit()->text());
    fields.rxFreq = Latin1String(rxFreq_->text());
    fields.txFreq = Latin1String(txFreq_->text());
    fields.rxTone = Latin1String(rxTone_->currentText());
    fields.txTone = Latin1String(txTone_->currentText());
    fields.name = Latin1String(name_->text());
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        fields.lists[i] = lists_[i]->currentIndex();
    }
}

void ChannelEditDialog::ShowFields() {
    const ChannelEditFields& fields = editor_.fields();
    channel_->edit()->setText(Latin1Text(fields.ch));
    rxFreq_->setText(Latin1Text(fields.rxFreq));
    txFreq_->setText(Latin1Text(fields.txFreq));
    ShowComboText(rxTone_, fields.rxTone);
    ShowComboText(txTone_, fields.txTone);
    name_->setText(Latin1Text(fields.name));
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        lists_[i]->setCurrentIndex(fields.lists[i]);
        lists_[i]->setEnabled(fields.enabled);
    }
    for (QWidget* control : std::initializer_list<QWidget*>{txFreq_, rxTone_, txTone_, name_}) {
        control->setEnabled(fields.enabled);
    }
}

template <typename Operation>
void ChannelEditDialog::Run(Operation operation) {
    if (closed_) {
        return;
    }
    Gather();
    operation();
    ShowFields();
}

void ChannelEditDialog::Entered(QWidget* control) {
    if (control == txFreq_) {
        txAtFocus_ = txFreq_->text();
    }
}

void ChannelEditDialog::Left(QWidget* control) {
    if (control == channel_) {
        Run([this] { editor_.CommitChannelNumber(); });
    } else if (control == rxFreq_) {
        Run([this] { editor_.CommitRxFrequency(); });
    } else if (control == txFreq_) {
        Run([this] { editor_.CommitTxFrequency(Latin1String(txAtFocus_)); });
    } else if (control == rxTone_) {
        Run([this] { editor_.CommitRxTone(); });
    } else if (control == txTone_) {
        Run([this] { editor_.CommitTxTone(); });
    }
}

void ChannelEditDialog::Step(int step) {
    Run([this, step] { editor_.StepChannel(step); });
}

bool ChannelEditDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == rxFreq_ && event->type() == QEvent::KeyPress &&
        IsEnterKey(static_cast<QKeyEvent*>(event))) {
        Run([this] { editor_.CommitRxFrequency(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ChannelEditDialog::keyPressEvent(QKeyEvent* event) {
    if (!DropDialogCloseKey(event)) {
        QDialog::keyPressEvent(event);
    }
}

void ChannelEditDialog::done(int result) {
    if (!closed_) {
        // Text still being typed counts, as if the focus had moved on before closing.
        if (QWidget* control = focus_->FocusedControl()) {
            Left(control);
        }
        Gather();
        editor_.SaveChannel();
        closed_ = true;
    }
    QDialog::done(result);
}

}  // namespace kestra
