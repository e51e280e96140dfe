// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_dialog.hpp"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

#include "app/app_icons.hpp"
#include "app/program_identity.hpp"
#include "model/program_version.hpp"
#include "model/settings_file.hpp"

namespace kestra {

namespace {

constexpr const char* kAboutKeys[] = {"Version", "Copyright", "Company"};

// The three lines: Program.ini's [About] lines when it has any (an absent one stays empty), else
// the program's own name and version, copyright and where to report problems (its licence is
// below them either way).
std::array<QString, 3> AboutLines(const SettingsFile& settings) {
    std::array<QString, 3> lines;
    bool any = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        any = any || settings.HasKey("About", kAboutKeys[i]);
        lines[i] = QString::fromStdString(
            settings.GetText("About", kAboutKeys[i], "", kSettingsTextMaxLength));
    }
    if (!any) {
        const auto text = [](std::string_view view) {
            return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
        };
        lines = {
            QStringLiteral("%1 %2").arg(QLatin1String(kApplicationName), text(ProgramVersion())),
            text(CopyrightLine()),
            QStringLiteral("Report problems at %1").arg(QLatin1String(kReportProblemsAt))};
    }
    return lines;
}

}  // namespace

AboutDialog::AboutDialog(const std::filesystem::path& settingsPath, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));

    const std::array<QString, 3> shown = AboutLines(SettingsFile(settingsPath));

    auto* icon = new QLabel(this);
    icon->setPixmap(ApplicationIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    for (int i = 0; i < 3; ++i) {
        lines_[i] = new QLabel(shown[static_cast<std::size_t>(i)], this);
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
