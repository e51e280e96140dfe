// SPDX-License-Identifier: GPL-3.0-or-later
// The "Port" dialog against a described machine: which buttons it offers, which one it checks,
// and what "OK" stores in Program.ini and in the program state.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/application.hpp"
#include "app/main_window.hpp"
#include "channels/ui/program_view.hpp"
#include "link/port_choice.hpp"
#include "link/port_names.hpp"
#include "link/ui/doctor_report_dialog.hpp"
#include "link/ui/port_dialog.hpp"
#include "model/settings_file.hpp"
#include "ui_test_support.hpp"

namespace kestra {
namespace {

// COM1-COM16 with the given numbers available.
std::vector<ComPortStatus> Machine(std::initializer_list<int> available) {
    std::vector<ComPortStatus> ports;
    for (int n = 1; n <= kPortCount; ++n) {
        ComPortStatus port;
        port.number = n;
        port.portName = QString::fromStdString(PortNameForNumber(n));
        port.device = QString::fromStdString(DeviceForPortNumber(n));
        port.available = std::find(available.begin(), available.end(), n) != available.end();
        ports.push_back(port);
    }
    return ports;
}

class PortDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::Application();
        ASSERT_TRUE(dir_.isValid());
        settings_.Bind(std::filesystem::path(dir_.path().toStdString()) / "Program.ini");
    }

    std::string ReadIni() const {
        std::ifstream in(settings_.Path());
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    QTemporaryDir dir_;
    SettingsFile settings_;
    AppState state_;
};

TEST_F(PortDialogTest, OffersAvailablePortsAndChecksTheCurrentOne) {
    state_.portName = PortNameForNumber(12);
    PortDialog dialog(state_, settings_, Machine({3, 12}));
    EXPECT_EQ(dialog.windowTitle(), "Port");
    EXPECT_EQ(dialog.portButton(1)->text(), "COM1");
    EXPECT_EQ(dialog.portButton(1)->toolTip(), QString::fromStdString(DeviceForPortNumber(1)));
    EXPECT_FALSE(dialog.portButton(1)->isEnabled());
    EXPECT_TRUE(dialog.portButton(3)->isEnabled());
    EXPECT_TRUE(dialog.portButton(12)->isChecked());
    EXPECT_FALSE(dialog.portButton(3)->isChecked());
}

TEST_F(PortDialogTest, ChoosingCom3StoresItAndClearsADevicePath) {
    state_.portName = "COM1";
    state_.deviceOverride = "/dev/pts/7";
    settings_.WriteText("Setup", "Device", "/dev/pts/7");
    PortDialog dialog(state_, settings_, Machine({3}));
    EXPECT_TRUE(dialog.deviceButton()->isChecked());
    EXPECT_EQ(dialog.deviceEdit()->text(), "/dev/pts/7");

    QTest::mouseClick(dialog.portButton(3), Qt::LeftButton);
    dialog.accept();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(state_.portName, "COM3");
    EXPECT_EQ(state_.deviceOverride, "");
    EXPECT_EQ(settings_.GetInt("Setup", "COM", 0), 3);
    EXPECT_EQ(settings_.GetText("Setup", "Device"), "");
    EXPECT_EQ(ResolveDevice(state_.portName, state_.deviceOverride), DeviceForPortNumber(3));
}

TEST_F(PortDialogTest, NothingCheckedChangesNothing) {
    // The current port exists on no machine here: no button is checked, none can be.
    state_.portName = "COM5";
    PortDialog dialog(state_, settings_, Machine({}));
    for (int n = 1; n <= kPortCount; ++n) {
        EXPECT_FALSE(dialog.portButton(n)->isEnabled()) << n;
        EXPECT_FALSE(dialog.portButton(n)->isChecked()) << n;
    }
    dialog.accept();
    EXPECT_EQ(state_.portName, "COM5");
    EXPECT_EQ(settings_.GetInt("Setup", "COM", -1), -1);
}

TEST_F(PortDialogTest, DemoRadioLastsForTheRunAndOtherDeviceIsStored) {
    settings_.WriteInt("Setup", "COM", 2);
    {
        PortDialog dialog(state_, settings_, Machine({1}));
        QTest::mouseClick(dialog.demoButton(), Qt::LeftButton);
        dialog.accept();
        EXPECT_EQ(state_.deviceOverride, "demo");
        EXPECT_EQ(settings_.GetText("Setup", "Device"), "");
        EXPECT_EQ(settings_.GetInt("Setup", "COM", 0), 2);
    }
    {
        PortDialog dialog(state_, settings_, Machine({1}));
        EXPECT_TRUE(dialog.demoButton()->isChecked());
        QTest::mouseClick(dialog.deviceButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog.deviceEdit()->isEnabled());
        QTest::keyClicks(dialog.deviceEdit(), " /dev/serial/by-id/usb-cable ");
        dialog.accept();
        EXPECT_EQ(state_.deviceOverride, "/dev/serial/by-id/usb-cable");
        EXPECT_EQ(settings_.GetText("Setup", "Device"), "/dev/serial/by-id/usb-cable");
    }
    {
        // An empty path is no choice at all.
        PortDialog dialog(state_, settings_, Machine({1}));
        dialog.deviceEdit()->clear();
        dialog.accept();
        EXPECT_EQ(state_.deviceOverride, "/dev/serial/by-id/usb-cable");
    }
}

TEST_F(PortDialogTest, OkKeepsAPortGivenForOneRunOutOfProgramIni) {
    // make run (the demo radio) or --port PATH: OK without a pick stores nothing, so the next
    // start uses Program.ini's port again, the real radio's.
    settings_.WriteInt("Setup", "COM", 3);
    const std::string before = ReadIni();
    for (const std::string& oneRun : {std::string("demo"), std::string("/dev/pts/4")}) {
        state_.deviceOverride = oneRun;
        PortDialog dialog(state_, settings_, Machine({3}));
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(state_.deviceOverride, oneRun);
        EXPECT_EQ(ReadIni(), before) << oneRun;
    }

    // Clicking the one-run path is picking it: then it is stored.
    PortDialog dialog(state_, settings_, Machine({3}));
    QTest::mouseClick(dialog.deviceButton(), Qt::LeftButton);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(settings_.GetText("Setup", "Device"), "/dev/pts/4");
}

TEST_F(PortDialogTest, AChoiceProgramIniCannotKeepIsReported) {
    // A regular file where Program.ini's folder should be: every write fails, even for root.
    const std::filesystem::path blocker = std::filesystem::path(dir_.path().toStdString()) / "f";
    std::ofstream(blocker) << "x";
    SettingsFile broken;
    broken.Bind(blocker / "Program.ini");
    PortDialog dialog(state_, broken, Machine({3}));
    QString shown;
    test::OnNextModal<QMessageBox>([&shown](QMessageBox* box) {
        shown = box->text();
        box->accept();
    });
    QTest::mouseClick(dialog.portButton(3), Qt::LeftButton);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);

