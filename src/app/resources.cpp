// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/resources.hpp"

#include <QtGlobal>

// Q_INIT_RESOURCE has to be used outside any namespace.
static void RegisterKestraResources() {
    Q_INIT_RESOURCE(kestra);
}

namespace kestra {

void EnsureResources() {
    static const bool registered = [] {
        RegisterKestraResources();
        return true;
    }();
    (void)registered;
}

}  // namespace kestra
