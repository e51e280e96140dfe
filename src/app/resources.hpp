// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's compiled-in resources (":/kestra/..." pictures, ":/demo/demo-radio.dat") live
// in a static library, so they must be registered before the first use. Safe to call any number
// of times from the user-interface thread.

namespace kestra {

void EnsureResources();

}  // namespace kestra
