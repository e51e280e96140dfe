// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cable doctor: why a programming cable does not work, told as lines a user can act on. It
// reads the system as it is (the serial devices and USB adapters in sysfs, the device nodes in
// /dev, open files in /proc, the group database) and then tests the chosen port live: the radio's
// wake-up and identification. It never changes the system; where a change is needed it names the
// command. `kestra-cli doctor` prints its lines; a dialog shows them the same way.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "link/clock.hpp"
#include "link/doctor_finding.hpp"
#include "link/serial_link.hpp"
#include "link/system_facts.hpp"

namespace kestra {

// Whose view of which system the doctor takes.
struct DoctorEnvironment {
    std::filesystem::path root = "/";
    UserIdentity user;
    int ownPid = 0;  // this program, left out of the processes that hold a port open
    // root is the running system and user this process's own: the system's access check
    // decides whether a device can be opened (it knows access control lists too).
    bool live = false;

    static DoctorEnvironment ThisSystem();
};

struct ChosenPort {
    std::string label;    // how the user named it: "COM13", "/dev/serial/by-id/usb-..."
    std::string device;   // the device it opens; empty when no port is chosen
    std::string whyNone;  // when device is empty: why no port is chosen
    // What to do to choose another port, added where the doctor suggests one ("run kestra-cli
    // doctor --port PATH", "choose it in this dialog").
    std::string howToChoose;

    // The port as the Port dialog names it: "COM13 (/dev/ttyS0)", or the device alone when the
    // label is the device.
    std::string Named() const;
};

// What the system says, without touching the port: the serial devices and adapters, services
// known to interfere, and whether the chosen port exists, may be opened and is free.
std::vector<Finding> ExamineSystem(const DoctorEnvironment& env, const ChosenPort& port);

struct DoctorReport {
    std::vector<Finding> findings;
    bool portOpened = false;
    bool radioAnswered = false;
    bool demoRadio = false;  // the port was the built-in demo radio, not a cable
    // The radio identified itself and nothing stands in the way.
    bool Healthy() const { return radioAnswered && !HasProblem(findings); }
};

// ExamineSystem, then the live test of the chosen port through link (none without a port).
// openErrorText, when given, tells why the link failed to open.
DoctorReport RunCableDoctor(const DoctorEnvironment& env, const ChosenPort& port, SerialLink& link,
                            Clock& clock, const std::function<std::string()>& openErrorText = {});

}  // namespace kestra
