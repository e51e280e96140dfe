// SPDX-License-Identifier: GPL-3.0-or-later
#include "fleet/fleet_report.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "link/clone_session.hpp"
#include "link/ident_reply.hpp"

namespace kestra {

namespace {

constexpr std::string_view kUnknown = "-";

std::string FirstLine(std::string_view text) {
    return std::string(text.substr(0, text.find('\n')));
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

std::string ModelText(const RadioOutcome& outcome) {
    return outcome.ident ? DecodeIdentReply(*outcome.ident).model : std::string();
}

std::string FirmwareText(const RadioOutcome& outcome) {
    return outcome.ident ? DecodeIdentReply(*outcome.ident).mcuVersion.value_or("") : std::string();
}

bool AnyOwnId(const std::vector<RadioOutcome>& outcomes) {
    return std::any_of(outcomes.begin(), outcomes.end(),
                       [](const RadioOutcome& outcome) { return outcome.ownId.has_value(); });
}

std::string OrUnknown(std::string text) {
    return text.empty() ? std::string(kUnknown) : text;
}

}  // namespace

std::string RadioResultText(const RadioOutcome& outcome) {
    switch (outcome.result) {
        case RadioResult::Written:
            return "written";
        case RadioResult::Verified:
            return "verified";
        case RadioResult::Read:
            return "read";
        case RadioResult::Failed:
            break;
    }
    return "failed: " + FirstLine(outcome.error);
}

std::string RadioFinishedLine(const RadioOutcome& outcome) {
    std::string line =
        outcome.port + ": " + RadioResultText(outcome) + " in " + Seconds(outcome.seconds) + " s";
    std::vector<std::string> facts;
    if (const std::string model = ModelText(outcome); !model.empty()) {
        const std::string firmware = FirmwareText(outcome);
        facts.push_back(firmware.empty() ? model : model + " " + firmware);
    }
    if (outcome.ownId) {
        facts.push_back("Own ID " + *outcome.ownId);
    }
    if (outcome.result == RadioResult::Read && !outcome.output.empty()) {
        facts.push_back("saved as " + outcome.output.string());
    }
    for (std::size_t i = 0; i < facts.size(); ++i) {
        line += (i == 0 ? " (" : ", ") + facts[i];
    }
    return facts.empty() ? line : line + ")";
}

std::string RadioProgressText(FleetAction action, int position, int total) {
    const int percent = total > 0 ? position * 100 / total : 0;
    const char* doing = "Reading";
    if (action == FleetAction::Write) {
        doing = position > ClonePlan::Write().BlockCount() ? "Verifying" : "Writing";
    }
    return std::string(doing) + " " + std::to_string(percent) + "%";
}

FleetTable MakeFleetTable(const std::vector<RadioOutcome>& outcomes) {
    const bool ownIds = AnyOwnId(outcomes);
    FleetTable table;
    table.header = {"Port", "Model", "Firmware"};
    if (ownIds) {
        table.header.push_back("Own ID");
    }
    table.header.insert(table.header.end(), {"Result", "Seconds"});
    for (const RadioOutcome& outcome : outcomes) {
        std::vector<std::string> row{outcome.port, OrUnknown(ModelText(outcome)),
                                     OrUnknown(FirmwareText(outcome))};
        if (ownIds) {
            row.push_back(outcome.ownId.value_or(std::string(kUnknown)));
        }
        row.push_back(RadioResultText(outcome));
        row.push_back(Seconds(outcome.seconds));
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::string FleetTableText(const FleetTable& table) {
    std::vector<std::size_t> widths;
    for (std::size_t column = 0; column < table.header.size(); ++column) {
        std::size_t width = table.header[column].size();
        for (const auto& row : table.rows) {
            width = std::max(width, row[column].size());
        }
        widths.push_back(width);
    }
    std::string text;
    auto line = [&](const std::vector<std::string>& cells) {
        std::string out;
        for (std::size_t column = 0; column < cells.size(); ++column) {
            out += cells[column];
            if (column + 1 < cells.size()) {
                out.append(widths[column] - cells[column].size() + 2, ' ');
            }
        }
        text += out + "\n";
    };
    line(table.header);
    for (const auto& row : table.rows) {
        line(row);
    }
    return text;
}

std::string FleetTableTabs(const FleetTable& table) {
    std::string text;
    auto line = [&text](const std::vector<std::string>& cells) {
        for (std::size_t column = 0; column < cells.size(); ++column) {
            text += (column == 0 ? "" : "\t") + cells[column];
        }
        text += "\n";
    };
    line(table.header);
    for (const auto& row : table.rows) {
        line(row);
    }
    return text;
}

FleetReportInfo MakeReportInfo(std::string command, std::string image,
                               std::chrono::system_clock::time_point started) {
    FleetReportInfo info{std::move(command), std::move(image), {}, {}};
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0) {
        info.host = host;
    }
    const std::time_t seconds = std::chrono::system_clock::to_time_t(started);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char stamp[40];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S%z", &local);
    // "+0200" -> "+02:00", as ISO 8601 readers expect it.
    info.started = stamp;
    if (info.started.size() >= 5) {
        info.started.insert(info.started.size() - 2, ":");
    }
    return info;
}

FileResult CheckFleetReportTarget(const std::filesystem::path& path) {
    return CheckReplaceable({path, "report"});
}

FileResult SaveFleetReport(const std::filesystem::path& path, std::string_view json) {
    return ReplaceFileAtomically({path, "report"}, json);
}

}  // namespace kestra
