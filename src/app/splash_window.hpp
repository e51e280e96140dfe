// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up picture: "startup.bmp" from the program directory in a borderless window of its
// own size, centred on the screen. It closes after one second, or earlier at the first key or
// mouse-button press anywhere in the program, and then reports finished(). Without the file (or
// with a file that is not a picture) there is no splash at all.

#include <QSplashScreen>
#include <filesystem>
#include <memory>

namespace kestra {

class SplashWindow : public QSplashScreen {
    Q_OBJECT
public:
    static constexpr int kShowMilliseconds = 1000;

    // Null when the picture is missing or unreadable.
    static std::unique_ptr<SplashWindow> FromProgramDirectory(const std::filesystem::path& dir);

    explicit SplashWindow(const QPixmap& picture);
    ~SplashWindow() override;

    // Shows the splash and starts its timer.
    void start();

signals:
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dismiss();

    bool done_ = false;
};

}  // namespace kestra
