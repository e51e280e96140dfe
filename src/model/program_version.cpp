// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/program_version.hpp"

namespace kestra {

std::string_view ProgramVersion() {
    return KESTRA_VERSION;  // the project's version, given by the build
}

std::string_view CopyrightLine() {
    return "Copyright (C) 2026 Kestra developers";
}

std::string_view LicenceNotice() {
    return "License GPL-3.0-or-later: GNU GPL version 3 or later "
           "<https://gnu.org/licenses/gpl.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.";
}

std::string VersionText(std::string_view program) {
    std::string text(program);
    text += ' ';
    text += ProgramVersion();
    text += '\n';
    text += CopyrightLine();
    text += '\n';
    text += LicenceNotice();
    text += '\n';
    return text;
}

}  // namespace kestra
