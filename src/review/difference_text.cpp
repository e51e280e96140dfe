// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison of two images as lines of text.

#include <cstdio>

#include "review/image_diff.hpp"

namespace kestra {

namespace {

constexpr std::size_t kShownBytes = 8;  // longer runs are counted, not listed

std::string Hex(std::size_t value, int digits) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%0*zX", digits, value);
    return buffer;
}

std::string Bytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text += (text.empty() ? "" : " ") + Hex(byte, 2);
    }
    return text;
}

// An empty text reads "(none)" in a channel (no Tx frequency, no name) and "(empty)" in an
// editor's box.
std::string Shown(const std::string& text, const char* empty) {
    return text.empty() ? empty : text;
}

std::string RangeText(const ByteDifference& run) {
    std::string text = "0x" + Hex(run.begin, 4);
    if (run.end - run.begin > 1) {
        text += "-0x" + Hex(run.end - 1, 4);
    }
    return text;
}

std::string RunChange(const ByteDifference& run) {
    if (run.before.size() > kShownBytes) {
        return std::to_string(run.before.size()) + " bytes differ";
    }
    return Bytes(run.before) + " -> " + Bytes(run.after);
}

std::string FieldLine(const EditorFieldChange& change) {
    const FieldChange& field = change.field;
    std::string line = change.editor + ": " + field.caption + " " + Shown(field.before, "(empty)") +
                       " -> " + Shown(field.after, "(empty)");
    // The editor shows the same value on both sides: only its stored form differs.
    return field.before == field.after ? line + " (as the dialog stores it)" : line;
}

}  // namespace

std::string FormatImageDifference(const ImageDifference& difference) {
    std::string text;
    for (const ChannelDifference& channel : difference.channels) {
        if (channel.kind != ChannelDifference::Kind::Changed) {
            text += channel.label +
                    (channel.kind == ChannelDifference::Kind::Added ? " added: " : " removed: ") +
                    channel.summary + "\n";
        }
        for (const FieldChange& field : channel.fields) {
            text += channel.label + " " + field.caption + ": " + Shown(field.before, "(none)") +
                    " -> " + Shown(field.after, "(none)") + "\n";
        }
    }
    for (const EditorFieldChange& change : difference.fields) {
        text += FieldLine(change) + "\n";
    }
    for (const ByteDifference& run : difference.other) {
        text += RangeText(run) + (run.area.empty() ? "" : " (" + run.area + ")") + ": " +
                RunChange(run) + "\n";
    }
    if (difference.summaryAreas) {
        text += std::string(kSummaryAreasLine) + "\n";
    }
    return text;
}

}  // namespace kestra
