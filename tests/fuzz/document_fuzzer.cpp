// SPDX-License-Identifier: GPL-3.0-or-later
// Opens arbitrary bytes as a document, types arbitrary texts into the grid and saves it, the way
// the desktop program and kestra-cli do. Whatever a file holds, nothing may read or write out of
// range, and the save may change only what the grid and the image preparation own: the channel
// records and the summary areas. Everything else (settings, calibration, bytes nobody
// interprets) must come back exactly as it was opened.
//
// Input: byte 0 picks the radio model, byte 1 the number of edits (0-7); each edit is a kind
// byte, two row bytes, a column byte, a length byte and that many bytes of typed text. The rest
// of the input is the document's first bytes; a short one is completed from a new document.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "channels/channel_document.hpp"
#include "channels/image_preparation.hpp"
#include "model/document_file.hpp"

namespace kestra {
namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The areas a save rewrites besides the channel records: the fixed group inside B124, the menu
// bits and current channels, the summary block from 0x2E00, the model block and the derived
// calibration tables.
bool RewrittenBySave(std::size_t a) {
    auto in = [a](std::size_t start, std::size_t end) { return a >= start && a < end; };
    return in(0x1F70, 0x1F78) || in(0x204C, 0x2051) || in(0x2E00, 0x2ED0) || in(0x2F00, 0x2F79) ||
           in(0x3F15, 0x3F1F) || in(0x3F4B, 0x3F6F) || in(0x3F70, 0x3FAC);
}

// Record bytes the grid does not show survive in a record that stays a channel: byte 14 and
// bytes 20-31 (a record that becomes empty is rewritten whole).
bool KeptInPresentRecord(std::size_t offset) {
    return offset == 14 || offset >= 20;
}

struct Input {
    std::span<const std::uint8_t> rest;
    std::uint8_t Byte() {
        if (rest.empty()) {
            return 0;
        }
        const std::uint8_t b = rest.front();
        rest = rest.subspan(1);
        return b;
    }
    std::string_view Text(std::size_t length) {
        length = std::min(length, rest.size());
        const std::string_view text(reinterpret_cast<const char*>(rest.data()), length);
        rest = rest.subspan(length);
        return text;
    }
};

// Returns the record the edit reset (the first Rx typed into an empty row), or -1.
int Edit(Input& in, ChannelTable& table, MemoryImage& image, const SectionLimits& limits) {
    const std::uint8_t kind = in.Byte();
    const int rowHigh = in.Byte();
    const int row = (rowHigh << 8 | in.Byte()) % (kRecordCount + 4) - 2;  // a few outside
    const auto column = static_cast<Column>(in.Byte() % (kColumnCount + 2));
    const std::string_view text = in.Text(in.Byte() % 24);
    switch (kind % 3) {
        case 0: {
            const EditResult result = table.CommitFrequencyEdit(row, column, text, image, limits);
            return result.record ? result.record->record : -1;
        }
        case 1:
            table.CommitToneEdit(row, column, text);
            return -1;
        default:
            table.CommitChoiceEdit(row, column, text);
            return -1;
    }
}

}  // namespace
}  // namespace kestra

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestra;
    Input in{std::span<const std::uint8_t>(data, size)};
    const int model = in.Byte() % static_cast<int>(kModelNames.size());
    int edits = in.Byte() % 8;

    // The edits come first so that they stay short; what follows is the file.
    Input editBytes = in;
    for (int i = 0; i < edits; ++i) {
        editBytes.Byte();
        editBytes.Byte();
        editBytes.Byte();
        editBytes.Byte();
        editBytes.Text(editBytes.Byte() % 24);
    }
    MemoryImage opened = BuiltInDocumentImage();
    opened.write(0, editBytes.rest.subspan(0, std::min(editBytes.rest.size(), kImageSize)));

    MemoryImage image = opened;
    SectionLimits limits;
    ChannelDocument document(image, limits);
    document.SetModelIndex(model);
    std::array<bool, kRecordCount> reset{};
    while (edits-- > 0) {
        const int record = Edit(in, document.table(), image, limits);
        Check(record >= -1 && record < kRecordCount);
        if (record >= 0) {
            reset[static_cast<std::size_t>(record)] = true;
        }
    }
    document.StoreGridToImage();

    for (std::size_t a = 0; a < kImageSize; ++a) {
        if (RewrittenBySave(a)) {
            continue;
        }
        if (a < static_cast<std::size_t>(kRecordCount) * kRecordSize) {
            const std::size_t record = a / kRecordSize;
            const bool present = !document.table().IsRowEmpty(static_cast<int>(record));
            if (!present || reset[record] || !KeptInPresentRecord(a % kRecordSize)) {
                continue;
            }
        }
        Check(image[a] == opened[a]);
    }
    return 0;
}
