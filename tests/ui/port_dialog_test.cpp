// The "Port" dialog against a described machine: which buttons it offers, which one it checks,
// and what "OK" stores in Program.ini and in the program state.

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "model/settings_file.hpp"
#include "link/ui/port_dialog.hpp"
#include "link/port_names.hpp"
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

TEST_F(PortDialogTest, DemoRadioAndOtherDeviceAreStoredAsDevice) {
    {
        PortDialog dialog(state_, settings_, Machine({1}));
        dialog.demoButton()->setChecked(true);
        dialog.accept();
        EXPECT_EQ(state_.deviceOverride, "demo");
        EXPECT_EQ(settings_.GetText("Setup", "Device"), "demo");
    }
    {
        PortDialog dialog(state_, settings_, Machine({1}));
        EXPECT_TRUE(dialog.demoButton()->isChecked());
        dialog.deviceButton()->setChecked(true);
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

}  // namespace
}  // namespace kestra
