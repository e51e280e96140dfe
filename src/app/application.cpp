// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.hpp"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QLabel>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidgetItem>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/child_frame.hpp"
#include "app/document_controller.hpp"
#include "app/main_window.hpp"
#include "app/navigation_bar.hpp"
#include "app/program_identity.hpp"
#include "app/program_style.hpp"
#include "app/qt_messenger.hpp"
#include "app/resources.hpp"
#include "app/splash_window.hpp"
#include "app/startup_warm_up.hpp"
#include "channels/ui/program_view.hpp"
#include "link/device/link_factory.hpp"
#include "link/port_choice.hpp"
#include "model/document_file.hpp"
#include "model/program_directory.hpp"
#include "model/program_version.hpp"

namespace kestra {

std::optional<StartupOptions> ParseCommandLine(const QStringList& arguments, QString* error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Programming software for the radio."));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("The port for this run only, not stored: COMn, a device path, or \"demo\" "
                       "for the built-in demo radio."),
        QStringLiteral("PATH"));
    parser.addOption(portOption);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A *.dat file to open."),
                                 QStringLiteral("[file]"));
    if (!parser.parse(arguments)) {
        if (error != nullptr) {
            *error = parser.errorText();
        }
        return std::nullopt;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        if (error != nullptr) {
            *error = QStringLiteral("Only one file can be opened.");
        }
        return std::nullopt;
    }
    StartupOptions options;
    options.port = parser.value(portOption);
    if (parser.isSet(portOption) && options.port.isEmpty()) {
        if (error != nullptr) {
            *error = QStringLiteral("--port needs a device path.");
        }
        return std::nullopt;
    }
    if (!files.isEmpty()) {
        options.document = files.constFirst();
    }
    return options;
}

KestraApplication::KestraApplication(Messenger* messenger, DocumentPrompts* prompts)
    : messenger_(messenger), prompts_(prompts) {
    if (messenger_ == nullptr) {
        ownMessenger_ = std::make_unique<QtMessenger>();
        messenger_ = ownMessenger_.get();
    }
}

KestraApplication::~KestraApplication() = default;

void KestraApplication::Start(const StartupOptions& options) {
    ProgramStyle::Install();
    // The settings file first: it names the port and the tree's root.
    programDir_ = ProgramDirectory();
    settings_.Bind(SettingsFilePath(programDir_));
    // A --port choice (make run's demo radio included) holds for this run and is not stored.
    ChoosePortAtStartUp(
        state_, &settings_,
        options.port.isEmpty() ? std::nullopt : std::optional(options.port.toStdString()));
    const QString rootLabel = QString::fromStdString(settings_.GetText("Setup", "Type", ""));

    splash_ = SplashWindow::FromProgramDirectory(programDir_);
    if (splash_) {
        splashShown_ = true;
        splash_->start();
        QCoreApplication::processEvents();
    }

    // The demo radio ("--port demo") starts from the sample image compiled into the program.
    EnsureResources();
    demoRadio_ = std::make_unique<DemoRadio>();
    links_ = std::make_unique<LinkFactory>(&demoRadio_->radio());

    state_.image = NewDocumentImage(programDir_);
    mainFrame_ = std::make_unique<CMainFrame>(
        state_, *messenger_,
        MainFrameSettings{programDir_, settings_.Path(), rootLabel, links_.get()}, prompts_);
    AddDemoRadioIndicator();
    if (!settings_.HasKey("Setup", "Type")) {
        ShowModelAsTreeRoot();
    }
    if (!options.document.isEmpty()) {
        // A file that cannot be opened is reported; the new document stays.
        mainFrame_->documents()->OpenPath(options.document);
    }

    if (splash_) {
        QObject::connect(splash_.get(), &SplashWindow::finished, mainFrame_.get(),
                         [this] { ShowMainWindow(); });
    } else {
        ShowMainWindow();
    }
}

