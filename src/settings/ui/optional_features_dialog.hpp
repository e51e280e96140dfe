// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Optional Features" dialog: the radio's menu settings in three columns of drop-down
// lists and the power-on message. It has no buttons: it decodes the settings block when it
// opens and encodes every field back when it closes, whichever way (close box, Esc or Enter).

#include <QDialog>

#include <string_view>

#include "model/memory_image.hpp"

namespace kestra {

class FormBinder;

class OptionalFeaturesDialog : public QDialog {
    Q_OBJECT
public:
    OptionalFeaturesDialog(MemoryImage& image, QWidget* parent = nullptr);

    FormBinder* binder() const { return binder_; }
    // The control with this caption (null for the fields the dialog keeps without showing).
    QWidget* control(std::string_view caption) const;

public slots:
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    MemoryImage& image_;
    FormBinder* binder_;
    bool stored_ = false;
};

}  // namespace kestra
