// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/splash_window.hpp"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace kestra {

std::unique_ptr<SplashWindow> SplashWindow::FromProgramDirectory(const std::filesystem::path& dir) {
    const QString file = QString::fromStdString((dir / "startup.bmp").string());
    QPixmap picture;
    if (!picture.load(file) || picture.isNull()) {
        return nullptr;
    }
    return std::make_unique<SplashWindow>(picture);
}

SplashWindow::SplashWindow(const QPixmap& picture)
    : QSplashScreen(picture, Qt::WindowStaysOnTopHint) {}

SplashWindow::~SplashWindow() {
    if (auto* app = QCoreApplication::instance()) {
        app->removeEventFilter(this);
    }
}

void SplashWindow::start() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
    // Any key or mouse button anywhere in the program dismisses the splash early.
    QCoreApplication::instance()->installEventFilter(this);
    show();
    QTimer::singleShot(kShowMilliseconds, this, &SplashWindow::dismiss);
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
            dismiss();
            break;
        default:
            break;
    }
    return QSplashScreen::eventFilter(watched, event);
}

void SplashWindow::dismiss() {
    if (done_) {
        return;
    }
    done_ = true;
    QCoreApplication::instance()->removeEventFilter(this);
    close();
    emit finished();
}

}  // namespace kestra