void KestraApplication::AddDemoRadioIndicator() {
    demoIndicator_ = new QLabel(QStringLiteral("Demo radio"), mainFrame_->statusBar());
    demoIndicator_->setToolTip(
        QStringLiteral("Read and Write go to the built-in demo radio in this run, not to a radio "
                       "on a cable. Setup, Com Setup chooses the real port."));
    mainFrame_->statusBar()->addPermanentWidget(demoIndicator_);
    demoIndicator_->setVisible(IsDemoPort(state_));
    // The radio commands run the Port dialog modally from this action; their handler was
    // connected first, so this one runs after the dialog has closed and sees the port it left.
    QObject::connect(mainFrame_->action(CMainFrame::Command::ComSetup), &QAction::triggered,
                     demoIndicator_, [this] { demoIndicator_->setVisible(IsDemoPort(state_)); });
}

void KestraApplication::ShowModelAsTreeRoot() {
    // Without a Type in Program.ini the tree's root names the radio model, as the "Radio" box
    // shows it, and follows it when a document or the user picks another.
    QComboBox* box = mainFrame_->view()->modelCombo();
    QTreeWidgetItem* root = mainFrame_->navigationBar()->rootItem();
    root->setText(0, box->currentText());
    QObject::connect(box, &QComboBox::currentTextChanged, mainFrame_.get(),
                     [root](const QString& model) { root->setText(0, model); });
}

void KestraApplication::ShowMainWindow() {
    // Without a window manager (or one that ignores the hint) "maximized" alone leaves the
    // window at its smallest size: give it the screen's free area first.
    if (QScreen* screen = mainFrame_->screen()) {
        mainFrame_->setGeometry(screen->availableGeometry());
    }
    mainFrame_->showMaximized();
    mainFrame_->childFrame()->showDocument();
}

void SetProgramIdentity() {
    QApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    QApplication::setOrganizationName(QString::fromLatin1(kOrganizationName));
#ifdef KESTRA_APP_ID
    // Lets a Wayland desktop find the installed desktop file and icon for the window.
    QGuiApplication::setDesktopFileName(QStringLiteral(KESTRA_APP_ID));
#endif
    // No display name: Qt would append it to every caption ("Read - Program"), and the
    // captions are the program's own.
}

namespace {

double ProcessorMilliseconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Prints "kestra-startup-ready" and the processor time used so far, in milliseconds, after the
// first paint of the main window, which comes only once the window is exposed, and quits.
class StartupProbe : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_ && qobject_cast<CMainFrame*>(watched)) {
            reported_ = true;
            QTimer::singleShot(0, qApp, [] {
                std::printf("kestra-startup-ready %.1f\n", ProcessorMilliseconds());
                std::fflush(stdout);
                QApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool reported_ = false;
};

// --version needs no display, so it is answered before Qt looks for one. An exit code when the
// command line asks for it.
std::optional<int> AnswerVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(VersionText("kestra").c_str(), stdout);
            if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
                std::fputs("kestra: cannot write to standard output\n", stderr);
                return 1;
            }
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace

int RunDesktop(int argc, char** argv) {
    if (const auto exitCode = AnswerVersion(argc, argv)) {
        return *exitCode;
    }
    // Fonts and image plugins load beside the display connection and the main window.
    StartupWarmUp warmUp;
    QApplication app(argc, argv);
    warmUp.ApplicationReady();
    // The warm-up uses Qt: it ends before the application object goes.
    const auto endWarmUp = qScopeGuard([&warmUp] { warmUp.Wait(); });
    SetProgramIdentity();

    QString error;
    const auto options = ParseCommandLine(QApplication::arguments(), &error);
    if (!options) {
        std::fprintf(stderr, "kestra: %s\n", qPrintable(error));
        return 2;
    }

    KestraApplication program;
    // The start-up benchmark: report once the main window is first painted on a visible screen
    // (its grid filled), then leave. bench/bare_qt_window reports the same moment.
    StartupProbe probe;
    if (qEnvironmentVariableIntValue("KESTRA_STARTUP_PROBE") == 1) {
        app.installEventFilter(&probe);
    }
    program.Start(*options);
    return QApplication::exec();
}

}  // namespace kestra
