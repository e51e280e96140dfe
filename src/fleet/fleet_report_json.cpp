// SPDX-License-Identifier: GPL-3.0-or-later
// The fleet report as JSON: one object for the run with an array of one object per radio.

#include <cstdint>
#include <cstdio>

#include "fleet/fleet_report.hpp"
#include "link/ident_reply.hpp"

namespace kestra {

namespace {

// The length of the valid UTF-8 sequence at text[at], or 0 when the byte starts none.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0                 ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = at + 1; i < at + length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// A JSON string. Valid UTF-8 passes as it is; a byte that is not part of it (a device name in
// another encoding) is taken as Latin-1, so the report stays valid JSON whatever the names hold.
std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        char escaped[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else if (c >= 0x80) {
            if (const std::size_t length = Utf8Length(text, i); length > 0) {
                out.append(text.substr(i, length));
                i += length;
                continue;
            }
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out + "\"";
}

std::string QuotedOrNull(const std::string& text) {
    return text.empty() ? "null" : Quoted(text);
}

// A frequency in 10 Hz units as a number of MHz, without trailing zeros: 136, 146.525.
std::string Megahertz(Frequency tenHz) {
    const long long value = tenHz;
    const unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                                   : static_cast<unsigned long long>(value);
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu.%05llu", value < 0 ? "-" : "", magnitude / 100000,
                  magnitude % 100000);
    std::string number = text;
    while (number.back() == '0') {
        number.pop_back();
    }
    if (number.back() == '.') {
        number.pop_back();
    }
    return number;
}

std::string BandsJson(const RadioOutcome& outcome) {
    if (!outcome.ident) {
        return "null";
    }
    std::string json = "[";
    const std::array<Band, 2> bands = IdentReplyBands(*outcome.ident);
    for (std::size_t i = 0; i < bands.size(); ++i) {
        json += (i == 0 ? "" : ", ");
        json += "{\"lower_mhz\": " + Megahertz(bands[i].lower) +
                ", \"upper_mhz\": " + Megahertz(bands[i].upper) + "}";
    }
    return json + "]";
}

std::string RadioJson(const RadioOutcome& outcome) {
    const RadioInformation info =
        outcome.ident ? DecodeIdentReply(*outcome.ident) : RadioInformation{};
    const bool failed = outcome.result == RadioResult::Failed;
    const bool partly = failed && outcome.sendingStarted;
    const std::string backup =
        outcome.backup && outcome.backup->ok() ? outcome.backup->path.string() : std::string();
    const std::string file =
        outcome.result == RadioResult::Read ? outcome.output.string() : std::string();
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", outcome.seconds);
    std::string json = "    {\n";
    auto field = [&json](std::string_view name, const std::string& value, bool last = false) {
        json += "      \"" + std::string(name) + "\": " + value + (last ? "\n" : ",\n");
    };
    field("port", Quoted(outcome.port));
    field("device", Quoted(outcome.device));
    field("model", QuotedOrNull(info.model));
    field("firmware", QuotedOrNull(info.mcuVersion.value_or("")));
    field("bands", BandsJson(outcome));
    field("own_id", outcome.ownId ? Quoted(*outcome.ownId) : "null");
    field("result", Quoted(failed ? "failed" : RadioResultText(outcome)));
    field("verified", outcome.result == RadioResult::Verified ? "true" : "false");
    field("partly_written", partly ? "true" : "false");
    field("seconds", seconds);
    field("backup", QuotedOrNull(backup));
    field("file", QuotedOrNull(file));
    field("error", failed ? Quoted(outcome.error) : "null", true);
    return json + "    }";
}

}  // namespace

std::string FleetReportJson(const FleetReportInfo& info,
                            const std::vector<RadioOutcome>& outcomes) {
    bool allOk = true;
    std::string radios;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        allOk = allOk && outcomes[i].ok();
        radios += (i == 0 ? "\n" : ",\n") + RadioJson(outcomes[i]);
    }
    std::string json = "{\n";
    json += "  \"format\": \"kestra-fleet-report\",\n";
    json += "  \"version\": 1,\n";
    json += "  \"command\": " + Quoted(info.command) + ",\n";
    json += "  \"image\": " + QuotedOrNull(info.image) + ",\n";
    json += "  \"host\": " + QuotedOrNull(info.host) + ",\n";
    json += "  \"started\": " + QuotedOrNull(info.started) + ",\n";
    json += "  \"ok\": " + std::string(allOk ? "true" : "false") + ",\n";
    json += "  \"radios\": [" + radios + (outcomes.empty() ? "]\n" : "\n  ]\n");
    return json + "}\n";
}

}  // namespace kestra
