// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli sort FILE -o OUT --by rx|tx|name [--desc] [--section a|b|both]: sorts the channels
// of each chosen section by Rx frequency, Tx frequency or name (stable, empty slots last) and
// saves the document as OUT as Save As does.

#include <array>
#include <string_view>

#include "cli/channel_list_support.hpp"
#include "model/ascii.hpp"

namespace kestra::cli {

namespace {

constexpr std::array<std::string_view, 2> kValueOptions{"--by", "--section"};
constexpr std::array<std::string_view, 1> kFlagOptions{"--desc"};

std::optional<SortKey> KeyOf(std::string_view text) {
    if (EqualsIgnoringAsciiCase(text, "rx")) {
        return SortKey::RxFrequency;
    }
    if (EqualsIgnoringAsciiCase(text, "tx")) {
        return SortKey::TxFrequency;
    }
    if (EqualsIgnoringAsciiCase(text, "name")) {
        return SortKey::Name;
    }
    return std::nullopt;
}

std::optional<SortSections> SectionsOf(std::string_view text) {
    if (EqualsIgnoringAsciiCase(text, "a")) {
        return SortSections::A;
    }
    if (EqualsIgnoringAsciiCase(text, "b")) {
        return SortSections::B;
    }
    if (EqualsIgnoringAsciiCase(text, "both")) {
        return SortSections::Both;
    }
    return std::nullopt;
}

}  // namespace

int RunSort(const Context& ctx) {
    const auto line = ParseCommand(
        ctx, "sort",
        {.output = true, .files = 1, .valueOptions = kValueOptions, .flagOptions = kFlagOptions});
    if (!line) {
        return kExitUsage;
    }
    const auto by = line->Value("--by");
    const auto key = by ? KeyOf(*by) : std::nullopt;
    if (!key) {
        return Fail(ctx,
                    (by ? "unknown sort key " + *by : std::string("--by missing")) +
                        ": --by rx, tx or name (" + Usage("sort") + ")",
                    kExitUsage);
    }
    const auto section = line->Value("--section");
    const auto sections = section ? SectionsOf(*section) : SortSections::Both;
    if (!sections) {
        return Fail(
            ctx, "unknown section " + *section + ": --section a, b or both (" + Usage("sort") + ")",
            kExitUsage);
    }
    const SortOptions options{*key, line->Flag("--desc"), *sections};
    return EditChannelList(ctx, *line, [&options](MemoryImage& image, const SectionLimits& limits) {
        SortChannels(image, limits, options);
        return std::optional<ListRefusal>();
    });
}

}  // namespace kestra::cli
