// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Batch Gerenate CH" dialog: fills a range of channels in one step. It shows a BatchForm
// (core), applies the enabling rules of its groups and normalises each box when it is left;
// "Apply" (or Enter anywhere) carries out the plan on the image through the apply runner, which
// makes each Apply one undoable step of the document and refreshes the grid. The dialog stays
// open until "Close"; each Apply works on the image as it is then.

#include <QDialog>

#include <array>
#include <functional>

#include "channels/batch_form.hpp"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestra {

class ControlFocusWatcher;

class BatchGenerateDialog : public QDialog {
    Q_OBJECT
public:
    // image and limits must outlive the dialog.
    BatchGenerateDialog(MemoryImage& image, const SectionLimits& limits, QWidget* parent = nullptr);
    ~BatchGenerateDialog() override;

    // Every Apply hands its change of the image to runner, which runs it (default: at once).
    void SetApplyRunner(std::function<void(const std::function<void()>& apply)> runner);
    // Makes the random generator of each Apply (default: seeded from the clock's seconds).
    void SetRandomSource(std::function<RandomDraw()> source);

    const BatchForm& form() const { return form_; }

    struct Controls {
        QRadioButton *all, *aSection, *bSection, *from;
        QLineEdit *fromEdit, *toEdit;
        QLineEdit *rxStart, *rxStep;
        QRadioButton *rxAsc, *rxDesc;
        QRadioButton *txDefault, *txOffset, *txStart;
        QLineEdit* offset;
        QRadioButton *plus, *minus;
        QLineEdit *txStartEdit, *txStep;
        QRadioButton *txAsc, *txDesc;
        QComboBox* rxTone;
        QCheckBox* rxRandom;
        QLineEdit* rxInterval;
        QRadioButton *rxToneAsc, *rxToneDesc;
        QRadioButton *txToneDefault, *txToneStart;
        QComboBox* txTone;
        QCheckBox* txRandom;
        QLineEdit* txInterval;
        QRadioButton *txToneAsc, *txToneDesc;
        std::array<QComboBox*, kChannelListFields.size()> lists;  // kChannelListFields order
        QLineEdit* name;
        QCheckBox* byNumber;
        QPushButton *apply, *close;
    };
    // The controls, for tests that type and click into them.
    const Controls& controls() const { return c_; }

public slots:
    void Apply();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QGroupBox* BuildRangeGroup();
    QGroupBox* BuildRxGroup();
    QGroupBox* BuildTxGroup();
    QGroupBox* BuildRxToneGroup();
    QGroupBox* BuildTxToneGroup();
    QGroupBox* BuildListGroup();
    void Connect();
    // Copies the controls into the form, and the form (with the enabling rules) back.
    void Gather();
    void ShowForm();
    // Which boxes take input, from the choices the form holds.
    void ApplyEnablingRules();
    void React(const std::function<void()>& change);
    void Entered(QWidget* control);
    void Left(QWidget* control);

    MemoryImage& image_;
    const SectionLimits& limits_;
    BatchForm form_;
    Controls c_{};
    ControlFocusWatcher* focus_ = nullptr;
    std::string rxStartAtFocus_;
    std::string txStartAtFocus_;
    std::function<void(const std::function<void()>&)> applyRunner_;
    std::function<RandomDraw()> randomSource_;
};

}  // namespace kestra
