// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_names.hpp"

#include <gtest/gtest.h>

namespace kestra {
namespace {

TEST(PortNames, NumbersFromTenOnUseTheDeviceNamespaceForm) {
    EXPECT_EQ(PortNameForNumber(1), "COM1");
    EXPECT_EQ(PortNameForNumber(9), "COM9");
    EXPECT_EQ(PortNameForNumber(10), "\\\\.\\COM10");
    EXPECT_EQ(PortNameForNumber(16), "\\\\.\\COM16");
    // A stored 0 or negative number still gives a name, one that no device has.
    EXPECT_EQ(PortNameForNumber(0), "COM0");
    EXPECT_EQ(PortNameForNumber(-3), "COM-3");
}

TEST(PortNames, NumberIsReadAfterTheFirstM) {
    EXPECT_EQ(PortNumberFromName("COM3"), 3);
    EXPECT_EQ(PortNumberFromName("\\\\.\\COM12"), 12);
    EXPECT_EQ(PortNumberFromName("COM-2"), -2);
    // Every name the rule produces reads back as its number.
    for (int n = -2; n <= 20; ++n) {
        EXPECT_EQ(PortNumberFromName(PortNameForNumber(n)), n) << n;
    }
}

TEST(PortNames, NamesWithoutANumberGiveZero) {
    EXPECT_EQ(PortNumberFromName(""), 0);
    EXPECT_EQ(PortNumberFromName("COM"), 0);
    EXPECT_EQ(PortNumberFromName("COMx"), 0);
    EXPECT_EQ(PortNumberFromName("/dev/ttyUSB0"), 0);
    // The pattern needs at least one character before the "M".
    EXPECT_EQ(PortNumberFromName("M5"), 0);
    EXPECT_EQ(PortNumberFromName("COM99999999999999999999"), 2147483647);
}

#ifndef _WIN32
TEST(PortNames, ComNumbersMapToLinuxDevices) {
    EXPECT_EQ(DeviceForPortNumber(1), "/dev/ttyUSB0");
    EXPECT_EQ(DeviceForPortNumber(8), "/dev/ttyUSB7");
    EXPECT_EQ(DeviceForPortNumber(9), "/dev/ttyACM0");
    EXPECT_EQ(DeviceForPortNumber(12), "/dev/ttyACM3");
    EXPECT_EQ(DeviceForPortNumber(13), "/dev/ttyS0");
    EXPECT_EQ(DeviceForPortNumber(16), "/dev/ttyS3");
}

TEST(PortNames, NumbersOutsideTheRangeNameNoDevice) {
    for (int n : {0, -1, 17, 100}) {
        const std::string device = DeviceForPortNumber(n);
        EXPECT_EQ(device.rfind("/dev/kestra-no-port-", 0), 0u) << device;
        for (int m = 1; m <= kPortCount; ++m) {
            EXPECT_NE(device, DeviceForPortNumber(m));
        }
    }
}

TEST(PortNames, OverrideWinsOverThePortName) {
    EXPECT_EQ(ResolveDevice("COM3", ""), "/dev/ttyUSB2");
    EXPECT_EQ(ResolveDevice("\\\\.\\COM12", ""), "/dev/ttyACM3");
    EXPECT_EQ(ResolveDevice("COM3", "/dev/pts/7"), "/dev/pts/7");
    EXPECT_EQ(ResolveDevice("COM0", ""), DeviceForPortNumber(0));
    EXPECT_EQ(ResolveDevice("garbage", ""), DeviceForPortNumber(0));
}
#endif

}  // namespace
}  // namespace kestra
