// SPDX-License-Identifier: GPL-3.0-or-later
// The "Password" dialog.

#include "service/ui/password_dialog.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "service/password.hpp"

namespace kestra {

PasswordDialog::PasswordDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Password"));

    auto* label = new QLabel(QStringLiteral("Password"), this);
    edit_ = new QLineEdit(this);
    edit_->setEchoMode(QLineEdit::Password);
    edit_->setMaxLength(kPasswordMaxLength);
    label->setBuddy(edit_);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setAutoDefault(false);
    connect(okButton_, &QPushButton::clicked, this, &PasswordDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &PasswordDialog::reject);

    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(label);
    fieldRow->addWidget(edit_, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(okButton_);
    buttonRow->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fieldRow);
    layout->addLayout(buttonRow);
    edit_->setFocus();
}

void PasswordDialog::accept() {
    if (IsServicePassword(edit_->text().toStdString())) {
        QDialog::accept();
    } else {
        QDialog::reject();
    }
}

}  // namespace kestra
