// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "DTMF" dialog: a tab control with the pages "Encode", "Decode" and "Auto Dial". Every
// page decodes its part of the DTMF block when it is created and whenever it is shown, and
// encodes it when it is hidden; closing the dialog encodes the pages in the order Encode,
// Decode, Auto Dial, shown or not. Enter and Esc never close it; the close box does.

#include <QDialog>

#include <array>
#include <string>

#include "model/memory_image.hpp"

class QPushButton;
class QTabWidget;

namespace kestra {

class FieldGrid;
class FormBinder;

class DtmfDialog : public QDialog {
    Q_OBJECT
public:
    enum Page { Encode, Decode, AutoDial, PageCount };

    // callId: the Auto Dial page's Call ID, held in memory for the run.
    DtmfDialog(MemoryImage& image, std::string& callId, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    FormBinder* page(Page page) const { return binders_[page]; }
    FieldGrid* codeGrid() const { return codeGrid_; }
    QPushButton* aniCallButton() const { return aniCall_; }

public slots:
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* MakeFormPage(Page page, std::initializer_list<const char*> captions);
    QWidget* MakeAutoDialPage();
    void LeavePage(int index);
    void ShowPage(int index);

    MemoryImage& image_;
    QTabWidget* tabs_;
    std::array<FormBinder*, PageCount> binders_{};
    FieldGrid* codeGrid_ = nullptr;
    QPushButton* aniCall_ = nullptr;
    int shownPage_ = Encode;
    bool stored_ = false;
};

}  // namespace kestra
