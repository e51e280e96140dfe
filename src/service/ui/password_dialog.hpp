// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Password" dialog that guards service mode: a masked box of at most eight characters,
// "OK" and "Cancel". "OK" accepts only the service password (letters in either case); any other
// text closes the dialog exactly as "Cancel" does, without a word. It stores nothing; what
// acceptance unlocks is the caller's business.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kestra {

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit PasswordDialog(QWidget* parent = nullptr);

    QLineEdit* passwordEdit() const { return edit_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

public slots:
    void accept() override;

private:
    QLineEdit* edit_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace kestra
