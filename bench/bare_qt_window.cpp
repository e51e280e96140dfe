// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick of the start-up benchmark: a bare Qt 6 program with one QMainWindow and one
// menu, shown maximized as the desktop program shows its main window. Like `kestra` with
// KESTRA_STARTUP_PROBE=1 it prints "bare-startup-ready" and the processor time it has used (in
// milliseconds) once its window is first painted on a visible screen, then quits, so
// startup_bench can start both the same way and compare them.

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

// Reports the first paint of the window, which comes only once the window is exposed.
class FirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            QTimer::singleShot(0, qApp, [] {
                rusage usage{};
                ::getrusage(RUSAGE_SELF, &usage);
                std::printf(
                    "bare-startup-ready %.1f\n",
                    static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);
                std::fflush(stdout);
                QApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Program"));
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    QObject::connect(file->addAction(QStringLiteral("E&xit")), &QAction::triggered, &app,
                     &QApplication::quit);
    FirstPaint probe;
    window.installEventFilter(&probe);
    if (QScreen* screen = window.screen()) {
        window.setGeometry(screen->availableGeometry());
    }
    window.showMaximized();
    return QApplication::exec();
}
