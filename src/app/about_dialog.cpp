// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_dialog.hpp"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_icons.hpp"
#include "model/program_version.hpp"
#include "model/settings_file.hpp"

namespace kestra {

AboutDialog::AboutDialog(const std::filesystem::path& settingsPath, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));

    const SettingsFile settings(settingsPath);
    constexpr const char* kKeys[] = {"Version", "Copyright", "Company"};

    auto* icon = new QLabel(this);
    icon->setPixmap(ApplicationIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    for (int i = 0; i < 3; ++i) {
        lines_[i] = new QLabel(
            QString::fromStdString(settings.GetText("About", kKeys[i], "", kSettingsTextMaxLength)),
            this);
        lines_[i]->setTextFormat(Qt::PlainText);
        lines_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        lines_[i]->setMinimumWidth(240);
        texts->addWidget(lines_[i]);
    }
    // Below the installer's lines, whatever they say: the program's own licence.
    licence_ = new QLabel(
        QString::fromUtf8(LicenceNotice().data(), static_cast<qsizetype>(LicenceNotice().size())),
        this);
    licence_->setTextFormat(Qt::PlainText);
    licence_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    texts->addSpacing(6);
    texts->addWidget(licence_);
    texts->addStretch();

    auto* body = new QHBoxLayout;
    body->setSpacing(16);
    body->addWidget(icon);
    body->addLayout(texts, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutDialog::licenceText() const {
    return licence_->text();
}

QString AboutDialog::lineText(int line) const {
    return line >= 0 && line < 3 ? lines_[line]->text() : QString();
}

}  // namespace kestra
