// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_style.hpp"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>

#include <optional>

namespace kestra {

namespace {

// A style's standard icon, asked of the style (with the same option and widget, while the
// widget lives) the first time anything about the picture is needed.
class DeferredStyleIcon : public QIconEngine {
public:
    DeferredStyleIcon(QStyle* style, QStyle::StandardPixmap which, const QStyleOption* option,
                      const QWidget* widget)
        : style_(style), which_(which), widget_(const_cast<QWidget*>(widget)) {
        if (option != nullptr) {
            // What every option holds (direction, palette, state): all a window-decoration
            // picture may depend on. The styled object may be gone when the picture is drawn.
            option_ = *option;
            option_->styleObject = nullptr;
        }
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    QString key() const override { return QStringLiteral("kestra-deferred-style-icon"); }
    QIconEngine* clone() const override { return new DeferredStyleIcon(*this); }

private:
    const QIcon& Icon() {
        if (!icon_) {
            // The style may have been replaced since: then the one in use answers.
            QStyle* style = style_ ? style_.data() : QApplication::style();
            icon_ = style->standardIcon(which_, option_ ? &*option_ : nullptr, widget_.data());
        }
        return *icon_;
    }

    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    std::optional<QStyleOption> option_;
    QPointer<QWidget> widget_;
    std::optional<QIcon> icon_;
};

}  // namespace

ProgramStyle::ProgramStyle(QStyle* base) : QProxyStyle(base) {}

void ProgramStyle::Install() {
    if (qobject_cast<ProgramStyle*>(QApplication::style()) != nullptr) {
        return;
    }
    if (QStyle* base = QStyleFactory::create(QApplication::style()->name())) {
        QApplication::setStyle(new ProgramStyle(base));
    }
}

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                 const QWidget* widget) const {
    switch (icon) {
        case SP_TitleBarMenuButton:
        case SP_TitleBarNormalButton:
        case SP_TitleBarMinButton:
        case SP_TitleBarMaxButton:
        case SP_TitleBarCloseButton:
        case SP_DockWidgetCloseButton:
        case SP_ToolBarHorizontalExtensionButton:
        case SP_ToolBarVerticalExtensionButton:
            return QIcon(new DeferredStyleIcon(baseStyle(), icon, option, widget));
        default:
            return QProxyStyle::standardIcon(icon, option, widget);
    }
}

}  // namespace kestra
