// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop program as a whole: start-up in its fixed order (settings file, serial port,
// tree label, command line, recent files, splash, main window, first document), then the
// message loop. KestraApplication owns the process-wide state (the one memory image and its
// companions) and the main window; tests create one with their own Messenger and prompts.

#include <QString>
#include <QStringList>

class QLabel;

#include <filesystem>
#include <memory>
#include <optional>

#include "model/app_state.hpp"
#include "model/settings_file.hpp"

namespace kestra {

class CMainFrame;
class DemoRadio;
class DocumentPrompts;
class LinkFactory;
class Messenger;
class SplashWindow;

struct StartupOptions {
    QString port;      // --port PATH, COMn or demo: the port for this run only (not stored)
    QString document;  // a "*.dat" file to open instead of a new document
};

// The program's own arguments (after QApplication took its own): [--port PATH] [FILE].
// Nothing, with the reason in *error, when they make no sense.
std::optional<StartupOptions> ParseCommandLine(const QStringList& arguments, QString* error);

class KestraApplication {
public:
    // messenger, prompts: null for the real message boxes and dialogs.
    explicit KestraApplication(Messenger* messenger = nullptr, DocumentPrompts* prompts = nullptr);
    ~KestraApplication();
    KestraApplication(const KestraApplication&) = delete;
    KestraApplication& operator=(const KestraApplication&) = delete;

    // Runs start-up. The main window is shown maximized once the splash is gone (at once
    // without one).
    void Start(const StartupOptions& options);

    AppState& state() { return state_; }
    CMainFrame* mainFrame() const { return mainFrame_.get(); }
    const std::filesystem::path& programDirectory() const { return programDir_; }
    const SettingsFile& settings() const { return settings_; }
    bool splashShown() const { return splashShown_; }
    // "Demo radio" in the status bar, shown while the transfers go to the built-in demo radio.
    QLabel* demoRadioIndicator() const { return demoIndicator_; }

private:
    void AddDemoRadioIndicator();
    void ShowModelAsTreeRoot();
    void ShowMainWindow();

    AppState state_;
    std::unique_ptr<Messenger> ownMessenger_;
    Messenger* messenger_;
    DocumentPrompts* prompts_;
    std::filesystem::path programDir_;
    SettingsFile settings_;
    std::unique_ptr<DemoRadio> demoRadio_;
    std::unique_ptr<LinkFactory> links_;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::unique_ptr<SplashWindow> splash_;
    bool splashShown_ = false;
    QLabel* demoIndicator_ = nullptr;
};

// Names the program for QSettings: the recent-file list lives under the organization
// "Local AppWizard-Generated Applications". Window captions stay exactly as each window sets
// them.
void SetProgramIdentity();

// main(): the whole program. `--version` is answered at once, without a display.
int RunDesktop(int argc, char** argv);

}  // namespace kestra
