// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli diff A B: what differs between two document files, one line per difference:
// channels by label with each changed field's old and new text (or added, removed), then every
// settings and calibration field in its editor's words, then the bytes no editor owns as
// hexadecimal ranges, and one line for the summary areas.
// Exit status 0 when the files hold the same image, 1 when they differ, 2 when one cannot be
// opened (as diff(1) does).

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/document_file.hpp"
#include "review/image_diff.hpp"

namespace kestra::cli {

namespace {

constexpr int kExitDifferent = 1;
constexpr int kExitTrouble = 2;

}  // namespace

int RunDiff(const Context& ctx) {
    const auto line = ParseCommand(ctx, "diff", {.files = 2});
    if (!line) {
        return kExitUsage;
    }
    MemoryImage before;
    MemoryImage after;
    for (auto [path, image] : {std::pair{&line->files[0], &before}, {&line->files[1], &after}}) {
        if (const FileResult loaded = LoadDocumentFile(*path, *image); !loaded) {
            return Fail(ctx, loaded.error, kExitTrouble);
        }
    }
    const ImageDifference difference = DiffImages(before, after);
    ctx.out << FormatImageDifference(difference);
    ctx.out.flush();
    if (!ctx.out) {
        return Fail(ctx, "cannot write to standard output", kExitTrouble);
    }
    return difference.empty() ? kExitOk : kExitDifferent;
}

}  // namespace kestra::cli