    EXPECT_TRUE(shown.contains(QString::fromStdString((blocker / "Program.ini").string())))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains("choose the port again")) << shown.toStdString();
    // The pick still holds for this run.
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(state_.portName, "COM3");
}

TEST_F(PortDialogTest, OtherDeviceTakesTheTypedPathAndOkWaitsForOne) {
    PortDialog dialog(state_, settings_, Machine({1}));
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

    // Choosing the device path moves the typing into its box; without a path OK would store
    // nothing, so it waits for one.
    QTest::mouseClick(dialog.deviceButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    QTest::keyClicks(QApplication::focusWidget(), "/dev/pts/9");
    EXPECT_EQ(dialog.deviceEdit()->text(), "/dev/pts/9");
    EXPECT_TRUE(dialog.okButton()->isEnabled());

    // A COM port needs no path.
    dialog.deviceEdit()->clear();
    QTest::mouseClick(dialog.portButton(1), Qt::LeftButton);
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    QTest::mouseClick(dialog.deviceButton(), Qt::LeftButton);
    QTest::keyClicks(dialog.deviceEdit(), "/dev/pts/9");
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(state_.deviceOverride, "/dev/pts/9");
    EXPECT_EQ(settings_.GetText("Setup", "Device"), "/dev/pts/9");
}

// Runs "Check..." and returns the report window's headline and lines once it is up.
QStringList CheckAndReadReport(PortDialog& dialog) {
    QStringList shown;
    test::OnNextModal<DoctorReportDialog>([&shown](DoctorReportDialog* report) {
        shown << report->headline()->text();
        for (const QLabel* line : report->findingLabels()) {
            shown << line->text();
        }
        report->accept();
    });
    QTest::mouseClick(dialog.checkButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&shown] { return !shown.isEmpty(); }, 20000));
    return shown;
}

TEST_F(PortDialogTest, CheckExaminesTheCheckedPortOffTheDialogsThread) {
    PortDialog dialog(state_, settings_, Machine({3}));
    dialog.show();
    QCoreApplication::processEvents();
    const QSize size = dialog.size();
    QTest::mouseClick(dialog.portButton(3), Qt::LeftButton);
    ChosenPort examined;
    std::atomic<bool> release{false};  // the check goes on until the test lets it end
    dialog.SetCableCheck([&examined, &release](const ChosenPort& port) {
        examined = port;
        while (!release) {
            QThread::msleep(1);
        }
        DoctorReport report;
        report.findings = {{FindingLevel::Problem, "You are not in the group dialout."}};
        return report;
    });

    test::OnNextModal<DoctorReportDialog>([](DoctorReportDialog* report) { report->accept(); });
    QTest::mouseClick(dialog.checkButton(), Qt::LeftButton);
    // While the check runs the dialog says so and keeps its choice: OK and Cancel wait.
    EXPECT_TRUE(dialog.checkStatus()->isVisibleTo(&dialog));
    EXPECT_TRUE(dialog.checkStatus()->toolTip().contains(DeviceForPortNumber(3).c_str()));
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.size(), size) << "the status line has its room from the start";
    int closed = 0;
    QObject::connect(&dialog, &QDialog::finished, [&closed] { ++closed; });
    dialog.reject();
    EXPECT_EQ(closed, 0);
    release = true;
    EXPECT_TRUE(QTest::qWaitFor([&dialog] { return dialog.checkButton()->isEnabled(); }, 20000));

    EXPECT_EQ(examined.label, "COM3");
    EXPECT_EQ(examined.device, DeviceForPortNumber(3));
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    EXPECT_FALSE(dialog.checkStatus()->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.size(), size);

    const QStringList shown = CheckAndReadReport(dialog);
    ASSERT_EQ(shown.size(), 2);
    const QString named = QString::fromStdString(ComPortLabel(3));
    EXPECT_TRUE(shown[0].startsWith(named + " does not work yet")) << shown[0].toStdString();
    EXPECT_EQ(shown[1], "You are not in the group dialout.");
    // Checking stores nothing.
    EXPECT_EQ(ReadIni(), "");
}

