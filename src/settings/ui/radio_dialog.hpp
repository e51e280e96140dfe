// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Radio" dialog: the broadcast receiver's current channel and frequency and its twenty
// channel frequencies (76 to 108 MHz) in a grid with an in-place edit. It decodes when it opens
// and encodes when it closes; Enter and Esc do not close it, the close box does.

#include <QDialog>

#include "model/memory_image.hpp"

namespace kestra {

class FieldGrid;
class FormBinder;

class RadioDialog : public QDialog {
    Q_OBJECT
public:
    RadioDialog(MemoryImage& image, QWidget* parent = nullptr);

    FormBinder* binder() const { return binder_; }
    FieldGrid* channelGrid() const { return grid_; }

public slots:
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    MemoryImage& image_;
    FormBinder* binder_;
    FieldGrid* grid_;
    bool stored_ = false;
};

}  // namespace kestra
