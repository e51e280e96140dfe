// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Channel Edit" dialog: every field of one channel record, stepping through all 258
// slots. The rules are the core ChannelEditor's; this only shows its fields and tells it what
// the user did: leaving a box commits it, the "CH" spin steps (wrapping 258 <-> 1), typing a
// channel into "CH" and leaving it changes channel. There is no OK or Cancel: the close box
// saves the channel shown, Enter in "Rx Freq" commits it, Enter and Esc elsewhere do nothing.
// It works on the image directly; the grid view stores its grid before and refills it after.

#include <QDialog>

#include <array>
#include <string_view>

#include "channels/channel_edit.hpp"

class QComboBox;
class QLabel;
class QLineEdit;

namespace kestra {

class ChannelNumberBox;
class ControlFocusWatcher;

class ChannelEditDialog : public QDialog {
    Q_OBJECT
public:
    // Opens on channel number (1..258). image and limits must outlive the dialog.
    ChannelEditDialog(MemoryImage& image, const SectionLimits& limits, int number,
                      QWidget* parent = nullptr);
    ~ChannelEditDialog() override;

    const ChannelEditor& editor() const { return editor_; }

    // The controls, for tests that type and click into them.
    QWidget* channelBox() const;
    QLineEdit* channelEdit() const;
    QLineEdit* rxFreqEdit() const { return rxFreq_; }
    QLineEdit* txFreqEdit() const { return txFreq_; }
    QComboBox* rxToneCombo() const { return rxTone_; }
    QComboBox* txToneCombo() const { return txTone_; }
    QLineEdit* nameEdit() const { return name_; }
    // The list captioned caption ("Tx Power" ... "Relay Mode"), or null.
    QComboBox* listCombo(std::string_view caption) const;

public slots:
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    // Copies the controls into the editor's fields, and the fields back into the controls.
    void Gather();
    void ShowFields();
    // Runs one editor operation between a Gather and a ShowFields.
    template <typename Operation>
    void Run(Operation operation);
    void Entered(QWidget* control);
    void Left(QWidget* control);
    void Step(int step);

    ChannelEditor editor_;
    ChannelNumberBox* channel_ = nullptr;
    QLineEdit* rxFreq_ = nullptr;
    QLineEdit* txFreq_ = nullptr;
    QComboBox* rxTone_ = nullptr;
    QComboBox* txTone_ = nullptr;
    QLineEdit* name_ = nullptr;
    std::array<QComboBox*, kChannelListFields.size()> lists_{};
    ControlFocusWatcher* focus_ = nullptr;
    QString txAtFocus_;
    bool closed_ = false;
};

}  // namespace kestra
