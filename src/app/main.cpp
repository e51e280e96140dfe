// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.hpp"

int main(int argc, char** argv) {
    return kestra::RunDesktop(argc, argv);
}