TEST_F(PortDialogTest, CheckNamesAPortAsTheDialogDoes) {
    // COM13 is "\\.\COM13" to the transfers; the check never shows that form.
    PortDialog dialog(state_, settings_, Machine({13}));
    QTest::mouseClick(dialog.portButton(13), Qt::LeftButton);
    ChosenPort examined;
    dialog.SetCableCheck([&examined](const ChosenPort& port) {
        examined = port;
        DoctorReport report;
        report.findings = {
            {FindingLevel::Problem, "The chosen port " + port.Named() + " is busy."}};
        return report;
    });
    const QStringList shown = CheckAndReadReport(dialog);
    EXPECT_EQ(examined.label, "COM13");
    EXPECT_EQ(examined.Named(), ComPortLabel(13));
#ifndef _WIN32
    EXPECT_EQ(ComPortLabel(13), "COM13 (/dev/ttyS0)");
#endif
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith(QString::fromStdString(ComPortLabel(13)) + " does not work"))
        << shown[0].toStdString();
    EXPECT_FALSE(shown.join("").contains("\\\\.\\")) << shown.join("\n").toStdString();
}

// The port as the running program shows it: "Demo radio" in the main window's status bar
// whenever the transfers go to the built-in demo radio, and never from Program.ini.
class PortInMainWindowTest : public test::ShellTest {
protected:
    void Start(const StartupOptions& options = {}) {
        program_ = std::make_unique<KestraApplication>(&messenger_, &prompts_);
        program_->Start(options);
    }
    bool DemoShown() const {
        return program_->demoRadioIndicator()->isVisibleTo(program_->mainFrame()) &&
               program_->demoRadioIndicator()->text() == "Demo radio";
    }

    std::unique_ptr<KestraApplication> program_;
};

TEST_F(PortInMainWindowTest, AStoredDemoRadioIsNotTakenForTheRadio) {
    WriteFile(Home() / "Program.ini", "[Setup]\nCOM=3\nDevice=demo\n");
    Start();
    EXPECT_FALSE(IsDemoPort(program_->state()));
    EXPECT_EQ(ResolveDevice(program_->state().portName, program_->state().deviceOverride),
              DeviceForPortNumber(3));
    EXPECT_FALSE(DemoShown());
}

TEST_F(PortInMainWindowTest, StatusBarSaysDemoRadioUntilAnotherPortIsChosen) {
    StartupOptions options;
    options.port = "demo";  // what make run passes
    Start(options);
    EXPECT_TRUE(DemoShown());

    test::OnNextModal<PortDialog>([](PortDialog* dialog) {
        QTest::mouseClick(dialog->deviceButton(), Qt::LeftButton);
        QTest::keyClicks(dialog->deviceEdit(), "/dev/pts/31");
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    program_->mainFrame()->action(CMainFrame::Command::ComSetup)->trigger();

    EXPECT_EQ(program_->state().deviceOverride, "/dev/pts/31");
    EXPECT_FALSE(DemoShown());
    EXPECT_EQ(ReadFile(Home() / "Program.ini"), "[Setup]\nDevice=/dev/pts/31\n");
}

TEST_F(PortInMainWindowTest, CheckReachesTheDemoRadioAsTheTransfersDo) {
    StartupOptions options;
    options.port = "demo";
    Start(options);
    QStringList shown;
    test::OnNextModal<PortDialog>([&shown](PortDialog* dialog) {
        shown = CheckAndReadReport(*dialog);
        dialog->reject();
    });
    program_->mainFrame()->action(CMainFrame::Command::ComSetup)->trigger();

    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown[0], "The demo radio answered.");
    // The model as the "Radio" box names it for the demo radio's memory.
    const QString box = program_->mainFrame()->view()->modelCombo()->currentText();
    EXPECT_TRUE(shown.last().startsWith("The demo radio answered. Model " + box + ", firmware "))
        << shown.last().toStdString();
}

}  // namespace
}  // namespace kestra
