// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary text as a channel list into a new document, the way Import CSV and kestra-cli
// import do. Whatever the text holds, nothing may read or write out of range; a text that is
// refused leaves the image untouched; an import touches nothing but the memory channels and
// their present bits; and the channels it wrote export and import back into a copy without a
// changed byte or a note.
//
// Input: byte 0 picks the placement (by Location, first empty, from a slot) and the slot; the
// rest is the text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "channels/channel_csv.hpp"
#include "model/channel_record.hpp"
#include "model/document_file.hpp"
#include "model/image_map.hpp"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool ImportMayWrite(std::size_t a) {
    using namespace kestra;
    return a < RecordOffset(256) || (a >= map::kPresentMapA && a < map::kPresentMapA + 16) ||
           (a >= map::kPresentMapB && a < map::kPresentMapB + 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestra;
    if (size == 0) {
        return 0;
    }
    const std::uint8_t choice = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const CsvImportOptions options{static_cast<CsvPlacement>(choice % 3), choice / 3 * 2};

    const MemoryImage opened = BuiltInDocumentImage();
    MemoryImage image = opened;
    const SectionLimits limits;
    const CsvImportResult result = ImportChannelsCsv(text, image, limits, options);
    if (!result.ok()) {
        Check(image == opened);
        return 0;
    }
    for (std::size_t a = 0; a < kImageSize; ++a) {
        Check(ImportMayWrite(a) || image[a] == opened[a]);
    }
    Check(!FormatCsvImportReport(result.report).empty());

    MemoryImage copy = image;
    const CsvImportResult again =
        ImportChannelsCsv(ExportChannelsCsv(image, limits), copy, limits, {});
    Check(again.ok());
    Check(again.report.AllTakenWhole());
    Check(copy == image);
    return 0;
}
