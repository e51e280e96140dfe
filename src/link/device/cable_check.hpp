// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cable doctor on this machine: the system as it is, then the live test of the chosen port
// through the same link a transfer would use, plus whether the port's driver took low-latency
// mode. `kestra-cli doctor` prints the report's lines; the Port dialog shows them the same way.
// Blocks for up to a few seconds while a silent port is tested.

#include "link/cable_doctor.hpp"
#include "link/device/link_factory.hpp"

namespace kestra {

DoctorReport CheckCable(const ChosenPort& port, const LinkFactory& links);

}  // namespace kestra
