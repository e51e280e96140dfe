// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

namespace kestra {

// Start-up work that needs no window, done on a second thread while the main thread connects to
// the display and builds the main window:
// - before the application object exists: fontconfig's configuration and font caches (on
//   Linux its first call parses them, a sizeable share of start-up);
// - once it exists (ApplicationReady): Qt's font list, the fallback families of the fonts in
//   the first frame, and the image format plugins, which Qt loads on the first picture it
//   reads (a style icon in the first frame), one by one.
// Each of these is guarded inside Qt and fontconfig, so the main thread simply waits its turn
// where it needs one before the warm-up has finished it. Where Qt does not use fontconfig
// (Windows, macOS) the first step does nothing.
class StartupWarmUp {
public:
    StartupWarmUp();
    ~StartupWarmUp();
    StartupWarmUp(const StartupWarmUp&) = delete;
    StartupWarmUp& operator=(const StartupWarmUp&) = delete;

    // Call once the QApplication is constructed.
    void ApplicationReady();
    // Returns once the warm-up has ended. Before the QApplication is destroyed.
    void Wait();

private:
    std::thread fonts_;
    std::thread application_;
};

}  // namespace kestra
