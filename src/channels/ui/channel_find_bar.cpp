// SPDX-License-Identifier: GPL-3.0-or-later
// The Find bar above the channel grid.

#include "channels/ui/channel_find_bar.hpp"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kestra {

ChannelFindBar::ChannelFindBar(QWidget* parent) : QWidget(parent) {
    auto* label = new QLabel(QStringLiteral("Fin&d:"), this);
    text_ = new QLineEdit(this);
    text_->setPlaceholderText(QStringLiteral("name or frequency"));
    // A name holds 7 characters and a frequency text 9; the box shows a little more.
    text_->setMinimumWidth(text_->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 14);
    label->setBuddy(text_);
    next_ = new QPushButton(QStringLiteral("&Next"), this);
    next_->setToolTip(QStringLiteral("Go to the next matching channel (Enter, F3)"));
    close_ = new QPushButton(QStringLiteral("Cl&ose"), this);
    close_->setToolTip(QStringLiteral("Close the Find bar (Esc)"));
    result_ = new QLabel(this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(text_);
    layout->addWidget(next_);
    layout->addWidget(result_, 1);
    layout->addWidget(close_);

    connect(text_, &QLineEdit::textEdited, this, &ChannelFindBar::textEdited);
    // The clear button changes the text without textEdited.
    connect(text_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty()) {
            emit textEdited(text);
        }
    });
    connect(text_, &QLineEdit::returnPressed, this, &ChannelFindBar::nextRequested);
    connect(next_, &QPushButton::clicked, this, &ChannelFindBar::nextRequested);
    connect(close_, &QPushButton::clicked, this, &ChannelFindBar::closeRequested);
}

QString ChannelFindBar::text() const {
    return text_->text();
}

void ChannelFindBar::Open() {
    setVisible(true);
    text_->setFocus(Qt::ShortcutFocusReason);
    text_->selectAll();
}

void ChannelFindBar::showEvent(QShowEvent* event) {
    // The clear button's icon comes from the icon theme, whose first lookup costs the start-up
    // several milliseconds: the bar, hidden until Find, takes it when first shown.
    if (!text_->isClearButtonEnabled()) {
        text_->setClearButtonEnabled(true);
    }
    QWidget::showEvent(event);
}

void ChannelFindBar::ShowResult(const QString& result) {
    result_->setText(result);
}

void ChannelFindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        emit closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace kestra
