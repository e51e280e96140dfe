// SPDX-License-Identifier: GPL-3.0-or-later
// The summary of a write, before it starts.

#include "app/write_preview_dialog.hpp"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestra {

namespace {

QString Headline(const ImageDifference& difference) {
    if (difference.empty()) {
        return QStringLiteral(
            "The radio already holds what this write sends: nothing has changed "
            "since the last read from or write to the radio.");
    }
    const auto channels = static_cast<int>(difference.channels.size());
    QString text = QStringLiteral(
        "Compared with what was last read from or written to the "
        "radio, this write changes ");
    if (channels > 0) {
        text += channels == 1 ? QStringLiteral("1 channel")
                              : QStringLiteral("%1 channels").arg(channels);
        if (!difference.fields.empty() || !difference.other.empty() || difference.summaryAreas) {
            text += QStringLiteral(" and some settings");
        }
    } else {
        text += QStringLiteral("settings only");
    }
    return text + QLatin1Char(':');
}

}  // namespace

WritePreviewDialog::WritePreviewDialog(const ImageDifference& difference, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Write"));
    headline_ = new QLabel(Headline(difference), this);
    headline_->setWordWrap(true);
    headline_->setTextFormat(Qt::PlainText);

    changes_ = new QPlainTextEdit(QString::fromStdString(FormatImageDifference(difference)), this);
    changes_->setReadOnly(true);
    changes_->setLineWrapMode(QPlainTextEdit::NoWrap);
    changes_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    changes_->setVisible(!difference.empty());

    auto* buttons = new QDialogButtonBox(this);
    write_ = buttons->addButton(QStringLiteral("Write"), QDialogButtonBox::AcceptRole);
    cancel_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    write_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(headline_);
    layout->addWidget(changes_, 1);
    layout->addWidget(buttons);
    resize(560, difference.empty() ? 120 : 380);
}

}  // namespace kestra
